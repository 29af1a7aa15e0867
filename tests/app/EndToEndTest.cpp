// The program (its test build sonalo_e2e, the shipped start-up plus the table dump), started
// offscreen with arguments; it writes what its table shows and ends.
#include "core/OutputSettings.h"
#include "core/Playlist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include "support/TestSongs.h"

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(SONALO_BINARY_DIR "/audio-fixtures/") + u8(name);
}

} // namespace

TEST(EndToEnd, ArgumentsFolderFilePlaylistAndCapitalPlaylistFillTheTable)
{
    if (!QFileInfo::exists(fixture("id3v23.mp3")))
        GTEST_SKIP() << "no generated audio files (scripts/make-audio-fixtures needs ffmpeg)";
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QDir dir(work.path());
    ASSERT_TRUE(dir.mkpath(u8("Musik/sub")));
    ASSERT_TRUE(QFile::copy(fixture("vorbis_tags.ogg"), dir.filePath(u8("Musik/sub/b.ogg"))));
    ASSERT_TRUE(QFile::copy(fixture("Band - Song.mp3"), dir.filePath(u8("Musik/a.mp3"))));
    ASSERT_TRUE(QFile::copy(fixture("wma_tags.wma"), dir.filePath(u8("Lied 🎵.wma"))));
    TSongRecord listed;
    listed.Artist = u8("Listed");
    listed.Title = u8("Entry");
    listed.Length = u8("2:00");
    listed.Path = u8("/nowhere/listed.mp3");
    SavePlaylist({listed}, dir.filePath(u8("list.slp")), TTextEncoding::teUtf8, PictureStyle());
    ASSERT_TRUE(QFile::copy(dir.filePath(u8("list.slp")), dir.filePath(u8("LIST.SLP"))));

    const QString dump = dir.filePath(u8("table.txt"));
    QProcess sonalo;
    sonalo.setWorkingDirectory(work.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u8("QT_QPA_PLATFORM"), u8("offscreen"));
    env.insert(u8("SONALO_TEST_DUMP_TABLE"), dump);
    env.insert(u8("XDG_DATA_HOME"), dir.filePath(u8("data"))); // a journal of its own
    sonalo.setProcessEnvironment(env);
    // Relative names, as a shell passes them: they are kept absolute.
    sonalo.start(QStringLiteral(SONALO_E2E_PROGRAM),
                 {u8("Musik"), u8("Lied 🎵.wma"), dir.filePath(u8("list.slp")), u8("LIST.SLP")});
    ASSERT_TRUE(sonalo.waitForFinished(60000)) << "the program did not end";
    EXPECT_EQ(sonalo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sonalo.exitCode(), 0) << sonalo.readAllStandardError().toStdString();

    QFile f(dump);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << QString::fromUtf8(QFile(dump).exists() ? "" : "no dump").toStdString();
    EXPECT_TRUE(lines[0].startsWith(u8("5 Files Loaded"))) << lines[0].toStdString();
    const QString base = dir.absolutePath() + QLatin1Char('/');
    const QStringList expected = {
        u8("1\tOgg Artist\tOgg Title\t0:05\tOgg Album\t5\t2005\tAmbient\t") + base + u8("Musik/sub/b.ogg"),
        u8("2\t\ta.mp3\t0:05\t\t\t\t\t") + base + u8("Musik/a.mp3"),
        u8("3\tWMA Artist\tWMA Title\t0:05\tWMA Album\t6\t2006\tJazz\t") + base + u8("Lied 🎵.wma"),
        u8("4\tListed\tEntry\t2:00\t\t\t\t\t/nowhere/listed.mp3"),
        // ".slp" in capitals on the command line is a song, not a playlist.
        u8("5\t\tLIST.SLP\t0:00\t\t\t\t\t") + base + u8("LIST.SLP"),
    };
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i + 1].toStdString(), expected[i].toStdString());
}
