// Tracks of a CUE sheet on real GStreamer, recorded through a pipe (raw samples): one WAV
// whose every sample tells its own position, cut into three tracks by a sheet. Track 2 must
// start exactly at its INDEX 01 and track 3 follow from exactly where track 2 ends, whether
// the engine joins them (gapless) or opens track 3 anew. A pipe, unlike a file, is not emptied
// by the flushing seek that starts a track.
#include "playback/AudioPlay.h"
#include "playback/DisplayOptionsModel.h"
#include "playback/PlaybackControl.h"
#include "playback/PlaybackEngine.h"

#include "core/playlists/PlaylistFiles.h"

#include "GstLeakWatch.h"
#include "PlaybackFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <thread>

namespace {

constexpr int kRate = 44100;
constexpr int kTotal = 79380;  // 1.8 s
constexpr int kTrack2 = 26460; // 00:00:45
constexpr int kTrack3 = 52920; // 00:01:15

// Sample i as (left, right): unique over the file, so any shift shows.
qint16 leftOf(int i) { return qint16(i & 0x7FFF); }
qint16 rightOf(int i) { return qint16(i >> 15); }

QByteArray wavBytes()
{
    QByteArray data;
    for (int i = 0; i < kTotal; ++i) {
        char s[4];
        qToLittleEndian<qint16>(leftOf(i), s);
        qToLittleEndian<qint16>(rightOf(i), s + 2);
        data.append(s, 4);
    }
    QByteArray h = "RIFF....WAVEfmt ";
    auto u32 = [&h](quint32 v) { char b[4]; qToLittleEndian(v, b); h.append(b, 4); };
    auto u16 = [&h](quint16 v) { char b[2]; qToLittleEndian(v, b); h.append(b, 2); };
    u32(16); u16(1); u16(2); u32(kRate); u32(kRate * 4); u16(4); u16(16);
    h += "data";
    u32(quint32(data.size()));
    qToLittleEndian<quint32>(quint32(h.size() - 8 + data.size()), h.data() + 4);
    return h + data;
}

// What every filesink of the test writes into one pipe, collected until it is closed.
class PipeRecording
{
public:
    PipeRecording()
    {
        if (pipe(m_fds) != 0)
            return;
        m_reader = std::thread([this] {
            char buf[65536];
            ssize_t n;
            while ((n = read(m_fds[0], buf, sizeof buf)) > 0)
                m_bytes.append(buf, n);
        });
    }
    ~PipeRecording() { finish(); }
    QString location() const { return QStringLiteral("/proc/self/fd/%1").arg(m_fds[1]); }
    // The bytes written, once every writer is gone.
    const QByteArray &finish()
    {
        if (m_reader.joinable()) {
            close(m_fds[1]);
            m_reader.join();
            close(m_fds[0]);
        }
        return m_bytes;
    }

private:
    int m_fds[2] = {-1, -1};
    std::thread m_reader;
    QByteArray m_bytes;
};

struct Case
{
    const char *name;
    bool gapless;
    QList<bool> continued; // whether tracks 2 and 3 came by a gapless switch
};

class SheetTrackPlaybackTest : public ::testing::TestWithParam<Case>
{
protected:
    void SetUp() override
    {
        playbackTestApp();
        leaks = std::make_unique<GstLeakWatch>();
        write("album.wav", wavBytes());
        write("album.cue", "FILE \"album.wav\" WAVE\n"
                           "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                           "  TRACK 02 AUDIO\n    INDEX 00 00:00:40\n    INDEX 01 00:00:45\n"
                           "  TRACK 03 AUDIO\n    INDEX 01 00:01:15\n");
        LoadForeignPlaylist(lists, path("album.cue"), {});
        devices.names = QStringList{QStringLiteral("Default")};
        devices.sinkOverride = QStringLiteral("audioconvert dithering=none ! audio/x-raw,format=S16LE,channels=2 ! "
                                              "filesink sync=true buffer-mode=unbuffered location=")
                               + recording.location();
        options.setRandomOrder(false);
    }
    void TearDown() override
    {
        pumpEvents(50);
        const QStringList alive = leaks->alive();
        EXPECT_TRUE(alive.isEmpty()) << "left alive: " << qPrintable(alive.join(QStringLiteral(", ")));
    }

    QString path(const char *name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }
    void write(const char *name, const QByteArray &bytes)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
    PipeRecording recording;
    TAudioDevices devices;
    SongLists lists{QString()};
    DisplayOptionsModel options;
    LanguageCode lang;
    std::unique_ptr<GstLeakWatch> leaks;
};

} // namespace

TEST_P(SheetTrackPlaybackTest, TrackTwoPlaysExactlyItsPartAndTrackThreeFollows)
{
    ASSERT_EQ(lists.AllSongs().size(), 3);
    options.setGapless(GetParam().gapless);
    QList<bool> continued;
    qint64 trackTwoLength = -1;
    {
        PlaybackEngine engine(devices);
        engine.setGapless(GetParam().gapless);
        PlaybackControl control(lists, engine.Factory(), options, lang);
        engine.setNextSongSource([&control] { return control.prepareNextSong(); });
        QObject::connect(&control, &PlaybackControl::songChanged, [&] {
            if (auto *p = dynamic_cast<TcbAudioPlay *>(control.Player()))
                continued << p->Continued();
        });
        control.lvDblClick(1); // out of order: the track's start is sought
        ASSERT_TRUE(control.Player());
        trackTwoLength = control.Player()->Duration();
        // Track 3, then track 1 again from the top.
        EXPECT_TRUE(waitFor([&] { return control.PlayHistory().size() >= 3; }, 20000));
        pumpEvents(300);
        control.stop();
        engine.setNextSongSource({});
    }
    EXPECT_EQ(continued.mid(0, 2), GetParam().continued);
    EXPECT_EQ(trackTwoLength, qint64(kTrack3 - kTrack2) * 10'000'000 / kRate); // 100 ns units

    const QByteArray raw = recording.finish();
    const qsizetype frames = raw.size() / 4;
    ASSERT_GE(frames, kTotal - kTrack2);
    qsizetype firstDifference = -1;
    for (qsizetype k = 0; k < kTotal - kTrack2 && firstDifference < 0; ++k) {
        const qint16 l = qFromLittleEndian<qint16>(raw.constData() + 4 * k);
        const qint16 r = qFromLittleEndian<qint16>(raw.constData() + 4 * k + 2);
        if (l != leftOf(kTrack2 + int(k)) || r != rightOf(kTrack2 + int(k)))
            firstDifference = k;
    }
    EXPECT_EQ(firstDifference, -1) << "the recording leaves the file at sample " << kTrack2 + firstDifference
                                   << " (track 3 starts at " << kTrack3 << ")";
}

INSTANTIATE_TEST_SUITE_P(Engines, SheetTrackPlaybackTest,
                         ::testing::Values(Case{"gapless", true, {false, true}}, Case{"separate", false, {false, false}}),
                         [](const ::testing::TestParamInfo<Case> &p) { return std::string(p.param.name); });
