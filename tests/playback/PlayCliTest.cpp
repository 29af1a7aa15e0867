#include "PlaybackFixtures.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>

// sonalo-cli play and devices, run as a user runs them.

namespace {

struct CliRun
{
    int exitCode = -1;
    QStringList out;
    QString err;
};

CliRun runCli(const QStringList &args, const QString &sinkVariable = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!sinkVariable.isEmpty())
        env.insert(QStringLiteral("SONALO_AUDIO_SINK"), sinkVariable);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SONALO_BINARY_DIR "/src/cli/sonalo-cli"), args);
    p.waitForFinished(60000);
    CliRun r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

class PlayCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        playbackTestApp();
        ASSERT_TRUE(AudioFixtures::get().failure().isEmpty()) << qPrintable(AudioFixtures::get().failure());
    }
    QString file(const char *name) const { return AudioFixtures::get().path(QString::fromLatin1(name)); }
    const QString fake = QStringLiteral("fakesink sync=true");
};

TEST_F(PlayCli, PlaysToTheEndPrintingPositionAndDuration)
{
    // The sink chosen by option and by environment variable.
    for (const CliRun &r : {runCli({QStringLiteral("play"), QStringLiteral("--sink"), fake, file("tone.ogg")}),
                         runCli({QStringLiteral("play"), file("tone.ogg")}, fake)}) {
        EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
        ASSERT_GE(r.out.size(), 2);
        EXPECT_EQ(r.out.first(), QStringLiteral("0.0 / 0.6"));
        EXPECT_EQ(r.out.last(), QStringLiteral("0.6 / 0.6"));
    }
}

TEST_F(PlayCli, StartsAtTheGivenPosition)
{
    const CliRun r = runCli({QStringLiteral("play"), QStringLiteral("--position"), QStringLiteral("0.4"), file("tone.wav")}, fake);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    ASSERT_FALSE(r.out.isEmpty());
    EXPECT_EQ(r.out.first(), QStringLiteral("0.4 / 0.6"));
}

TEST_F(PlayCli, FailuresExitWithThePlayersMessage)
{
    struct Case { QString file; QString text; };
    for (const Case &c : {Case{file("missing.mp3"), QStringLiteral("GStreamer call failed: 80470303\nResource not found. (error code 80470303)")},
                          Case{file("video_only.avi"), QStringLiteral("Specified file doesn't have any audio stream. (error code 1000)")}}) {
        const CliRun r = runCli({QStringLiteral("play"), c.file}, fake);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, QStringLiteral("sonalo-cli: ") + c.text + QLatin1Char('\n'));
    }
    for (const QStringList &args : {QStringList{QStringLiteral("play")},
                                    QStringList{QStringLiteral("play"), QStringLiteral("--device"), QStringLiteral("x"), file("tone.wav")},
                                    QStringList{QStringLiteral("play"), QStringLiteral("--position"), QStringLiteral("-1"), file("tone.wav")}})
        EXPECT_EQ(runCli(args, fake).exitCode, 2) << qPrintable(args.join(QLatin1Char(' ')));
}

TEST_F(PlayCli, DevicesListsDefaultFirst)
{
    const CliRun r = runCli({QStringLiteral("devices")});
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_FALSE(r.out.isEmpty());
    EXPECT_EQ(r.out.first(), QStringLiteral("0\tDefault"));
    for (qsizetype i = 0; i < r.out.size(); ++i)
        EXPECT_TRUE(r.out[i].startsWith(QString::number(i) + QLatin1Char('\t'))) << qPrintable(r.out[i]);
}

} // namespace
