#include "core/Errors.h"
#include "core/FolderScan.h"
#include "core/TextFold.h"
#include "core/WorkBeside.h"
#include "TempDir.h"

#include <QThread>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>
#include "support/TestSongs.h"

namespace {

// Records what the scan adds, the way AddSongFile stores paths.
struct Recorder
{
    SongLists &lists;
    QStringList added;
    AddSongFileFn fn()
    {
        return [this](const QString &path, bool relative) {
            added << path;
            TSongRecord r;
            const QString &prog = lists.programFolder();
            r.Path = relative && path.startsWith(prog) ? path.mid(prog.size()) : path;
            lists.append(r);
        };
    }
};

TSongRecord withPath(const QString &path)
{
    TSongRecord r;
    r.Path = path;
    return r;
}

struct ViewLog
{
    QList<int> handled;
    int lastFound = -1;
    int maximum = -1;
    FolderScanView view()
    {
        return {[this](int n) { lastFound = n; }, [this](int n) { handled << n; }, [this](int n) { maximum = n; }, [] {}};
    }
};

} // namespace

TEST(FoldForSort, UmlautsAndSharpS)
{
    EXPECT_EQ(FoldForSort(u8("Über.mp3")), QStringLiteral("UEBER.MP3"));
    EXPECT_EQ(FoldForSort(u8("straße ça äö")), QStringLiteral("STRASSE CA AEOE"));
    QStringList list = {u8("Zebra.mp3"), u8("Über.mp3"), u8("Tango.mp3"), u8("apfel")};
    SortFoldedList(list, true);
    EXPECT_EQ(list, (QStringList{u8("apfel"), u8("Tango.mp3"), u8("Über.mp3"), u8("Zebra.mp3")}));
    SortFoldedList(list, false);
    EXPECT_EQ(list.first(), u8("Zebra.mp3"));
}

class FolderScanTest : public ::testing::Test
{
protected:
    TempDir music, program;
    SongLists lists{program.path()};
    Recorder rec{lists, {}};
    ScanState state;
    ViewLog log;
    FolderScanSettings settings;

    FolderScanResult run() { return runFolderScan(lists, settings, state, log.view(), rec.fn()); }
};

TEST_F(FolderScanTest, OnlyTickedTypesAreLookedFor)
{
    music.write(QStringLiteral("a.mp3"), "x");
    music.write(QStringLiteral("b.wav"), "x");
    settings.folderText = music.path();
    settings.mp3 = settings.ogg = settings.wma = settings.flac = settings.opus = settings.m4a = false;
    const FolderScanResult r = run();
    EXPECT_EQ(r.found, 1);
    EXPECT_EQ(rec.added, QStringList{music.path(QStringLiteral("b.wav"))});

    settings.wav = false;
    const FolderScanResult none = run();
    EXPECT_TRUE(none.noFileTypes);
    EXPECT_EQ(none.found, 0);
    EXPECT_EQ(rec.added.size(), 1);
}

TEST_F(FolderScanTest, OnlyNewAddsInFoldedOrderAndSkipsExactDuplicates)
{
    for (const char *f : {"Zebra.mp3", "Über.mp3", "Tango.mp3", "Known.mp3", "known2.mp3"})
        music.write(u8(f), "x");
    lists.replaceAll({withPath(music.path(QStringLiteral("Known.mp3"))), withPath(music.path(QStringLiteral("KNOWN2.mp3")))});
    settings.folderText = music.path();
    const FolderScanResult r = run();
    // known2.mp3 differs in case from the playlist's KNOWN2.mp3 and is added.
    EXPECT_EQ(rec.added, (QStringList{music.path(QStringLiteral("known2.mp3")), music.path(QStringLiteral("Tango.mp3")),
                                      music.path(u8("Über.mp3")), music.path(QStringLiteral("Zebra.mp3"))}));
    EXPECT_EQ(r.found, 5);
    EXPECT_EQ(r.handled, 5);
    EXPECT_EQ(r.added, 4); // the files really added, not the files read
}

