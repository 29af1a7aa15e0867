// The order songs come in: the queue, every song once, and stop after this song.
#include "playback/DisplayOptionsModel.h"
#include "playback/PlaybackControl.h"
#include "support/FakeAudioPlayer.h"

#include "TempDir.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>

namespace {

QCoreApplication &app()
{
    static int argc = 1;
    static char name[] = "play-order-tests";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *a = new QCoreApplication(argc, argv);
    return *a;
}

class PlayOrderTest : public ::testing::Test
{
protected:
    PlayOrderTest() : lists(dir.path())
    {
        app();
        options.setRandomOrder(false);
        control = std::make_unique<PlaybackControl>(lists, script.factory(), options, lang);
        // Seeded: a failure repeats.
        control->randomRow = [this](int n) { return int(random.bounded(n)); };
    }

    void addSongs(int n)
    {
        SongList songs;
        for (int i = 0; i < n; ++i) {
            const QString name = QStringLiteral("%1.mp3").arg(i, 4, 10, QLatin1Char('0'));
            dir.write(name, QByteArray());
            TSongRecord r;
            r.Title = name;
            r.Path = dir.path(name);
            songs.append(r);
        }
        lists.append(std::move(songs));
    }
    // The song that plays as its playlist row (its file is named after it), -1 for none.
    int playingSong() const
    {
        if (!script.current)
            return -1;
        return script.current->FileName().section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0).toInt();
    }
    // The song ends; with gapless the next one was prepared ahead first.
    void songEnds(bool prepared)
    {
        if (prepared)
            control->prepareNextSong();
        script.current->finish();
    }
    QList<int> queued() const
    {
        QList<int> rows;
        for (const TSongRecord &s : control->queue().songs())
            rows << s.Title.left(4).toInt();
        return rows;
    }

    TempDir dir;
    SongLists lists;
    FakeAudioScript script;
    DisplayOptionsModel options;
    LanguageCode lang;
    QRandomGenerator random{34};
    std::unique_ptr<PlaybackControl> control;
};

} // namespace

TEST_F(PlayOrderTest, QueuePlaysAfterTheMarkedSongAndBeforeTheTable)
{
    for (bool prepared : {false, true}) {
        SCOPED_TRACE(prepared ? "prepared ahead" : "at the end");
        control->stop();
        control->queue().clear();
        lists.clear();
        addSongs(6);
        control->lvDblClick(0);
        control->queue().appendShownRows({4, 2, 9, 4}); // 9 is no row
        control->pop_title_nextClick(1);
        QList<int> order;
        for (int i = 0; i < 6; ++i) {
            songEnds(prepared);
            order << playingSong();
        }
        // The marked song, the queue in its order, then the table after the marked row.
        EXPECT_EQ(order, (QList<int>{1, 4, 2, 4, 2, 3}));
        EXPECT_TRUE(control->queue().isEmpty());
    }
}

