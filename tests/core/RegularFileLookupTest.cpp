// The listing-based existence test of a playlist's entries answers as stat does.
#include "core/FileSystem.h"
#include "core/playlists/PlaylistEntry.h"
#include "core/playlists/RegularFileLookup.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder of files, folders, links and a FIFO, with enough other names that it is listed.
struct Library
{
    TempDir dir;
    QString root = dir.path() + QLatin1Char('/');
    Library()
    {
        QDir().mkpath(root + QStringLiteral("sub"));
        QDir().mkpath(root + QStringLiteral("dir.mp3"));
        for (const char *name : {"a.mp3", "Odd.MP3", "sub/b.mp3", "two  spaces.mp3", "ü.mp3"})
            touch(QString::fromUtf8(name));
        for (int i = 0; i < 2 * RegularFileLookup::kStatsBeforeListing; ++i)
            touch(QStringLiteral("filler%1.mp3").arg(i));
        link("a.mp3", "link.mp3");
        link("gone.mp3", "dead.mp3");
        link("sub", "ldir");
        EXPECT_EQ(::mkfifo(QFile::encodeName(root + QStringLiteral("fifo.mp3")).constData(), 0600), 0);
    }
    void touch(const QString &name)
    {
        QFile f(root + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    void link(const char *target, const char *name)
    {
        EXPECT_EQ(::symlink(target, QFile::encodeName(root + QLatin1String(name)).constData()), 0);
    }
    // A lookup that has listed the library's folder.
    RegularFileLookup listed()
    {
        RegularFileLookup files(1000);
        for (int i = 0; i <= RegularFileLookup::kStatsBeforeListing; ++i)
            EXPECT_TRUE(files.isRegularFile(root + QStringLiteral("filler%1.mp3").arg(i)));
        EXPECT_EQ(files.listedFolders(), 1);
        return files;
    }
};

const char *const kNames[] = {
    "a.mp3", "A.MP3", "a.MP3", "Odd.MP3", "odd.mp3", "ODD.MP3", "ü.mp3", "u.mp3", "two  spaces.mp3", "two spaces.mp3",
    "dir.mp3", "dir.mp3/", "link.mp3", "dead.mp3", "gone.mp3", "fifo.mp3", "ldir", "ldir/b.mp3", "ldir/../a.mp3",
    "sub/b.mp3", "sub/../a.mp3", "./a.mp3", "sub/./b.mp3", "sub//b.mp3", "a.mp3/", "a.mp3/x", ".", "..", "",
    "nofolder/x.mp3", "sub/missing.mp3", "filler3.mp3", "filler3.mp3 ", "a.mp3\nb",
};

TEST(RegularFileLookup, AnswersAsStatDoes)
{
    Library lib;
    RegularFileLookup files = lib.listed();
    for (const char *name : kNames) {
        const QString path = lib.root + QString::fromUtf8(name);
        EXPECT_EQ(files.isRegularFile(path), FileSystem::isRegularFile(path)) << name;
    }
    // Asked often enough that "sub" is listed too, and asked again.
    for (int round = 0; round < 2 * RegularFileLookup::kStatsBeforeListing; ++round)
        for (const char *name : {"sub/b.mp3", "sub/c.mp3", "sub/../a.mp3", "ldir/b.mp3"}) {
            const QString path = lib.root + QString::fromUtf8(name);
            EXPECT_EQ(files.isRegularFile(path), FileSystem::isRegularFile(path)) << name;
        }
    EXPECT_GE(files.listedFolders(), 2);
    // Relative paths and a folder that is not there.
    for (int i = 0; i <= 2 * RegularFileLookup::kStatsBeforeListing; ++i) {
        EXPECT_FALSE(files.isRegularFile(lib.root + QStringLiteral("nofolder/x%1.mp3").arg(i)));
        EXPECT_EQ(files.isRegularFile(QStringLiteral("x.mp3")), FileSystem::isRegularFile(QStringLiteral("x.mp3")));
    }
}

// The same entries resolved against the playlist's folder: with one lookup for the whole list,
// as a load does, and each with stat alone.
TEST(RegularFileLookup, ResolvesEntriesAsStatDoes)
{
    Library lib;
    const QString inOther = QStringLiteral("../") + QFileInfo(lib.dir.path()).fileName() + QStringLiteral("/a.mp3");
    QStringList locations;
    for (const char *name : kNames)
        locations << QString::fromUtf8(name);
    locations << QStringLiteral("sub\\b.mp3") << QStringLiteral("SUB\\B.MP3") << inOther << lib.root + QStringLiteral("a.mp3")
              << lib.root + QStringLiteral("sub/../Odd.MP3") << QStringLiteral("file://") + lib.root + QStringLiteral("a.mp3")
              << QStringLiteral("file://") + lib.root + QStringLiteral("fifo.mp3") << QStringLiteral("http://host/a.mp3")
              << QStringLiteral("C:\\Music\\a.mp3");
    RegularFileLookup files = lib.listed();
    for (int round = 0; round < 2; ++round)
        for (const QString &location : std::as_const(locations)) {
            PlaylistEntry withLookup, alone;
            withLookup.location = alone.location = location;
            resolvePlaylistEntry(withLookup, lib.root, files);
            resolvePlaylistEntry(alone, lib.root);
            EXPECT_EQ(withLookup.path, alone.path) << location.toStdString();
            EXPECT_EQ(withLookup.exists, alone.exists) << location.toStdString();
            EXPECT_EQ(withLookup.local, alone.local) << location.toStdString();
            // A file found beside the playlist is stored by its clean path.
            if (alone.exists && !location.startsWith(QLatin1Char('/')) && !location.startsWith(QLatin1String("file:"))) {
                EXPECT_EQ(alone.path, QDir::cleanPath(alone.path)) << location.toStdString();
            }
        }
}

} // namespace
