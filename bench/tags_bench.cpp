// Reading the song record of every file of a generated library (10,000 files of mixed formats
// in nested folders), beside a baseline in the same run that only opens each file, reads its
// first 4 KiB and its last 128 bytes and closes it. Warm cache: both walk the library once
// before timing. The ratio of the two is what counts, not the absolute times.
//
//   tags_bench [--library DIR] [benchmark flags]
// The library is made once in DIR (default: $TMPDIR/sonalo-bench-library) from the files of
// scripts/make-audio-fixtures and reused by later runs.
#include "tags/AddSongFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;

QStringList g_files;
QStringList g_newFormats; // the FLAC, Opus, M4A and tagged WAV files among them

bool isNewFormat(const QString &path)
{
    return path.endsWith(QLatin1String(".flac")) || path.endsWith(QLatin1String(".opus"))
        || path.endsWith(QLatin1String(".m4a")) || path.endsWith(QLatin1String("wav_info.wav"));
}

bool makeLibrary(const QString &root)
{
    // The marker names the mix, so a library of an older mix is made again.
    const QString marker = root + QStringLiteral("/.complete-2");
    if (QFile::exists(marker))
        return true;
    const QString seeds = root + QStringLiteral("/.seeds");
    QDir().mkpath(seeds);
    if (QProcess::execute(QStringLiteral(SONALO_SOURCE_DIR "/scripts/make-audio-fixtures"), {seeds}) != 0)
        return false;
    // A mix as a music folder holds it: MP3 with and without tags, Ogg, WMA, and as many FLAC,
    // Opus, M4A (AAC and ALAC) and tagged WAV files.
    const QStringList kinds = {
        QStringLiteral("id3v23_and_v1.mp3"), QStringLiteral("id3v24.mp3"), QStringLiteral("vbr_xing.mp3"),
        QStringLiteral("id3v1.mp3"), QStringLiteral("cbr320_48k.mp3"), QStringLiteral("id3v22.mp3"),
        QStringLiteral("Band - Song.mp3"), QStringLiteral("vorbis_tags.ogg"), QStringLiteral("wma_tags.wma"),
        QStringLiteral("Artist - Song.wav"), QStringLiteral("flac_tags.flac"), QStringLiteral("opus_tags.opus"),
        QStringLiteral("aac_tags.m4a"), QStringLiteral("alac_tags.m4a"), QStringLiteral("aac_faststart.m4a"),
        QStringLiteral("wav_info.wav"),
    };
    for (int d = 0; d < kFolders; ++d) {
        // Two levels: artist/album.
        const QString folder = root + QStringLiteral("/artist%1/album%2").arg(d / 10).arg(d % 10);
        QDir().mkpath(folder);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const QString &kind = kinds[(d * kFilesPerFolder + i) % kinds.size()];
            const QString target = folder + QStringLiteral("/%1 %2").arg(i, 3, 10, QLatin1Char('0')).arg(kind);
            if (!QFile::copy(seeds + QLatin1Char('/') + kind, target) && !QFile::exists(target))
                return false;
        }
    }
    QFile m(marker);
    return m.open(QIODevice::WriteOnly);
}

void openHeadTail(benchmark::State &state, const QStringList &files)
{
    char head[4096];
    char tail[128];
    for (auto _ : state) {
        for (const QString &path : files) {
            const QByteArray native = QFile::encodeName(path);
            const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            benchmark::DoNotOptimize(::pread(fd, head, sizeof head, 0));
            const off_t size = ::lseek(fd, 0, SEEK_END);
            benchmark::DoNotOptimize(::pread(fd, tail, sizeof tail, size > 128 ? size - 128 : 0));
            ::close(fd);
        }
    }
    state.SetItemsProcessed(state.iterations() * files.size());
}

void songRecords(benchmark::State &state, const QStringList &files)
{
    const QString prog = QStringLiteral("/nowhere/");
    for (auto _ : state) {
        for (const QString &path : files) {
            TSongRecord r = makeSongRecord(path, false, prog);
            benchmark::DoNotOptimize(r);
        }
    }
    state.SetItemsProcessed(state.iterations() * files.size());
}

void Baseline_OpenHeadTail(benchmark::State &state) { openHeadTail(state, g_files); }
void SongRecords(benchmark::State &state) { songRecords(state, g_files); }
void Baseline_OpenHeadTail_NewFormats(benchmark::State &state) { openHeadTail(state, g_newFormats); }
void SongRecords_NewFormats(benchmark::State &state) { songRecords(state, g_newFormats); }

} // namespace

BENCHMARK(Baseline_OpenHeadTail)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(SongRecords)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(Baseline_OpenHeadTail_NewFormats)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(SongRecords_NewFormats)->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString root = QDir::tempPath() + QStringLiteral("/sonalo-bench-library");
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (QByteArrayView(argv[i]) == "--library" && i + 1 < argc)
            root = QString::fromLocal8Bit(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    if (!makeLibrary(root)) {
        std::fprintf(stderr, "tags_bench: could not make the library in %s\n", qPrintable(root));
        return 1;
    }
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.contains(QStringLiteral("/.seeds/")))
            g_files << f;
    }
    std::sort(g_files.begin(), g_files.end());
    for (const QString &f : std::as_const(g_files))
        if (isNewFormat(f))
            g_newFormats << f;
    std::fprintf(stderr, "tags_bench: %lld files in %s\n", static_cast<long long>(g_files.size()), qPrintable(root));
    // Warm the cache.
    for (const QString &f : g_files)
        (void)makeSongRecord(f, false, QString());

    int restArgc = int(rest.size());
    benchmark::Initialize(&restArgc, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
