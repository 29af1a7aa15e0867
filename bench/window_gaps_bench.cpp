// The longest time the window would go unpainted while a million-song playlist is loaded,
// sorted, searched and its status line written: each step runs with the keep-alive the window
// gives it, here a callback that notes the time, and the longest gap between two calls (or the
// step's start or end) is reported as longest_gap_ms. Beside each, in the same run, the work no
// player can avoid: reading the file and decoding it to UTF-16 (what iconv does). Release build:
//   build-bench/bench/window_gaps_bench [--songs N]
#include "core/ListStatus.h"
#include "core/PictureStyle.h"
#include "core/Playlist.h"
#include "core/SongLists.h"
#include "core/SongSearch.h"
#include "core/SongSort.h"
#include "core/TextEncoding.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include "BenchSongs.h"

#include <cstdlib>

namespace {

qsizetype g_songs = 1000000;

const QString &playlistFile()
{
    static QTemporaryDir dir;
    static QString name;
    if (!name.isEmpty())
        return name;
    const SongList list = librarySongs(g_songs);
    name = SavePlaylist(list, dir.path() + QStringLiteral("/big"), TTextEncoding::teUtf8, PictureStyle{});
    return name;
}

// The keep-alive of one step: the longest stretch without a call.
struct GapMeter
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    std::function<void()> callback = [this] { note(); };

    void start()
    {
        clock.start();
        last = 0;
    }
    void note()
    {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    }
    void report(benchmark::State &state)
    {
        state.counters["longest_gap_ms"] = double(longest) / 1e6;
    }
};

const SongLists &loaded()
{
    static SongLists lists;
    if (lists.AllSongs().isEmpty())
        LoadPlaylist(lists, playlistFile());
    return lists;
}

void Baseline_ReadAndDecode(benchmark::State &state)
{
    for (auto _ : state) {
        QString text = ReadTextFile(playlistFile());
        benchmark::DoNotOptimize(text.data());
    }
}

void LoadPlaylist(benchmark::State &state)
{
    GapMeter gaps;
    size_t bytesPerSong = 0;
    for (auto _ : state) {
        SongLists lists;
        const size_t before = heapInUse();
        gaps.start();
        LoadPlaylist(lists, playlistFile(), gaps.callback);
        gaps.note();
        bytesPerSong = (heapInUse() - before) / size_t(std::max<qsizetype>(1, lists.AllSongs().size()));
        state.PauseTiming(); // freeing the list is not part of loading it
        lists.clear();
        state.ResumeTiming();
    }
    gaps.report(state);
    state.counters["heap_bytes_per_song"] = double(bytesPerSong);
}

void SortByTitle(benchmark::State &state)
{
    GapMeter gaps;
    for (auto _ : state) {
        state.PauseTiming();
        SongList list = ownCopy(loaded().AllSongs());
        state.ResumeTiming();
        gaps.start();
        SortSongs(list, 1, state.range(0) != 0, gaps.callback);
        gaps.note();
        state.PauseTiming();
        list = SongList();
        state.ResumeTiming();
    }
    gaps.report(state);
}

void Search(benchmark::State &state)
{
    const SongList &songs = loaded().AllSongs();
    const bool regex = state.range(0) == 2;
    SearchOptions options;
    if (state.range(0) == 1)
        options.mode = SearchMode::And;
    const QString term = regex ? QStringLiteral("Title 12.*5$") : state.range(0) == 1 ? QStringLiteral("artist 12 song")
                                                                                     : QStringLiteral("Title 12345");
    GapMeter gaps;
    for (auto _ : state) {
        gaps.start();
        SearchOutcome out = searchSongs(songs, term, options, regex, gaps.callback);
        gaps.note();
        benchmark::DoNotOptimize(out.matches.data());
    }
    gaps.report(state);
}

// The status line after any change: one pass without a keep-alive.
void StatusLine(benchmark::State &state)
{
    const SongList &songs = loaded().AllSongs();
    for (auto _ : state)
        benchmark::DoNotOptimize(TotalPlayingTime(songs));
}

} // namespace

BENCHMARK(Baseline_ReadAndDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadPlaylist)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByTitle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Search)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(StatusLine)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (QByteArrayView(argv[i]) == "--songs" && i + 1 < argc)
            g_songs = std::atoll(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    playlistFile(); // made before any timing
    int restArgc = int(rest.size());
    benchmark::Initialize(&restArgc, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
