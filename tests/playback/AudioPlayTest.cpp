#include "GstLeakWatch.h"
#include "PlaybackFixtures.h"

#include "playback/AudioPlay.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <atomic>
#include <memory>

#include <unistd.h>

// The GStreamer player on real GStreamer, playing into a fakesink that keeps time (sync=true),
// so a song takes as long as it lasts and no sound card is needed.

namespace {

constexpr qint64 kUnitsPerSecond = 10000000;
const qint64 kFixtureUnits = qint64(AudioFixtures::kSeconds * kUnitsPerSecond);

class AudioPlayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        playbackTestApp();
        ASSERT_TRUE(AudioFixtures::get().failure().isEmpty()) << qPrintable(AudioFixtures::get().failure());
        devices.names = QStringList{QStringLiteral("Default")};
        devices.sinkOverride = QStringLiteral("fakesink sync=true");
        eventErrors.clear();
        TcbAudioPlay::SetEventErrorHandler([this](const EcbAudioPlayError &e) { eventErrors << e.message(); });
        leaks = std::make_unique<GstLeakWatch>();
        ASSERT_TRUE(leaks->active() || !GstLeakWatch::wanted()) << "GST_TRACERS=leaks, but no leaks tracer";
    }
    void TearDown() override
    {
        // Every player of the test is gone; messages still queued for it go now.
        pumpEvents(50);
        const QStringList alive = leaks->alive();
        EXPECT_TRUE(alive.isEmpty()) << "left alive: " << qPrintable(alive.join(QStringLiteral(", ")));
        leaks.reset();
    }

    QString file(const char *name) const { return AudioFixtures::get().path(QString::fromLatin1(name)); }

    std::unique_ptr<TcbAudioPlay> make(const QString &path, std::function<void()> next = {})
    {
        return std::make_unique<TcbAudioPlay>(devices, path, 0, std::move(next));
    }

    // The error constructing a player for path raises (code 0 and empty message when none).
    EcbAudioPlayError failureOf(const QString &path, int deviceIndex = 0)
    {
        try {
            TcbAudioPlay p(devices, path, deviceIndex, {});
        } catch (const EcbAudioPlayError &e) {
            return e;
        }
        return EcbAudioPlayError(QString(), 0);
    }

    TAudioDevices devices;
    QStringList eventErrors;
    std::unique_ptr<GstLeakWatch> leaks;
};

