// Reading the song record of every file of a generated library (1,000, 10,000 and 100,000 files
// of mixed formats in nested folders), beside a baseline in the same run that only opens each
// file, reads its first 4 KiB and its last 128 bytes and closes it, and (when built with
// TagLib) the same files read by TagLib as a peer. Warm cache: every file is read once before
// timing. The ratios are what counts, not the absolute times.
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

#ifdef SONALO_HAVE_TAGLIB
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#endif

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFolders = 1000;
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
    const QString marker = root + QStringLiteral("/.complete-3");
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
        // Two levels: artist/album; sorted, the first 10 folders are the 1,000 files, the first
        // 100 the 10,000.
        const QString folder = root + QStringLiteral("/artist%1/album%2").arg(d / 10, 3, 10, QLatin1Char('0')).arg(d % 10);
        QDir().mkpath(folder);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const QString &kind = kinds[(d * kFilesPerFolder + i) % kinds.size()];
            const QString target = folder + QStringLiteral("/%1 %2").arg(i, 3, 10, QLatin1Char('0')).arg(kind);
            // Hard links: 100,000 names cost no disk, and every reader meets the same warm pages.
            if (::link(QFile::encodeName(seeds + QLatin1Char('/') + kind).constData(), QFile::encodeName(target).constData()) != 0
                && !QFile::exists(target))
                return false;
        }
    }
    QFile m(marker);
    return m.open(QIODevice::WriteOnly);
}

// The same MP3, FLAC and M4A files twice, once as the library holds them and once with a
// 600 x 600 JPEG cover embedded (APIC, PICTURE, covr): the table's read must not pay for the
// pictures. 1,000 hard links of each, in two folders.
bool makePictureLibrary(const QString &seeds, const QString &root, QStringList &plain, QStringList &pictured)
{
    const QStringList kinds = {QStringLiteral("id3v23_and_v1.mp3"), QStringLiteral("flac_tags.flac"),
                               QStringLiteral("aac_tags.m4a")};
    const QString marker = root + QStringLiteral("/.complete-1");
    if (!QFile::exists(marker)) {
        QDir().mkpath(root + QStringLiteral("/plain"));
        QDir().mkpath(root + QStringLiteral("/pictured"));
        const QString cover = root + QStringLiteral("/cover.jpg");
        if (QProcess::execute(QStringLiteral("ffmpeg"), {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                                         QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                                                         QStringLiteral("-i"), QStringLiteral("cellauto=s=600x600"),
                                                         QStringLiteral("-frames:v"), QStringLiteral("1"), cover})
            != 0)
            return false;
        for (const QString &kind : kinds) {
            const QString with = root + QStringLiteral("/.with-") + kind;
            QStringList args = {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                                QStringLiteral("-i"), seeds + QLatin1Char('/') + kind, QStringLiteral("-i"), cover,
                                QStringLiteral("-map"), QStringLiteral("0:a"), QStringLiteral("-map"), QStringLiteral("1"),
                                QStringLiteral("-c"), QStringLiteral("copy"), QStringLiteral("-disposition:v:0"),
                                QStringLiteral("attached_pic")};
            if (kind.endsWith(QLatin1String(".mp3")))
                args << QStringLiteral("-id3v2_version") << QStringLiteral("3");
            if (QProcess::execute(QStringLiteral("ffmpeg"), args << with) != 0)
                return false;
            for (int i = 0; i < 1000; ++i) {
                const QString name = QStringLiteral("/%1 %2").arg(i, 4, 10, QLatin1Char('0')).arg(kind);
                for (const auto &[from, folder] : {std::pair{seeds + QLatin1Char('/') + kind, QStringLiteral("/plain")},
                                                   std::pair{with, QStringLiteral("/pictured")}}) {
                    const QString target = root + folder + name;
                    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(target).constData()) != 0
                        && !QFile::exists(target))
                        return false;
                }
            }
        }
        QFile m(marker);
        if (!m.open(QIODevice::WriteOnly))
            return false;
    }
    for (const auto &[folder, into] : {std::pair{QStringLiteral("/plain"), &plain}, std::pair{QStringLiteral("/pictured"), &pictured}}) {
        QDirIterator it(root + folder, QDir::Files);
        while (it.hasNext())
            *into << it.next();
        std::sort(into->begin(), into->end());
    }
    return plain.size() == 3000 && pictured.size() == 3000;
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

