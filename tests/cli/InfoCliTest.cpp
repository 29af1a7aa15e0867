// "info --json" over the generated sine-tone files: each reader's own values.
#include "CliRunner.h"
#include "TempDir.h"
#include "../tags/ByteBuilders.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(SONALO_BINARY_DIR "/audio-fixtures/") + QString::fromUtf8(name);
}

} // namespace

TEST(InfoCli, JsonShowsEachNewReadersValues)
{
    if (!QFile::exists(fixture("flac_tags.flac")))
        GTEST_SKIP() << "no generated audio files (scripts/make-audio-fixtures needs ffmpeg)";
    const struct { const char *file, *reader, *key; double value; } cases[] = {
        {"flac_tags.flac", "flac", "sampleCount", 233730},
        {"opus_tags.opus", "opus", "inputSampleRate", 48000},
        {"alac_tags.m4a", "mp4", "sampleRate", 44100},
        {"wav_info.wav", "wav", "dataSize", 233730 * 4},
    };
    QStringList args = {QStringLiteral("info"), QStringLiteral("--json")};
    for (const auto &c : cases)
        args << fixture(c.file);
    const CliResult r = runCli(args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray all = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(all.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QJsonObject o = all[i].toObject();
        const QJsonObject readers = o[QLatin1String("readers")].toObject();
        EXPECT_EQ(readers[QLatin1String("reader")].toString(), QLatin1String(cases[i].reader)) << cases[i].file;
        const QJsonObject own = readers[QLatin1String(cases[i].reader)].toObject();
        EXPECT_EQ(own[QLatin1String(cases[i].key)].toDouble(), cases[i].value) << cases[i].file;
        EXPECT_NEAR(own[QLatin1String("duration")].toDouble(), 5.3, 0.05) << cases[i].file;
        EXPECT_EQ(o[QLatin1String("genre")].toString(), u"Blues") << cases[i].file;
        EXPECT_EQ(o[QLatin1String("seconds")].toInt(), 5) << cases[i].file;
    }
    EXPECT_EQ(all[2].toObject()[QLatin1String("readers")].toObject()[QLatin1String("mp4")].toObject()
                  [QLatin1String("codec")].toString(),
              u"alac");
}

// ReplayGain values as ffmpeg writes them into each format, shown as the files hold them.
// (ffmpeg writes no iTunes freeform atoms; the reader tests build those byte by byte.)
TEST(InfoCli, JsonShowsReplayGainAsEncodersWriteIt)
{
    QTemporaryDir dir;
    struct Case
    {
        const char *file;
        QStringList options;
        double trackGain;
        double trackPeak = -1; // -1: none
    };
    const QStringList rg = {QStringLiteral("-metadata"), QStringLiteral("REPLAYGAIN_TRACK_GAIN=-6.00 dB"),
                            QStringLiteral("-metadata"), QStringLiteral("REPLAYGAIN_TRACK_PEAK=0.5")};
    const Case cases[] = {
        {"a.mp3", rg, -6.0, 0.5},
        {"a.flac", rg, -6.0, 0.5},
        {"a.ogg", QStringList{QStringLiteral("-c:a"), QStringLiteral("libvorbis")} + rg, -6.0, 0.5},
        // -2816/256 = -11 dB against -23 LUFS is -6 dB against ReplayGain's -18.
        {"a.opus", {QStringLiteral("-metadata"), QStringLiteral("R128_TRACK_GAIN=-2816")}, -6.0},
    };
    QStringList args = {QStringLiteral("info"), QStringLiteral("--json")};
    for (const Case &c : cases) {
        QProcess p;
        p.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                                                      QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                                                      QStringLiteral("-i"), QStringLiteral("sine=duration=0.2")}
                                              + c.options + QStringList{dir.filePath(QLatin1String(c.file))});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            GTEST_SKIP() << "ffmpeg cannot write " << c.file;
        args << dir.filePath(QLatin1String(c.file));
    }
    const CliResult r = runCli(args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray all = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(all.size(), int(std::size(cases)));
    for (int i = 0; i < all.size(); ++i) {
        const QJsonObject gain = all[i].toObject()[QLatin1String("replayGain")].toObject();
        EXPECT_DOUBLE_EQ(gain[QLatin1String("trackGain")].toDouble(99), cases[i].trackGain) << cases[i].file;
        EXPECT_DOUBLE_EQ(gain[QLatin1String("trackPeak")].toDouble(-1), cases[i].trackPeak) << cases[i].file;
    }
}

TEST(InfoCli, ArtWritesTheShownPictureAndInfoListsWhereItLies)
{
    using namespace bytes;
    TempDir dir;
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QString song = dir.write(QStringLiteral("a/song.mp3"),
                                   id3Tag(3, id3Frame(3, "APIC", of({0}) + "image/png" + of({0, 3, 0}) + png)) + cbrFrames(5));
    const QString plain = dir.write(QStringLiteral("b/plain.mp3"), cbrFrames(5));
    const QString out = dir.path(QStringLiteral("out.bin"));
    auto written = [&] {
        QFile f(out);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    CliResult r = runCli({QStringLiteral("art"), song, QStringLiteral("-o"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(written(), png);
    EXPECT_TRUE(r.err.contains(QStringLiteral("20 x 10 pixels"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("embedded (front cover, image/png)"))) << r.err.toStdString();

    r = runCli({QStringLiteral("art"), plain, QStringLiteral("-o"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("has no picture"))) << r.err.toStdString();
    // A folder image beside both: it shows for the plain song, and for the other when preferred.
    dir.write(QStringLiteral("a/Folder.PNG"), png + QByteArray("trailing"));
    r = runCli({QStringLiteral("art"), song, QStringLiteral("--prefer"), QStringLiteral("folder"), QStringLiteral("-o"), out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(written(), png + QByteArray("trailing"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("folder image"))) << r.err.toStdString();
    EXPECT_EQ(runCli({QStringLiteral("art"), song, QStringLiteral("--prefer"), QStringLiteral("neither")}).exitCode, 2);

    r = runCli({QStringLiteral("info"), QStringLiteral("--json"), song});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).array()[0].toObject();
    EXPECT_EQ(o[QLatin1String("stream")].toObject()[QLatin1String("codec")].toString(), QStringLiteral("MPEG-1 Layer III"));
    EXPECT_EQ(o[QLatin1String("stream")].toObject()[QLatin1String("sampleRate")].toInt(), 44100);
    const QJsonArray pictures = o[QLatin1String("pictures")].toArray();
    ASSERT_EQ(pictures.size(), 1);
    const QJsonObject p = pictures[0].toObject();
    EXPECT_EQ(p[QLatin1String("mime")].toString(), QStringLiteral("image/png"));
    EXPECT_EQ(p[QLatin1String("length")].toInt(), png.size());
    EXPECT_TRUE(p[QLatin1String("complete")].toBool());
    EXPECT_TRUE(p[QLatin1String("shown")].toBool());
    // The stated place holds the picture.
    QFile f(song);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    f.seek(p[QLatin1String("offset")].toInteger());
    EXPECT_EQ(f.read(png.size()), png);
}
