// What the disk can do to a save, a load or a scan: run out of room, take a file or folder
// away halfway, put a folder where a file was, hand over a huge sparse file or a device.
#include "ByteBuilders.h"
#include "TempDir.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/FolderScan.h"
#include "core/PictureStyle.h"
#include "core/playlists/PlaylistFiles.h"
#include "export/ListWriter.h"
#include "tags/AddSongFile.h"
#include "tags/PlaylistEntryRecord.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace bytes;

namespace {

SongList songs(int count, const QString &folder)
{
    SongList list;
    for (int i = 0; i < count; ++i) {
        TSongRecord r;
        r.Artist = QStringLiteral("Artist %1").arg(i);
        r.Title = QStringLiteral("A title long enough to fill the disk quickly, number %1").arg(i);
        r.Path = folder + QStringLiteral("song%1.mp3").arg(i);
        list.append(r);
    }
    return list;
}

// Runs fn in a child process whose files may not grow past limit bytes (a full disk, as the
// writer sees it: write() fails with EFBIG) and returns the message of the SonaloError it
// raised, or "no error" / "crashed".
QString inChildWithFileSizeLimit(rlim_t limit, const std::function<void()> &fn)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return QStringLiteral("no pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit r{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &r);
        QByteArray message = "no error";
        try {
            fn();
        } catch (const SonaloError &e) {
            message = e.message().toUtf8();
        }
        (void)!::write(pipeFds[1], message.constData(), size_t(message.size()));
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    QByteArray message;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        message.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status))
        return QStringLiteral("crashed");
    return QString::fromUtf8(message);
}

// Bytes this process has read through read() so far (/proc/self/io, rchar).
qint64 bytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class FullDisk : public ::testing::TestWithParam<const char *>
{
};

TEST_P(FullDisk, LeavesTheOldFileAndSaysUnableToWrite)
{
    TempDir dir;
    const QString target = dir.write(QString::fromLatin1(GetParam()), "the playlist saved before\n");
    const QString message = inChildWithFileSizeLimit(4096, [&] {
        SaveAnyPlaylist(songs(200, dir.path()), target, TTextEncoding::teUtf8, PictureStyle{});
    });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Unable to write to ") + target)) << qPrintable(message);
    EXPECT_EQ(TempDir::read(target), QByteArray("the playlist saved before\n"));
    EXPECT_EQ(entries(dir.path()), QStringList{QString::fromLatin1(GetParam())}) << "no half-written file stays behind";
    // The same save with room to spare goes through.
    EXPECT_EQ(inChildWithFileSizeLimit(RLIM_INFINITY, [&] {
                  SaveAnyPlaylist(songs(200, dir.path()), target, TTextEncoding::teUtf8, PictureStyle{});
              }),
              QStringLiteral("no error"));
    EXPECT_GT(TempDir::read(target).size(), 4096);
}

INSTANTIATE_TEST_SUITE_P(Formats, FullDisk, ::testing::Values("list.slp", "list.m3u8", "list.pls", "list.xspf"));

TEST(DiskFaults, ExportOnAFullDiskLeavesTheOldFile)
{
    TempDir dir;
    for (const bool html : {false, true}) {
        ExportOptions options;
        options.templateText = QStringLiteral("%artist% - %title%");
        options.html = html;
        const QString target = dir.write(exportFileName(QStringLiteral("export"), html), "the export saved before\n");
        const QString text = exportFileText(exportOutput({}, buildExportLines(songs(300, dir.path()), options), html, true));
        const QString message = inChildWithFileSizeLimit(4096, [&] {
            WriteTextFile(text, target, TTextEncoding::teUtf8, PictureStyle{});
        });
        EXPECT_TRUE(message.startsWith(QStringLiteral("Unable to write to ") + target)) << qPrintable(message);
        EXPECT_EQ(TempDir::read(target), QByteArray("the export saved before\n"));
    }
    EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("export.htm"), QStringLiteral("export.txt")}));
}

