// Moving 1,000 selected rows of a million songs by hand (a drag to the top, Alt+Down), with the
// undo step it keeps, beside deleting the same rows in the same run. Each step gets the
// keep-alive the window gives it, here a callback that notes the time; longest_gap_ms is the
// longest stretch without a call (from the step's start to its end). Release build:
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
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    const std::function<void()> keepAlive = [&] {
        longest = std::max(longest, clock.nsecsElapsed() - last);
        last = clock.nsecsElapsed();
    };
    for (auto _ : state) {
        state.PauseTiming();
        SongLists lists;
        lists.replaceAll(ownCopy(million()));
        PlaylistUndo undo;
        state.ResumeTiming();
        clock.start();
        last = 0;
        step(lists, undo, rows, keepAlive);
        keepAlive();
        benchmark::DoNotOptimize(lists.AllSongs().size());
    }
    state.counters["longest_gap_ms"] = double(longest) / 1e6;
}

void Move_DragToTop(benchmark::State &state)
{
    timed(state, [](SongLists &lists, PlaylistUndo &undo, const QList<int> &rows, const std::function<void()> &keepAlive) {
        const RowMoves::Move move = RowMoves::dropBefore(lists.AllSongs().size(), rows, 0);
        undo.remember(lists);
        lists.reorderPlaylist(move.order, keepAlive);
    });
}

void Move_AltDown(benchmark::State &state)
{
    timed(state, [](SongLists &lists, PlaylistUndo &undo, const QList<int> &rows, const std::function<void()> &keepAlive) {
        const RowMoves::Move move = RowMoves::step(lists.AllSongs().size(), rows, +1);
        undo.remember(lists);
        lists.reorderPlaylist(move.order, keepAlive);
    });
}

// The baseline: deleting the same rows, with the same undo step.
void Baseline_Delete(benchmark::State &state)
{
    timed(state, [](SongLists &lists, PlaylistUndo &undo, const QList<int> &rows, const std::function<void()> &keepAlive) {
        undo.remember(lists);
        lists.removeShownRows(rows, keepAlive);
    });
}

} // namespace

BENCHMARK(Baseline_Delete)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Move_DragToTop)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Move_AltDown)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
