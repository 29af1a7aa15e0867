#include "core/FileSystem.h"
#include "core/ListDisposal.h"
#include "core/ListStatus.h"
#include "core/SongLists.h"
#include "core/TextUtil.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QThreadPool>

#include <algorithm>
#include <functional>

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
    lists.addSourceFolders({folderA.path(), folderB.path(), program.path(QStringLiteral("missing/"))});
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("song.mp3")), folderB.path(QStringLiteral("song.mp3")));
    program.write(QStringLiteral("song.mp3"), "p");
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("song.mp3")), program.path(QStringLiteral("song.mp3")));
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("nowhere.mp3")), QStringLiteral("nowhere.mp3"));
}

TEST_F(DateiFindenTest, TheSameFolderTwiceChangesNothing)
{
    folderA.write(QStringLiteral("x.mp3"), "a");
    lists.addSourceFolders({folderA.path(), folderA.path()});
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("x.mp3")), folderA.path(QStringLiteral("x.mp3")));
}

TEST_F(DateiFindenTest, WindowsSeparatorsAndNonFiles)
{
    folderA.write(QStringLiteral("sub/b.mp3"), "a");
    lists.addSourceFolders({folderA.path()});
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("sub\\b.mp3")), folderA.path(QStringLiteral("sub/b.mp3")));
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("sub/b.mp3")), folderA.path(QStringLiteral("sub/b.mp3")));
    // A folder or a FIFO is no song file.
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("sub")), QStringLiteral("sub"));
    ASSERT_EQ(mkfifo(QFile::encodeName(folderA.path(QStringLiteral("f.mp3"))).constData(), 0600), 0);
    EXPECT_EQ(lists.DateiFinden(QStringLiteral("f.mp3")), QStringLiteral("f.mp3"));
    EXPECT_FALSE(FileSystem::isRegularFile(folderA.path(QStringLiteral("f.mp3"))));
    EXPECT_TRUE(FileSystem::exists(folderA.path(QStringLiteral("f.mp3"))));
}

namespace {

// Records how the lists asked to be shown, one entry per finished scope.
struct RefreshLog : SongLists::Listener
{
    QList<SongLists::Refresh> seen;
    void songListsChanged(SongLists::Refresh refresh) override { seen.append(refresh); }
};

TSongRecord artist(const char *name)
{
    TSongRecord r;
    r.Artist = QString::fromUtf8(name);
    return r;
}

QString artists(const SongList &list)
{
    QString out;
    for (const TSongRecord &r : list)
        out += r.Artist;
    return out;
}

} // namespace

// A delete while an undo step holds the list: the step keeps every song, the list the others.
TEST(SongListsEdits, RemovingRowsOfAListAStepStillHoldsLeavesTheStepWhole)
{
    const struct
    {
        QList<int> rows;
        const char *left;
    } cases[] = {{{1, 3}, "ace"}, {{0, 1, 2, 3, 4}, ""}, {{9}, "abcde"}, {{0}, "bcde"}};
    for (const auto &c : cases) {
        SongLists lists;
        lists.replaceAll({artist("a"), artist("b"), artist("c"), artist("d"), artist("e")});
        const SongLists::Snapshot step = lists.snapshot();
        lists.removeShownRows(c.rows);
        EXPECT_EQ(artists(lists.AllSongs()), QString::fromLatin1(c.left));
        EXPECT_EQ(artists(step.all), QStringLiteral("abcde"));
    }
}

TEST(SongListsEdits, EachNamedEditChangesItsListAndShowsAsItSays)
{
    using R = SongLists::Refresh;
    SongLists lists;
    RefreshLog log;
    lists.addListener(&log);

    lists.replaceAll({artist("a"), artist("b"), artist("c"), artist("d")});
    lists.showFound({lists.AllSongs()[1], lists.AllSongs()[3]});
    EXPECT_TRUE(lists.ShowingFound());
    EXPECT_EQ(artists(lists.shown()), QStringLiteral("bd"));
    lists.removeShownRows({0, 7, -1}); // rows outside the shown list are ignored
    EXPECT_EQ(artists(lists.FoundSongs()), QStringLiteral("d"));
    EXPECT_EQ(artists(lists.AllSongs()), QStringLiteral("abcd")); // a result's delete leaves the playlist
    lists.showAll();
    lists.removeShownRows({0, 2});
    EXPECT_EQ(artists(lists.shown()), QStringLiteral("bd"));
    lists.append(artist("e"));
    lists.append(SongList{artist("f")});
    EXPECT_EQ(artists(lists.AllSongs()), QStringLiteral("bdef"));
    lists.addSourceFolder(QStringLiteral("/m/"));
    EXPECT_EQ(lists.SourceFolders(), QStringList{QStringLiteral("/m/")});
    lists.clear();
    EXPECT_TRUE(lists.AllSongs().isEmpty());
    EXPECT_FALSE(lists.ShowingFound());
    // Outside a scope every edit is a scope of its own; a source folder shows nothing.
    EXPECT_EQ(log.seen, (QList<R>{R::TableAndStatus, R::Table, R::Table, R::Table, R::Table, R::TableAndStatus,
                                  R::TableAndStatus, R::TableAndStatus}));
    lists.removeListener(&log);
}

