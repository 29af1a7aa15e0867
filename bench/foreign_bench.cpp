// Loading M3U, PLS and XSPF playlists of 100,000 and 1,000,000 entries beside loading the same
// songs from a ".slp", in the same run. Run: build-bench/bench/foreign_bench
//
// The kinds of list (the second argument):
//  0 missing: absolute paths under a folder that does not exist, with "#EXTINF" artist - title;
//  1 names: short names ("s123456.mp3") beside the playlist, in a folder that exists, files absent;
//  2 present: the same short names, each file there (hard links to 64 tagged MP3s of the adding bench), so each
//    entry is read for its tags as adding the file would; 100,000 entries only.
#include "BenchSongs.h"
#include "TenThousandFiles.h"
#include "core/PictureStyle.h"
#include "core/Playlist.h"
#include "core/playlists/PlaylistFiles.h"
#include "tags/PlaylistEntryRecord.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

enum Kind { Missing, Names, Present };

QByteArray m3uText(Kind kind, qsizetype n)
{
    QByteArray text("#EXTM3U\n");
    text.reserve(n * 64);
    for (qsizetype i = 0; i < n; ++i) {
        text += "#EXTINF:" + QByteArray::number(100 + i % 300) + ",Artist " + QByteArray::number(i % 997)
            + " - Some Song Title " + QByteArray::number(i) + '\n';
        if (kind == Missing)
            text += "/nonexistent-music/Artist " + QByteArray::number(i % 997) + "/Album/" + QByteArray::number(i) + ".mp3\n";
        else
            text += 's' + QByteArray::number(i) + ".mp3\n";
    }
    return text;
}

// Each (kind, size) once: the M3U, and the ".slp" of the songs its load gives.
struct Lists
{
    QString m3u, slp;
};

const Lists &lists(Kind kind, qsizetype n)
{
    static QTemporaryDir root;
    static QHash<qsizetype, Lists> made;
    const qsizetype key = n * 4 + kind;
    if (auto it = made.constFind(key); it != made.cend())
        return *it;
    const QString folder = root.path() + QStringLiteral("/%1-%2/").arg(int(kind)).arg(n);
    QDir().mkpath(folder);
    Lists l{folder + QStringLiteral("list.m3u"), folder + QStringLiteral("list.slp")};
    QFile f(l.m3u);
    if (!f.open(QIODevice::WriteOnly) || f.write(m3uText(kind, n)) < 0)
        qFatal("cannot write the playlist");
    f.close();
    if (kind == Present) {
        // A file system allows some 65,000 links to one file: 64 seeds.
        constexpr int kSeeds = 64;
        for (int i = 0; i < kSeeds; ++i) {
            QFile s(folder + QStringLiteral("seed%1.mp3").arg(i));
            if (!s.open(QIODevice::WriteOnly) || s.write(mp3(i, 0, 0)) < 0)
                qFatal("cannot write the seed files");
        }
        for (qsizetype i = 0; i < n; ++i)
            if (::link(QFile::encodeName(folder + QStringLiteral("seed%1.mp3").arg(i % kSeeds)).constData(),
                       QFile::encodeName(folder + QStringLiteral("s%1.mp3").arg(i)).constData())
                != 0)
                qFatal("cannot link the library");
    }
    SongLists loaded;
    LoadForeignPlaylist(loaded, l.m3u, playlistEntryRecorder(QString()));
    SavePlaylist(loaded.AllSongs(), l.slp.chopped(4), TTextEncoding::teUtf8, PictureStyle{});
    return *made.insert(key, l);
}

template <typename Load>
void timeLoad(benchmark::State &state, Load load)
{
    const qsizetype n = state.range(1);
    const Lists &l = lists(Kind(state.range(0)), n);
    size_t bytesPerSong = 0;
    for (auto _ : state) {
        const size_t before = heapInUse();
        SongLists into;
        load(into, l);
        bytesPerSong = (heapInUse() - before) / size_t(std::max<qsizetype>(1, into.AllSongs().size()));
        if (into.AllSongs().size() != n)
            state.SkipWithError("not every entry loaded");
        state.PauseTiming(); // freeing the list is not part of loading it
        into.clear();
        state.ResumeTiming();
    }
    state.counters["heap_bytes_per_song"] = double(bytesPerSong);
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_Baseline_Slp(benchmark::State &state)
{
    timeLoad(state, [](SongLists &into, const Lists &l) { LoadPlaylist(into, l.slp); });
}

void BM_M3u(benchmark::State &state)
{
    timeLoad(state, [](SongLists &into, const Lists &l) { LoadForeignPlaylist(into, l.m3u, playlistEntryRecorder(QString())); });
}

} // namespace

// Each list's two rows one after the other.
int main(int argc, char **argv)
{
    const std::pair<int, int> cases[] = {{Missing, 100000}, {Missing, 1000000}, {Names, 100000}, {Names, 1000000}, {Present, 100000}};
    for (const auto &[kind, n] : cases) {
        benchmark::RegisterBenchmark("BM_Baseline_Slp", BM_Baseline_Slp)->Args({kind, n})->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_M3u", BM_M3u)->Args({kind, n})->Iterations(1)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
