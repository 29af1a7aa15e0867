#include "core/SessionJournal.h"

#include "TempDir.h"
#include "support/TestSongs.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace SessionJournal;

SongList songs(std::initializer_list<const char *> artists)
{
    SongList list;
    for (const char *a : artists) {
        TSongRecord r = makeSong(a, "Title ☃", "3:00");
        r.Path = u8("/m/") + u8(a) + u8(".mp3");
        list.append(r);
    }
    return list;
}

QByteArray snapshotBytes(const SongList &list, std::uint32_t generation, qint64 time)
{
    QByteArray out = snapshotHeader(generation, time, list.size());
    for (const TSongRecord &r : list)
        encodeSong(out, r);
    const std::uint64_t h = check(out);
    for (int i = 0; i < 8; ++i)
        out.append(char((h >> (8 * i)) & 0xFF));
    return out;
}

// A log of four changes over {a, b, c}, and the playlist after each of them.
struct History
{
    QByteArray log = logHeader(7);
    QList<qsizetype> ends; // the log's size after each record
    QList<SongList> after;

    History()
    {
        SongList list = songs({"a", "b", "c"});
        auto add = [&](const QByteArray &record, SongList state) {
            log += record;
            ends.append(log.size());
            after.append(state);
        };
        SongList appended = list + songs({"d", "e"});
        add(encodeAppend(appended, 3, 1001), appended);
        add(encodeRemove({0, 2}, 1002), songs({"b", "d", "e"}));
        add(encodeReorder({2, 0, 1}, 1003), songs({"e", "b", "d"}));
        add(encodeClear(1004), SongList());
    }
};

} // namespace

TEST(SessionJournal, ReplaysEveryChangeOverItsSnapshotAndDropsATornLastOne)
{
    const History h;
    const QByteArray snapshot = snapshotBytes(songs({"a", "b", "c"}), 7, 1000);
    Recovered whole = replay(snapshot, h.log);
    ASSERT_TRUE(whole.valid);
    EXPECT_EQ(whole.songs, h.after.last());
    EXPECT_EQ(whole.changes, 4);
    EXPECT_EQ(whole.timeMs, 1004);
    EXPECT_FALSE(whole.logCut);

    // Cut anywhere: the changes whose records are whole, never more, never a crash.
    for (qsizetype cut = 8; cut < h.log.size(); ++cut) {
        const Recovered r = replay(snapshot, h.log.first(cut));
        qsizetype done = 0;
        while (done < h.ends.size() && h.ends[done] <= cut)
            ++done;
        ASSERT_TRUE(r.valid) << cut;
        EXPECT_EQ(r.songs, done == 0 ? songs({"a", "b", "c"}) : h.after[done - 1]) << cut;
        EXPECT_EQ(r.logCut, done == 0 ? cut > 8 : h.ends[done - 1] != cut) << cut;
    }
    // A flipped byte in a record ends the replay before it.
    QByteArray damaged = h.log;
    damaged[h.ends[1] + 25] = char(damaged[h.ends[1] + 25] ^ 0x40);
    EXPECT_EQ(replay(snapshot, damaged).songs, h.after[1]);
}

TEST(SessionJournal, RefusesWhatDoesNotBelongOrDoesNotCheckOut)
{
    const History h;
    const QByteArray snapshot = snapshotBytes(songs({"a", "b", "c"}), 7, 1000);
    // A log of another generation: the snapshot alone.
    QByteArray otherLog = h.log;
    otherLog[4] = 6;
    EXPECT_EQ(replay(snapshot, otherLog).songs, songs({"a", "b", "c"}));
    // A snapshot cut short or damaged gives nothing.
    EXPECT_FALSE(replay(snapshot.first(snapshot.size() - 1), h.log).valid);
    QByteArray flipped = snapshot;
    flipped[30] = char(flipped[30] ^ 1);
    EXPECT_FALSE(replay(flipped, h.log).valid);
    EXPECT_FALSE(replay(QByteArray(), h.log).valid);

    // Records that check out but do not fit the playlist end the replay, changing nothing.
    const SongList three = songs({"a", "b", "c"});
    const QByteArray misfits[] = {
        encodeRemove({2, 1}, 5),           // not ascending
        encodeRemove({3}, 5),              // past the end
        encodeReorder({0, 0, 1}, 5),       // not a permutation
        encodeReorder({1, 0}, 5),          // another size
    };
    for (const QByteArray &misfit : misfits) {
        const Recovered r = replay(snapshot, logHeader(7) + misfit + encodeClear(6));
        EXPECT_EQ(r.songs, three);
        EXPECT_TRUE(r.logCut);
    }
    // A huge count in a small record is refused before anything is allocated for it.
    QByteArray huge = snapshotHeader(7, 1000, 0x7fffffff);
    const std::uint64_t c = check(huge);
    for (int i = 0; i < 8; ++i)
        huge.append(char((c >> (8 * i)) & 0xFF));
    EXPECT_FALSE(replay(huge, QByteArray()).valid);
}

TEST(SessionJournal, FilesKeepTheOldSnapshotWhenTheDiskIsFullAndListOrphansNewestFirst)
{
    TempDir dir;
    const QString folder = dir.path(u8("journals/1-1"));
    ASSERT_TRUE(QDir().mkpath(folder));
    Files files(folder);
    ASSERT_TRUE(files.writeSnapshot(songs({"a", "b"}), 1, 2000));
    ASSERT_TRUE(files.appendLog(encodeRemove({0}, 2001)));
    EXPECT_EQ(files.read().songs, songs({"b"}));

    // A compaction that meets a full disk (a file size limit in a child process): the previous
    // snapshot and its log stay usable, and no temporary file is left.
    SongList big;
    for (int i = 0; i < 2000; ++i)
        big += songs({"x"});
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16 * 1024, 16 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(files.writeSnapshot(big, 2, 3000) ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(files.read().songs, songs({"b"}));
    EXPECT_FALSE(QFile::exists(files.snapshotPath() + u8(".tmp")));

    // A second journal, newer; a held lock hides a running window's journal.
    const QString newer = dir.path(u8("journals/2-2"));
    ASSERT_TRUE(QDir().mkpath(newer));
    ASSERT_TRUE(Files(newer).writeSnapshot(songs({"n"}), 1, 5000));
    // A window killed before its first snapshot: listed last, giving nothing.
    ASSERT_TRUE(QDir().mkpath(dir.path(u8("journals/3-3"))));
    QList<Orphan> found = orphans(dir.path(u8("journals")));
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found[0].folder, newer);
    EXPECT_EQ(found[1].recovered.timeMs, 2001);
    EXPECT_FALSE(found[2].recovered.valid);
    QLockFile running(lockPath(newer));
    ASSERT_TRUE(running.tryLock(0));
    found = orphans(dir.path(u8("journals")));
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0].folder, folder);
}
