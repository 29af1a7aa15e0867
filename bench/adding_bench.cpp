// Adding a 10,000-file library (100 artists x 10 albums x 10 songs; tagged MP3s and WAVs)
// beside the work no adding can avoid: the tag readers over a ready list of the same files.
// Run: build-bench/bench/adding_bench
#include "TenThousandFiles.h"
#include "core/FolderScan.h"
#include "core/Playlist.h"
#include "tags/AddSongFile.h"
#include "tags/AudioInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// The raw read: every file's bytes, no parsing. The floor of anything that looks at them.
void BM_Baseline_RawRead(benchmark::State &state)
{
    const QStringList &files = library().files;
    for (auto _ : state) {
        qint64 bytes = 0;
        for (const QString &f : files) {
            QFile file(f);
            if (file.open(QIODevice::ReadOnly))
                bytes += file.readAll().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * files.size());
}

// The tag readers over a ready list: what adding costs without walking.
void BM_Baseline_Readers(benchmark::State &state)
{
    const QStringList &files = library().files;
    for (auto _ : state) {
        for (const QString &f : files) {
            TAudioInfo info;
            info.ReadFromFile(f);
            benchmark::DoNotOptimize(info.Seconds);
        }
    }
    state.SetItemsProcessed(state.iterations() * files.size());
}

// The folder walk alone.
// The walk as it was before it used the listing's entry kinds: a stat for every entry.
void statEveryEntry(const QByteArray &folder, int &files)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *d = ::readdir(dir)) {
        if (d->d_name[0] == '.' && (d->d_name[1] == 0 || (d->d_name[1] == '.' && d->d_name[2] == 0)))
            continue;
        const QByteArray path = folder + '/' + d->d_name;
        struct stat st;
        if (::stat(path.constData(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            statEveryEntry(path, files);
        else if (S_ISREG(st.st_mode))
            ++files;
    }
    ::closedir(dir);
}

void BM_Baseline_ListAndStatEveryEntry(benchmark::State &state)
{
    const QByteArray root = QFile::encodeName(library().dir.path());
    for (auto _ : state) {
        int files = 0;
        statEveryEntry(root, files);
        benchmark::DoNotOptimize(files);
    }
}

void BM_WideFindAllFiles(benchmark::State &state)
{
    for (auto _ : state) {
        QStringList found;
        WideFindAllFiles(found, library().dir.path(),
                         {QStringLiteral(".mp3"), QStringLiteral(".wav"), QStringLiteral(".ogg"), QStringLiteral(".wma")}, true);
        benchmark::DoNotOptimize(found.size());
    }
}

// AddFolder as a drop runs it: walk, then AddSongFile for each file into the playlist, with
// the window's keep-alive (here it only measures the longest gap between two calls).
void BM_AddFolder(benchmark::State &state)
{
    double longestGapMs = 0;
    for (auto _ : state) {
        SongLists lists;
        ScanState scan;
        QElapsedTimer sinceAlive;
        sinceAlive.start();
        const int added = AddFolder(
            library().dir.path(), false, scan,
            [&](const QString &path, bool relative) { AddSongFile(lists, path, relative); },
            [&] {
                longestGapMs = std::max(longestGapMs, sinceAlive.nsecsElapsed() / 1e6);
                sinceAlive.restart();
            });
        longestGapMs = std::max(longestGapMs, sinceAlive.nsecsElapsed() / 1e6);
        if (added != kFiles)
            state.SkipWithError("not every file was added");
    }
    state.counters["longest_gap_ms"] = longestGapMs;
    state.SetItemsProcessed(state.iterations() * kFiles);
}

// The whole command: process start, walk, read, write the playlist.
void BM_CliScan(benchmark::State &state)
{
    QTemporaryDir out;
    for (auto _ : state) {
        QProcess cli;
        cli.start(QStringLiteral(SONALO_CLI_PATH),
                  {QStringLiteral("scan"), library().dir.path(), QStringLiteral("-o"), out.path() + QStringLiteral("/scan.slp")});
        if (!cli.waitForFinished(120000) || cli.exitCode() != 0)
            state.SkipWithError("sonalo-cli scan failed");
    }
    SongLists check;
    LoadPlaylist(check, out.path() + QStringLiteral("/scan.slp"));
    if (check.AllSongs().size() != kFiles)
        state.SkipWithError("the playlist does not hold every file");
    state.SetItemsProcessed(state.iterations() * kFiles);
}

} // namespace

BENCHMARK(BM_Baseline_RawRead)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Baseline_Readers)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Baseline_ListAndStatEveryEntry)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_WideFindAllFiles)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_AddFolder)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CliScan)->Unit(benchmark::kMillisecond)->MinTime(2);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    library(); // generated before any timing
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
