// ReplayGain heard on real GStreamer: a sine tagged with gains and peaks, played by the playback
// control through the engine into a file (raw samples), against the sine itself. The level
// must be what the values and settings ask for within 0.1 dB, and at a gapless join the next
// song's factor must begin exactly at its first sample.
#include "playback/AudioPlay.h"
#include "playback/DisplayOptionsModel.h"
#include "playback/PlaybackControl.h"
#include "playback/PlaybackEngine.h"

#include "GstLeakWatch.h"
#include "PlaybackFixtures.h"
#include "RecordedSound.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kRate = 44100;
// Under a second each: the position display re-seeks a song once after its first second, and
// a flushing seek starts the recording file anew.
constexpr int kTotal = 35280; // 0.8 s
constexpr int kCut = 17689;   // where the gapless pair is cut: no FLAC block boundary
constexpr int kSkip = 2000;   // samples left out at each end of the level measurement

using Mode = ReplayGainModel::Mode;

struct LevelCase
{
    const char *name;
    QStringList tags; // REPLAYGAIN_* texts as the file holds them
    Mode mode;
    double preampDb, defaultDb;
    bool preventClipping, random;
    double expectedDb; // against the untagged sine
};

double rms(const QList<int> &s, qsizetype from, qsizetype to)
{
    double sum = 0;
    for (qsizetype i = from; i < to; ++i)
        sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

class ReplayGainPlay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        playbackTestApp();
        leaks = std::make_unique<GstLeakWatch>();
        const QString sine = QStringLiteral("sine=frequency=441:sample_rate=%1:duration=0.8").arg(kRate);
        ASSERT_TRUE(ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), sine, QStringLiteral("-ac"),
                            QStringLiteral("2"), QStringLiteral("-f"), QStringLiteral("s16le"), path("ref.raw")}));
        QFile refFile(path("ref.raw"));
        ASSERT_TRUE(refFile.open(QIODevice::ReadOnly));
        ref = leftChannel(refFile.readAll());
        ASSERT_EQ(ref.size(), kTotal);
        devices.names = QStringList{QStringLiteral("Default")};
        devices.sinkOverride = QStringLiteral("audioconvert dithering=none ! audio/x-raw,format=S16LE,channels=2 ! "
                                              "filesink sync=true append=true location=")
                               + path("rec.raw");
    }
    void TearDown() override
    {
        pumpEvents(50);
        const QStringList alive = leaks->alive();
        EXPECT_TRUE(alive.isEmpty()) << "left alive: " << qPrintable(alive.join(QStringLiteral(", ")));
    }

    QString path(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
    QString path(const char *name) const { return path(QLatin1String(name)); }

    // A FLAC file of the sine (or a part of it), with the given tags, appended to the table.
    void addSong(const QString &name, const QStringList &tags, const QString &trim = QString())
    {
        QStringList args = {QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-ar"), QString::number(kRate),
                            QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-i"), path("ref.raw")};
        if (!trim.isEmpty())
            args << QStringLiteral("-af") << trim;
        for (const QString &t : tags)
            args << QStringLiteral("-metadata") << t;
        ASSERT_TRUE(ffmpeg(args << path(name)));
        TSongRecord r;
        r.Path = path(name);
        lists.append(r);
    }

    // Plays the table from its first row, gapless, until songs songs have started and the
    // recording holds samples samples; returns its left channel.
    QList<int> record(int songs, qsizetype samples)
    {
        {
            PlaybackEngine engine(devices);
            PlaybackControl control(lists, engine.Factory(), options, lang);
            // As the program wires it.
            engine.setNextSongSource([&control] { return control.prepareNextSong(); });
            engine.setGainSource([&](const QString &file) {
                return control.replayGain().factorForFile(file, options.randomOrder());
            });
            ReplayGainModel &rg = control.replayGain();
            rg.setMode(settings.mode);
            rg.setPreampDb(settings.preampDb);
            rg.setDefaultDb(settings.defaultDb);
            rg.setPreventClipping(settings.preventClipping);
            control.lvDblClick(0);
            waitFor([&] { return control.PlayHistory().size() >= songs && QFile(path("rec.raw")).size() >= samples * 4; },
                    20000);
            control.stop();
            engine.setNextSongSource({});
        }
        QFile f(path("rec.raw"));
        return f.open(QIODevice::ReadOnly) ? leftChannel(f.readAll()) : QList<int>();
    }

    struct Settings
    {
        Mode mode = Mode::Track;
        double preampDb = 0, defaultDb = 0;
        bool preventClipping = true;
    } settings;
    QTemporaryDir dir;
    QList<int> ref;
    TAudioDevices devices;
    SongLists lists{QString()};
    DisplayOptionsModel options;
    LanguageCode lang;
    std::unique_ptr<GstLeakWatch> leaks;
};

class ReplayGainLevel : public ReplayGainPlay, public ::testing::WithParamInterface<LevelCase>
{
};

} // namespace