TEST(DiskFaults, PlaylistThatVanishesOrIsAFolderIsRefusedAndNothingIsAdded)
{
    TempDir dir;
    for (const char *name : {"gone.slp", "gone.m3u", "folder.slp", "folder.xspf"}) {
        const QString path = dir.path(QString::fromLatin1(name));
        if (QByteArray(name).startsWith("folder")) {
            ASSERT_TRUE(QDir().mkpath(path));
        }
        SongLists lists(dir.path());
        try {
            LoadAnyPlaylist(lists, path, playlistEntryRecorder(dir.path()));
            ADD_FAILURE() << name << " was loaded";
        } catch (const SonaloError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path))) << qPrintable(e.message());
        }
        EXPECT_TRUE(lists.AllSongs().isEmpty()) << name;
    }
}

TEST(DiskFaults, SongsThatVanishWhileAPlaylistLoadsKeepWhatThePlaylistSays)
{
    TempDir dir;
    QByteArray m3u = "#EXTM3U\n";
    for (int i = 0; i < 5; ++i) {
        dir.write(QStringLiteral("music/%1.mp3").arg(i), id3Tag(3, id3Text(3, "TIT2", "Tagged")) + cbrFrames(3));
        m3u += "#EXTINF:61,Band - Listed " + QByteArray::number(i) + "\nmusic/" + QByteArray::number(i) + ".mp3\n";
    }
    const QString playlist = dir.write(QStringLiteral("list.m3u"), m3u);
    SongLists lists(dir.path());
    const PlaylistEntryRecordFn real = playlistEntryRecorder(dir.path());
    int calls = 0;
    LoadAnyPlaylist(lists, playlist, [&](const PlaylistEntry &entry) {
        if (++calls == 2) // the folder goes after the first song
            QDir(dir.path(QStringLiteral("music"))).removeRecursively();
        return real(entry);
    });
    ASSERT_EQ(lists.AllSongs().size(), 5);
    EXPECT_EQ(lists.AllSongs()[0].Title, u"Tagged");
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(lists.AllSongs()[i].Title, QStringLiteral("Listed %1").arg(i)) << i;
}

TEST(DiskFaults, ScanSkipsWhatVanishesOrTurnsIntoAFolderAndDevices)
{
    TempDir dir;
    for (const char *name : {"a/1.mp3", "a/2.mp3", "a/3.mp3", "b/4.mp3", "b/5.mp3", "c/6.mp3"})
        dir.write(QString::fromLatin1(name), "x");
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(dir.path(QStringLiteral("c/zero.mp3"))).constData()), 0);
    ASSERT_EQ(::symlink("/dev/urandom", QFile::encodeName(dir.path(QStringLiteral("c/random.mp3"))).constData()), 0);
    QStringList added;
    ScanState state;
    const int count = AddFolder(dir.path(), false, state, [&](const QString &path, bool) {
        if (added.isEmpty()) {
            // After the first song: a folder goes, a file becomes a folder.
            QDir(dir.path(QStringLiteral("b"))).removeRecursively();
            QFile::remove(dir.path(QStringLiteral("a/2.mp3")));
            QDir().mkpath(dir.path(QStringLiteral("a/2.mp3")));
        }
        added << path;
        makeSongRecord(path, false, QString());
    });
    EXPECT_EQ(added, (QStringList{dir.path(QStringLiteral("a/1.mp3")), dir.path(QStringLiteral("a/3.mp3")),
                                  dir.path(QStringLiteral("c/6.mp3"))}));
    EXPECT_EQ(count, 3);
}