TEST_F(PlayOrderTest, QueueKeepsItsOrderThroughListChanges)
{
    struct Case
    {
        const char *name;
        std::function<void(SongLists &)> edit;
        QList<int> queue;
    };
    const Case cases[] = {
        {"search", [](SongLists &l) { l.showFound({l.AllSongs()[3]}); }, {3, 1, 5}},
        {"sort", [](SongLists &l) {
             (void)l.reorderShown([](SongList &shown, std::vector<qsizetype> &) {
                 std::reverse(shown.begin(), shown.end());
                 return true;
             });
         }, {3, 1, 5}},
        {"delete from the playlist", [](SongLists &l) { l.removeShownRows({1, 2}); }, {3, 5}},
        {"delete from a result", [](SongLists &l) {
             l.showFound({l.AllSongs()[1], l.AllSongs()[3]});
             l.removeShownRows({0}); // the playlist still holds it
         }, {3, 1, 5}},
        {"delete, then undo", [](SongLists &l) {
             const SongLists::Snapshot before = l.snapshot();
             l.removeShownRows({5});
             l.restore(before);
         }, {3, 1}},
        {"new playlist", [](SongLists &l) { l.replaceAll({l.AllSongs()[5]}); }, {5}},
        {"playlist deleted", [](SongLists &l) { l.clear(); }, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        lists.clear();
        addSongs(6);
        control->queue().appendShownRows({3, 1, 5});
        c.edit(lists);
        EXPECT_EQ(queued(), c.queue);
    }
}

TEST_F(PlayOrderTest, QueueEntriesAreRemovedAndMoved)
{
    addSongs(5);
    PlayQueue &q = control->queue();
    q.appendShownRows({0, 1, 2, 3, 4});
    EXPECT_FALSE(q.reorder({0, 1, 1, 2, 3})); // no permutation
    EXPECT_FALSE(q.reorder({0, 1}));
    EXPECT_TRUE(q.reorder({4, 0, 1, 2, 3}));
    EXPECT_EQ(queued(), (QList<int>{4, 0, 1, 2, 3}));
    q.remove({3, 0, 3, 7, -1});
    EXPECT_EQ(queued(), (QList<int>{0, 1, 3}));
    q.clear();
    EXPECT_TRUE(q.isEmpty());
}

TEST_F(PlayOrderTest, NextIsPossibleWithAQueueOnly)
{
    EXPECT_FALSE(control->canGoNext());
    addSongs(1);
    control->queue().appendShownRows({0});
    lists.showFound({});
    EXPECT_TRUE(control->canGoNext());
    control->weiterClick();
    EXPECT_EQ(playingSong(), 0);
    EXPECT_FALSE(control->canGoNext());
}

TEST_F(PlayOrderTest, ShufflePlaysEverySongOncePerRoundAndWalksBack)
{
    options.setShuffleOnce(true);
    EXPECT_FALSE(options.randomOrder());
    for (int n : {1, 2, 3, 10, 1000}) {
        SCOPED_TRACE(n);
        control->stop();
        control->shuffleRound().reset();
        lists.clear();
        addSongs(n);
        QList<int> played;
        for (int i = 0; i < 2 * n; ++i) {
            if (i == 0 || i % 2)
                control->weiterClick();
            else
                songEnds(true);
            played << playingSong();
        }
        for (const QList<int> &round : {played.mid(0, n), played.mid(n)}) {
            QList<int> sorted = round;
            std::sort(sorted.begin(), sorted.end());
            QList<int> all(n);
            std::iota(all.begin(), all.end(), 0);
            EXPECT_EQ(sorted, all);
        }
        if (n > 1) {
            EXPECT_NE(played[n - 1], played[n]); // no song twice in a row at the turn of rounds
        }
        // Back through the second round to its first song, then on again the same way.
        for (int i = 2 * n - 2; i >= n; --i) {
            control->zurueckClick();
            EXPECT_EQ(playingSong(), played[i]);
        }
        control->zurueckClick(); // the round's start: nothing
        EXPECT_EQ(playingSong(), played[n]);
        for (int i = n + 1; i < 2 * n; ++i) {
            control->weiterClick();
            EXPECT_EQ(playingSong(), played[i]);
        }
    }
}

TEST_F(PlayOrderTest, ShuffleRoundSurvivesChangesOfTheList)
{
    options.setShuffleOnce(true);
    addSongs(20);
    QList<int> played;
    for (int i = 0; i < 5; ++i) {
        control->weiterClick();
        played << playingSong();
    }
    control->lvDblClick(int(std::find_if(lists.shown().begin(), lists.shown().end(),
                                         [&](const TSongRecord &s) {
                                             return !played.contains(s.Title.left(4).toInt());
                                         }) - lists.shown().begin()));
    played << playingSong();
    (void)lists.reorderShown([](SongList &shown, std::vector<qsizetype> &) {
        std::reverse(shown.begin(), shown.end());
        return true;
    });
    lists.removeShownRows({0}); // song 19 leaves
    for (int i = 0; i < 20; ++i) {
        control->weiterClick();
        played << playingSong();
    }
    QList<int> round = played.mid(0, 19);
    std::sort(round.begin(), round.end());
    QList<int> expected(19);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(round, expected);
    control->zurueckClick();
    EXPECT_EQ(playingSong(), played[played.size() - 2]);
}

TEST_F(PlayOrderTest, StopAfterThisSongActsOnce)
{
    addSongs(3);
    QList<bool> heard;
    QObject::connect(control.get(), &PlaybackControl::stopAfterChanged, [&](bool on) { heard << on; });
    control->setStopAfterCurrent(true); // nothing loaded: nothing to stop after
    EXPECT_FALSE(control->stopAfterCurrent());
    for (bool prepared : {false, true}) {
        SCOPED_TRACE(prepared ? "prepared ahead" : "at the end");
        control->lvDblClick(0);
        control->setStopAfterCurrent(true);
        EXPECT_TRUE(control->stopAfterCurrent());
        if (prepared) {
            EXPECT_TRUE(control->prepareNextSong().isEmpty()); // nothing is handed ahead
        }
        script.current->finish();
        EXPECT_EQ(script.current, nullptr);
        EXPECT_FALSE(control->IsPlaying());
        EXPECT_FALSE(control->stopAfterCurrent());
        control->weiterClick(); // on from the table; the next end goes on
        script.current->finish();
        EXPECT_EQ(playingSong(), 2);
    }
    // Another song started disarms it: it meant the one that played.
    control->setStopAfterCurrent(true);
    control->weiterClick();
    EXPECT_FALSE(control->stopAfterCurrent());
    EXPECT_EQ(heard, (QList<bool>{true, false, true, false, true, false}));
}
