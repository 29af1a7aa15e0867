// The media keys and the desktop's media controls driving the real playback control (on the
// scripted fake player): one dispatch, the MPRIS methods from outside the process, and the
// properties following the playback.
#include "shell/MediaKeyFilter.h"
#include "shell/MediaKeys.h"
#include "shell/PlaybackMpris.h"

#include "TempDir.h"
#include "playback/DisplayOptionsModel.h"
#include "support/FakeAudioPlayer.h"
#include "playback/PlaybackControl.h"
#include "playback/RecordingView.h"

#include <QUrl>
#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QCoreApplication &app()
{
    static int argc = 1;
    static char name[] = "shell-playback-tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv); // kept for the whole run
    return *QCoreApplication::instance();
}

class MediaControlTest : public ::testing::Test
{
protected:
    MediaControlTest() : lists(dir.path())
    {
        app();
        control = std::make_unique<PlaybackControl>(lists, script.factory(), options, lang);
        view.attach(*control);
        options.setRandomOrder(false);
        for (const char *name : {"A.mp3", "B.mp3", "C.mp3"}) {
            TSongRecord r;
            r.Path = dir.write(QString::fromLatin1(name), QByteArray());
            lists.append(r);
        }
    }
    QString playing() const { return script.current ? QFileInfo(script.current->FileName()).fileName() : QString(); }

    TempDir dir;
    SongLists lists;
    FakeAudioScript script;
    DisplayOptionsModel options;
    LanguageCode lang;
    RecordingView view;
    std::unique_ptr<PlaybackControl> control;
};

// Runs a command from outside the process while this one serves D-Bus; returns its output.
QString runOutside(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        p.waitForFinished(10);
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString call(const char *method)
{
    return runOutside(QStringLiteral("dbus-send"),
                      {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.mpris.MediaPlayer2.sonalo"),
                       QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("org.mpris.MediaPlayer2.Player.") + QLatin1String(method)});
}

QString property(const char *name)
{
    return runOutside(QStringLiteral("dbus-send"),
                      {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.mpris.MediaPlayer2.sonalo"),
                       QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                       QStringLiteral("string:org.mpris.MediaPlayer2.Player"), QStringLiteral("string:") + QLatin1String(name)});
}

} // namespace

