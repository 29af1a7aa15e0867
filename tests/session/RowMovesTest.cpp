#include "session/QueueEdits.h"
#include "session/RowMoves.h"
#include "session/SessionFixture.h"

#include "core/SessionJournal.h"

namespace {

// The list "abcdef" after a move, as letters; "" when nothing moves.
QString moved(const RowMoves::Move &m)
{
    QString out;
    for (qsizetype from : m.order)
        out += QLatin1Char(char('a' + from));
    return out;
}

class MoveTest : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        SongList list;
        for (const char *a : {"a", "b", "c", "d", "e", "f"})
            list.append(song(a, "t"));
        session->lists.replaceAll(list);
    }
    QString artists() const
    {
        QString out;
        for (const TSongRecord &r : session->lists.AllSongs())
            out += r.Artist;
        return out;
    }
};

} // namespace

TEST(RowMoves, StepsAndDropsKeepTheRowsInTheirOrder)
{
    struct Case
    {
        QList<int> rows;
        int delta;  // 0: a drop before `before`
        int before;
        const char *order;
        QList<int> after;
    };
    const Case cases[] = {
        {{2}, -1, 0, "acbdef", {1}},
        {{0}, -1, 0, "", {}},                 // at the top already
        {{5}, +1, 0, "", {}},                 // at the end already
        {{1, 3}, -1, 0, "badcef", {0, 2}},    // non-adjacent rows keep their gap
        {{2, 3}, +1, 0, "abecdf", {3, 4}},
        {{0, 1}, +1, 0, "cabdef", {1, 2}},
        {{1, 4}, 0, 0, "beacdf", {0, 1}},     // dragged to the top, in their order
        {{1, 4}, 0, 6, "acdfbe", {4, 5}},     // to the end
        {{0, 5}, 0, 3, "bcafde", {2, 3}},
        {{2, 3}, 0, 3, "", {}},               // dropped on their own place
        {{2, 3}, 0, 2, "", {}},
        {{2}, 0, 99, "abdefc", {5}},          // past the end: the end
    };
    for (const Case &c : cases) {
        const RowMoves::Move m = c.delta ? RowMoves::step(6, c.rows, c.delta) : RowMoves::dropBefore(6, c.rows, c.before);
        SCOPED_TRACE(c.order);
        EXPECT_EQ(moved(m), QString::fromLatin1(c.order));
        EXPECT_EQ(m.rows, c.after);
    }
}

TEST_F(MoveTest, MovesByHandUndoClearTheSortMarkAndReachTheJournal)
{
    session->startJournal();
    session->list.lvColumnClick(1); // sorted by artist: the mark shows
    QList<int> marks;
    QObject::connect(&session->list, &ListDisplay::sortIndicatorChanged, [&](int column, bool) { marks << column; });
    const QString status = session->list.statusText();

    EXPECT_EQ(session->selection.moveRows({1, 3}, -1), (QList<int>{0, 2}));
    EXPECT_EQ(artists(), u8("badcef"));
    EXPECT_EQ(session->selection.dropRows({0, 5}, 3), (QList<int>{2, 3}));
    EXPECT_EQ(artists(), u8("adbfce"));
    EXPECT_EQ(marks, (QList<int>{-1, -1}));
    EXPECT_EQ(session->list.sortState().SortColumn, 0);
    EXPECT_EQ(session->list.statusText(), status); // the status line stays
    EXPECT_EQ(session->list.model().rowCount(), 6);
    session->journal()->flush();
    EXPECT_EQ(SessionJournal::Files(session->journal()->folder()).read().songs, session->lists.AllSongs());

    session->selection.undoClick();
    EXPECT_EQ(artists(), u8("badcef"));
    session->selection.undoClick();
    EXPECT_EQ(artists(), u8("abcdef"));
    session->selection.redoClick();
    EXPECT_EQ(artists(), u8("badcef"));
}

TEST_F(MoveTest, WhileAResultIsShownNothingMovesAndTheStatusLineSaysWhy)
{
    session->lang.setCode(u8("de"));
    session->search.setSearchTerm(u8("c"));
    session->search.SuchenClick();
    ASSERT_TRUE(session->lists.ShowingFound());
    EXPECT_TRUE(session->selection.moveRows({0}, +1).isEmpty());
    EXPECT_EQ(session->list.statusText(),
              u8("Während ein Suchergebnis angezeigt wird, lässt sich die Reihenfolge nicht ändern"));
    EXPECT_TRUE(session->selection.dropRows({0}, 0).isEmpty());
    EXPECT_EQ(artists(), u8("abcdef"));
    EXPECT_FALSE(session->undo.canUndo());
}

// The queue panel's moves go through the same plans; rows outside the queue or repeated are
// dropped, and the entries read as the panel shows them.
TEST_F(MoveTest, QueueEntriesMoveByKeysAndDrag)
{
    PlayQueue &queue = session->playback.queue();
    session->lists.replaceAll({song("a", "1"), song("b", "2"), song("c", "3"), song("d", "4")});
    auto order = [&] {
        QString out;
        for (const TSongRecord &s : queue.songs())
            out += s.Artist;
        return out;
    };
    struct Case
    {
        const char *name;
        std::function<QList<int>()> edit;
        const char *after;
        QList<int> rows;
    };
    const Case cases[] = {
        {"up", [&] { return QueueEdits::step(queue, {3, 1, 3, 9}, -1); }, "badc", {0, 2}},
        {"up at the top", [&] { return QueueEdits::step(queue, {0}, -1); }, "abcd", {}},
        {"down", [&] { return QueueEdits::step(queue, {2}, +1); }, "abdc", {3}},
        {"drag to the end", [&] { return QueueEdits::dropBefore(queue, {0, 2}, 99); }, "bdac", {2, 3}},
        {"drag to the top", [&] { return QueueEdits::dropBefore(queue, {3}, -5); }, "dabc", {0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        queue.clear();
        queue.appendShownRows({0, 1, 2, 3});
        EXPECT_EQ(c.edit(), c.rows);
        EXPECT_EQ(order(), QLatin1String(c.after));
    }
    TSongRecord bare;
    bare.Path = u"/m/x y.mp3"_qs;
    EXPECT_EQ(QueueEdits::entryText(bare), u"x y.mp3"_qs);
    bare.Title = u"T"_qs;
    EXPECT_EQ(QueueEdits::entryText(bare), u"T"_qs);
    bare.Artist = u"A"_qs;
    EXPECT_EQ(QueueEdits::entryText(bare), u"A - T"_qs);
}
