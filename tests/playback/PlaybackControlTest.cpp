#include "playback/DisplayOptionsModel.h"
#include "support/FakeAudioPlayer.h"
#include "playback/PlaybackControl.h"

#include "RecordingView.h"
#include "TempDir.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <optional>

namespace {

QCoreApplication &app()
{
    static int argc = 1;
    static char name[] = "playback-tests";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *a = new QCoreApplication(argc, argv);
    return *a;
}

class PlaybackControlTest : public ::testing::Test
{
protected:
    PlaybackControlTest() : lists(dir.path())
    {
        app();
        control = std::make_unique<PlaybackControl>(lists, script.factory(), options, lang);
        view.attach(*control);
    }
    ~PlaybackControlTest() override
    {
        view.control = nullptr;
        control.reset();
    }

    // A song in the table whose file exists (empty: the tag layer names it after the file).
    QString addSong(const QString &name, bool exists = true, const QString &artist = {},
                    std::optional<QString> title = {})
    {
        QString path = dir.path(name);
        if (exists)
            dir.write(name, QByteArray());
        TSongRecord r;
        r.Artist = artist;
        r.Title = title.value_or(name);
        r.Path = path;
        lists.append(r);
        return path;
    }
    QString playing() const { return script.current ? script.current->FileName() : QString(); }
    QStringList historyPaths() const
    {
        QStringList paths;
        for (const PlayHistoryEntry &e : control->PlayHistory())
            paths << e.Path;
        return paths;
    }

    TempDir dir;
    SongLists lists;
    FakeAudioScript script;
    DisplayOptionsModel options;
    LanguageCode lang;
    RecordingView view;
    std::unique_ptr<PlaybackControl> control;
};

} // namespace

TEST_F(PlaybackControlTest, EmptyTableStartsNothing)
{
    control->weiterClick();
    control->BtPlayClick();
    control->mw1Click();
    EXPECT_TRUE(script.calls.isEmpty());
    EXPECT_FALSE(control->IsPlaying());
    EXPECT_FALSE(view.playing);
    EXPECT_TRUE(view.log.isEmpty());
}

TEST_F(PlaybackControlTest, TableOrderPlaysThroughAndWrapsAround)
{
    options.setRandomOrder(false);
    const QString a = addSong(QStringLiteral("A.mp3")), b = addSong(QStringLiteral("B.mp3")),
                  c = addSong(QStringLiteral("C.mp3"));
    control->BtPlayClick(); // nothing loaded: row 0
    EXPECT_EQ(playing(), a);
    EXPECT_TRUE(view.playing);
    for (const QString &expected : {b, c, a, b}) {
        script.current->finish(); // the song ends; the player calls for the next one
        EXPECT_EQ(playing(), expected);
    }
    EXPECT_EQ(control->CurrentIndex(), 1);
    EXPECT_EQ(script.alive, 1);

    control->setCurrentIndex(2); // the last row
    control->weiterClick();
    EXPECT_EQ(playing(), a);
    EXPECT_EQ(control->CurrentIndex(), 0);
    EXPECT_EQ(historyPaths(), (QStringList{a, b, c, a, b, a}));
}

TEST_F(PlaybackControlTest, RandomOrderWithOneRowPlaysItEveryTime)
{
    const QString only = addSong(QStringLiteral("only.mp3"));
    ASSERT_TRUE(options.randomOrder());
    for (int i = 0; i < 5; ++i) {
        control->weiterClick();
        EXPECT_EQ(playing(), only);
        EXPECT_EQ(control->CurrentIndex(), 0);
    }
    EXPECT_EQ(control->PlayHistory().size(), 5);
}

TEST_F(PlaybackControlTest, PendingNextComesFirstAlsoInRandomOrder)
{
    const QString a = addSong(QStringLiteral("A.mp3")), b = addSong(QStringLiteral("B.mp3")),
                  c = addSong(QStringLiteral("C.mp3"));
    QList<int> draws{0, 0};
    control->randomRow = [&](int) { return draws.takeFirst(); };
    control->pop_title_nextClick(2);
    EXPECT_EQ(control->PendingNext(), c);
    EXPECT_EQ(control->CurrentIndex(), 2);
    EXPECT_TRUE(script.calls.isEmpty()); // marking does not start anything
    control->weiterClick();
    EXPECT_EQ(playing(), c);
    EXPECT_TRUE(control->PendingNext().isEmpty());
    control->weiterClick(); // random again
    EXPECT_EQ(playing(), a);

    // In table order the marked song is followed by the row after it.
    options.setRandomOrder(false);
    control->pop_title_nextClick(0);
    control->weiterClick();
    EXPECT_EQ(playing(), a);
    control->weiterClick();
    EXPECT_EQ(playing(), b);
    EXPECT_EQ(draws.size(), 1);
}