TEST_F(MediaControlTest, DesignedParameterAndKeysGoThroughOneDispatch)
{
    // The designed parameter test: only the bare command word counts.
    EXPECT_TRUE(runMediaCommand(mediaCommandFromAppCommand(720896), *control)); // 11 × 65536: next
    EXPECT_EQ(playing(), QStringLiteral("B.mp3"));
    EXPECT_FALSE(runMediaCommand(mediaCommandFromAppCommand(720897), *control)); // a device bit
    EXPECT_EQ(playing(), QStringLiteral("B.mp3"));

    // Play/pause toggles: the keyboard's one key pauses and plays again.
    runMediaCommand(mediaCommandFromAppCommand(14u << 16), *control);
    EXPECT_FALSE(control->IsPlaying());
    EXPECT_EQ(script.current->State(), kStatePaused);
    runMediaCommand(mediaCommandFromAppCommand(14u << 16), *control);
    EXPECT_TRUE(control->IsPlaying());
    runMediaCommand(mediaCommandFromAppCommand(13u << 16), *control); // stop: paused, still loaded
    EXPECT_FALSE(control->IsPlaying());
    EXPECT_NE(control->Player(), nullptr);
    runMediaCommand(mediaCommandFromAppCommand(12u << 16), *control); // previous: B again
    EXPECT_EQ(playing(), QStringLiteral("B.mp3"));
    EXPECT_EQ(control->PendingNext(), dir.path(QStringLiteral("B.mp3")));

    // Qt's key events, through the filter the program installs on the application.
    MediaKeyFilter filter(*control);
    QObject target;
    target.installEventFilter(&filter);
    for (int key : {Qt::Key_MediaNext, Qt::Key_MediaTogglePlayPause}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        EXPECT_TRUE(filter.eventFilter(&target, &press));
    }
    EXPECT_EQ(playing(), QStringLiteral("B.mp3")); // next takes the song going back left pending
    EXPECT_TRUE(control->PendingNext().isEmpty());
    EXPECT_FALSE(control->IsPlaying());
    QKeyEvent other(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    EXPECT_FALSE(filter.eventFilter(&target, &other));
    QKeyEvent repeated(QEvent::KeyPress, Qt::Key_MediaNext, Qt::NoModifier, QString(), true);
    EXPECT_FALSE(filter.eventFilter(&target, &repeated));
    EXPECT_EQ(control->PlayHistory().size(), 1); // B; going back took B's entry, next added it again
}

TEST_F(MediaControlTest, PlayThatStartsNoSongShowsNotPlaying)
{
    // Every row fails to start (the last player stays loaded, silent) or is gone (nothing
    // loaded): the chain gives up, the button shows ">" and the desktop does not hear "Playing".
    struct Case
    {
        const char *name;
        bool missing;
        void (PlaybackMpris::*play)();
        const char *status;
    };
    const Case cases[] = {
        {"PlayPause (BtPlayClick), rows failing", false, &PlaybackMpris::mprisPlayPause, "Paused"},
        {"Play (mw1Click), rows failing", false, &PlaybackMpris::mprisPlay, "Paused"},
        {"PlayPause (BtPlayClick), rows missing", true, &PlaybackMpris::mprisPlayPause, "Stopped"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (const TSongRecord &r : lists.AllSongs()) {
            if (c.missing)
                QFile::remove(r.Path);
            else
                script.failOnPlay[r.Path] = {1001, QStringLiteral("Selected audio device not connected")};
        }
        control = std::make_unique<PlaybackControl>(lists, script.factory(), options, lang);
        RecordingView shown;
        shown.attach(*control);
        PlaybackMpris mpris(*control, {});
        (mpris.*c.play)();
        EXPECT_EQ(shown.log.value(shown.log.size() - 1), QStringLiteral("> Automatic Abord."));
        EXPECT_FALSE(control->IsPlaying());
        ASSERT_FALSE(shown.playingShown.isEmpty());
        EXPECT_FALSE(shown.playingShown.last());
        EXPECT_EQ(mpris.mprisPlaybackStatus().toStdString(), c.status);
    }
}

TEST_F(MediaControlTest, MprisFromOutsideChangesTheSongAndFollowsPauseAndPlay)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    PlaybackMpris mpris(*control, {});
    ASSERT_TRUE(mpris.registerOnSessionBus());
    EXPECT_TRUE(property("PlaybackStatus").contains(QStringLiteral("\"Stopped\"")));

    call("Play"); // nothing loaded: the first row
    EXPECT_EQ(playing(), QStringLiteral("A.mp3"));
    EXPECT_TRUE(property("PlaybackStatus").contains(QStringLiteral("\"Playing\"")));
    call("Next");
    EXPECT_EQ(playing(), QStringLiteral("B.mp3"));
    EXPECT_TRUE(property("Metadata").contains(QStringLiteral("B.mp3")));
    call("Pause");
    EXPECT_TRUE(property("PlaybackStatus").contains(QStringLiteral("\"Paused\"")));
    call("PlayPause");
    EXPECT_TRUE(property("PlaybackStatus").contains(QStringLiteral("\"Playing\"")));
    call("Stop"); // stops like the program's Stop: paused at its position
    EXPECT_TRUE(property("PlaybackStatus").contains(QStringLiteral("\"Paused\"")));
    call("Previous");
    EXPECT_EQ(playing(), QStringLiteral("B.mp3"));
    EXPECT_EQ(control->PlayHistory().size(), 1);
    if (!QStandardPaths::findExecutable(QStringLiteral("playerctl")).isEmpty()) {
        runOutside(QStringLiteral("playerctl"), {QStringLiteral("--player=sonalo"), QStringLiteral("next")});
        EXPECT_EQ(playing(), QStringLiteral("B.mp3")); // PendingNext: back to the last started song
    }
}

TEST_F(MediaControlTest, VolumeKeysStepTheLevelAndFlipMute)
{
    MediaKeyFilter filter(*control);
    QObject target;
    control->setVolumePercent(50);
    auto press = [&](int key, bool repeat = false) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, QString(), repeat);
        return filter.eventFilter(&target, &e);
    };
    EXPECT_TRUE(press(Qt::Key_VolumeDown));
    EXPECT_TRUE(press(Qt::Key_VolumeDown, true)); // a held volume key keeps moving
    EXPECT_EQ(control->volumePercent(), 50 - 2 * kVolumeKeyStep);
    EXPECT_TRUE(press(Qt::Key_VolumeMute));
    EXPECT_TRUE(control->muted());
    EXPECT_FALSE(press(Qt::Key_VolumeMute, true)); // but mute flips once per press
    EXPECT_TRUE(control->muted());
    EXPECT_TRUE(press(Qt::Key_VolumeUp)); // up lifts mute
    EXPECT_FALSE(control->muted());
    EXPECT_EQ(control->volumePercent(), 50 - kVolumeKeyStep);
}

