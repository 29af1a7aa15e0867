// The longest time the window would go unpainted while a million-song playlist is loaded,
// sorted, searched and its status line written: each step runs with the keep-alive the window
// gives it, here a callback that notes the time, and the longest gap between two calls (or the
// step's start or end) is reported as longest_gap_ms. Beside each, in the same run, the work no
// player can avoid: reading the file and decoding it to UTF-16 (what iconv does). Release build:
//   build-bench/bench/window_gaps_bench [--songs N]
#include "core/ListStatus.h"
#include "core/PictureStyle.h"
#include "core/picture/PictureWriter.h"
#include "core/Playlist.h"
#include "core/SongLists.h"
#include "core/SongSearch.h"
#include "core/SongSort.h"
#include "core/TextEncoding.h"
#include "core/AddingSongs.h"
#include "core/FileListMime.h"
#include "core/FolderScan.h"
#include "core/PlaylistUndo.h"
#include "playback/PlayQueue.h"
#include "tags/AddSongFile.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include "core/playlists/PlaylistFiles.h"
#include "export/ListWriter.h"
#include "session/BackgroundWrite.h"
#include "ui/OutputBoxFill.h"

#include <QElapsedTimer>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include "BenchSongs.h"

#include <cstdlib>
#include <memory>
#include <numeric>

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


// The table's other operations. Each runs on a list of its own (a copy of the loaded songs, as
// the window's list holds them) with the keep-alive the window gives it; heap_growth_mb is what
// the step leaves on the heap, heap_peak_growth_mb the most it held at a keep-alive call or at its
// end (both against the heap at its start).
struct HeapMeter
{
    size_t before = 0, peak = 0, after = 0;
    void start() { before = peak = heapInUse(); }
    void note() { peak = std::max(peak, heapInUse()); }
    void stop()
    {
        after = heapInUse();
        peak = std::max(peak, after);
    }
    void report(benchmark::State &state) const
    {
        state.counters["heap_growth_mb"] = (double(after) - double(before)) / 1e6;
        state.counters["heap_peak_growth_mb"] = (double(peak) - double(before)) / 1e6;
    }
};

// The list the window would hold: the loaded songs, shared with nothing.
void fill(SongLists &lists)
{
    lists.replaceAll(ownCopy(loaded().AllSongs()));
}