TEST_F(PlaybackControlTest, MarkingAMissingFileMovesTheIndexOnly)
{
    addSong(QStringLiteral("A.mp3"));
    addSong(QStringLiteral("gone.mp3"), false);
    control->pop_title_nextClick(1);
    EXPECT_TRUE(control->PendingNext().isEmpty());
    EXPECT_EQ(control->CurrentIndex(), 1);
    control->p1Click(1); // missing: nothing happens, nothing is logged
    EXPECT_TRUE(view.log.isEmpty());
    EXPECT_TRUE(script.calls.isEmpty());
}

TEST_F(PlaybackControlTest, HistoryWalkBackAndForth)
{
    options.setRandomOrder(false);
    const QString a = addSong(QStringLiteral("A.mp3")), b = addSong(QStringLiteral("B.mp3")),
                  c = addSong(QStringLiteral("C.mp3"));
    control->lvDblClick(0);
    control->weiterClick();
    control->weiterClick();
    ASSERT_EQ(historyPaths(), (QStringList{a, b, c}));
    script.current->advance(50'000'000);

    control->zurueckClick(); // restarts C from its beginning
    EXPECT_EQ(playing(), c);
    EXPECT_EQ(script.current->GetPosition(), 0);
    EXPECT_EQ(historyPaths(), (QStringList{a, b}));
    EXPECT_EQ(control->PendingNext(), c);

    control->zurueckClick();
    EXPECT_EQ(playing(), b);
    EXPECT_EQ(historyPaths(), (QStringList{a}));
    EXPECT_EQ(control->CurrentSongPath(), c); // going back does not change it
    EXPECT_EQ(control->CurrentIndex(), 2);

    control->weiterClick(); // back to the song PlayFile started last
    EXPECT_EQ(playing(), c);
    EXPECT_EQ(historyPaths(), (QStringList{a, c}));
    EXPECT_TRUE(control->PendingNext().isEmpty());
}

TEST_F(PlaybackControlTest, GoingBackToADeletedFileDoesNothingUntilTheHistoryIsCleared)
{
    const QString a = addSong(QStringLiteral("A.mp3"));
    const QString b = addSong(QStringLiteral("B.mp3"));
    control->lvDblClick(0);
    control->lvDblClick(1);
    ASSERT_TRUE(QFile::remove(b));
    const QStringList before = script.calls;
    for (int i = 0; i < 3; ++i) {
        control->zurueckClick();
        EXPECT_EQ(script.calls, before);
        EXPECT_EQ(historyPaths(), (QStringList{a, b}));
        EXPECT_TRUE(control->PendingNext().isEmpty());
    }
    control->DeleteHistory();
    control->zurueckClick();
    EXPECT_EQ(script.calls, before);
    EXPECT_TRUE(view.errors.isEmpty());
}

TEST_F(PlaybackControlTest, GoingBackToAFileThatCannotPlayShowsTheErrorAndKeepsTheEntry)
{
    const QString a = addSong(QStringLiteral("A.mp3"));
    control->lvDblClick(0);
    script.failOnCreate[a] = {1000, QStringLiteral("Specified file doesn't have any audio stream.")};
    control->zurueckClick();
    EXPECT_EQ(view.errors, QStringList{QStringLiteral("Specified file doesn't have any audio stream.")});
    EXPECT_EQ(control->Player(), nullptr);
    EXPECT_EQ(historyPaths(), QStringList{a});
    EXPECT_TRUE(view.log.isEmpty());
}

