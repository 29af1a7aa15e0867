// Time to sound. DoubleClickToSound: from the call a double click on a table row makes
// (PlaybackControl::lvDblClick) to the first samples the output writes, ReplayGain on, the engine's playbin
// already built (Warm) or built by that click (FirstSong). TrackChange_OnePipelineEach: gapless
// play off, from the last sample of one song to the first of the next. Beside each, in the same
// process and into the same output, a bare GStreamer playbin doing the same (Baseline_*).
//
// The output is a file written unbuffered at the pace of the clock (filesink sync=true): the
// time a sample reaches it is when its growth is seen (polled every 0.2 ms). A sound server
// adds its own latency to both sides alike. Release build:
//   build-bench/bench/play_start_bench
#include "playback/AudioPlay.h"
#include "playback/DisplayOptionsModel.h"
#include "playback/PlaybackControl.h"
#include "playback/PlaybackEngine.h"

#include "core/LanguageCode.h"
#include "core/SongLists.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include <cstdlib>

namespace {

constexpr qint64 kSongBytes = 44100 * 4; // one second, 16-bit stereo

QTemporaryDir &dir()
{
    static QTemporaryDir d;
    return d;
}

QString path(const char *name)
{
    return dir().path() + QLatin1Char('/') + QLatin1String(name);
}

QString outputDescription()
{
    return QStringLiteral("audioconvert ! audio/x-raw,format=S16LE,channels=2,rate=44100 ! "
                          "filesink sync=true append=true buffer-mode=2 location=")
        + path("rec.raw");
}

// Two one-second sines as WAV files (made once).
void makeSongs()
{
    static bool made = false;
    if (made)
        return;
    for (const char *name : {"a.wav", "b.wav"}) {
        QProcess p;
        p.start(QStringLiteral("ffmpeg"),
                {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                 QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                 QStringLiteral("sine=frequency=441:sample_rate=44100:duration=1"), QStringLiteral("-ac"),
                 QStringLiteral("2"), path(name)});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            std::fprintf(stderr, "ffmpeg could not make the songs\n");
            std::exit(2);
        }
    }
    made = true;
}

// Waits (handling the window thread's events) until the output holds more than bytes; the
// elapsed time of clock then, or -1 after 10 s.
qint64 waitForOutput(qint64 bytes, const QElapsedTimer &clock)
{
    while (clock.elapsed() < 10000) {
        if (QFileInfo(path("rec.raw")).size() > bytes)
            return clock.nsecsElapsed();
        QCoreApplication::processEvents();
        QThread::usleep(200);
    }
    return -1;
}

void report(benchmark::State &state, qint64 ns)
{
    if (ns < 0)
        state.SkipWithError("no sound within 10 s");
    else
        state.SetIterationTime(double(ns) / 1e9);
}

struct Player
{
    Player(bool gapless)
    {
        devices.names = QStringList{QStringLiteral("Default")};
        devices.sinkOverride = outputDescription();
        options.setRandomOrder(false);
        options.setGapless(gapless);
        for (const char *name : {"a.wav", "b.wav"}) {
            TSongRecord r;
            r.Path = path(name);
            lists.append(r);
        }
        engine = std::make_unique<PlaybackEngine>(devices);
        engine->setGapless(gapless);
        control = std::make_unique<PlaybackControl>(lists, engine->Factory(), options, lang);
        engine->setNextSongSource([this] { return control->prepareNextSong(); });
        // ReplayGain on, as the program wires it: each start reads the song's values.
        engine->setGainSource([this](const QString &file) {
            return control->replayGain().factorForFile(file, options.randomOrder());
        });
        control->replayGain().setMode(ReplayGainModel::Mode::Track);
    }
    ~Player()
    {
        control->stop();
        engine->setNextSongSource({});
    }
    TAudioDevices devices;
    SongLists lists{QString()};
    DisplayOptionsModel options;
    LanguageCode lang;
    std::unique_ptr<PlaybackEngine> engine;
    std::unique_ptr<PlaybackControl> control;
};

// A double click on the first row; returns the time to its first sample.
qint64 doubleClick(Player &player)
{
    QFile::remove(path("rec.raw"));
    QElapsedTimer clock;
    clock.start();
    player.control->lvDblClick(0);
    const qint64 ns = waitForOutput(0, clock);
    player.control->stop();
    return ns;
}