QList<int> everyRow(qsizetype n)
{
    QList<int> rows(n);
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

// 10,000 empty ".mp3" files in 100 folders: what a scan or a paste adds (the tag readers' own
// cost is adding_bench's; an empty file is read and given its name as title).
const QStringList &tenThousandFiles()
{
    static QTemporaryDir dir;
    static QStringList names;
    if (!names.isEmpty())
        return names;
    for (int f = 0; f < 100; ++f) {
        const QString folder = dir.path() + QStringLiteral("/Folder %1").arg(f);
        QDir().mkpath(folder);
        for (int i = 0; i < 100; ++i) {
            names.append(folder + QStringLiteral("/%1 Song.mp3").arg(i));
            QFile(names.back()).open(QIODevice::WriteOnly);
        }
    }
    return names;
}

QString tenThousandFilesFolder()
{
    return QFileInfo(QFileInfo(tenThousandFiles().front()).path()).path();
}

// Ctrl+A, Ctrl+E: every row of the list into the queue.
void EnqueueAll(benchmark::State &state)
{
    GapMeter gaps;
    HeapMeter heap;
    for (auto _ : state) {
        state.PauseTiming();
        auto lists = std::make_unique<SongLists>();
        fill(*lists);
        auto queue = std::make_unique<PlayQueue>(*lists);
        const QList<int> rows = everyRow(lists->shown().size());
        state.ResumeTiming();
        heap.start();
        gaps.start();
        queue->appendShownRows(rows);
        gaps.note();
        heap.stop();
        state.PauseTiming();
        queue.reset();
        lists.reset();
        state.ResumeTiming();
    }
    gaps.report(state);
    heap.report(state);
}

// With every song queued, deleting one row: the queue looks at what left the playlist.
void DeleteOneWithAllQueued(benchmark::State &state)
{
    GapMeter gaps;
    for (auto _ : state) {
        state.PauseTiming();
        auto lists = std::make_unique<SongLists>();
        fill(*lists);
        auto queue = std::make_unique<PlayQueue>(*lists);
        queue->appendShownRows(everyRow(lists->shown().size()));
        state.ResumeTiming();
        gaps.start();
        lists->removeShownRows({int(lists->shown().size() / 2)}, gaps.callback);
        gaps.note();
        state.PauseTiming();
        queue.reset();
        lists.reset();
        state.ResumeTiming();
    }
    gaps.report(state);
}

// The add-folder dialog's run ("only new" ticked) over 10,000 files into the list.
void AddFolderOnlyNew(benchmark::State &state)
{
    GapMeter gaps;
    HeapMeter heap;
    FolderScanSettings settings;
    settings.folderText = tenThousandFilesFolder();
    for (auto _ : state) {
        state.PauseTiming();
        auto owned = std::make_unique<SongLists>();
        SongLists &lists = *owned;
        fill(lists);
        ScanState scan;
        FolderScanView view;
        view.processEvents = [&] {
            gaps.note();
            heap.note();
        };
        const AddSongFileFn add = [&](const QString &path, bool relative) { AddSongFile(lists, path, relative); };
        state.ResumeTiming();
        heap.start();
        gaps.start();
        {
            const auto scope = lists.edit(SongLists::Refresh::TableAndStatus);
            runFolderScan(lists, settings, scan, view, add);
        }
        gaps.note();
        heap.stop();
        state.PauseTiming();
        owned.reset();
        state.ResumeTiming();
    }
    gaps.report(state);
    heap.report(state);
}

// A paste of 10,000 file names (the clipboard's file list read back and added).
void PasteFiles(benchmark::State &state)
{
    GapMeter gaps;
    HeapMeter heap;
    const std::unique_ptr<QMimeData> clipboard(fileListMimeData(tenThousandFiles()));
    for (auto _ : state) {
        state.PauseTiming();
        auto owned = std::make_unique<SongLists>();
        SongLists &lists = *owned;
        fill(lists);
        ScanState scan;
        const AddSongFileFn add = [&](const QString &path, bool relative) { AddSongFile(lists, path, relative); };
        state.ResumeTiming();
        heap.start();
        gaps.start();
        {
            const auto scope = lists.edit(SongLists::Refresh::TableAndStatus);
            addPastedNames(lists, fileListFromMimeData(clipboard.get()), scan, add, gaps.callback);
        }
        gaps.note();
        heap.stop();
        state.PauseTiming();
        owned.reset();
        state.ResumeTiming();
    }
    gaps.report(state);
    heap.report(state);
}

// "Search for this artist" / "this folder" from the table's menu: one field, exact (the folder
// also finds its subfolders' songs).
void ContextSearch(benchmark::State &state)
{
    const SongList &songs = loaded().AllSongs();
    const int field = int(state.range(0));
    SearchOptions options;
    options.columns.fill(false);
    options.columns[size_t(field)] = true;
    options.exact = field != 7;
    const QString term = field == 7 ? QStringLiteral("/home/user/Music/Artist 42/") : songs.front().field(field);
    GapMeter gaps;
    for (auto _ : state) {
        gaps.start();
        SearchOutcome out = searchSongs(songs, term, options, false, gaps.callback);
        gaps.note();
        benchmark::DoNotOptimize(out.matches.data());
    }
    gaps.report(state);
}

// Ctrl+A, Del with the undo step the window keeps, on a list loaded as the window loads it (its
// own songs): the heap a song costs while loaded, and at the peak of the delete.
void DeleteAllHeapPeak(benchmark::State &state)
{
    GapMeter gaps;
    HeapMeter heap;
    std::function<void()> note = [&] {
        gaps.note();
        heap.note();
    };
    double loadedPerSong = 0, peakPerSong = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const size_t empty = heapInUse();
        auto owned = std::make_unique<SongLists>();
        SongLists &lists = *owned;
        LoadPlaylist(lists, playlistFile());
        const double songs = double(std::max<qsizetype>(1, lists.AllSongs().size()));
        auto undo = std::make_unique<PlaylistUndo>();
        const QList<int> rows = everyRow(lists.AllSongs().size());
        state.ResumeTiming();
        heap.start();
        gaps.start();
        undo->remember(lists);
        {
            const auto scope = lists.edit(SongLists::Refresh::Table);
            lists.removeShownRows(rows, note);
        }
        gaps.note();
        heap.stop();
        state.PauseTiming();
        loadedPerSong = (double(heap.before) - double(empty)) / songs;
        peakPerSong = (double(heap.peak) - double(empty)) / songs;
        undo.reset();
        owned.reset();
        state.ResumeTiming();
    }
    gaps.report(state);
    heap.report(state);
    state.counters["loaded_bytes_per_song"] = loadedPerSong;
    state.counters["peak_bytes_per_song"] = peakPerSong;
}

