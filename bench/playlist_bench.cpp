// Loading a 100,000-song playlist beside the work no loader can avoid: reading the file and
// decoding it to a QString. Run: build-bench/bench/playlist_bench
#include "BenchSongs.h"
#include "core/PictureStyle.h"
#include "core/Playlist.h"

#include <QTemporaryDir>

#include <array>

#include <benchmark/benchmark.h>

namespace {

constexpr int kSongs = 100000;

const QString &playlistFile(TTextEncoding encoding)
{
    static QTemporaryDir dir;
    static QHash<int, QString> files;
    auto it = files.find(int(encoding));
    if (it != files.end())
        return *it;
    const SongList list = librarySongs(kSongs);
    const QString name = SavePlaylist(list, dir.path() + QStringLiteral("/big%1").arg(int(encoding)), encoding, PictureStyle{});
    return *files.insert(int(encoding), name);
}

void BM_Baseline_ReadAndDecode(benchmark::State &state)
{
    const QString &file = playlistFile(TTextEncoding(state.range(0)));
    for (auto _ : state) {
        QString text = ReadTextFile(file);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * kSongs);
}

// A floor row: builds kSongs records from the decoded file, the i-th from its i-th slice,
// without looking for separators; freeing the list is not timed.
template <typename Build>
void runFloor(benchmark::State &state, Build build)
{
    const QString text = ReadTextFile(playlistFile(TTextEncoding(state.range(0))));
    const qsizetype perSong = text.size() / kSongs;
    for (auto _ : state) {
        SongList list;
        list.reserve(kSongs);
        for (int i = 0; i < kSongs; ++i)
            build(list, QStringView(text).sliced(i * perSong, perSong), perSong / 8);
        benchmark::DoNotOptimize(list.data());
        state.PauseTiming();
        list = SongList();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSongs);
}

// The floor of the old record layout: eight separately allocated texts a song.
void BM_Floor_AllocateEightFields(benchmark::State &state)
{
    runFloor(state, [](SongList &list, QStringView song, qsizetype fieldSize) {
        TSongRecord &r = list.emplace_back();
        for (int f = 0; f < TSongRecord::kFieldCount; ++f)
            r.field(f) = song.sliced(f * fieldSize, fieldSize).toString();
    });
}

// The floor of the record as it is kept: the same texts, one heap block a song.
void BM_Floor_OneBlockPerSong(benchmark::State &state)
{
    runFloor(state, [](SongList &list, QStringView song, qsizetype fieldSize) {
        std::array<QStringView, TSongRecord::kFieldCount> fields;
        for (int f = 0; f < TSongRecord::kFieldCount; ++f)
            fields[f] = song.sliced(f * fieldSize, fieldSize);
        list.append(TSongRecord::fromFields(fields));
    });
}

void BM_LoadPlaylist(benchmark::State &state)
{
    const QString &file = playlistFile(TTextEncoding(state.range(0)));
    size_t bytesPerSong = 0;
    {
        const size_t before = heapInUse();
        SongLists lists;
        LoadPlaylist(lists, file);
        bytesPerSong = (heapInUse() - before) / size_t(lists.AllSongs().size());
    }
    for (auto _ : state) {
        SongLists lists;
        LoadPlaylist(lists, file);
        benchmark::DoNotOptimize(lists.AllSongs().data());
        state.PauseTiming(); // freeing the list is not part of loading it
        lists.clear();
        state.ResumeTiming();
    }
    state.counters["heap_bytes_per_song"] = double(bytesPerSong);
    state.SetItemsProcessed(state.iterations() * kSongs);
}

} // namespace

BENCHMARK(BM_Baseline_ReadAndDecode)->Arg(int(TTextEncoding::teUtf8))->Arg(int(TTextEncoding::teUtf16LE))->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_AllocateEightFields)->Arg(int(TTextEncoding::teUtf8))->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_OneBlockPerSong)->Arg(int(TTextEncoding::teUtf8))->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlaylist)->Arg(int(TTextEncoding::teUtf8))->Arg(int(TTextEncoding::teUtf16LE))->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
