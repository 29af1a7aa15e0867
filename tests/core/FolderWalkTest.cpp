#include "core/FolderWalk.h"
#include "TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList kAudio = {QStringLiteral(".mp3"), QStringLiteral(".wav"), QStringLiteral(".ogg"), QStringLiteral(".wma")};

QStringList relative(const QStringList &found, const TempDir &root)
{
    QStringList out;
    for (const QString &f : found)
        out << f.mid(root.path().size());
    return out;
}

} // namespace

TEST(FolderWalk, SubfoldersFirstThenEachExtensionInListOrder)
{
    TempDir t;
    for (const char *f : {"B.mp3", "a.wav", "c.mp3", "x/d.mp3", "notes.txt", "e.MP3", ".hidden.ogg", "x/y/z.wma"})
        t.write(QString::fromLatin1(f), "x");
    QStringList found;
    WideFindAllFiles(found, t.path(), kAudio, true);
    EXPECT_EQ(relative(found, t), (QStringList{QStringLiteral("x/y/z.wma"), QStringLiteral("x/d.mp3"), QStringLiteral("B.mp3"),
                                              QStringLiteral("c.mp3"), QStringLiteral("e.MP3"), QStringLiteral("a.wav"),
                                              QStringLiteral(".hidden.ogg")}));
    // Without sub-folders, only the folder's own files; without a trailing slash all the same.
    found.clear();
    WideFindAllFiles(found, t.path().chopped(1), {QStringLiteral(".wav")}, false);
    EXPECT_EQ(relative(found, t), QStringList{QStringLiteral("a.wav")});
    found.clear();
    WideFindAllFiles(found, t.path(), {}, true);
    EXPECT_TRUE(found.isEmpty());
}

TEST(FolderWalk, LoopsFifosUnreadableAndMissingFolders)
{
    TempDir t;
    t.write(QStringLiteral("a/song.mp3"), "x");
    ASSERT_EQ(::symlink(QFile::encodeName(t.path()).constData(), QFile::encodeName(t.path(QStringLiteral("a/loop"))).constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(t.path(QStringLiteral("fifo.mp3"))).constData(), 0600), 0);
    QDir().mkpath(t.path(QStringLiteral("locked")));
    t.write(QStringLiteral("locked/hidden.mp3"), "x");
    ::chmod(QFile::encodeName(t.path(QStringLiteral("locked"))).constData(), 0);
    // Links are followed by what they point at: the listing only says "link".
    auto link = [&](const char *target, const char *name) {
        return ::symlink(target, QFile::encodeName(t.path(QString::fromLatin1(name))).constData());
    };
    ASSERT_EQ(link("song.mp3", "a/linked.mp3"), 0);
    ASSERT_EQ(link("../fifo.mp3", "a/fifolink.mp3"), 0);
    ASSERT_EQ(link("nowhere.mp3", "a/dangling.mp3"), 0);

    QStringList found;
    WideFindAllFiles(found, t.path(), kAudio, true);
    ::chmod(QFile::encodeName(t.path(QStringLiteral("locked"))).constData(), 0700);
    EXPECT_TRUE(found.contains(t.path(QStringLiteral("a/song.mp3"))));
    EXPECT_FALSE(found.contains(t.path(QStringLiteral("fifo.mp3"))));
    EXPECT_TRUE(found.contains(t.path(QStringLiteral("a/linked.mp3"))));
    EXPECT_FALSE(found.contains(t.path(QStringLiteral("a/fifolink.mp3"))));
    EXPECT_FALSE(found.contains(t.path(QStringLiteral("a/dangling.mp3"))));
    EXPECT_EQ(found.count(t.path(QStringLiteral("a/song.mp3"))), 1); // the loop is entered once
    if (::geteuid() != 0) {
        EXPECT_FALSE(found.contains(t.path(QStringLiteral("locked/hidden.mp3"))));
    }

    QStringList none;
    WideFindAllFiles(none, t.path(QStringLiteral("missing")), kAudio, true);
    EXPECT_TRUE(none.isEmpty());
}

TEST(FolderWalk, NonLatinNamesArePreserved)
{
    TempDir t;
    const QString name = QString::fromUtf8("M\xC3\xBCsik \xF0\x9F\x8E\xB5/\xE4\xB8\xAD\xE6\x96\x87.ogg");
    t.write(name, "x");
    QStringList found;
    WideFindAllFiles(found, t.path(), kAudio, true);
    EXPECT_EQ(found, QStringList{t.path(name)});
}

TEST(FolderWalk, CountingWalkStopsEachListingAfterCancel)
{
    TempDir t;
    for (const char *f : {"1.mp3", "2.mp3", "3.mp3", "1.wav", "2.wav", "sub/1.mp3", "sub/2.mp3"})
        t.write(QString::fromLatin1(f), "x");
    ScanState state;
    QStringList found;
    int calls = 0;
    WideFindAllFilesANZ(found, t.path(), true, kAudio, state, [&] {
        ++calls;
        if (state.FoundCount == 1)
            state.ScanCancelled = true; // Cancel pressed while the first file is shown
    });
    // sub/1.mp3, then each later listing yields its first entry only.
    EXPECT_EQ(relative(found, t), (QStringList{QStringLiteral("sub/1.mp3"), QStringLiteral("1.mp3"), QStringLiteral("1.wav")}));
    EXPECT_EQ(state.FoundCount, 3);
    EXPECT_EQ(calls, 3);

    ScanState fresh;
    found.clear();
    WideFindAllFilesANZ(found, t.path(), true, kAudio, fresh, [] {});
    EXPECT_EQ(fresh.FoundCount, 7);
    EXPECT_EQ(found.size(), 7);
}

TEST(FolderWalk, AfterFolderRunsOncePerFolderListed)
{
    TempDir t;
    for (const char *f : {"a/x.mp3", "a/b/y.mp3", "c/z.ogg"})
        t.write(QString::fromLatin1(f), "x");
    QStringList found;
    int listed = 0;
    WideFindAllFiles(found, t.path(), kAudio, true, [&] { ++listed; });
    EXPECT_EQ(listed, 4); // the root, a, a/b, c
    EXPECT_EQ(found.size(), 3);
}