TEST_F(PlaybackControlTest, FifteenMissingFilesLogAndStopWhileTheSongPlaysOn)
{
    options.setRandomOrder(false);
    const QString first = addSong(QStringLiteral("playing.mp3"));
    QStringList missing;
    for (int i = 0; i < 20; ++i)
        missing << addSong(QStringLiteral("missing%1.mp3").arg(i), false);
    control->lvDblClick(0);
    const QStringList before = script.calls;

    control->weiterClick();
    ASSERT_EQ(view.log.size(), 15 * 3 + 1);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(view.log[i * 3], QLatin1Char('"') + missing[i] + QLatin1Char('"'));
        EXPECT_EQ(view.log[i * 3 + 1], QStringLiteral("  File does not exist."));
        EXPECT_EQ(view.log[i * 3 + 2], QStringLiteral("> Try to load next file..."));
    }
    EXPECT_EQ(view.log.last(), QStringLiteral("> Automatic Abord."));
    EXPECT_EQ(script.calls, before); // the loaded song was not touched
    EXPECT_EQ(playing(), first);
    EXPECT_EQ(control->FailureCount(), 15);

    // Until a song starts, every further failure ends at once.
    view.log.clear();
    lang.setCode(QStringLiteral("de"));
    control->weiterClick();
    EXPECT_EQ(view.log, (QStringList{QLatin1Char('"') + missing[15] + QLatin1Char('"'), QStringLiteral("  Datei existiert nicht."),
                                     QStringLiteral("> Nächste Datei wird geladen..."), QStringLiteral("> Automatischer Abbruch.")}));
    control->lvDblClick(0);
    EXPECT_EQ(control->FailureCount(), 0);
}

TEST_F(PlaybackControlTest, FailureLinesInBothLanguages)
{
    struct Case
    {
        bool german;
        bool onPlay;
        QString message;
        QStringList lines; // after the quoted name, before the "next file" line
        const char16_t *next;
    };
    const Case cases[] = {
        {false, false, QStringLiteral("Specified file doesn't have any audio stream."),
         {QStringLiteral("  File can not be played. Error Code: "), QStringLiteral("  Specified file doesn't have any audio stream.")},
         u"> Try to load next file..."},
        {true, true, QStringLiteral("Selected audio device not connected"),
         {QStringLiteral("  Datei kann nicht abgespielt werden. Fehlercode: "), QStringLiteral("  Selected audio device not connected")},
         u"> Nächste Datei wird geladen..."},
        {false, true, QString(), {QStringLiteral("  File can not be played. Unknown Error.")}, u"> Try to load next file..."},
        {true, false, QString(), {QStringLiteral("  Datei kann nicht abgespielt werden. Unbekannter Fehler.")},
         u"> Nächste Datei wird geladen..."},
        // The component's messages carry a CR between the failed call and its description.
        {false, false, QStringLiteral("GStreamer call failed: 80070057\rOne of the parameters is invalid."),
         {QStringLiteral("  File can not be played. Error Code: "),
          QStringLiteral("  GStreamer call failed: 80070057\nOne of the parameters is invalid.")},
         u"> Try to load next file..."},
    };
    options.setRandomOrder(false);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        lists.clear();
        script.failOnCreate.clear();
        script.failOnPlay.clear();
        control->FreePlayer();
        const QString bad = addSong(QStringLiteral("bad.mp3"));
        const QString good = addSong(QStringLiteral("good.mp3"));
        (c.onPlay ? script.failOnPlay : script.failOnCreate)[bad] = {1000, c.message};
        lang.setCode(c.german ? QStringLiteral("de") : QStringLiteral("en"));
        view.log.clear();
        control->lvDblClick(0);
        QStringList expected{QLatin1Char('"') + bad + QLatin1Char('"')};
        expected << c.lines << QString::fromUtf16(c.next);
        EXPECT_EQ(view.log, expected);
        EXPECT_EQ(playing(), good); // the next row started
        EXPECT_EQ(control->FailureCount(), 0);
        EXPECT_EQ(historyPaths().last(), good);
    }
}

TEST_F(PlaybackControlTest, FailedStartLeavesTheSongLoadedButSilentAndChainsAreBounded)
{
    options.setRandomOrder(false);
    // Every file fails to start: the chain ends after 15 attempts and its depth stays bounded.
    for (int i = 0; i < 3; ++i) {
        const QString p = addSong(QStringLiteral("silent%1.mp3").arg(i));
        script.failOnPlay[p] = {1001, QStringLiteral("Selected audio device not connected")};
    }
    control->weiterClick();
    EXPECT_EQ(view.log.size(), 15 * 4 + 1);
    EXPECT_EQ(script.calls.filter(QStringLiteral("create ")).size(), 15);
    ASSERT_NE(control->Player(), nullptr); // the last one stays loaded, not playing
    EXPECT_EQ(control->Player()->State(), kStateBuilt);
    EXPECT_TRUE(control->PlayHistory().isEmpty());
}

