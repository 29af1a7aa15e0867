// The playlist commands, arguments, start-up decisions and the status line, driven without a
// window.
#include "session/SessionFixture.h"

#include "core/Errors.h"
#include "core/Playlist.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include <functional>

namespace {

class PlaylistControllerTest : public SessionFixture
{
protected:
    QString writePlaylist(const QString &name, const SongList &songs)
    {
        const QString path = programFolder + name;
        SavePlaylist(songs, path, TTextEncoding::teUtf8, session->output.picture);
        return path;
    }
    const SongList &songs() { return session->lists.AllSongs(); }
    // A search result that is not shown, as after "Alle".
    void showFoundThenAll(SongList found)
    {
        session->lists.showFound(std::move(found));
        session->lists.showAll();
    }
    PlaylistController &playlist() { return session->playlist; }
    const QString &status() { return session->list.statusText(); }
    qsizetype rows() { return session->list.model().rowCount(); }
};

} // namespace

TEST_F(PlaylistControllerTest, LoadAddAndCancel)
{
    const QString first = writePlaylist(u8("first.slp"), {song("a", "1"), song("b", "2")});
    const QString second = writePlaylist(u8("second.slp"), {song("c", "3")});

    dialogs.answers = {first};
    playlist().mp1Click();
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(status(), u8("2 Files Loaded (6min )"));
    EXPECT_EQ(dialogs.filters.last(), u8("Playlist Sonalo (*.slp);;M3U, PLS, XSPF (*.m3u *.m3u8 *.pls *.xspf);;CUE (*.cue)"));

    dialogs.answers = {second};
    playlist().mp3Click();
    EXPECT_EQ(songs().size(), 3);
    EXPECT_EQ(songs()[2].Artist, u8("c"));
    EXPECT_EQ(session->lists.SourceFolders(), QStringList({programFolder, programFolder}));

    // Load followed by Cancel changes nothing: the unsaved playlist stays, and so does the count.
    dialogs.answers = {};
    playlist().mp1Click();
    EXPECT_EQ(songs().size(), 3);
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(status(), u8("3 Files Loaded (9min )"));

    // Load replaces once a file is chosen; Add followed by Cancel changes nothing.
    dialogs.answers = {first};
    playlist().mp1Click();
    dialogs.answers = {};
    playlist().mp3Click();
    EXPECT_EQ(songs().size(), 2);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(PlaylistControllerTest, FailingLoadsReportAndLeaveNoStaleCount)
{
    const QStringList &errors = dialogs.errors;
    dialogs.answers = {writePlaylist(u8("good.slp"), {song("a", "1")})};
    playlist().mp1Click();
    const QStringList foldersBefore = session->lists.SourceFolders();

    dialogs.answers = {programFolder + u8("missing.slp")};
    playlist().mp3Click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(u8("Cannot open file \"") + programFolder + u8("missing.slp\"")));
    EXPECT_EQ(songs().size(), 1);
    EXPECT_EQ(session->lists.SourceFolders(), foldersBefore);

    // Replacing with a file that cannot be read empties the playlist, and the status line says so.
    dialogs.answers = {programFolder + u8("missing.slp")};
    playlist().mp1Click();
    EXPECT_EQ(errors.size(), 2);
    EXPECT_TRUE(songs().isEmpty());
    EXPECT_EQ(rows(), 0);
    EXPECT_TRUE(status().startsWith(u8("0 Files Loaded"))) << status().toStdString();
}

TEST_F(PlaylistControllerTest, SaveCommandsWriteTheirListOrReportTheFailure)
{
    const QStringList &errors = dialogs.errors;
    session->lists.replaceAll({song("a", "x|y"), song("b", "2")});
    showFoundThenAll({song("found", "1")});

    dialogs.answers = {programFolder + u8("party")};
    playlist().mp2Click();
    SongLists check;
    LoadPlaylist(check, programFolder + u8("party.slp"));
    ASSERT_EQ(check.AllSongs().size(), 2);
    EXPECT_EQ(check.AllSongs()[0].Title, u8("xly"));
    QFile written(programFolder + u8("party.slp"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("\xEF\xBB\xBF")); // UTF-8 with signature by default

    dialogs.answers = {programFolder + u8("result.slp")};
    playlist().ergalsempClick();
    SongLists result;
    LoadPlaylist(result, programFolder + u8("result.slp"));
    ASSERT_EQ(result.AllSongs().size(), 1);
    EXPECT_EQ(result.AllSongs()[0].Artist, u8("found"));

    dialogs.answers = {}; // Cancel writes nothing
    playlist().mp2Click();
    EXPECT_EQ(dialogs.filters.size(), 3);

    dialogs.answers = {programFolder + u8("no/such/folder/list.slp")};
    playlist().mp2Click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(u8("Cannot create file"))) << errors[0].toStdString();
}