void BM_DoubleClickToSound_Warm(benchmark::State &state)
{
    makeSongs();
    Player player(true);
    doubleClick(player); // builds the engine's playbin
    for (auto _ : state)
        report(state, doubleClick(player));
}

void BM_DoubleClickToSound_FirstSong(benchmark::State &state)
{
    makeSongs();
    for (auto _ : state) {
        Player player(true);
        report(state, doubleClick(player));
    }
}

void BM_TrackChange_OnePipelineEach(benchmark::State &state)
{
    makeSongs();
    for (auto _ : state) {
        Player player(false);
        QFile::remove(path("rec.raw"));
        QElapsedTimer clock;
        clock.start();
        player.control->lvDblClick(0);
        // The last sample of the first song, then the first of the second.
        const qint64 end = waitForOutput(kSongBytes - 1, clock);
        const qint64 next = end < 0 ? -1 : waitForOutput(kSongBytes, clock);
        report(state, next < 0 ? -1 : next - end);
    }
}

// The baseline: a bare playbin with the same output.
GstElement *barePlaybin()
{
    GstElement *playbin = gst_element_factory_make("playbin", nullptr);
    GstElement *sink = gst_parse_bin_from_description(outputDescription().toUtf8().constData(), TRUE, nullptr);
    g_object_set(playbin, "audio-sink", sink, "flags", 0x2, nullptr);
    return playbin;
}

void startBare(GstElement *playbin, const char *name)
{
    gchar *uri = gst_filename_to_uri(path(name).toUtf8().constData(), nullptr);
    g_object_set(playbin, "uri", uri, nullptr);
    g_free(uri);
    gst_element_set_state(playbin, GST_STATE_PLAYING);
}

void waitForEnd(GstElement *playbin)
{
    GstBus *bus = gst_element_get_bus(playbin);
    if (GstMessage *m = gst_bus_timed_pop_filtered(bus, 10 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)))
        gst_message_unref(m);
    gst_object_unref(bus);
}

void BM_Baseline_PlaybinToSound_Warm(benchmark::State &state)
{
    makeSongs();
    GstElement *playbin = barePlaybin();
    for (auto _ : state) {
        QFile::remove(path("rec.raw"));
        QElapsedTimer clock;
        clock.start();
        startBare(playbin, "a.wav");
        report(state, waitForOutput(0, clock));
        gst_element_set_state(playbin, GST_STATE_READY);
    }
    gst_element_set_state(playbin, GST_STATE_NULL);
    gst_object_unref(playbin);
}

void BM_Baseline_PlaybinToSound_FirstSong(benchmark::State &state)
{
    makeSongs();
    for (auto _ : state) {
        QFile::remove(path("rec.raw"));
        QElapsedTimer clock;
        clock.start();
        GstElement *playbin = barePlaybin();
        startBare(playbin, "a.wav");
        report(state, waitForOutput(0, clock));
        gst_element_set_state(playbin, GST_STATE_NULL);
        gst_object_unref(playbin);
    }
}

void BM_Baseline_TrackChange_TwoPlaybins(benchmark::State &state)
{
    makeSongs();
    for (auto _ : state) {
        QFile::remove(path("rec.raw"));
        QElapsedTimer clock;
        clock.start();
        GstElement *first = barePlaybin();
        startBare(first, "a.wav");
        const qint64 end = waitForOutput(kSongBytes - 1, clock);
        // What a player does at the end of stream: the next file in a new pipeline.
        waitForEnd(first);
        gst_element_set_state(first, GST_STATE_NULL);
        gst_object_unref(first);
        GstElement *second = barePlaybin();
        startBare(second, "b.wav");
        const qint64 next = end < 0 ? -1 : waitForOutput(kSongBytes, clock);
        report(state, next < 0 ? -1 : next - end);
        gst_element_set_state(second, GST_STATE_NULL);
        gst_object_unref(second);
    }
}

} // namespace

BENCHMARK(BM_Baseline_PlaybinToSound_Warm)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DoubleClickToSound_Warm)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Baseline_PlaybinToSound_FirstSong)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DoubleClickToSound_FirstSong)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Baseline_TrackChange_TwoPlaybins)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TrackChange_OnePipelineEach)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    gst_init(&argc, &argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