// Every form a playlist is saved in: the name's format and the output encoding.
struct SaveForm
{
    const char *name;
    TTextEncoding encoding;
};
constexpr SaveForm kSaveForms[] = {
    {"list.slp", TTextEncoding::teUtf8},    {"list.slp", TTextEncoding::teAnsi},       {"list.slp", TTextEncoding::teUtf16LE},
    {"list.slp", TTextEncoding::teUtf16BE}, {"list.slp", TTextEncoding::teUtf32LE},    {"list.slp", TTextEncoding::teUtf32BE},
    {"list.slp", TTextEncoding::teUtf7},    {"list.slp", TTextEncoding::teUtf7AsAnsi}, {"list.m3u", TTextEncoding::teAnsi},
    {"list.m3u8", TTextEncoding::teUtf8},   {"list.pls", TTextEncoding::teUtf8},       {"list.xspf", TTextEncoding::teUtf8},
};

const QString &saveFolder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path() + QLatin1Char('/');
    return path;
}

void reportHeap(benchmark::State &state, size_t before, size_t after)
{
    state.counters["heap_before_MB"] = double(before) / 1e6;
    state.counters["heap_after_MB"] = double(after) / 1e6;
}

// A save as it ran before: on the window's thread, so its whole time is one gap.
void SaveOnWindowThread(benchmark::State &state)
{
    const SongList &songs = loaded().AllSongs();
    const SaveForm &form = kSaveForms[state.range(0)];
    const QString name = saveFolder() + QString::fromLatin1(form.name);
    GapMeter gaps;
    const size_t before = heapInUse();
    for (auto _ : state) {
        gaps.start();
        SaveAnyPlaylist(songs, name, form.encoding, PictureStyle{});
        gaps.note();
    }
    gaps.report(state);
    reportHeap(state, before, heapInUse());
    state.SetLabel(QStringLiteral("%1 %2").arg(QString::fromLatin1(form.name)).arg(int(form.encoding)).toStdString());
}

// The same save as the window runs it now: a snapshot written on a worker while the window's
// thread waits with its keep-alive (here the gap meter) every 20 ms.
void SaveOnWorker(benchmark::State &state)
{
    const SongList &songs = loaded().AllSongs();
    const SaveForm &form = kSaveForms[state.range(0)];
    const QString name = saveFolder() + QString::fromLatin1(form.name);
    GapMeter gaps;
    const WorkWatch watch = [&gaps](double) {
        gaps.note();
        return true;
    };
    const size_t before = heapInUse();
    for (auto _ : state) {
        gaps.start();
        const std::function<QByteArray()> make = [list = songs, name, form] {
            return playlistSaveBytes(list, name, form.encoding, PictureStyle{});
        };
        writeInBackground(playlistSaveTarget(name), make, watch);
        gaps.note();
    }
    gaps.report(state);
    reportHeap(state, before, heapInUse());
    state.SetLabel(QStringLiteral("%1 %2").arg(QString::fromLatin1(form.name)).arg(int(form.encoding)).toStdString());
}