TEST_F(FolderScanTest, RelativePathsAreComparedWithoutTheProgramFolder)
{
    program.write(QStringLiteral("Music/a.mp3"), "x");
    program.write(QStringLiteral("Music/b.mp3"), "x");
    lists.replaceAll({withPath(QStringLiteral("Music/a.mp3"))});
    settings.folderText = program.path(QStringLiteral("Music"));
    settings.relative = true;
    run();
    EXPECT_EQ(rec.added, QStringList{program.path(QStringLiteral("Music/b.mp3"))});
    EXPECT_EQ(lists.AllSongs().last().Path, QStringLiteral("Music/b.mp3"));
}

TEST_F(FolderScanTest, EmptyPlaylistAddsInFoundOrderWithProgressAtOneEightFifteen)
{
    for (int i = 0; i < 16; ++i)
        music.write(QStringLiteral("sub/%1.mp3").arg(i, 2, 10, QLatin1Char('0')), "x");
    music.write(QStringLiteral("top.mp3"), "x");
    settings.folderText = music.path();
    const FolderScanResult r = run();
    EXPECT_EQ(rec.added.first(), music.path(QStringLiteral("sub/00.mp3")));
    EXPECT_EQ(rec.added.last(), music.path(QStringLiteral("top.mp3")));
    EXPECT_EQ(log.handled, (QList<int>{1, 8, 15, 17}));
    EXPECT_EQ(log.maximum, 17);
    EXPECT_EQ(r.added, 17);
    EXPECT_EQ(r.handled, 17);
    EXPECT_FALSE(state.ScanCancelled);
}

TEST_F(FolderScanTest, CancelDuringAddingKeepsWhatWasAdded)
{
    for (int i = 0; i < 20; ++i)
        music.write(QStringLiteral("%1.mp3").arg(i, 2, 10, QLatin1Char('0')), "x");
    settings.folderText = music.path();
    FolderScanView view = log.view();
    view.handledChanged = [&](int n) {
        log.handled << n;
        if (n == 8)
            state.ScanCancelled = true;
    };
    const FolderScanResult r = runFolderScan(lists, settings, state, view, rec.fn());
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(rec.added.size(), 8);
    EXPECT_EQ(r.handled, 8); // the last progress shown
    EXPECT_FALSE(state.ScanCancelled); // cleared for the next run
}

TEST_F(FolderScanTest, CancelDuringTheWalkAddsNothing)
{
    for (int i = 0; i < 5; ++i)
        music.write(QStringLiteral("%1.mp3").arg(i), "x");
    settings.folderText = music.path();
    FolderScanView view = log.view();
    view.foundChanged = [&](int n) {
        if (n == 2)
            state.ScanCancelled = true;
    };
    const FolderScanResult r = runFolderScan(lists, settings, state, view, rec.fn());
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.found, 2);
    EXPECT_TRUE(rec.added.isEmpty());
}

TEST_F(FolderScanTest, VanishedFilesMissingFoldersAndEmptyText)
{
    music.write(QStringLiteral("a.mp3"), "x");
    music.write(QStringLiteral("b.mp3"), "x");
    settings.folderText = music.path();
    FolderScanView view = log.view();
    view.foundChanged = [&](int n) {
        if (n == 2)
            QFile::remove(music.path(QStringLiteral("a.mp3")));
    };
    FolderScanResult r = runFolderScan(lists, settings, state, view, rec.fn());
    EXPECT_EQ(r.found, 2);
    EXPECT_EQ(r.added, 1);

    settings.folderText = music.path(QStringLiteral("missing"));
    r = run();
    EXPECT_EQ(r.found, 0);
    // An empty folder text names no folder: nothing is walked (not the whole file system).
    settings.folderText.clear();
    r = run();
    EXPECT_EQ(r.found, 0);
}

TEST_F(FolderScanTest, ListFileFeedsItsExistingFiles)
{
    const QString a = music.write(QStringLiteral("a.ogg"), "x");
    const QString b = music.write(u8("b ü.mp3"), "x");
    const QString list = music.write(QStringLiteral("list.txt"),
                                     QByteArray("\xEF\xBB\xBF") + a.toUtf8() + "\r\nab\r\n" + music.path(QStringLiteral("gone.mp3")).toUtf8()
                                         + "\n" + b.toUtf8() + "\n");
    settings.folderText = list;
    const FolderScanResult r = run();
    EXPECT_EQ(r.found, 2);
    EXPECT_EQ(rec.added, (QStringList{a, b}));
    settings.folderText = music.path(QStringLiteral("nolist.txt"));
    EXPECT_THROW(run(), SonaloError);
}