// The summed times the status line shows are remembered; after every kind of edit they must
// equal a fresh sum, also when an undo brings back a state whose sums were not known.
TEST(SongListsEdits, TheRememberedPlayingTimesFollowEveryEdit)
{
    const auto song = [](int seconds) {
        TSongRecord r;
        r.Length = QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
        return r;
    };
    const auto sum = [](const SongList &songs) {
        qint64 total = 0;
        for (const TSongRecord &r : songs)
            total += LengthSeconds(r.Length);
        return total;
    };
    SongLists lists;
    SongLists other;
    SongLists::Snapshot step;
    const std::pair<const char *, std::function<void()>> edits[] = {
        {"replace", [&] { lists.replaceAll({song(61), song(5), song(3600), song(7)}); }},
        {"append one", [&] { lists.append(song(30)); }},
        {"append many", [&] { lists.append(SongList{song(1), song(2)}); }},
        {"remember", [&] { step = lists.snapshot(); }},
        {"delete rows", [&] { lists.removeShownRows({0, 2}); }},
        {"reorder", [&] { lists.reorderPlaylist({4, 3, 2, 1, 0}); }},
        {"search", [&] { lists.showFound({lists.AllSongs()[0], lists.AllSongs()[2]}); }},
        {"delete a found row", [&] { lists.removeShownRows({1}); }},
        {"show all", [&] { lists.showAll(); }},
        {"undo", [&] { lists.restore(step); }},
        {"undo a step of unknown sums", [&] { lists.restore({SongList{song(9), song(10)}, SongList{song(4)}, false}); }},
        {"take another's songs", [&] { other.replaceAll({song(100)}); lists.appendFrom(other); }},
        {"delete all", [&] { lists.removeShownRows({0, 1, 2}); }},
        {"clear", [&] { lists.append(song(8)); lists.clear(); }},
    };
    for (const auto &[name, edit] : edits) {
        edit();
        EXPECT_EQ(lists.playlistSeconds(), sum(lists.AllSongs())) << name;
        EXPECT_EQ(lists.foundSeconds(), sum(lists.FoundSongs())) << name;
        EXPECT_EQ(lists.shownSeconds(), sum(lists.shown())) << name;
        EXPECT_EQ(other.playlistSeconds(), sum(other.AllSongs())) << name;
    }
}

// A large list is freed on a pool thread; songs another list still holds must outlive it.
TEST(SongListsEdits, ReleasedSongsOtherListsHoldStayWhole)
{
    for (const qsizetype size : {qsizetype(3), qsizetype(50'000)}) {
        SongList released;
        for (qsizetype i = 0; i < size; ++i)
            released.append(artist(QByteArray::number(i).constData()));
        const SongList kept{released.first(), released.last()};
        releaseSongs(released);
        QThreadPool::globalInstance()->waitForDone();
        EXPECT_TRUE(released.isEmpty());
        EXPECT_EQ(artists(kept), QString::number(0) + QString::number(size - 1));
    }
}

TEST(SongListsEdits, ScopeRefreshesOnceAtItsEndAlsoWhenAnErrorEndsIt)
{
    using R = SongLists::Refresh;
    SongLists lists;
    RefreshLog log;
    lists.addListener(&log);
    {
        auto outer = lists.edit(R::None);
        {
            const auto inner = lists.edit(R::Table);
            lists.append(artist("a"));
            lists.append(artist("b"));
        }
        EXPECT_TRUE(log.seen.isEmpty()); // the outer scope still runs
        outer.ask(R::TableAndStatus);
    }
    EXPECT_EQ(log.seen, QList<R>{R::TableAndStatus});

    // A scope that asks nothing shows nothing, whatever changed ("the status line is not changed").
    log.seen.clear();
    {
        const auto quiet = lists.edit(R::None);
        lists.showFound({});
    }
    EXPECT_TRUE(log.seen.isEmpty());

    try {
        const auto scope = lists.edit(R::TableAndStatus);
        lists.append(artist("c"));
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(log.seen, QList<R>{R::TableAndStatus});
    EXPECT_FALSE(lists.editing());
    lists.removeListener(&log);
}

TEST(SongListsEdits, AppendFromTakesTheOtherListsSongsAndFoldersAndUndoRestoresAWholeState)
{
    SongLists lists;
    lists.append(artist("a"));
    SongLists loaded;
    loaded.append(SongList{artist("b"), artist("c")});
    loaded.addSourceFolder(QStringLiteral("/p/"));
    lists.appendFrom(loaded);
    EXPECT_EQ(artists(lists.AllSongs()), QStringLiteral("abc"));
    EXPECT_EQ(lists.SourceFolders(), QStringList{QStringLiteral("/p/")});
    EXPECT_TRUE(loaded.AllSongs().isEmpty());
    EXPECT_TRUE(loaded.SourceFolders().isEmpty());

    const SongLists::Snapshot before = lists.snapshot();
    lists.showFound({artist("x")});
    lists.clear();
    lists.restore(before);
    EXPECT_EQ(artists(lists.AllSongs()), QStringLiteral("abc"));
    EXPECT_FALSE(lists.ShowingFound());

    // The sort is handed the shown list; only a changed order shows.
    RefreshLog log;
    lists.addListener(&log);
    EXPECT_FALSE(lists.reorderShown([](SongList &, std::vector<qsizetype> &) { return false; }));
    EXPECT_TRUE(lists.reorderShown([](SongList &l, std::vector<qsizetype> &) {
        std::reverse(l.begin(), l.end());
        return true;
    }));
    EXPECT_EQ(artists(lists.AllSongs()), QStringLiteral("cba"));
    EXPECT_EQ(log.seen, QList<SongLists::Refresh>{SongLists::Refresh::Table});
    lists.removeListener(&log);
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
