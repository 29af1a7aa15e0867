// A search over 100,000 songs beside the bare substring search it cannot beat: indexOf over the
// same haystacks, already built and upper-cased. "--as-loaded": the songs as a load keeps them.
#include "BenchSongs.h"
#include "core/SongSearch.h"
#include "core/TextFold.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kSongs = 100000;

const SongList &songs()
{
    static const SongList list = inBenchShape(librarySongs(kSongs));
    return list;
}

void BM_Baseline_IndexOfPrebuiltHaystacks(benchmark::State &state)
{
    QList<QString> hay;
    for (const TSongRecord &r : songs())
        hay.append(simpleUpper(QStringLiteral("\r\n") + r.Artist + QStringLiteral("\r\n") + r.Title + QStringLiteral("\r\n") + r.Album
                               + QStringLiteral("\r\n")));
    const QString needle = QStringLiteral("TITLE 4242");
    for (auto _ : state) {
        int found = 0;
        for (const QString &h : hay)
            found += h.contains(needle) ? 1 : 0;
        benchmark::DoNotOptimize(found);
    }
}

void BM_Search(benchmark::State &state)
{
    SearchOptions o;
    QString term = QStringLiteral("title 4242");
    bool regex = false;
    switch (state.range(0)) {
    case 1:
        o.mode = SearchMode::And;
        term = QStringLiteral("title 4242 number");
        break;
    case 2:
        regex = true;
        term = QStringLiteral("title 42[0-9]2$");
        break;
    default:
        break;
    }
    qsizetype found = 0;
    for (auto _ : state) {
        found = searchSongs(songs(), term, o, regex).matches.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = double(found);
}

} // namespace

BENCHMARK(BM_Baseline_IndexOfPrebuiltHaystacks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search)->Arg(0)->Arg(1)->Arg(2)->ArgNames({"plain0_and1_regex2"})->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    takeAsLoadedFlag(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
