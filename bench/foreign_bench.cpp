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
#include "core/TextEncoding.h"
#include "core/playlists/PlaylistFiles.h"
#include "core/playlists/RegularFileLookup.h"
#include "tags/PlaylistEntryRecord.h"

#include <QDir>
#include <QFileInfo>
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

template <typename Stage>
void timeStage(benchmark::State &state, Stage stage)
{
    const Lists &l = lists(Kind(state.range(0)), state.range(1));
    for (auto _ : state)
        stage(l);
}

void BM_Baseline_Slp(benchmark::State &state)
{
    timeLoad(state, [](SongLists &into, const Lists &l) { LoadPlaylist(into, l.slp); });
}

// The stages of BM_M3u on their own, each including the ones before it: read and decode; the
// M3U lines parsed into entries; each entry resolved (the existence test); each made a record
// by playlistFieldsRecord into a list. Where the time goes, not rows of their own aim.
void BM_Stage_Decode(benchmark::State &state)
{
    timeStage(state, [](const Lists &l) {
        const QString text = decodeText(readTextFileBytes(l.m3u));
        benchmark::DoNotOptimize(text.data());
    });
}

void BM_Stage_Parse(benchmark::State &state)
{
    timeStage(state, [](const Lists &l) {
        qsizetype n = 0;
        forEachPlaylistEntry(readTextFileBytes(l.m3u), PlaylistFormat::M3u, [&](PlaylistEntry &) { ++n; });
        benchmark::DoNotOptimize(n);
    });
}

// Each entry resolved against the playlist's folder, then handed to take.
template <typename Take>
void resolveStage(const Lists &l, Take take)
{
    RegularFileLookup files(1 << 20);
    const QString folder = QFileInfo(l.m3u).absolutePath() + QLatin1Char('/');
    forEachPlaylistEntry(readTextFileBytes(l.m3u), PlaylistFormat::M3u, [&](PlaylistEntry &e) {
        resolvePlaylistEntry(e, folder, files);
        take(e);
    });
}

void BM_Stage_Resolve(benchmark::State &state)
{
    timeStage(state, [](const Lists &l) {
        qsizetype found = 0;
        resolveStage(l, [&](const PlaylistEntry &e) { found += e.exists; });
        benchmark::DoNotOptimize(found);
    });
}

void BM_Stage_Records(benchmark::State &state)
{
    timeStage(state, [](const Lists &l) {
        SongList songs;
        resolveStage(l, [&](const PlaylistEntry &e) { songs.append(playlistFieldsRecord(e)); });
        benchmark::DoNotOptimize(songs.data());
    });
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
        if (kind != Present)
            for (auto [name, stage] : {std::pair{"BM_Stage_Decode", &BM_Stage_Decode}, {"BM_Stage_Parse", &BM_Stage_Parse},
                                       {"BM_Stage_Resolve", &BM_Stage_Resolve}, {"BM_Stage_Records", &BM_Stage_Records}})
                benchmark::RegisterBenchmark(name, stage)->Args({kind, n})->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_M3u", BM_M3u)->Args({kind, n})->Iterations(1)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
