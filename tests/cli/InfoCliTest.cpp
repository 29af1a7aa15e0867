// "info --json" over the generated sine-tone files: each reader's own values.
#include "CliRunner.h"

#include <QFile>
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