TEST_F(MediaControlTest, MprisVolumeFollowsAndSetsTheLevel)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    PlaybackMpris mpris(*control, {});
    ASSERT_TRUE(mpris.registerOnSessionBus());
    control->weiterClick();
    EXPECT_TRUE(property("Volume").contains(QStringLiteral("double 1")));
    // Set from outside: the loaded player follows, and PropertiesChanged tells the others.
    const QStringList watch{QStringLiteral("--session"), QStringLiteral("--print-reply"),
                            QStringLiteral("--dest=org.mpris.MediaPlayer2.sonalo"), QStringLiteral("/org/mpris/MediaPlayer2"),
                            QStringLiteral("org.freedesktop.DBus.Properties.Set"), QStringLiteral("string:org.mpris.MediaPlayer2.Player"),
                            QStringLiteral("string:Volume")};
    QProcess monitor;
    monitor.start(QStringLiteral("dbus-monitor"), {QStringLiteral("--session"),
                                                   QStringLiteral("member='PropertiesChanged',path='/org/mpris/MediaPlayer2'")});
    ASSERT_TRUE(monitor.waitForStarted());
    QThread::msleep(300);
    runOutside(QStringLiteral("dbus-send"), watch + QStringList{QStringLiteral("variant:double:0.5")});
    EXPECT_EQ(control->volumePercent(), 50);
    EXPECT_EQ(script.current->GetVolume(), -602);
    EXPECT_TRUE(property("Volume").contains(QStringLiteral("double 0.5")));
    runOutside(QStringLiteral("dbus-send"), watch + QStringList{QStringLiteral("variant:double:7")}); // beyond full
    EXPECT_EQ(control->volumePercent(), 100);
    control->setMuted(true); // mute reads as silence
    EXPECT_TRUE(property("Volume").contains(QStringLiteral("double 0")));
    QElapsedTimer t;
    t.start();
    QString seen;
    while (t.elapsed() < 3000 && seen.count(QStringLiteral("\"Volume\"")) < 3) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        monitor.waitForReadyRead(20);
        seen += QString::fromUtf8(monitor.readAllStandardOutput());
    }
    monitor.kill();
    monitor.waitForFinished();
    EXPECT_EQ(seen.count(QStringLiteral("\"Volume\"")), 3) << qPrintable(seen);
}

// The position as a desktop's media applet uses it: read live, moved by Seek and SetPosition
// (only for the loaded song's track id), and every jump, also the bar's, announced by Seeked.
TEST_F(MediaControlTest, MprisPositionSeekAndSeeked)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    PlaybackMpris mpris(*control, {});
    ASSERT_TRUE(mpris.registerOnSessionBus());
    EXPECT_TRUE(property("CanSeek").contains(QStringLiteral("boolean false")));
    control->weiterClick(); // B, 180 s long
    EXPECT_TRUE(property("CanSeek").contains(QStringLiteral("boolean true")));
    EXPECT_TRUE(property("Rate").contains(QStringLiteral("double 1")));
    script.current->advance(50'000'000);
    EXPECT_TRUE(property("Position").contains(QStringLiteral("int64 5000000"))) << qPrintable(property("Position"));

    QProcess monitor;
    monitor.start(QStringLiteral("dbus-monitor"),
                  {QStringLiteral("--session"), QStringLiteral("member='Seeked',path='/org/mpris/MediaPlayer2'")});
    ASSERT_TRUE(monitor.waitForStarted());
    QThread::msleep(300);
    const QString track = QStringLiteral("/org/sonalo/track/%1").arg(control->playersCreated());
    auto send = [](const char *method, const QStringList &args) {
        runOutside(QStringLiteral("dbus-send"),
                   QStringList{QStringLiteral("--session"), QStringLiteral("--print-reply"),
                               QStringLiteral("--dest=org.mpris.MediaPlayer2.sonalo"), QStringLiteral("/org/mpris/MediaPlayer2"),
                               QStringLiteral("org.mpris.MediaPlayer2.Player.") + QLatin1String(method)}
                       + args);
    };
    struct Step
    {
        const char *method;
        QStringList args;
        qint64 position; // 100-ns units afterwards
    };
    const Step steps[] = {
        {"Seek", {QStringLiteral("int64:10000000")}, 150'000'000},
        {"Seek", {QStringLiteral("int64:-60000000")}, 0}, // before the start: the start
        {"SetPosition", {QStringLiteral("objpath:") + track, QStringLiteral("int64:20000000")}, 200'000'000},
        {"SetPosition", {QStringLiteral("objpath:/org/sonalo/track/999"), QStringLiteral("int64:1000000")}, 200'000'000},
        {"SetPosition", {QStringLiteral("objpath:") + track, QStringLiteral("int64:999000000")}, 200'000'000},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.method + s.args.join(QLatin1Char(' ')).toStdString());
        send(s.method, s.args);
        EXPECT_EQ(script.current->GetPosition(), s.position);
    }
    control->stelleChange(500); // the bar: half of 180 s
    // Three jumps by MPRIS, one by the bar; the refused ones are silent. The monitor prints a
    // signal's name and its argument in separate lines, which may arrive apart.
    const QStringList positions{QStringLiteral("int64 15000000"), QStringLiteral("int64 0"),
                                QStringLiteral("int64 20000000"), QStringLiteral("int64 90000000")};
    auto allSeen = [&](const QString &text) {
        return std::all_of(positions.begin(), positions.end(), [&](const QString &p) { return text.contains(p); });
    };
    QElapsedTimer t;
    t.start();
    QString seen;
    while (t.elapsed() < 3000 && !allSeen(seen)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        monitor.waitForReadyRead(20);
        seen += QString::fromUtf8(monitor.readAllStandardOutput());
    }
    QThread::msleep(200); // a fifth, unwanted signal would be here by now
    seen += QString::fromUtf8(monitor.readAllStandardOutput());
    monitor.kill();
    monitor.waitForFinished();
    EXPECT_EQ(seen.count(QStringLiteral("Seeked")), 4) << qPrintable(seen);
    EXPECT_TRUE(allSeen(seen)) << qPrintable(seen);

    send("Seek", {QStringLiteral("int64:999000000")}); // past the end: the next song
    EXPECT_EQ(playing(), QStringLiteral("C.mp3"));
}

