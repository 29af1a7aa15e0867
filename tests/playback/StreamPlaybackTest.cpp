// Internet radio on real GStreamer: a small ICY server on the loopback address
// (icy_radio.py) streams an MP3 whose title changes; the song display and the MPRIS metadata
// follow the title, the length stays empty and the position bar off. A stream that cannot be
// reached is logged within the time-out and the next song starts.
#include "playback/AudioPlay.h"
#include "playback/DisplayOptionsModel.h"
#include "playback/PlaybackControl.h"
#include "playback/PlaybackEngine.h"
#include "shell/PlaybackMpris.h"

#include "GstLeakWatch.h"
#include "PlaybackFixtures.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class StreamPlaybackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        playbackTestApp();
        leaks = std::make_unique<GstLeakWatch>();
        const QString mp3 = dir.path() + QStringLiteral("/radio.mp3");
        QProcess ff;
        ff.start(QStringLiteral("ffmpeg"), {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                            QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                            QStringLiteral("sine=frequency=440:duration=5"), QStringLiteral("-c:a"),
                                            QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("128k"), mp3});
        ASSERT_TRUE(ff.waitForFinished(60000) && ff.exitCode() == 0);
        radio.start(QStringLiteral(SONALO_SOURCE_DIR "/tests/playback/icy_radio.py"),
                    {mp3, QStringLiteral("Band A - First Song"), QStringLiteral("Band B - Second Song")});
        ASSERT_TRUE(waitFor([this] { return radio.canReadLine() || (radio.waitForReadyRead(100) && false); }, 10000));
        const QStringList ports = QString::fromLatin1(radio.readLine()).split(QLatin1Char(' '));
        ASSERT_EQ(ports.size(), 2);
        url = QStringLiteral("http://127.0.0.1:%1/live").arg(ports[0].trimmed());
        deadPort = ports[1].trimmed();
        devices.names = QStringList{QStringLiteral("Default")};
        devices.sinkOverride = QStringLiteral("fakesink sync=true");
        options.setRandomOrder(false);
    }
    void TearDown() override
    {
        radio.kill();
        radio.waitForFinished(5000);
        pumpEvents(50);
        const QStringList alive = leaks->alive();
        EXPECT_TRUE(alive.isEmpty()) << "left alive: " << qPrintable(alive.join(QStringLiteral(", ")));
    }

    void addRow(const QString &path)
    {
        TSongRecord r;
        r.Path = path;
        lists.append(r);
    }

    QTemporaryDir dir;
    QProcess radio;
    QString url, deadPort;
    TAudioDevices devices;
    SongLists lists{QString()};
    DisplayOptionsModel options;
    LanguageCode lang;
    std::unique_ptr<GstLeakWatch> leaks;
};

} // namespace

TEST_F(StreamPlaybackTest, TheStationsTitlesReachTheDisplayAndMpris)
{
    addRow(url);
    QStringList shown, mprisTitles;
    QString durationText = QStringLiteral("unset");
    bool seekable = true;
    {
        PlaybackEngine engine(devices);
        PlaybackControl control(lists, engine.Factory(), options, lang);
        PlaybackMpris mpris(control, [] {});
        QObject::connect(&control, &PlaybackControl::songShownInStatusLine, [&](const QString &s) { shown << s; });
        QObject::connect(&control, &PlaybackControl::durationTextChanged, [&](const QString &s) { durationText = s; });
        QObject::connect(&control, &PlaybackControl::seekableChanged, [&](bool s) { seekable = s; });
        QObject::connect(&control, &PlaybackControl::songFieldsChanged, [&] {
            mprisTitles << mpris.mprisMetadata().value(QStringLiteral("xesam:title")).toString();
        });
        control.lvDblClick(0);
        EXPECT_TRUE(control.IsPlaying());
        EXPECT_TRUE(waitFor([&] { return control.currentSongFields().title == QStringLiteral("Second Song"); }, 15000));
        EXPECT_EQ(control.currentSongFields().artist, QStringLiteral("Band B"));
        const QVariantMap metadata = mpris.mprisMetadata();
        EXPECT_EQ(metadata.value(QStringLiteral("xesam:artist")).toStringList(), QStringList{QStringLiteral("Band B")});
        EXPECT_FALSE(metadata.contains(QStringLiteral("mpris:length")));
        EXPECT_EQ(durationText, QString());
        control.stop();
    }
    EXPECT_EQ(mprisTitles, (QStringList{QStringLiteral("First Song"), QStringLiteral("Second Song")}));
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.last(), QStringLiteral("Band B - Second Song"));
    EXPECT_FALSE(seekable);
}

// Refused at once, or accepted and never answered: both end within the time-out (5 s for the
// open) with a line naming the stream, and the next song plays.
TEST_F(StreamPlaybackTest, AStreamThatCannotBeReachedIsLoggedAndPassedOver)
{
    const QString wav = dir.path() + QStringLiteral("/next.wav");
    QProcess ff;
    ff.start(QStringLiteral("ffmpeg"), {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                        QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                        QStringLiteral("sine=frequency=440:duration=2"), wav});
    ASSERT_TRUE(ff.waitForFinished(60000) && ff.exitCode() == 0);
    const QString dead[] = {QStringLiteral("http://127.0.0.1:%1/gone").arg(deadPort),
                            QString(url).replace(QStringLiteral("/live"), QStringLiteral("/silent"))};
    for (const QString &stream : dead) {
        lists.replaceAll({});
        addRow(stream);
        addRow(wav);
        QStringList log;
        PlaybackEngine engine(devices);
        PlaybackControl control(lists, engine.Factory(), options, lang);
        QObject::connect(&control, &PlaybackControl::logLine, [&log](const QString &line) { log << line; });
        QElapsedTimer took;
        took.start();
        control.lvDblClick(0);
        EXPECT_TRUE(waitFor([&] { return control.CurrentSongPath() == wav; }, 15000)) << qPrintable(stream);
        EXPECT_LT(took.elapsed(), 9000) << qPrintable(stream);
        EXPECT_TRUE(control.IsPlaying());
        ASSERT_GE(log.size(), 4) << qPrintable(stream);
        EXPECT_EQ(log[0], QLatin1Char('"') + stream + QLatin1Char('"'));
        EXPECT_EQ(log[1], QStringLiteral("  Stream can not be played. Error Code: "));
        EXPECT_TRUE(log[2].startsWith(QStringLiteral("  GStreamer call failed: "))) << qPrintable(log[2]);
        EXPECT_EQ(log[3], QStringLiteral("> Try to load next file..."));
        control.stop();
    }
}