TEST_P(ReplayGainLevel, IsWhatTheValuesAndSettingsAskFor)
{
    const LevelCase &c = GetParam();
    settings = {c.mode, c.preampDb, c.defaultDb, c.preventClipping};
    options.setRandomOrder(c.random);
    addSong(QStringLiteral("song.flac"), c.tags);
    const QList<int> rec = record(1, kTotal - kSkip);
    ASSERT_GE(rec.size(), kTotal - kSkip);
    const double db = 20 * std::log10(rms(rec, kSkip, kTotal - 2 * kSkip) / rms(ref, kSkip, kTotal - 2 * kSkip));
    std::printf("%s: %.3f dB (expected %.3f)\n", c.name, db, c.expectedDb);
    EXPECT_NEAR(db, c.expectedDb, 0.1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplayGainLevel,
    ::testing::Values(
        LevelCase{"Untagged", {}, Mode::Track, 0, 0, true, false, 0.0},
        LevelCase{"TrackMinus6", {QStringLiteral("REPLAYGAIN_TRACK_GAIN=-6.00 dB")}, Mode::Track, 0, 0, true, false, -6.0},
        LevelCase{"OffIgnoresTags", {QStringLiteral("REPLAYGAIN_TRACK_GAIN=-6.00 dB")}, Mode::Off, 4, -3, true, false, 0.0},
        LevelCase{"Album",
                  {QStringLiteral("REPLAYGAIN_TRACK_GAIN=-6.00 dB"), QStringLiteral("REPLAYGAIN_ALBUM_GAIN=-3.00 dB")},
                  Mode::Album, 0, 0, true, false, -3.0},
        LevelCase{"AutomaticInOrderIsAlbum",
                  {QStringLiteral("REPLAYGAIN_TRACK_GAIN=-6.00 dB"), QStringLiteral("REPLAYGAIN_ALBUM_GAIN=-3.00 dB")},
                  Mode::Automatic, 0, 0, true, false, -3.0},
        LevelCase{"AutomaticAtRandomIsTrack",
                  {QStringLiteral("REPLAYGAIN_TRACK_GAIN=-6.00 dB"), QStringLiteral("REPLAYGAIN_ALBUM_GAIN=-3.00 dB")},
                  Mode::Automatic, 0, 0, true, true, -6.0},
        LevelCase{"PreampAdds", {QStringLiteral("REPLAYGAIN_TRACK_GAIN=-6.00 dB")}, Mode::Track, 4, 0, true, false, -2.0},
        LevelCase{"DefaultForUntagged", {}, Mode::Track, 4, -3, true, false, -3.0},
        // +6 dB would lift the peak 0.8 to 1.6: held at 1 / 0.8 (+1.94 dB).
        LevelCase{"PeakLimits",
                  {QStringLiteral("REPLAYGAIN_TRACK_GAIN=+6.00 dB"), QStringLiteral("REPLAYGAIN_TRACK_PEAK=0.8")},
                  Mode::Track, 0, 0, true, false, 20 * std::log10(1 / 0.8)},
        LevelCase{"PeakIgnoredWithoutPrevention",
                  {QStringLiteral("REPLAYGAIN_TRACK_GAIN=+6.00 dB"), QStringLiteral("REPLAYGAIN_TRACK_PEAK=0.8")},
                  Mode::Track, 0, 0, false, false, 6.0}),
    [](const ::testing::TestParamInfo<LevelCase> &p) { return std::string(p.param.name); });

// Two halves of the sine, the second tagged -6 dB, joined without a gap: the recording is the
// sine itself up to the cut and the sine at half amplitude from the very next sample.
TEST_F(ReplayGainPlay, TheNextSongsGainBeginsExactlyAtTheJoin)
{
    options.setRandomOrder(false);
    addSong(QStringLiteral("a.flac"), {}, QStringLiteral("atrim=end_sample=%1").arg(kCut));
    addSong(QStringLiteral("b.flac"), {QStringLiteral("REPLAYGAIN_TRACK_GAIN=-6.0206 dB")},
            QStringLiteral("atrim=start_sample=%1,asetpts=N/SR/TB").arg(kCut));
    const QList<int> rec = record(2, kTotal);
    ASSERT_GE(rec.size(), kTotal);
    int before = 0, after = 0; // largest difference to the expected sample on each side
    for (int i = kCut - 2048; i < kCut; ++i)
        before = std::max(before, std::abs(rec[i] - ref[i]));
    for (int i = kCut; i < kCut + 2048; ++i)
        after = std::max(after, std::abs(rec[i] - ref[i] / 2));
    EXPECT_EQ(before, 0);
    EXPECT_LE(after, 1); // the volume element's rounding
}