TEST_F(PlaybackControlTest, RepeatIsCarriedToTheNextSong)
{
    options.setRandomOrder(false);
    const QString a = addSong(QStringLiteral("A.mp3")), b = addSong(QStringLiteral("B.mp3"));
    control->lvDblClick(0);
    options.setRepeat(true);
    EXPECT_TRUE(script.current->Loop());
    control->weiterClick();
    EXPECT_EQ(playing(), b);
    EXPECT_TRUE(script.current->Loop());
    script.current->advance(100'000'000);
    script.current->finish(); // loops instead of moving on
    EXPECT_EQ(playing(), b);
    EXPECT_EQ(script.current->GetPosition(), 0);
    EXPECT_EQ(control->PlayHistory().size(), 2);
    options.setRepeat(false);
    EXPECT_FALSE(script.current->Loop());
    script.current->finish();
    EXPECT_EQ(playing(), a);
}

TEST_F(PlaybackControlTest, PauseStopAndResume)
{
    addSong(QStringLiteral("A.mp3"));
    control->mw1Click();
    ASSERT_NE(script.current, nullptr);
    EXPECT_TRUE(control->Timer1().isActive());
    script.current->advance(30'000'000);
    control->mw2Click();
    EXPECT_FALSE(view.playing);
    EXPECT_FALSE(control->Timer1().isActive());
    EXPECT_EQ(script.current->State(), kStatePaused);
    control->mw1Click(); // continues where it was
    EXPECT_EQ(script.current->GetPosition(), 30'000'000);
    EXPECT_TRUE(view.playing);
    control->BtPlayClick();
    EXPECT_EQ(script.current->State(), kStatePaused);
    EXPECT_FALSE(view.playing);
    control->BtPlayClick();
    EXPECT_EQ(script.current->State(), kStateRunning);
    EXPECT_EQ(script.calls.filter(QStringLiteral("create ")).size(), 1);

    // Pausing with nothing loaded only clears the state.
    control->FreePlayer();
    control->mw2Click();
    EXPECT_FALSE(control->IsPlaying());
}

TEST_F(PlaybackControlTest, PlayStartsTheFirstRowThroughItsResolvedPath)
{
    // A playlist of relative paths beside its music.
    dir.write(QStringLiteral("music/A.mp3"), QByteArray());
    lists.addSourceFolder(dir.path(QStringLiteral("music/")));
    TSongRecord r;
    r.Path = QStringLiteral("A.mp3");
    lists.append(r);
    control->mw1Click();
    EXPECT_EQ(playing(), dir.path(QStringLiteral("music/A.mp3")));
    EXPECT_TRUE(view.playing);
}

TEST_F(PlaybackControlTest, PositionDisplayResyncsOnceAndTheBarSeeks)
{
    addSong(QStringLiteral("A.mp3"));
    control->lvDblClick(0);
    EXPECT_EQ(view.duration, QStringLiteral("00:03:00:000"));
    FakeAudioPlayer *p = script.current;
    p->advance(5'000'000); // half a second: no resync yet
    control->Timer1Timer();
    EXPECT_EQ(script.calls.filter(QStringLiteral("seek ")).size(), 0);
    p->advance(85'000'000); // 9 s
    control->Timer1Timer();
    EXPECT_EQ(script.calls.filter(QStringLiteral("seek ")), QStringList{QStringLiteral("seek %1 90000000 1").arg(p->FileName())});
    EXPECT_EQ(view.bar, 50); // 9 of 180 s, and moving it did not seek
    EXPECT_EQ(view.position, QStringLiteral("00:00:09:000"));
    p->advance(10'000'000);
    control->Timer1Timer();
    EXPECT_EQ(script.calls.filter(QStringLiteral("seek ")).size(), 1);

    // The user drags the bar: 1/4 of the song.
    view.moveBar(250);
    EXPECT_EQ(script.calls.last(), QStringLiteral("seek %1 450000000 1").arg(p->FileName()));
    EXPECT_EQ(view.position, QStringLiteral("00:00:45:000"));
    EXPECT_FALSE(control->UpdatingPosition());

    // The window closes: the song goes, the labels go to zero and the bar no longer seeks.
    const int songChanges = view.songChanges;
    control->stop();
    EXPECT_EQ(control->Player(), nullptr);
    EXPECT_FALSE(view.playing);
    EXPECT_EQ(view.songChanges, songChanges + 1);
    view.moveBar(700);
    EXPECT_EQ(view.bar, 0);
    EXPECT_EQ(script.calls.filter(QStringLiteral("seek ")).size(), 2);
    EXPECT_EQ(view.position, QStringLiteral("00:00:00:000"));
    EXPECT_EQ(view.duration, QStringLiteral("00:00:00:000"));
}

