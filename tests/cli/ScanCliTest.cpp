#include "CliRunner.h"
#include "TempDir.h"

#include "core/OutputSettings.h"
#include "core/Playlist.h"

#include <gtest/gtest.h>
#include "support/TestSongs.h"

namespace {

class ScanCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Not audio: the records come from the names, which is all these cases need.
        for (const char *f : {"B.mp3", "a.wav", "c.MP3", "x/d.mp3", "x/y/Über.ogg", "notes.txt", "w.wma", "e.flac",
                              "f.opus", "g.m4a", "h.aac", "i.m4b"})
            music.write(u8(f), "x");
    }

    // Runs a scan into out.slp and returns the stored paths (relative to the music folder
    // when they lie below it).
    QStringList scan(QStringList args, int expectedExit = 0)
    {
        const QString out = work.path(u8("out.slp"));
        QFile::remove(out);
        args.prepend(u8("scan"));
        args << u8("-o") << out;
        const CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, expectedExit) << r.err.toStdString();
        last = r;
        if (r.exitCode != 0)
            return {};
        SongLists lists;
        LoadPlaylist(lists, out);
        QStringList paths;
        for (const TSongRecord &s : std::as_const(lists.AllSongs()))
            paths << (s.Path.startsWith(music.path()) ? s.Path.mid(music.path().size()) : s.Path);
        return paths;
    }

    TempDir music, work;
    CliResult last;
};

} // namespace

TEST_F(ScanCli, FoundOrderTypesAndSubfolders)
{
    EXPECT_EQ(scan({music.path()}),
              QStringList({u8("x/y/Über.ogg"), u8("x/d.mp3"), u8("B.mp3"), u8("c.MP3"), u8("a.wav"), u8("w.wma"),
                           u8("e.flac"), u8("f.opus"), u8("g.m4a")}));
    EXPECT_TRUE(last.err.contains(u8("found 9 files, added 9 songs"))) << last.err.toStdString();
    // Not a terminal: no progress line.
    EXPECT_FALSE(last.err.contains(QLatin1Char('\r')));
    EXPECT_EQ(scan({music.path(), u8("--types"), u8("wav")}), QStringList({u8("a.wav")}));
    EXPECT_EQ(scan({music.path(), u8("--types=WMA,mp3"), u8("--no-subfolders")}),
              QStringList({u8("B.mp3"), u8("c.MP3"), u8("w.wma")}));
    EXPECT_EQ(scan({music.path(), u8("--types"), u8("m4a,Opus,flac")}),
              QStringList({u8("e.flac"), u8("f.opus"), u8("g.m4a")}));
}

TEST_F(ScanCli, OnlyNewSkipsWhatThePlaylistHoldsAndAddsInFoldedOrder)
{
    TSongRecord known;
    known.Path = music.path(u8("B.mp3"));
    TSongRecord otherCase;
    otherCase.Path = music.path(u8("A.WAV"));
    const QString list = work.path(u8("known.slp"));
    SavePlaylist({known, otherCase}, list, TTextEncoding::teUtf8, PictureStyle());
    EXPECT_EQ(scan({music.path(), u8("--only-new"), list}),
              QStringList({u8("a.wav"), u8("c.MP3"), u8("e.flac"), u8("f.opus"), u8("g.m4a"), u8("w.wma"), u8("x/d.mp3"),
                           u8("x/y/Über.ogg")}));
    EXPECT_TRUE(last.err.contains(u8("found 9 files, added 8 songs"))) << last.err.toStdString();
}

TEST_F(ScanCli, RelativeStoresPathsBelowTheProgramFolderWithoutIt)
{
    const QString program = music.path() + u8("x/");
    // A playlist song stored relative is a duplicate of the file found below the program.
    TSongRecord known;
    known.Path = u8("d.mp3");
    const QString list = work.path(u8("known.slp"));
    SavePlaylist({known}, list, TTextEncoding::teUtf8, PictureStyle());
    EXPECT_EQ(scan({music.path(), u8("--relative"), u8("--program-folder"), program, u8("--types"), u8("mp3,ogg"),
                    u8("--only-new"), list}),
              QStringList({u8("B.mp3"), u8("c.MP3"), u8("y/Über.ogg")}));
}

TEST_F(ScanCli, ListFilesAndFailures)
{
    const QString list = work.write(u8("songs.txt"),
                                    (music.path(u8("w.wma")) + u8("\n") + music.path(u8("gone.mp3")) + u8("\r\n")
                                     + music.path(u8("x/d.mp3")) + u8("\nab\n"))
                                        .toUtf8());
    EXPECT_EQ(scan({list}), QStringList({u8("w.wma"), u8("x/d.mp3")}));

    struct Failure
    {
        QStringList args;
        int exit;
        const char *message;
    };
    const Failure failures[] = {
        {{music.path(u8("none"))}, 1, "no folder"},
        {{music.path(), u8("--types"), u8("aac")}, 2, "unknown file type"},
        {{music.path(), u8("--types"), u8(",")}, 2, "names no file type"},
        {{music.path(), music.path()}, 2, "expected one FOLDER"},
        {{work.path(u8("none.txt"))}, 1, "Cannot open file"},
        {{music.path(), u8("--only-new"), work.path(u8("none.slp"))}, 1, "Cannot open file"},
    };
    for (const Failure &f : failures) {
        scan(f.args, f.exit);
        EXPECT_TRUE(last.err.contains(u8(f.message))) << last.err.toStdString();
        EXPECT_FALSE(QFile::exists(work.path(u8("out.slp"))));
    }
    const CliResult noOut = runCli({u8("scan"), music.path()});
    EXPECT_EQ(noOut.exitCode, 2);
}
