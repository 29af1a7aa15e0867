#include "core/FileSystem.h"
#include "core/SongLists.h"
#include "core/TextUtil.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

class DateiFindenTest : public ::testing::Test
{
protected:
    TempDir program, folderA, folderB;
    SongLists lists{program.path()};
};

TEST_F(DateiFindenTest, AbsolutePathsComeBackUnchanged)
{
    for (const char *p : {"/music/a.mp3", "C:\\Music\\a.mp3", "x:\\y"})
        EXPECT_EQ(lists.DateiFinden(QString::fromLatin1(p)), QString::fromLatin1(p));
}

TEST_F(DateiFindenTest, ProgramFolderFirstThenLastSourceFolderWins)
{
    folderA.write(QStringLiteral("song.mp3"), "a");
    folderB.write(QStringLiteral("song.mp3"), "b");
    lists.SourceFolders = {folderA.path(), folderB.path(), program.path(QStringLiteral("missing/"))};
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("song.mp3")), folderB.path(QStringLiteral("song.mp3")));
    program.write(QStringLiteral("song.mp3"), "p");
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("song.mp3")), program.path(QStringLiteral("song.mp3")));
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("nowhere.mp3")), QStringLiteral("nowhere.mp3"));
}

TEST_F(DateiFindenTest, TheSameFolderTwiceChangesNothing)
{
    folderA.write(QStringLiteral("x.mp3"), "a");
    lists.SourceFolders = {folderA.path(), folderA.path()};
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("x.mp3")), folderA.path(QStringLiteral("x.mp3")));
}

TEST_F(DateiFindenTest, WindowsSeparatorsAndNonFiles)
{
    folderA.write(QStringLiteral("sub/b.mp3"), "a");
    lists.SourceFolders = {folderA.path()};
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("sub\\b.mp3")), folderA.path(QStringLiteral("sub/b.mp3")));
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("sub/b.mp3")), folderA.path(QStringLiteral("sub/b.mp3")));
    // A folder or a FIFO is no song file.
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("sub")), QStringLiteral("sub"));
    ASSERT_EQ(mkfifo(QFile::encodeName(folderA.path(QStringLiteral("f.mp3"))).constData(), 0600), 0);
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("f.mp3")), QStringLiteral("f.mp3"));
    EXPECT_FALSE(FileSystem::isRegularFile(folderA.path(QStringLiteral("f.mp3"))));
    EXPECT_TRUE(FileSystem::exists(folderA.path(QStringLiteral("f.mp3"))));
}

TEST(SongListsModel, ShownListFollowsTheFlagAndListsAreSeparate)
{
    SongLists lists;
    TSongRecord a, b;
    a.Artist = QStringLiteral("A");
    b.Artist = QStringLiteral("B");
    lists.AllSongs = {a, b};
    lists.FoundSongs = {lists.AllSongs[1]};
    EXPECT_EQ(&lists.shown(), &lists.AllSongs);
    lists.ShowingFound = true;
    EXPECT_EQ(lists.shown().at(0).Artist, QStringLiteral("B"));
    lists.shown().removeFirst();
    EXPECT_EQ(lists.AllSongs.size(), 2);
}

TEST(Paths, FolderAndFileNameSplitAtEitherSeparator)
{
    EXPECT_EQ(FileSystem::folderOf(QStringLiteral("/a/b/c.slp")), QStringLiteral("/a/b/"));
    EXPECT_EQ(FileSystem::folderOf(QStringLiteral("C:\\m\\c.slp")), QStringLiteral("C:\\m\\"));
    EXPECT_EQ(FileSystem::folderOf(QStringLiteral("c.slp")), QString());
    EXPECT_EQ(FileSystem::fileNameOf(QStringLiteral("C:\\m/x\\c.mp3")), QStringLiteral("c.mp3"));
    EXPECT_EQ(FileSystem::fileNameOf(QStringLiteral("a:b.mp3")), QStringLiteral("a:b.mp3"));
}

TEST(ReplaceAllText, LeftToRightWithoutOverlap)
{
    EXPECT_EQ(ReplaceAll(QStringLiteral("aaa"), QStringLiteral("aa"), QStringLiteral("b")), QStringLiteral("ba"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("Song.MP3.mp3"), QStringLiteral(".mp3"), QString()), QStringLiteral("Song.MP3"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(ReplaceAll(QString(), QStringLiteral("a"), QStringLiteral("x")), QString());
}