TEST_F(PlaybackControlTest, AHeldThumbStaysWhereTheUserPutsItAndTheReleaseSeeks)
{
    addSong(QStringLiteral("A.mp3"));
    control->lvDblClick(0);
    FakeAudioPlayer *p = script.current;
    p->advance(20'000'000);
    control->Timer1Timer();
    const qsizetype seeks = script.calls.filter(QStringLiteral("seek ")).size();
    ASSERT_EQ(view.bar, 11); // 2 of 180 s

    control->stelleGrabbed();
    view.moveBar(600); // dragging: no seek yet
    p->advance(10'000'000);
    control->Timer1Timer();
    EXPECT_EQ(view.bar, 600); // the timer did not pull the thumb back
    EXPECT_EQ(view.position, QStringLiteral("00:00:03:000")); // the time still runs
    view.moveBar(700);
    EXPECT_EQ(script.calls.filter(QStringLiteral("seek ")).size(), seeks);

    control->stelleReleased(700);
    EXPECT_FALSE(control->ThumbHeld());
    EXPECT_EQ(script.calls.last(), QStringLiteral("seek %1 1260000000 1").arg(p->FileName()));
    EXPECT_EQ(view.position, QStringLiteral("00:02:06:000"));
    p->advance(10'000'000);
    control->Timer1Timer();
    EXPECT_EQ(view.bar, 705); // the timer moves it again
}

TEST_F(PlaybackControlTest, OtherTimeFormatsShowPlainNumbersAndUnseekableSongsStay)
{
    script.timeFormat = QStringLiteral("{7B785570-8C82-11CF-BC0C-00AA00AC74F6}");
    script.capabilities = kCanGetDuration;
    script.duration = 441000;
    addSong(QStringLiteral("A.mp3"));
    control->lvDblClick(0);
    EXPECT_FALSE(control->MediaTimeFormat());
    EXPECT_FALSE(control->CanSeek());
    EXPECT_EQ(view.duration, QStringLiteral("441000"));
    EXPECT_EQ(view.position, QStringLiteral("0"));
    view.moveBar(500);
    EXPECT_EQ(script.calls.filter(QStringLiteral("seek ")).size(), 0);
}

