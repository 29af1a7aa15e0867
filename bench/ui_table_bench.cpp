// The song table with 100,000 songs: showing the list (row count and the first screen painted)
// and sorting it by title, each beside a baseline in the same run.
// Run: build-bench/bench/ui_table_bench [--as-loaded]  (offscreen platform unless told otherwise;
// --as-loaded: the songs as a load keeps them)
#include "BenchSongs.h"
#include "core/ListStatus.h"
#include "core/SongSort.h"
#include "session/SongTableModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

constexpr int kSongs = 100000;

const SongList &songs()
{
    static const SongList list = [] {
        static const char *const kWords[] = {"Love", "Night", "Äpfel", "river", "Blue", "Song", "ärger", "Road",
                                             "Stone", "light", "Über", "Dream", "Fire", "ocean", "Rain", "Heart"};
        SongList l;
        l.reserve(kSongs);
        quint32 seed = 12345;
        auto word = [&] {
            seed = seed * 1103515245u + 12345u;
            return QString::fromUtf8(kWords[(seed >> 16) % 16]);
        };
        for (int i = 0; i < kSongs; ++i) {
            TSongRecord r;
            r.Artist = word() + QStringLiteral(" Band %1").arg(i % 997);
            r.Title = word() + QLatin1Char(' ') + word() + QLatin1Char(' ') + word();
            r.Length = QStringLiteral("%1:%2").arg(i % 9).arg(i % 60, 2, 10, QLatin1Char('0'));
            r.Album = word() + QStringLiteral(" %1").arg(i % 331);
            r.Track = QString::number(i % 20 + 1);
            r.Year = QString::number(1960 + i % 60);
            r.Genre = QStringLiteral("Rock");
            r.Path = QStringLiteral("/home/user/Music/%1/%2.mp3").arg(r.Album, r.Title);
            r.pack(); // as loaded or scanned songs are kept
            l.append(r);
        }
        return inBenchShape(l);
    }();
    return list;
}

// Baseline for showing: what a table that keeps its own copy of every song pays at least.
void BM_Baseline_CopySongs(benchmark::State &state)
{
    const SongList &source = songs();
    for (auto _ : state) {
        SongList copy;
        copy.reserve(source.size());
        for (const TSongRecord &r : source)
            copy.append(r);
        benchmark::DoNotOptimize(copy.data());
    }
}

// Row count reset plus one full paint of a window-sized table.
void BM_SetRowCountAndPaint(benchmark::State &state)
{
    SongLists lists;
    lists.replaceAll(songs());
    SongTableModel model(lists);
    QTableView view;
    view.setModel(&model);
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 4);
    for (int c = 0; c < SongTableModel::kColumnCount; ++c)
        view.setColumnWidth(c, SongTableModel::columnWidth(c));
    view.resize(862, 540);
    view.show();
    QPixmap canvas(view.size());
    for (auto _ : state) {
        model.setRowCount(0);
        model.setRowCount(lists.AllSongs().size());
        view.render(&canvas);
        QCoreApplication::processEvents();
    }
}

// Baseline for sorting: std::sort of keys built beforehand.
void BM_Baseline_SortPrecomputedKeys(benchmark::State &state)
{
    const QStringList keys = SortKeys(songs(), 1);
    for (auto _ : state) {
        state.PauseTiming();
        QStringList copy = keys;
        copy.detach();
        state.ResumeTiming();
        std::sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
}

// The column click's sort: build the keys, sort them, reorder the songs.
void BM_SortByTitle(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        SongList list = songs();
        list.detach();
        state.ResumeTiming();
        SortSongs(list, 1, false);
        benchmark::DoNotOptimize(list.data());
    }
}

// The key building alone (part of the sort above).
void BM_SortKeysTitle(benchmark::State &state)
{
    for (auto _ : state) {
        QStringList keys = SortKeys(songs(), 1);
        benchmark::DoNotOptimize(keys.data());
    }
}

// The status line's total playing time, computed at every refresh.
void BM_TotalPlayingTime(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TotalPlayingTime(songs()));
}

} // namespace

BENCHMARK(BM_TotalPlayingTime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortKeysTitle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_CopySongs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetRowCountAndPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_SortPrecomputedKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByTitle)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    takeAsLoadedFlag(argc, argv);
    QApplication app(argc, argv);
    songs(); // built once, outside every measurement
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