QByteArray TempRead(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The WAVEFORMATEX fields of GrabberFormat.
quint32 le(const QByteArray &b, int at, int size)
{
    quint32 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | quint8(b[at + i]);
    return v;
}

struct PlayCase
{
    const char *file;
};

class PlaysToTheEnd : public AudioPlayTest, public ::testing::WithParamInterface<PlayCase>
{
};

TEST_P(PlaysToTheEnd, PlaysAllOfItsSoundAndSignalsTheEndOnce)
{
    int ends = 0;
    std::atomic<qint64> bytes{0};
    auto p = make(file(GetParam().file), [&] { ++ends; });
    EXPECT_EQ(p->State(), kStateBuilt);
    EXPECT_EQ(p->GetTimeFormat(), QStringLiteral("{7B785574-8C82-11CF-BC0C-00AA00AC74F6}"));
    EXPECT_TRUE(p->Capabilities() & kCanSeekAbsolute);
    EXPECT_EQ(p->GetPosition(), 0);
    if (p->Capabilities() & kCanGetDuration) {
        EXPECT_NEAR(double(p->Duration()), double(kFixtureUnits), 0.15 * kUnitsPerSecond);
    }

    ASSERT_TRUE(p->HasGrabber());
    const QByteArray &wf = p->GrabberFormat();
    ASSERT_EQ(wf.size(), 18);
    const quint32 tag = le(wf, 0, 2), channels = le(wf, 2, 2), rate = le(wf, 4, 4);
    const quint32 perSecond = le(wf, 8, 4), align = le(wf, 12, 2), bits = le(wf, 14, 2);
    EXPECT_TRUE(tag == 1 || tag == 3) << tag;
    EXPECT_TRUE(channels == 1 || channels == 2) << channels; // the video file's tone is mono
    EXPECT_EQ(rate, 44100u);
    EXPECT_EQ(align, channels * bits / 8);
    EXPECT_EQ(perSecond, rate * align);
    p->SetOnBuffer([&](TcbAudioPlay &, const uchar *, qsizetype n) { bytes += n; });
    // Prerolling already passed the first buffers; from the start again, all of them pass.
    p->SetPosition(0, kSeekAbsolute);

    QElapsedTimer clock;
    clock.start();
    p->Play();
    EXPECT_EQ(p->State(), kStateRunning);
    ASSERT_TRUE(waitFor([&] { return ends > 0; }, 8000)) << "no end of song";
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, 350) << "the output keeps time";
    // The variable bit rate file may learn its length only while playing.
    EXPECT_TRUE(p->Capabilities() & kCanGetDuration);
    EXPECT_NEAR(double(p->Duration()), double(kFixtureUnits), 0.15 * kUnitsPerSecond);
    pumpEvents(300);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(eventErrors.isEmpty()) << qPrintable(eventErrors.join(QLatin1Char('\n')));
    // Everything decoded passed the tap, in whole sample frames.
    EXPECT_GT(double(bytes.load()), 0.9 * AudioFixtures::kSeconds * perSecond);
    EXPECT_LT(double(bytes.load()), 1.4 * AudioFixtures::kSeconds * perSecond);
    EXPECT_EQ(bytes.load() % align, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, PlaysToTheEnd,
                         ::testing::Values(PlayCase{"tone.mp3"}, PlayCase{"vbr.mp3"}, PlayCase{"tone.ogg"},
                                           PlayCase{"tone.wma"}, PlayCase{"tone.wav"}, PlayCase{"video.avi"}),
                         [](const auto &test) {
                             QString n = QString::fromLatin1(test.param.file);
                             return n.replace(QLatin1Char('.'), QLatin1Char('_')).toStdString();
                         });

TEST_F(AudioPlayTest, LoopRestartsAtTheStartInsteadOfEndingTheSong)
{
    int ends = 0, completes = 0;
    auto p = make(file("tone.wav"), [&] { ++ends; });
    p->SetLoop(true);
    qint64 positionAtRestart = -1;
    p->OnComplete = [&](IAudioPlayer &player) {
        ++completes;
        if (positionAtRestart < 0)
            positionAtRestart = player.GetPosition();
        EXPECT_EQ(player.State(), kStateRunning);
    };
    p->Play();
    ASSERT_TRUE(waitFor([&] { return completes >= 2; }, 8000));
    EXPECT_EQ(ends, 0);
    EXPECT_LT(positionAtRestart, kUnitsPerSecond / 5);
    // Switched off, the next end goes to the owner.
    p->SetLoop(false);
    ASSERT_TRUE(waitFor([&] { return ends == 1; }, 8000));
    pumpEvents(200);
    EXPECT_EQ(ends, 1);
}

TEST_F(AudioPlayTest, SeekingMovesThePosition)
{
    int ends = 0;
    auto p = make(file("tone.mp3"), [&] { ++ends; });
    const qint64 tenth = kUnitsPerSecond / 10;
    struct Step { qint64 position; quint32 flags; qint64 expected; };
    for (const Step s : {Step{3 * tenth, kSeekAbsolute, 3 * tenth}, Step{tenth, kSeekRelative, 4 * tenth},
                         Step{-2 * tenth, kSeekRelative, 2 * tenth}, Step{-5 * tenth, kSeekAbsolute, 0},
                         Step{5 * tenth, kSeekNoPositioning, 0}}) {
        p->SetPosition(s.position, s.flags);
        EXPECT_NEAR(double(p->GetPosition()), double(s.expected), 0.03 * kUnitsPerSecond) << s.position << ' ' << s.flags;
    }
    try {
        p->SetPosition(0, 7);
        ADD_FAILURE() << "flags 7 accepted";
    } catch (const EcbAudioPlayError &e) {
        EXPECT_EQ(e.ErrorCode(), kErrorInvalidArgument);
    }
    // Near the end while running: the song ends soon after.
    p->Play();
    p->SetPosition(5 * tenth, kSeekAbsolute);
    EXPECT_EQ(p->State(), kStateRunning);
    // The position jumped: no clock in the test, so a loaded machine cannot make it fail.
    EXPECT_TRUE(waitFor([&] { return ends == 1 || p->GetPosition() >= 5 * tenth; }, 5000));
    ASSERT_TRUE(waitFor([&] { return ends == 1; }, 5000));
    // Past the end is the end.
    p->SetPosition(10 * kFixtureUnits, kSeekAbsolute);
    EXPECT_LE(p->GetPosition(), p->Duration());
}

TEST_F(AudioPlayTest, PauseKeepsThePosition)
{
    auto p = make(file("tone.wav"));
    p->Play();
    pumpEvents(250);
    p->Pause();
    EXPECT_EQ(p->State(), kStatePaused);
    const qint64 at = p->GetPosition();
    EXPECT_GT(at, kUnitsPerSecond / 10);
    pumpEvents(200);
    EXPECT_EQ(p->GetPosition(), at);
    p->Play();
    EXPECT_EQ(p->State(), kStateRunning);
}

TEST_F(AudioPlayTest, VolumeAndBalanceInHundredthsOfADecibel)
{
    auto p = make(file("tone.wav"));
    EXPECT_EQ(p->GetVolume(), 0);
    struct Case { int value; bool ok; };
    for (const Case c : {Case{0, true}, Case{-1, true}, Case{-2000, true}, Case{-10000, true}, Case{100, false},
                         Case{1, false}, Case{-10001, false}}) {
        try {
            p->SetVolume(c.value);
            EXPECT_TRUE(c.ok) << c.value;
            EXPECT_EQ(p->GetVolume(), c.value);
        } catch (const EcbAudioPlayError &e) {
            EXPECT_FALSE(c.ok) << c.value;
            EXPECT_EQ(e.ErrorCode(), qint32(0x80070057u));
            EXPECT_EQ(e.message(), QStringLiteral("GStreamer call failed: 80070057\rOne of the parameters is invalid."));
        }
    }
    EXPECT_EQ(p->GetBalance(), 0);
    for (const Case c : {Case{1000, true}, Case{-2500, true}, Case{10000, true}, Case{0, true}, Case{10001, false},
                         Case{-10001, false}}) {
        try {
            p->SetBalance(c.value);
            EXPECT_TRUE(c.ok) << c.value;
            EXPECT_NEAR(p->GetBalance(), c.value, 1);
        } catch (const EcbAudioPlayError &e) {
            EXPECT_FALSE(c.ok) << c.value;
            EXPECT_EQ(e.ErrorCode(), kErrorInvalidArgument);
        }
    }
}

// The level each channel reaches at the output: the song played to its end into a file as
// 16-bit stereo, after setUp ran on the waiting (prerolled) player. Peak per channel.
struct ChannelPeaks
{
    int left = -1, right = -1;
};

ChannelPeaks outputPeaks(const TAudioDevices &base, const QString &song, const std::function<void(TcbAudioPlay &)> &setUp)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.raw"));
    TAudioDevices devices = base;
    devices.sinkOverride = QStringLiteral("audioconvert ! audio/x-raw,format=S16LE,channels=2 ! filesink location=\"%1\"").arg(out);
    bool ended = false;
    {
        TcbAudioPlay p(devices, song, 0, [&] { ended = true; });
        setUp(p);
        p.Play();
        if (!waitFor([&] { return ended; }, 8000))
            return {};
    }
    const QByteArray raw = TempRead(out);
    ChannelPeaks peaks{0, 0};
    for (qsizetype i = 0; i + 4 <= raw.size(); i += 4) {
        const auto sample = [&](qsizetype at) { return std::abs(int(qint16(quint8(raw[at]) | quint8(raw[at + 1]) << 8))); };
        peaks.left = std::max(peaks.left, sample(i));
        peaks.right = std::max(peaks.right, sample(i + 2));
    }
    return peaks;
}