// A file added as the tracks of its sheet is not new to the playlist either.
TEST(KnownPaths, AFileWhoseTracksAreThereIsKnown)
{
    const KnownPaths known({withPath(QStringLiteral("/m/A.cue#2")), withPath(QStringLiteral("/m/B.flac#1")),
                            withPath(QStringLiteral("/m/C.wav.cue#3")), withPath(QStringLiteral("/m/plain.mp3"))});
    const std::pair<const char *, bool> cases[] = {
        {"/m/A.flac", true},  {"/m/A.wav", true},   {"/m/B.flac", true}, {"/m/C.wav", true},
        {"/m/plain.mp3", true}, {"/m/B.wav", false}, {"/n/A.flac", false},
        {"/m/C.flac", false},
    };
    for (const auto &[path, isKnown] : cases)
        EXPECT_EQ(known.contains(QString::fromUtf8(path)), isKnown) << path;
}

TEST(KnownPathsScale, FiftyThousandAgainstFiftyThousand)
{
    SongList songs;
    QStringList found;
    for (int i = 0; i < 50000; ++i) {
        songs.append(withPath(QStringLiteral("/music/artist %1/song %2.mp3").arg(i % 500).arg(i)));
        found.append(QStringLiteral("/music/artist %1/song %2.mp3").arg(i % 500).arg(i + 25000));
    }
    const KnownPaths known(songs);
    int duplicates = 0;
    for (const QString &f : std::as_const(found))
        duplicates += known.contains(f) ? 1 : 0;
    // A search of the whole playlist per file would take minutes here and time the test out;
    // its speed is measured in bench/, not by a clock in a test.
    EXPECT_EQ(duplicates, 25000);
}

TEST(AddFolderRun, AddsAudioFilesAndHonoursCancel)
{
    TempDir music;
    for (const char *f : {"a.mp3", "b.ogg", "c.txt", "d/e.wma"})
        music.write(QString::fromLatin1(f), "x");
    QStringList added;
    ScanState state;
    const int n = AddFolder(music.path(), false, state, [&](const QString &p, bool) { added << p; });
    EXPECT_EQ(n, 3);
    EXPECT_EQ(added.first(), music.path(QStringLiteral("d/e.wma")));
    EXPECT_EQ(state.FoundCount, 3);

    added.clear();
    state.ScanCancelled = true;
    EXPECT_EQ(AddFolder(music.path(), false, state, [&](const QString &p, bool) { added << p; }), 0);
    EXPECT_FALSE(state.ScanCancelled);
}

TEST(AddFolderRun, KeepsTheCallerAliveDuringTheWalkAndTheAdding)
{
    TempDir music;
    for (int i = 0; i < 6; ++i)
        music.write(QStringLiteral("f%1/a.mp3").arg(i), "x");
    ScanState state;
    int alive = 0;
    // Slow reads: 20 ms a file. keepAlive runs once 50 ms have passed, so about every other
    // file, and never for every file.
    const int n = AddFolder(music.path(), false, state, [&](const QString &, bool) { QThread::msleep(20); },
                            [&] { ++alive; });
    EXPECT_EQ(n, 6);
    EXPECT_GE(alive, 1);
    EXPECT_LT(alive, 6);
}

// The scan folds and sorts a large playlist's paths beside the window: the keep-alive runs until
// that work ends, and a failure in it comes back to the caller.
TEST(WorkBeside, KeepAliveRunsUntilTheWorkEndsAndItsFailureComesBack)
{
    std::atomic<int> calls{0};
    workBeside(
        [&] {
            while (calls < 3)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        },
        [&] { ++calls; });
    EXPECT_GE(calls, 3);
    EXPECT_THROW(workBeside([] { throw SonaloError(QStringLiteral("no")); }, [] {}), SonaloError);
    std::thread::id ranOn;
    workBeside([&] { ranOn = std::this_thread::get_id(); }, {});
    EXPECT_EQ(ranOn, std::this_thread::get_id()); // without a keep-alive: in place
}
