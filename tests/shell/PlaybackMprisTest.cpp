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

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

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