TEST_F(AudioPlayTest, VolumeAndBalanceChangeTheOutputEvenBeforeTheStart)
{
    // Set before Play, the change must reach the buffer that already waits at the output.
    const QString song = file("tone.wav");
    const ChannelPeaks full = outputPeaks(devices, song, [](TcbAudioPlay &) {});
    ASSERT_GT(full.left, 1000);
    ASSERT_GT(full.right, 1000);
    const ChannelPeaks half = outputPeaks(devices, song, [](TcbAudioPlay &p) { p.SetVolume(-600); });
    EXPECT_NEAR(double(half.left) / full.left, 0.501, 0.025);
    EXPECT_NEAR(double(half.right) / full.right, 0.501, 0.025);
    const ChannelPeaks silent = outputPeaks(devices, song, [](TcbAudioPlay &p) { p.SetVolume(-10000); });
    EXPECT_EQ(silent.left, 0);
    EXPECT_EQ(silent.right, 0);
    const ChannelPeaks right = outputPeaks(devices, song, [](TcbAudioPlay &p) { p.SetBalance(10000); });
    EXPECT_EQ(right.left, 0);
    EXPECT_NEAR(right.right, full.right, full.right / 50);
    const ChannelPeaks left = outputPeaks(devices, song, [](TcbAudioPlay &p) {
        p.SetPosition(kFixtureUnits / 3, kSeekAbsolute); // the change also reaches a moved start
        p.SetBalance(-10000);
    });
    EXPECT_NEAR(left.left, full.left, full.left / 50);
    EXPECT_EQ(left.right, 0);
}