TEST_F(PlaylistControllerTest, SavingOverAPlaylistAsksAndNoKeepsTheFile)
{
    session->lists.replaceAll({song("a", "1")});
    dialogs.answers = {programFolder + u8("party")};
    playlist().mp2Click(); // a new file: nothing asked
    EXPECT_TRUE(dialogs.questions.isEmpty());
    const QByteArray before = TempDir::read(programFolder + u8("party.slp"));

    // The question names the file really written, with the extension the save adds.
    session->lists.replaceAll({song("b", "2"), song("c", "3")});
    dialogs.answers = {programFolder + u8("party")};
    dialogs.askAnswers = {false};
    playlist().mp2Click();
    ASSERT_EQ(dialogs.questions, QStringList{u8("party.slp already exists.\nDo you want to replace it?")});
    EXPECT_EQ(TempDir::read(programFolder + u8("party.slp")), before);

    session->lang.setCode(u8("de"));
    showFoundThenAll(songs());
    dialogs.answers = {programFolder + u8("party.slp")};
    dialogs.askAnswers = {true};
    playlist().ergalsempClick();
    EXPECT_EQ(dialogs.questions.last(), u8("party.slp existiert bereits.\nSoll die Datei ersetzt werden?"));
    SongLists check;
    LoadPlaylist(check, programFolder + u8("party.slp"));
    EXPECT_EQ(check.AllSongs().size(), 2);
}

TEST_F(PlaylistControllerTest, ASongThatCannotBePlayedShowsInTheStatusLineForAWhile)
{
    struct Case
    {
        const char *lang;
        FakeAudioScript::Failure failure;
        const char *shown;
        const char *logged; // the whole message stays in the error log
    };
    const Case cases[] = {
        {"en", {5, u8("No audio stream.")}, "File can not be played: bad.mp3", "  No audio stream."},
        {"de", {}, "Datei kann nicht abgespielt werden: bad.mp3", "  Datei kann nicht abgespielt werden. Unbekannter Fehler."},
    };
    QStringList log, songTexts;
    QObject::connect(&session->playback, &PlaybackControl::logLine, [&](const QString &l) { log << l; });
    QObject::connect(&session->playback, &PlaybackControl::songShownInStatusLine,
                     [&](const QString &t) { songTexts << t; });
    const QString bad = programFolder + u8("bad.mp3"), good = programFolder + u8("good.mp3");
    for (const QString &path : {bad, good}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TSongRecord badSong = song("bad", "1"), goodSong = song("good", "2");
    badSong.Path = bad;
    goodSong.Path = good;
    session->lists.replaceAll({badSong, goodSong});
    session->list.ShowListStatus();
    session->list.setNoticeMilliseconds(50);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lang);
        session->lang.setCode(u8(c.lang));
        players.failOnPlay[bad] = c.failure;
        log.clear();
        songTexts.clear();
        session->playback.lvDblClick(0);
        // The next song started meanwhile, but the failure stays readable first.
        ASSERT_FALSE(songTexts.isEmpty());
        EXPECT_EQ(status(), u8(c.shown));
        EXPECT_TRUE(log.contains(u8(c.logged))) << log.join(u'|').toStdString();
        QElapsedTimer waited;
        waited.start();
        while (status() == u8(c.shown) && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(status(), songTexts.last());
    }
}