#ifdef SONALO_HAVE_TAGLIB
// What most Linux players do per file: a TagLib FileRef with its audio properties, and the
// same values a song record holds.
void tagLibRecords(benchmark::State &state, const QStringList &files)
{
    for (auto _ : state) {
        for (const QString &path : files) {
            const QByteArray native = QFile::encodeName(path);
            TagLib::FileRef f(native.constData(), true, TagLib::AudioProperties::Average);
            if (f.isNull())
                continue;
            if (const TagLib::Tag *t = f.tag()) {
                benchmark::DoNotOptimize(t->title());
                benchmark::DoNotOptimize(t->artist());
                benchmark::DoNotOptimize(t->album());
                benchmark::DoNotOptimize(t->genre());
                benchmark::DoNotOptimize(t->year() + t->track());
            }
            if (const TagLib::AudioProperties *p = f.audioProperties())
                benchmark::DoNotOptimize(p->lengthInSeconds());
        }
    }
    state.SetItemsProcessed(state.iterations() * files.size());
}
#endif

void Baseline_OpenHeadTail_NewFormats(benchmark::State &state) { openHeadTail(state, g_newFormats); }
void SongRecords_NewFormats(benchmark::State &state) { songRecords(state, g_newFormats); }

// Each size's baseline, records and peer one after the other, so each ratio comes from
// neighbouring runs.
void registerSizes()
{
    for (const qsizetype n : {qsizetype(1000), qsizetype(10000), qsizetype(100000)}) {
        const QStringList files = g_files.mid(0, n);
        const QByteArray size = "/" + QByteArray::number(files.size());
        benchmark::RegisterBenchmark(("Baseline_OpenHeadTail" + size).constData(),
                                     [files](benchmark::State &s) { openHeadTail(s, files); })
            ->Unit(benchmark::kMillisecond)->MinTime(2.0);
        benchmark::RegisterBenchmark(("SongRecords" + size).constData(),
                                     [files](benchmark::State &s) { songRecords(s, files); })
            ->Unit(benchmark::kMillisecond)->MinTime(2.0);
#ifdef SONALO_HAVE_TAGLIB
        benchmark::RegisterBenchmark(("Peer_TagLib" + size).constData(),
                                     [files](benchmark::State &s) { tagLibRecords(s, files); })
            ->Unit(benchmark::kMillisecond)->MinTime(2.0);
#endif
    }
}

} // namespace

BENCHMARK(Baseline_OpenHeadTail_NewFormats)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(SongRecords_NewFormats)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
        if (isNewFormat(f) && g_newFormats.size() < 3750)
            g_newFormats << f;
    std::fprintf(stderr, "tags_bench: %lld files in %s\n", static_cast<long long>(g_files.size()), qPrintable(root));
    QStringList plain, pictured;
    if (!makePictureLibrary(root + QStringLiteral("/.seeds"), root + QStringLiteral("-pictures"), plain, pictured)) {
        std::fprintf(stderr, "tags_bench: could not make the picture library beside %s\n", qPrintable(root));
        return 1;
    }
    for (const QString &f : plain + pictured)
        (void)makeSongRecord(f, false, QString());
    // Side by side: each pair's baseline and records one after the other.
    for (const auto &[name, files] : {std::pair{"WithoutPictures", plain}, std::pair{"WithPictures", pictured}}) {
        const QStringList list = files;
        benchmark::RegisterBenchmark((std::string("Baseline_OpenHeadTail_") + name).c_str(),
                                     [list](benchmark::State &s) { openHeadTail(s, list); })
            ->Unit(benchmark::kMillisecond)->MinTime(2.0);
        benchmark::RegisterBenchmark((std::string("SongRecords_") + name).c_str(),
                                     [list](benchmark::State &s) { songRecords(s, list); })
            ->Unit(benchmark::kMillisecond)->MinTime(2.0);
    }
    // Warm the cache.
    for (const QString &f : g_files)
        (void)makeSongRecord(f, false, QString());

    registerSizes();
    int restArgc = int(rest.size());
    benchmark::Initialize(&restArgc, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