TEST_F(AudioPlayTest, UnplayableFilesRaiseWithTheFrameworkMessage)
{
    QTemporaryDir dir;
    const QString text = dir.path() + QStringLiteral("/text.mp3");
    const QString empty = dir.path() + QStringLiteral("/empty.mp3");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("This is a letter, not a song.\n");
        QFile e(empty);
        ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    }
    struct Case
    {
        QString path;
        quint32 code;
    };
    // A device behind a song's name must not be read forever.
    const QString zero = dir.path() + QStringLiteral("/zero.mp3"), random = dir.path() + QStringLiteral("/random.mp3");
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(zero).constData()), 0);
    ASSERT_EQ(::symlink("/dev/urandom", QFile::encodeName(random).constData()), 0);
    // Missing file: resource error 3; no known type: stream error 4; a folder or device: resource 5.
    for (const Case &c : {Case{dir.path() + QStringLiteral("/missing.mp3"), 0x80470303u}, Case{text, 0x80470404u},
                          Case{empty, 0x80470404u}, Case{dir.path(), 0x80470305u}, Case{zero, 0x80470305u},
                          Case{random, 0x80470305u}}) {
        const EcbAudioPlayError e = failureOf(c.path);
        EXPECT_EQ(quint32(e.ErrorCode()), c.code) << qPrintable(c.path) << ' ' << qPrintable(e.message());
        const QString head = QStringLiteral("GStreamer call failed: %1\r").arg(QString::number(c.code, 16).toUpper());
        EXPECT_TRUE(e.message().startsWith(head)) << qPrintable(e.message());
        EXPECT_GT(e.message().size(), head.size()) << "a description follows";
    }
}

TEST_F(AudioPlayTest, DamagedFilesRaiseOrPlayButNeverHang)
{
    QTemporaryDir dir;
    const QByteArray mp3 = TempRead(file("tone.mp3"));
    const QByteArray ogg = TempRead(file("tone.ogg"));
    ASSERT_FALSE(mp3.isEmpty());
    QByteArray noise(20000, '\0');
    quint32 x = 12345;
    for (char &b : noise) {
        x = x * 1103515245u + 12345u;
        b = char(x >> 16);
    }
    struct Case { const char *name; QByteArray bytes; };
    for (const Case &c : {Case{"half.mp3", mp3.left(mp3.size() / 2)}, Case{"tail.mp3", mp3.mid(mp3.size() / 3)},
                          Case{"half.ogg", ogg.left(ogg.size() / 2)}, Case{"noise.ogg", noise},
                          Case{"noise.wma", noise}, Case{"header.ogg", ogg.left(60)}}) {
        const QString path = dir.path() + QLatin1Char('/') + QString::fromLatin1(c.name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        int ends = 0;
        try {
            auto p = make(path, [&] { ++ends; });
            p->Play();
            EXPECT_TRUE(waitFor([&] { return ends > 0; }, 5000)) << c.name << " neither failed nor ended";
        } catch (const EcbAudioPlayError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("GStreamer call failed: ")) || e.ErrorCode() == 1000)
                << c.name << ' ' << qPrintable(e.message());
        }
    }
}