TEST(FormatMediaTime, Values)
{
    struct Case
    {
        qint64 value;
        const char *media;
    };
    const Case cases[] = {
        {0, "00:00:00:000"},
        {1'234'560'000, "00:02:03:456"},
        {1'234'565'000, "00:02:03:456"}, // half a millisecond: to the even one
        {1'234'575'000, "00:02:03:458"},
        {1'234'565'001, "00:02:03:457"},
        {36'000'000'000, "01:00:00:000"},
        {864'000'000'000 + 10'000, "00:00:00:001"}, // hours of the day
        {-10'000, "00:00:00:001"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FormatMediaTime(c.value, true), QLatin1String(c.media)) << c.value;
        EXPECT_EQ(FormatMediaTime(c.value, false), QString::number(c.value));
    }
}

TEST_F(PlaybackControlTest, SelectedRowStartsAndEnter)
{
    options.setRandomOrder(false);
    addSong(QStringLiteral("A.mp3"));
    const QString b = addSong(QStringLiteral("B.mp3"));
    EXPECT_FALSE(control->lvKeyPress('a', 1));
    EXPECT_TRUE(control->lvKeyPress(13, -1)); // consumed, nothing selected
    EXPECT_TRUE(script.calls.isEmpty());
    EXPECT_TRUE(control->lvKeyPress(13, 1));
    EXPECT_EQ(playing(), b);
    EXPECT_EQ(control->CurrentIndex(), 1);
    control->p1Click(0);
    EXPECT_EQ(control->CurrentIndex(), 0);
    EXPECT_EQ(control->PlayHistory().size(), 2);
    control->lfDblClick(b);
    EXPECT_EQ(control->CurrentIndex(), 0);
    EXPECT_EQ(playing(), b);
}

TEST_F(PlaybackControlTest, TheRecentWindowFollowsTheHistoryOnlyWhileShown)
{
    addSong(QStringLiteral("A.mp3"));
    control->lvDblClick(0);
    EXPECT_EQ(view.refreshes, 0);
    control->setRecentWindowVisible(true);
    control->lvDblClick(0);
    control->zurueckClick();
    control->DeleteHistory();
    EXPECT_EQ(view.refreshes, 3);
    EXPECT_TRUE(control->PlayHistory().isEmpty());
}

TEST_F(PlaybackControlTest, ShowCurrentSongUsesTheMenuAndTheFileName)
{
    const QString path = addSong(QStringLiteral("Band - Song.mp3"));
    EXPECT_TRUE(control->ShowCurrentSong().isEmpty()); // nothing loaded
    options.setInTitle(true);
    control->lvDblClick(0);
    EXPECT_EQ(control->PlayHistory().last().DisplayText, QStringLiteral("Band - Song"));
    EXPECT_EQ(view.statusLine, QStringLiteral("Band - Song"));
    EXPECT_EQ(view.windowTitle, QStringLiteral("Band - Song - Orvel Media Sonalo"));
    EXPECT_EQ(view.statusShowsSong, 1);
    options.setMode(SongDisplayMode::ArtistTitleAlbumTrack);
    options.setInTitle(false);
    control->ShowCurrentSong();
    EXPECT_EQ(view.statusLine, QStringLiteral("Band - Song (??, ?\?)"));
    options.setMode(SongDisplayMode::PathAndFile);
    control->ShowCurrentSong();
    EXPECT_EQ(view.statusLine, path);
}

TEST_F(PlaybackControlTest, AFileWithoutArtistAndTitleShowsTheStartedRows)
{
    addSong(QStringLiteral("01-kammerton-a.wav"), true, QStringLiteral("Orvel"), QStringLiteral("Kammerton A"));
    // A row with neither keeps the file's name.
    const QString other = addSong(QStringLiteral("02-quinte.wav"), true, {}, QString());
    options.setInTitle(true);
    options.setRandomOrder(false);

    control->lvDblClick(0);
    EXPECT_EQ(view.statusLine, QStringLiteral("Orvel - Kammerton A"));
    EXPECT_EQ(view.windowTitle, QStringLiteral("Orvel - Kammerton A - Orvel Media Sonalo"));
    EXPECT_EQ(control->PlayHistory().last().DisplayText, QStringLiteral("Orvel - Kammerton A"));
    EXPECT_EQ(control->currentSongFields().artist, QStringLiteral("Orvel"));

    control->weiterClick();
    EXPECT_EQ(view.statusLine, QStringLiteral("?? - 02-quinte.wav"));
    // Started from the history while row 0 is current: not row 0's fields.
    control->lfDblClick(other);
    EXPECT_EQ(view.statusLine, QStringLiteral("?? - 02-quinte.wav"));
    // Going back to the first song shows its row's fields again.
    for (int i = 0; i < 3; ++i)
        control->zurueckClick();
    EXPECT_EQ(playing(), lists.AllSongs()[0].Path);
    EXPECT_EQ(view.statusLine, QStringLiteral("Orvel - Kammerton A"));
}

TEST(SongDisplay, GapsAndTheFileNameSplit)
{
    struct Case
    {
        SongTagFields in;
        SongDisplayMode mode;
        const char *expected;
    };
    const Case cases[] = {
        {{QStringLiteral("Art"), QStringLiteral("Tit"), QStringLiteral("Alb"), QStringLiteral("Gen"), QStringLiteral("3")},
         SongDisplayMode::ArtistTitle, "Art - Tit"},
        {{QStringLiteral("Art"), QStringLiteral("Tit"), QStringLiteral("Alb"), QStringLiteral("Gen"), QStringLiteral("3")},
         SongDisplayMode::ArtistTitleAlbum, "Art - Tit (Alb)"},
        {{QStringLiteral("Art"), QStringLiteral("Tit"), QStringLiteral("Alb"), QStringLiteral("Gen"), QStringLiteral("3")},
         SongDisplayMode::ArtistTitleAlbumTrack, "Art - Tit (Alb, 3)"},
        {{QStringLiteral("Art"), QStringLiteral("Tit"), {}, {}, {}}, SongDisplayMode::ArtistTitleGenre, "Art - Tit (?\?)"},
        {{QStringLiteral("Art"), QStringLiteral("Tit"), {}, {}, {}}, SongDisplayMode::ArtistTitleAlbumTrack, "Art - Tit (??, ?\?)"},
        {{{}, {}, {}, {}, {}}, SongDisplayMode::ArtistTitle, "?\? - ?\?"},
        {{{}, QStringLiteral("Band - Song.mp3"), {}, {}, {}}, SongDisplayMode::ArtistTitle, "Band - Song"},
        // Case-sensitive extensions; every "artist - " goes, not only the first.
        {{{}, QStringLiteral("Band - Song.MP3"), {}, {}, {}}, SongDisplayMode::ArtistTitle, "Band - Song.MP3"},
        {{{}, QStringLiteral("Band - Live - Band - X.ogg"), {}, {}, {}}, SongDisplayMode::ArtistTitle, "Band - Live - X"},
        // An artist from the tags: the title stays whole.
        {{QStringLiteral("A"), QStringLiteral("B - C.wav"), {}, {}, {}}, SongDisplayMode::ArtistTitle, "A - B - C.wav"},
        // Nothing before the separator: the artist stays unknown.
        {{{}, QStringLiteral(" - Song"), {}, {}, {}}, SongDisplayMode::ArtistTitle, "?\? - Song"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SongDisplayText(SongDisplayFields(c.in), c.mode, QStringLiteral("/p")), QString::fromUtf8(c.expected))
            << c.expected;
    EXPECT_EQ(SongDisplayText(SongDisplayFields({}), SongDisplayMode::PathAndFile, QStringLiteral("/m/a b.mp3")),
              QStringLiteral("/m/a b.mp3"));
}

TEST_F(PlaybackControlTest, VolumeReachesEveryPlayerAndTheLoadedOne)
{
    struct Case { int percent; bool muted; int level; };
    for (const Case c : {Case{100, false, 0}, Case{50, false, -602}, Case{10, false, -2000}, Case{1, false, -4000},
                         Case{0, false, -10000}, Case{80, true, -10000}, Case{150, false, 0}, Case{-5, false, -10000}})
        EXPECT_EQ(PlaybackControl::volumeLevel(c.percent, c.muted), c.level) << c.percent;

    addSong(QStringLiteral("a.mp3"));
    addSong(QStringLiteral("b.mp3"));
    QList<std::pair<int, bool>> shown;
    QObject::connect(control.get(), &PlaybackControl::volumeChanged, [&](int p, bool m) { shown.append({p, m}); });
    control->setVolumePercent(50); // before any song: the next player starts at it
    control->weiterClick();
    EXPECT_EQ(script.current->GetVolume(), -602);
    control->setMuted(true);
    EXPECT_EQ(script.current->GetVolume(), -10000);
    control->weiterClick(); // a new player keeps mute
    EXPECT_EQ(script.current->GetVolume(), -10000);
    control->setMuted(false);
    EXPECT_EQ(script.current->GetVolume(), -602);
    control->setVolumePercent(250);
    EXPECT_EQ(control->volumePercent(), 100);
    EXPECT_EQ(script.current->GetVolume(), 0);
    control->setVolumePercent(100); // no change, no signal
    EXPECT_EQ(shown, (QList<std::pair<int, bool>>{{50, false}, {50, true}, {50, false}, {100, false}}));
}

TEST_F(PlaybackControlTest, ASongEndingAmongMissingFilesLeavesNothingSayingItPlays)
{
    options.setRandomOrder(false);
    addSong(QStringLiteral("playing.mp3"));
    for (int i = 0; i < 20; ++i)
        addSong(QStringLiteral("missing%1.mp3").arg(i), false);
    control->lvDblClick(0);
    script.current->advance(1'700'000'000);
    control->ShowPosition();
    ASSERT_GT(view.bar, 900);
    const int changes = view.songChanges;

    script.current->finish(); // the song ends; fifteen missing files follow
    EXPECT_EQ(view.log.last(), QStringLiteral("> Automatic Abord."));
    EXPECT_FALSE(control->IsPlaying());
    EXPECT_FALSE(view.playing);
    EXPECT_EQ(view.bar, 0);
    EXPECT_EQ(control->Player(), nullptr); // what the desktop's media controls call stopped
    EXPECT_EQ(view.songChanges, changes + 1);
    EXPECT_EQ(script.alive, 0);
}

// Gapless play chooses the next song before the end: the choice is the one weiterClick makes,
// and weiterClick at the end takes exactly it (one random draw, not two), unless something
// changed what it would choose meanwhile.
TEST_F(PlaybackControlTest, ThePreparedNextSongIsWhatTheEndOfTheSongPlays)
{
    struct Case
    {
        const char *name;
        bool random;
        int markNext;                     // row marked to play next before preparing, -1 none
        std::function<void(PlaybackControl &, SongLists &)> meanwhile;
        int prepared;                     // row whose file prepareNextSong returns
        int played;                       // row played at the end of the song
    };
    const Case cases[] = {
        {"table order", false, -1, {}, 2, 2},
        {"random, drawn once", true, -1, {}, 0, 0},
        {"marked song", false, 0, {}, 0, 0},
        {"marked after preparing", false, -1, [](PlaybackControl &c, SongLists &) { c.pop_title_nextClick(0); }, 2, 0},
        {"row removed", false, -1, [](PlaybackControl &, SongLists &l) { l.removeShownRows({2}); }, 2, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        control->stop();
        lists.clear();
        QStringList paths;
        for (const char *name : {"A.mp3", "B.mp3", "C.mp3"})
            paths << addSong(QString::fromLatin1(name));
        options.setRandomOrder(c.random);
        QList<int> draws{0, 1};
        control->randomRow = [&](int) { return draws.takeFirst(); };
        control->lvDblClick(1);
        if (c.markNext >= 0)
            control->pop_title_nextClick(c.markNext);
        EXPECT_EQ(control->prepareNextSong(), paths[c.prepared]);
        if (c.meanwhile)
            c.meanwhile(*control, lists);
        script.current->finish();
        EXPECT_EQ(playing(), paths[c.played]);
        EXPECT_EQ(draws.size(), c.random ? 1 : 2);
    }
}

TEST_F(PlaybackControlTest, NothingIsPreparedWithRepeatOrWithoutASong)
{
    options.setRandomOrder(false);
    addSong(QStringLiteral("A.mp3"));
    addSong(QStringLiteral("gone.mp3"), false);
    EXPECT_TRUE(control->prepareNextSong().isEmpty()); // nothing loaded
    control->lvDblClick(0);
    EXPECT_TRUE(control->prepareNextSong().isEmpty()); // a missing file is not handed over
    script.current->finish();                          // but it is still the next choice
    EXPECT_EQ(view.log.first(), QLatin1Char('"') + lists.AllSongs()[1].Path + QLatin1Char('"'));
    options.setRepeat(true);
    control->lvDblClick(0);
    EXPECT_TRUE(control->prepareNextSong().isEmpty());
}

TEST_F(PlaybackControlTest, AnotherOutputTakesEffectAtTheNextSong)
{
    options.setRandomOrder(false);
    const QString a = addSong(QStringLiteral("A.mp3")), b = addSong(QStringLiteral("B.mp3"));
    control->lvDblClick(0);
    control->setDeviceIndex(2);
    EXPECT_EQ(script.current->DeviceIndex(), 0); // the loaded song plays on
    EXPECT_TRUE(control->prepareNextSong().isEmpty()); // nothing handed over to the old output
    script.current->finish();
    EXPECT_EQ(playing(), b);
    EXPECT_EQ(script.current->DeviceIndex(), 2);
    EXPECT_EQ(control->prepareNextSong(), a);
}

TEST_F(PlaybackControlTest, TheEqualizerReachesTheLoadedPlayerAtOnceAndEveryNextOne)
{
    options.setRandomOrder(false);
    addSong(QStringLiteral("A.mp3"));
    addSong(QStringLiteral("B.mp3"));
    EqualizerModel &eq = control->equalizer();
    control->lvDblClick(0);
    EXPECT_EQ(script.current->Equalizer(), EqualizerModel::Gains{}); // off: nothing changed
    eq.applyPreset(5);                                               // a preset while off stays unheard
    EXPECT_EQ(script.current->Equalizer(), EqualizerModel::Gains{});
    eq.setEnabled(true);
    EXPECT_EQ(script.current->Equalizer(), EqualizerModel::presetGains(5));
    eq.setGain(9, 40); // beyond the top: +12
    EXPECT_EQ(script.current->Equalizer()[9], 12.0);
    EXPECT_EQ(eq.preset(), -1);
    control->weiterClick();
    EXPECT_EQ(script.current->Equalizer()[9], 12.0);
    eq.setEnabled(false);
    EXPECT_EQ(script.current->Equalizer(), EqualizerModel::Gains{});
}