// The export window's list (default template, sorted; arg 1: HTML) made on the window's
// thread (arg 0 of the second pair) or on a worker, then saved as a text file.
void ExportList(benchmark::State &state)
{
    const SongList &songs = loaded().AllSongs();
    ExportOptions options;
    options.templateText = QStringLiteral("%artist% - %title%");
    options.html = state.range(0) != 0;
    const bool worker = state.range(1) != 0;
    GapMeter gaps;
    const WorkWatch watch = [&gaps](double) {
        gaps.note();
        return true;
    };
    const QString name = saveFolder() + QStringLiteral("list.txt");
    const size_t before = heapInUse();
    for (auto _ : state) {
        gaps.start();
        const std::function<QStringList()> lines = [songs, options] {
            return exportOutput({}, buildExportLines(songs, options), options.html, true);
        };
        const QStringList output = *runInBackground(lines, worker ? watch : WorkWatch());
        const std::function<QByteArray()> bytes = [output] { return encodeText(exportFileText(output), TTextEncoding::teUtf8); };
        writeInBackground(name, bytes, worker ? watch : WorkWatch());
        gaps.note();
    }
    gaps.report(state);
    reportHeap(state, before, heapInUse());
}

// Refusing a picture of every song: the lines are counted, none is measured or drawn.
void RefusePicture(benchmark::State &state)
{
    const QString text = playlistText(loaded().AllSongs());
    for (auto _ : state)
        benchmark::DoNotOptimize(textPictureSize(text, PictureStyle{}).fits());
}

// The export window's output box taking the list (default template, one line a song): in one
// setPlainText (arg 0, as before) or in pieces with the keep-alive between them.
void FillOutputBox(benchmark::State &state)
{
    ExportOptions options;
    options.templateText = QStringLiteral("%artist% - %title%");
    options.sort = false;
    const QStringList lines = buildExportLines(loaded().AllSongs(), options);
    QPlainTextEdit box;
    box.setLineWrapMode(QPlainTextEdit::NoWrap);
    box.resize(640, 300);
    box.show();
    GapMeter gaps;
    const size_t before = heapInUse();
    for (auto _ : state) {
        gaps.start();
        // As the window's keep-alive: the box's own deferred work (layout, paint) runs there.
        const std::function<void()> keepAlive = [&gaps] {
            gaps.note();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
        fillOutputBox(box, lines, state.range(0) ? keepAlive : std::function<void()>());
        QCoreApplication::processEvents(); // its paint
        gaps.note();
        state.PauseTiming();
        box.clear();
        state.ResumeTiming();
    }
    gaps.report(state);
    reportHeap(state, before, heapInUse());
}

} // namespace

BENCHMARK(Baseline_ReadAndDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadPlaylist)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByTitle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Search)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(StatusLine)->Unit(benchmark::kMillisecond);
BENCHMARK(EnqueueAll)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(DeleteOneWithAllQueued)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(AddFolderOnlyNew)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PasteFiles)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ContextSearch)->Arg(0)->Arg(3)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteAllHeapPeak)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SaveOnWindowThread)->DenseRange(0, 11)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveOnWorker)->DenseRange(0, 11)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportList)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(RefusePicture)->Unit(benchmark::kMillisecond);
BENCHMARK(FillOutputBox)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (QByteArrayView(argv[i]) == "--songs" && i + 1 < argc)
            g_songs = std::atoll(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    // The picture's refusal measures text and the export's output box is a widget.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int appArgc = 1;
    QApplication app(appArgc, argv);
    playlistFile(); // made before any timing
    tenThousandFiles();
    int restArgc = int(rest.size());
    benchmark::Initialize(&restArgc, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