TEST_F(MediaControlTest, MprisMetadataHoldsWhatTheSongHasAndNoPlaceholders)
{
    const QString tagged = dir.path(QStringLiteral("tagged song ü.mp3"));
    QProcess ff;
    ff.start(QStringLiteral("ffmpeg"),
             {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
              QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("sine=duration=0.2"),
              QStringLiteral("-metadata"), QStringLiteral("title=Song"), QStringLiteral("-metadata"), QStringLiteral("artist=Band"),
              QStringLiteral("-metadata"), QStringLiteral("album=Record"), QStringLiteral("-metadata"), QStringLiteral("track=7/12"),
              tagged});
    ASSERT_TRUE(ff.waitForFinished(30000) && ff.exitCode() == 0);
    PlaybackMpris mpris(*control, {});
    control->lvDblClick(0); // A.mp3: an empty file, named only by its file
    QVariantMap m = mpris.mprisMetadata();
    EXPECT_EQ(m.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("A.mp3"));
    for (const char *absent : {"xesam:album", "xesam:artist", "xesam:trackNumber", "xesam:genre"})
        EXPECT_FALSE(m.contains(QLatin1String(absent))) << absent;
    EXPECT_EQ(m.value(QStringLiteral("mpris:length")).toLongLong(), 180'000'000);

    control->lfDblClick(tagged);
    m = mpris.mprisMetadata();
    EXPECT_EQ(m.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Song"));
    EXPECT_EQ(m.value(QStringLiteral("xesam:artist")).toStringList(), QStringList{QStringLiteral("Band")});
    EXPECT_EQ(m.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("Record"));
    EXPECT_EQ(m.value(QStringLiteral("xesam:trackNumber")).toInt(), 7);
    // A valid URI: spaces and letters beyond ASCII percent-encoded.
    const QString url = m.value(QStringLiteral("xesam:url")).toString();
    EXPECT_TRUE(url.endsWith(QStringLiteral("/tagged%20song%20%C3%BC.mp3"))) << url.toStdString();
    EXPECT_EQ(QUrl(url, QUrl::StrictMode).toLocalFile(), tagged);
    EXPECT_TRUE(m.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path().startsWith(u"/org/sonalo/track/"));

    // A song whose length is unknown has no length at all.
    script.duration = 0;
    control->weiterClick();
    EXPECT_FALSE(mpris.mprisMetadata().contains(QStringLiteral("mpris:length")));
}

// CanGoNext follows what Next could play: the table, or the queue while a search shows nothing.
TEST_F(MediaControlTest, MprisCanGoNextFollowsTheQueue)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    PlaybackMpris mpris(*control, {});
    ASSERT_TRUE(mpris.registerOnSessionBus());
    EXPECT_TRUE(property("CanGoNext").contains(QStringLiteral("boolean true")));
    control->queue().appendShownRows({0});
    lists.showFound({});
    EXPECT_TRUE(property("CanGoNext").contains(QStringLiteral("boolean true")));
    control->queue().clear();
    EXPECT_TRUE(property("CanGoNext").contains(QStringLiteral("boolean false")));
}