TEST_F(PlaylistControllerTest, OpenArgumentByExtensionRefreshingAfterEach)
{
    QStringList added, statusAtAdd;
    session.reset();
    session = std::make_unique<Session>(options([&](const QString &path, bool relative) {
        EXPECT_FALSE(relative);
        added.append(path);
        statusAtAdd.append(status());
        TSongRecord r = song("added", "x", "1:00");
        r.Path = path;
        session->lists.append(r);
    }));
    const QString list = writePlaylist(u8("list.slp"), {song("a", "1")});
    ASSERT_TRUE(QDir(programFolder).mkpath(u8("music/sub")));
    for (const char *name : {"song.SLP", "music/sub/b.mp3", "music/a.ogg", "music/notes.txt"}) {
        QFile f(programFolder + u8(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    playlist().OpenArgument(list);
    EXPECT_EQ(songs().size(), 1);
    EXPECT_EQ(status(), u8("1 Files Loaded (3min )"));
    // ".slp" in capitals is a song; nothing under a name adds nothing; a folder adds its tree
    // (sub-folders first).
    for (const char *name : {"song.SLP", "nothing-here", "music"})
        playlist().OpenArgument(programFolder + u8(name));
    EXPECT_EQ(added, QStringList({programFolder + u8("song.SLP"), programFolder + u8("music/sub/b.mp3"),
                                  programFolder + u8("music/a.ogg")}));
    EXPECT_EQ(statusAtAdd, QStringList({u8("1 Files Loaded (3min )"), u8("2 Files Loaded (4min )"),
                                        u8("2 Files Loaded (4min )")}));
    EXPECT_EQ(status(), u8("4 Files Loaded (6min )"));

    // A playlist that cannot be read adds nothing and throws the program's message.
    EXPECT_THROW(playlist().OpenArgument(programFolder + u8("gone.slp")), SonaloError);
    EXPECT_EQ(songs().size(), 4);
}

TEST_F(PlaylistControllerTest, StartUpLoadsTheSinglePlaylistBesideTheProgram)
{
    writePlaylist(u8("only.slp"), {song("a", "1"), song("b", "2")});
    playlist().FormShow({});
    EXPECT_EQ(songs().size(), 2);
    EXPECT_EQ(rows(), 2);
    EXPECT_TRUE(playlist().PlaylistFolderList().isEmpty());
}

// Every load at start runs as adding does: a long playlist keeps the window painting, hand-overs
// wait for its end.
TEST_F(PlaylistControllerTest, StartUpLoadsRunAsAdding)
{
    const QString last = writePlaylist(u8("last.slp"), {song("l", "1")});
    const QString only = writePlaylist(u8("only.slp"), {song("a", "1")});
    const std::pair<const char *, std::function<void()>> loads[] = {
        {"last playlist", [&] { playlist().setLastPlaylistPath(last); playlist().FormShow({}, true); }},
        {"the one beside the program", [&] { QFile::remove(last); playlist().FormShow({}); }},
        {"chosen in the start window", [&] { playlist().loadPlaylists({only}); }},
    };
    for (const auto &[name, load] : loads) {
        QList<bool> adding;
        const auto watch = QObject::connect(&playlist(), &PlaylistController::addingChanged, [&](bool on) { adding << on; });
        const qsizetype before = songs().size();
        load();
        QObject::disconnect(watch);
        EXPECT_EQ(adding, (QList<bool>{true, false})) << name;
        EXPECT_EQ(songs().size(), before + 1) << name;
    }
}

TEST_F(PlaylistControllerTest, StartUpWithSeveralPlaylistsOffersThemAndArgumentsWin)
{
    writePlaylist(u8("b.slp"), {song("b", "1")});
    writePlaylist(u8("A.slp"), {song("a", "1")});
    int offers = 0;
    QObject::connect(&playlist(), &PlaylistController::startWindowRequested, [&] { ++offers; });
    playlist().FormShow({});
    EXPECT_TRUE(songs().isEmpty());
    EXPECT_EQ(playlist().PlaylistFolderList(), QStringList({programFolder + u8("A.slp"), programFolder + u8("b.slp")}));
    EXPECT_EQ(offers, 1);
    // Every activation of the main window while they are on offer asks for the window again.
    playlist().FormActivate();
    EXPECT_EQ(offers, 2);
    playlist().clearPlaylistFolderList();
    playlist().FormActivate();
    EXPECT_EQ(offers, 2);

    // Arguments: opened in order, the playlists beside the program are not offered.
    const QString arg = writePlaylist(u8("sub.slp.other.slp"), {song("c", "1")});
    playlist().FormShow({arg, programFolder + u8("b.slp")});
    EXPECT_TRUE(playlist().PlaylistFolderList().isEmpty());
    ASSERT_EQ(songs().size(), 2);
    EXPECT_EQ(songs()[0].Artist, u8("c"));
    EXPECT_EQ(songs()[1].Artist, u8("b"));
}

TEST_F(PlaylistControllerTest, StatusLineCountsFoundSongsWithTheWholePlaylistsTime)
{
    for (int i = 0; i < 10; ++i)
        session->lists.append(song("a", i < 3 ? "x" : "t", "1:00"));
    session->search.setSearchTerm(u8("x"));
    session->search.SuchenClick();
    ASSERT_EQ(session->lists.FoundSongs().size(), 3);
    session->list.ShowListStatus();
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(status(), u8("3 Files Loaded (10min )"));
    // The status click counts the shown list with its own time.
    session->list.statusClick();
    EXPECT_EQ(status(), u8("3 Files Loaded (3min )"));
    EXPECT_FALSE(session->list.StatusShowsSong());

    // An empty term switches back to the whole playlist, which refreshes by itself.
    session->search.setSearchTerm(QString());
    session->list.ShowListStatus();
    EXPECT_FALSE(session->lists.ShowingFound());
    EXPECT_EQ(status(), u8("10 Files Loaded (10min )"));
}

TEST_F(PlaylistControllerTest, AddingIsGuardedAgainstASecondAdding)
{
    QList<bool> adding;
    QObject::connect(&playlist(), &PlaylistController::addingChanged, [&](bool on) { adding << on; });
    bool inner = true;
    EXPECT_TRUE(playlist().addSongs([&] {
        EXPECT_TRUE(playlist().isAdding());
        inner = playlist().addSongs([] {});
        throw SonaloError(u8("boom"));
    }));
    EXPECT_FALSE(inner);
    EXPECT_FALSE(playlist().isAdding());
    EXPECT_EQ(adding, QList<bool>({true, false}));
}

TEST_F(PlaylistControllerTest, ForwardedArgumentsOpenInOrderAfterTheEventAndAfterRunningAdding)
{
    const QStringList &errors = dialogs.errors;
    const QString a = writePlaylist(u8("a.slp"), {song("a", "1")});
    const QString b = writePlaylist(u8("b.slp"), {song("b", "2")});
    const QString c = writePlaylist(u8("c.slp"), {song("c", "3")});
    auto artists = [&] {
        QStringList out;
        for (const TSongRecord &r : songs())
            out << r.Artist;
        return out;
    };

    // Only the program's path: nothing to open.
    playlist().OpenForwardedArguments({u8("/p/sonalo")});
    // Arriving while a scan lets events run: opened after it, not lost.
    EXPECT_TRUE(playlist().addSongs([&] {
        playlist().OpenForwardedArguments({u8("/p/sonalo"), a, programFolder + u8("gone.slp"), b});
        playlist().OpenForwardedArguments({u8("/p/sonalo"), c});
        QCoreApplication::processEvents();
        EXPECT_TRUE(songs().isEmpty());
    }));
    EXPECT_TRUE(songs().isEmpty()) << "opened inside the event that brought them";
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    // A playlist that cannot be read stops the rest of its own hand-over only.
    EXPECT_EQ(artists(), QStringList({u8("a"), u8("c")}));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(playlist().forwardedOpened(), 2);
    EXPECT_EQ(status(), u8("2 Files Loaded (6min )"));
}

TEST_F(PlaylistControllerTest, OtherPlayersPlaylistsOpenWhereverASlpOpensAndSaveByName)
{
    // Songs of a missing folder: every field comes from the playlist.
    SongList two = {song("a", "1", "1:00"), song("b", "2", "2:00")};
    for (TSongRecord &r : two)
        r.Path = programFolder + u8("gone/") + r.Path;
    SongList saved = two;
    const QStringList &errors = dialogs.errors;

    // Saving by name: each ending writes its format, any other name the ".slp".
    session->lists.replaceAll(two);
    for (const char *name : {"list.m3u8", "list.M3U", "list.pls", "list.xspf", "list"}) {
        dialogs.answers = {programFolder + u8(name)};
        playlist().mp2Click();
    }
    EXPECT_TRUE(QFile::exists(programFolder + u8("list.slp")));
    EXPECT_TRUE(TempDir::read(programFolder + u8("list.m3u8")).startsWith("#EXTM3U\n"));
    EXPECT_TRUE(TempDir::read(programFolder + u8("list.M3U")).startsWith("#EXTM3U\n"));
    EXPECT_TRUE(TempDir::read(programFolder + u8("list.pls")).startsWith("[playlist]\n"));
    EXPECT_TRUE(TempDir::read(programFolder + u8("list.xspf")).startsWith("<?xml"));

    // Load and add through the dialog.
    dialogs.answers = {programFolder + u8("list.xspf")};
    playlist().mp1Click();
    dialogs.answers = {programFolder + u8("list.pls")};
    playlist().mp3Click();
    EXPECT_EQ(songs(), saved + saved);
    EXPECT_EQ(status(), u8("4 Files Loaded (6min )"));

    // The command line, a forwarded start, a drop and the clipboard.
    session->lists.clear();
    playlist().OpenArgument(programFolder + u8("list.m3u8"));
    playlist().OpenForwardedArguments({u8("/usr/bin/sonalo"), programFolder + u8("list.M3U")});
    QCoreApplication::processEvents();
    EXPECT_EQ(playlist().forwardedOpened(), 1);
    playlist().lvDropFiles({programFolder + u8("list.pls")});
    QMimeData clipboard;
    clipboard.setUrls({QUrl::fromLocalFile(programFolder + u8("list.xspf"))});
    playlist().mp11Click(&clipboard);
    EXPECT_EQ(songs(), saved + saved + saved + saved);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u8("; ")).toStdString();

    // A broken one says why and adds nothing.
    QFile broken(programFolder + u8("broken.xspf"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<playlist><trackList><track>");
    broken.close();
    dialogs.answers = {broken.fileName()};
    playlist().mp3Click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(u8("Cannot read playlist \"") + broken.fileName())) << errors[0].toStdString();
    EXPECT_EQ(songs().size(), 8);
}
