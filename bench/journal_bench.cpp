// What the session journal costs at a million songs, beside the edit it records. The window
// thread pays for encoding a change (the "journal" rows); the snapshot is written on a thread
// of its own. Counters: bytes written for the change.
#include "BenchSongs.h"

#include "core/SessionJournal.h"
#include "core/SongSort.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <numeric>

namespace {

constexpr qsizetype kSongs = 1'000'000;
constexpr qsizetype kEdit = 1000;

const SongList &million()
{
    static const SongList list = librarySongs(kSongs + kEdit);
    return list;
}

// The edit itself: appending 1,000 songs to a million.
void BM_Edit_Append1000(benchmark::State &state)
{
    const SongList added = million().mid(kSongs);
    for (auto _ : state) {
        state.PauseTiming();
        SongList list = ownCopy(million().first(kSongs));
        state.ResumeTiming();
        list.append(added);
        benchmark::DoNotOptimize(list.data());
    }
}

void BM_Journal_Append1000(benchmark::State &state)
{
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = SessionJournal::encodeAppend(million(), kSongs, 1).size();
    state.counters["bytes_written"] = double(bytes);
}

void BM_Journal_Delete1000(benchmark::State &state)
{
    QList<int> rows(kEdit);
    std::iota(rows.begin(), rows.end(), 0);
    for (int &row : rows)
        row *= 997;
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = SessionJournal::encodeRemove(rows, 1).size();
    state.counters["bytes_written"] = double(bytes);
}

// The edit: sorting a million songs by title; the journal: its permutation.
void BM_Edit_SortMillion(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        SongList list = ownCopy(million().first(kSongs));
        state.ResumeTiming();
        SortSongs(list, 1, true);
    }
}

void BM_Journal_SortMillion(benchmark::State &state)
{
    std::vector<qsizetype> order(static_cast<size_t>(kSongs));
    std::iota(order.rbegin(), order.rend(), qsizetype(0));
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = SessionJournal::encodeReorder(order, 1).size();
    state.counters["bytes_written"] = double(bytes);
}

// Off the window thread: a load or an undo at a million songs is a new snapshot.
void BM_SnapshotThread_Million(benchmark::State &state)
{
    QTemporaryDir dir;
    SessionJournal::Files files(dir.path());
    const SongList list = million().first(kSongs);
    for (auto _ : state)
        files.writeSnapshot(list, 1, 1);
    state.counters["bytes_written"] = double(QFileInfo(files.snapshotPath()).size());
}

} // namespace

BENCHMARK(BM_Edit_Append1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Journal_Append1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Journal_Delete1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Edit_SortMillion)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Journal_SortMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapshotThread_Million)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