TEST(DiskFaults, HugeSparseFilesAndDevicesAreReadOnlyAsFarAsNeeded)
{
    TempDir dir;
    // 64 GiB of nothing behind a tag and four frames, and 64 GiB of nothing before an ID3v1
    // tag (no frames: the name stands in).
    const QString front = dir.write(QStringLiteral("Band - Front.mp3"), id3Tag(3, id3Text(3, "TIT2", "Sparse")) + cbrFrames(4));
    const QString back = dir.write(QStringLiteral("Band - Back.mp3"), QByteArray());
    constexpr qint64 kHuge = qint64(64) << 30;
    ASSERT_EQ(::truncate(QFile::encodeName(front).constData(), kHuge), 0);
    {
        QFile f(back);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(kHuge));
        ASSERT_EQ(f.write(id3v1("End", "Band", "Album", "2001", 0, 1, 17)), 128);
    }
    const QString zero = dir.path(QStringLiteral("Band - Zero.mp3")), random = dir.path(QStringLiteral("Band - Random.mp3"));
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(zero).constData()), 0);
    ASSERT_EQ(::symlink("/dev/urandom", QFile::encodeName(random).constData()), 0);

    struct Case
    {
        QString path;
        const char *title; // a device is no song file: it reads as a missing one
    };
    for (const Case &c : {Case{front, "Sparse"}, Case{back, "Back"}, Case{zero, ""}, Case{random, ""}}) {
        const qint64 before = bytesReadSoFar();
        QElapsedTimer timer;
        timer.start();
        const TSongRecord r = makeSongRecord(c.path, false, QString());
        EXPECT_EQ(r.Title, QString::fromLatin1(c.title)) << qPrintable(c.path);
        // The tags sit at the ends and the frame search gives up 16 MiB in.
        EXPECT_LT(bytesReadSoFar() - before, qint64(17) << 20) << qPrintable(c.path);
        EXPECT_LT(timer.elapsed(), 5000) << qPrintable(c.path);
    }
}

// Folders and files the user may not read: the tests run as root, who may read anything,
// so this part runs again as "nobody" through setpriv.
TEST(DiskFaults, UnreadableFolderAndFileAsAnOrdinaryUser)
{
    if (qEnvironmentVariableIsSet("SONALO_TEST_UNPRIVILEGED")) {
        const QString root = qEnvironmentVariable("SONALO_TEST_UNPRIVILEGED");
        ASSERT_NE(::geteuid(), 0u);
        QStringList added;
        ScanState state;
        EXPECT_EQ(AddFolder(root, false, state, [&](const QString &path, bool) { added << path; }), 2);
        EXPECT_EQ(added, (QStringList{root + QStringLiteral("/open/Band - Locked.mp3"),
                                      root + QStringLiteral("/open/Band - Song.mp3")}));
        // The song that cannot be opened keeps its name; the one beside it its tag.
        const TSongRecord locked = makeSongRecord(added[0], false, QString());
        EXPECT_EQ(locked.Artist, u"Band");
        EXPECT_EQ(locked.Title, u"Locked");
        EXPECT_EQ(makeSongRecord(added[1], false, QString()).Title, u"Tagged");
        SongLists lists(root);
        const QString playlist = root + QStringLiteral("/open/locked.slp");
        try {
            LoadAnyPlaylist(lists, playlist, playlistEntryRecorder(root));
            ADD_FAILURE() << "an unreadable playlist was loaded";
        } catch (const SonaloError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(playlist)))
                << qPrintable(e.message());
        }
        EXPECT_TRUE(lists.AllSongs().isEmpty());
        return;
    }
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to become another user";
    TempDir dir;
    const QByteArray tagged = id3Tag(3, id3Text(3, "TIT2", "Tagged")) + cbrFrames(3);
    dir.write(QStringLiteral("open/Band - Song.mp3"), tagged);
    dir.write(QStringLiteral("open/Band - Locked.mp3"), tagged);
    dir.write(QStringLiteral("open/locked.slp"), "a.mp3\n");
    dir.write(QStringLiteral("closed/Hidden.mp3"), tagged);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path(QStringLiteral("closed"))).constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path(QStringLiteral("open/Band - Locked.mp3"))).constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path(QStringLiteral("open/locked.slp"))).constData(), 0), 0);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SONALO_TEST_UNPRIVILEGED"), dir.dir.path());
    child.setProcessEnvironment(env);
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                 QFile::symLinkTarget(QStringLiteral("/proc/self/exe")),
                 QStringLiteral("--gtest_filter=DiskFaults.UnreadableFolderAndFileAsAnOrdinaryUser")});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QByteArray output = child.readAllStandardOutput() + child.readAllStandardError();
    EXPECT_EQ(child.exitCode(), 0) << output.constData();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.constData();
    ::chmod(QFile::encodeName(dir.path(QStringLiteral("closed"))).constData(), 0755);
}
