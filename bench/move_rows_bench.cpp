// Moving 1,000 selected rows of a million songs by hand (a drag to the top, Alt+Down), with the
// undo copy it keeps, beside deleting the same rows (the window-thread work a delete costs) in
// the same run. Neither step lets the window paint in between, so its whole time is the longest
// gap (longest_gap_ms). Release build:
//   build-bench/bench/move_rows_bench
#include "BenchSongs.h"

#include "core/PlaylistUndo.h"
#include "core/SongLists.h"
#include "session/RowMoves.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kSongs = 1'000'000;

const SongList &million()
{
    static const SongList list = librarySongs(kSongs);
    return list;
}

// 1,000 rows spread over the list, as a selection made with Ctrl+click.
QList<int> spreadRows()
{
    QList<int> rows;
    for (int i = 0; i < 1000; ++i)
        rows.append(i * int(kSongs / 1000) + 7);
    return rows;
}

template <typename Step> void timed(benchmark::State &state, Step step)
{
    const QList<int> rows = spreadRows();
    qint64 longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SongLists lists;
        SongList copy = million();
        copy.detach();
        lists.replaceAll(std::move(copy));
        PlaylistUndo undo;
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        step(lists, undo, rows);
        longest = std::max(longest, clock.nsecsElapsed());
        benchmark::DoNotOptimize(lists.AllSongs().size());
    }
    state.counters["longest_gap_ms"] = double(longest) / 1e6;
}

void Move_DragToTop(benchmark::State &state)
{
    timed(state, [](SongLists &lists, PlaylistUndo &undo, const QList<int> &rows) {
        const RowMoves::Move move = RowMoves::dropBefore(lists.AllSongs().size(), rows, 0);
        undo.remember(lists);
        lists.reorderPlaylist(move.order);
    });
}

void Move_AltDown(benchmark::State &state)
{
    timed(state, [](SongLists &lists, PlaylistUndo &undo, const QList<int> &rows) {
        const RowMoves::Move move = RowMoves::step(lists.AllSongs().size(), rows, +1);
        undo.remember(lists);
        lists.reorderPlaylist(move.order);
    });
}

// The baseline: deleting the same rows, with the same undo copy.
void Baseline_Delete(benchmark::State &state)
{
    timed(state, [](SongLists &lists, PlaylistUndo &undo, const QList<int> &rows) {
        undo.remember(lists);
        lists.removeShownRows(rows);
    });
}

} // namespace

BENCHMARK(Baseline_Delete)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Move_DragToTop)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Move_AltDown)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