TEST_F(AudioPlayTest, FileNameKeepsEveryCharacter)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/\u00dcn\u00efc\u00f6d\u00e9 \u266a \u6b4c.mp3");
    ASSERT_TRUE(QFile::copy(file("tone.mp3"), path));
    int ends = 0;
    auto p = make(path, [&] { ++ends; });
    EXPECT_EQ(p->FileName(), path);
    p->Play();
    EXPECT_TRUE(waitFor([&] { return ends == 1; }, 5000));
}

TEST_F(AudioPlayTest, VideoOnlyFileHasNoAudioStream)
{
    const EcbAudioPlayError e = failureOf(file("video_only.avi"));
    EXPECT_EQ(e.ErrorCode(), 1000);
    EXPECT_EQ(e.message(), QStringLiteral("Specified file doesn't have any audio stream."));
}

TEST_F(AudioPlayTest, DefaultOutputWithoutSoundServerIsNotConnected)
{
    if (QFileInfo(QStringLiteral("/proc/asound/cards")).size() > 0 || QFile::exists(QStringLiteral("/dev/snd")))
        GTEST_SKIP() << "a sound card is present";
    const QByteArray oldServer = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:/nonexistent/sonalo-test/native");
    devices.sinkOverride.clear();
    // Any index outside the list means the default output.
    for (int index : {0, -1, 99}) {
        const EcbAudioPlayError e = failureOf(file("tone.wav"), index);
        EXPECT_EQ(e.ErrorCode(), 1001) << index << ' ' << qPrintable(e.message());
        EXPECT_EQ(e.message(), QStringLiteral("Selected audio device not connected"));
    }
    if (oldServer.isNull())
        qunsetenv("PULSE_SERVER");
    else
        qputenv("PULSE_SERVER", oldServer);
}

TEST_F(AudioPlayTest, ErrorWhilePlayingEndsTheSong)
{
    // identity raises a stream error after a few buffers, in the middle of the song.
    devices.sinkOverride = QStringLiteral("identity error-after=8 ! fakesink sync=true");
    int ends = 0;
    auto p = make(file("tone.wav"), [&] { ++ends; });
    p->SetLoop(true); // a failed stream is not restarted
    p->Play();
    ASSERT_TRUE(waitFor([&] { return ends == 1; }, 5000));
    pumpEvents(200);
    EXPECT_EQ(ends, 1);
    ASSERT_EQ(eventErrors.size(), 1);
    // Core error 1, with identity's own text.
    EXPECT_EQ(eventErrors[0], QStringLiteral("GStreamer call failed: 80470101\rFailed after iterations as requested."));
}

TEST_F(AudioPlayTest, ErrorBeforeTheStartIsRaisedByPlay)
{
    devices.sinkOverride = QStringLiteral("identity error-after=2 ! fakesink sync=true");
    int ends = 0;
    auto p = make(file("tone.wav"), [&] { ++ends; });
    // Prerolling passes one buffer; seeking back and forth pushes more while paused.
    for (int i = 0; i < 4; ++i) {
        try {
            p->SetPosition(i % 2 ? 0 : kUnitsPerSecond / 10, kSeekAbsolute);
        } catch (const EcbAudioPlayError &) {
        }
    }
    pumpEvents(100);
    EXPECT_THROW(p->Play(), EcbAudioPlayError);
    EXPECT_EQ(ends, 0);
}

