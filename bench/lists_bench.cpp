// Deleting rows of a million songs: SongLists' one pass over the list beside removing the rows
// one at a time (as the table did before), in the same run. Release build:
//   build-bench/bench/lists_bench
#include "BenchSongs.h"

#include "core/SongLists.h"

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kSongs = 1'000'000;

const SongList &million()
{
    static const SongList list = librarySongs(kSongs);
    return list;
}

// 0: one row, 1: 1,000 rows spread over the list, 2: every row.
QList<int> rowsFor(int which)
{
    QList<int> rows;
    if (which == 0)
        rows = {int(kSongs / 2)};
    else if (which == 1)
        for (int i = 0; i < 1000; ++i)
            rows.append(i * int(kSongs / 1000) + 7);
    else
        for (int i = 0; i < int(kSongs); ++i)
            rows.append(i);
    return rows;
}

void Delete_OnePass(benchmark::State &state)
{
    const QList<int> rows = rowsFor(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        SongLists lists;
        lists.replaceAll(ownCopy(million()));
        state.ResumeTiming();
        lists.removeShownRows(rows);
        benchmark::DoNotOptimize(lists.AllSongs().size());
    }
}

void Delete_RowByRow(benchmark::State &state)
{
    const QList<int> rows = rowsFor(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        SongList list = ownCopy(million());
        state.ResumeTiming();
        for (auto it = rows.crbegin(); it != rows.crend(); ++it)
            list.removeAt(*it);
        benchmark::DoNotOptimize(list.size());
    }
}

} // namespace

BENCHMARK(Delete_OnePass)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Delete_RowByRow)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