TEST_F(AudioPlayTest, DestroyedInAnyState)
{
    int ends = 0;
    // Built, running, paused, mid-seek, ended.
    make(file("tone.mp3")).reset();
    {
        auto p = make(file("tone.mp3"), [&] { ++ends; });
        p->Play();
    }
    {
        auto p = make(file("tone.ogg"), [&] { ++ends; });
        p->Play();
        p->Pause();
    }
    {
        auto p = make(file("tone.wma"), [&] { ++ends; });
        p->Play();
        p->SetPosition(kFixtureUnits - kUnitsPerSecond / 20, kSeekAbsolute);
    }
    // Its end message is still on the way when it goes.
    {
        auto p = make(file("tone.wav"), [&] { ++ends; });
        p->Play();
        p->SetPosition(kFixtureUnits, kSeekAbsolute);
        QThread::msleep(200);
    }
    pumpEvents(300);
    EXPECT_EQ(ends, 0) << "no message reaches a destroyed player";
}

TEST_F(AudioPlayTest, DestroyedByItsOwnEndOfSongCallback)
{
    // What the playback control does: the next-song command replaces the player.
    std::unique_ptr<TcbAudioPlay> player;
    QStringList started;
    const QStringList songs{file("tone.wav"), file("tone.mp3"), file("tone.ogg")};
    std::function<void()> next = [&] {
        player.reset();
        if (started.size() <= songs.size()) {
            started << songs[started.size() - 1];
            player = make(started.last(), next);
            player->Play();
        }
    };
    started << file("video.avi");
    player = make(started.last(), next);
    player->Play();
    ASSERT_TRUE(waitFor([&] { return !player; }, 15000));
    EXPECT_EQ(started.size(), 4);

    // And from OnComplete after a Loop restart.
    player = make(file("tone.wav"));
    player->SetLoop(true);
    player->OnComplete = [&](IAudioPlayer &) { player.reset(); };
    player->Play();
    ASSERT_TRUE(waitFor([&] { return !player; }, 5000));
    pumpEvents(100);
}

TEST_F(AudioPlayTest, AudioDevicesStartWithDefault)
{
    const TAudioDevices d = TAudioDevices::Enumerate();
    ASSERT_FALSE(d.names.isEmpty());
    EXPECT_EQ(d.names[0], QStringLiteral("Default"));
    EXPECT_EQ(d.sinkOverride, qEnvironmentVariable("SONALO_AUDIO_SINK"));
}

} // namespace

// A band raised to +12 dB while the song plays raises a sine at its centre by 12 dB in what
// reaches the output, without a restart; all bands at 0 dB leave every sample as it was.
TEST_F(AudioPlayTest, EqualizerBandIsHeardWhilePlaying)
{
    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("947.wav")), rec = dir.filePath(QStringLiteral("rec.raw"));
    QProcess ff;
    ff.start(QStringLiteral("ffmpeg"), {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                        QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                        QStringLiteral("sine=frequency=947:sample_rate=44100:duration=3"), tone});
    ASSERT_TRUE(ff.waitForFinished(30000) && ff.exitCode() == 0);
    devices.sinkOverride = QStringLiteral("audioconvert dithering=none ! audio/x-raw,format=S16LE,channels=1 ! "
                                          "filesink sync=true location=") + rec;
    bool ended = false;
    auto player = make(tone, [&] { ended = true; });
    player->SetEqualizer({});
    player->Play();
    pumpEvents(300);
    std::array<double, 10> gains{};
    gains[5] = 12.0; // 947 Hz
    player->SetEqualizer(gains);
    ASSERT_TRUE(waitFor([&] { return ended; }, 10000));
    player.reset();
    QFile f(rec);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    // RMS in dB of the samples [from, to) (seconds).
    auto level = [&](double from, double to) {
        double sum = 0;
        qsizetype n = 0;
        for (qsizetype i = qsizetype(from * 44100); i < qsizetype(to * 44100) && 2 * i + 1 < raw.size(); ++i, ++n) {
            const double s = qint16(quint16(quint8(raw[2 * i])) | quint16(quint8(raw[2 * i + 1])) << 8);
            sum += s * s;
        }
        return n ? 10 * std::log10(sum / double(n)) : 0.0;
    };
    // playbin keeps about a second of sound between its filters and the output: what was
    // decoded before the change sounds for that long.
    const double before = level(0.1, 1.0), after = level(2.2, 2.9);
    std::printf("947 Hz: %.2f dB before, %.2f dB after the band went to +12 dB: %+.2f dB\n", before, after, after - before);
    EXPECT_NEAR(after - before, 12.0, 0.5);
}
