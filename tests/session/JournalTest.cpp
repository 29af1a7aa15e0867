#include "session/SessionFixture.h"

#include "core/SessionJournal.h"

#include <functional>

namespace {

class JournalTest : public SessionFixture
{
protected:
    SongList journalled()
    {
        session->journal()->flush();
        return SessionJournal::Files(session->journal()->folder()).read().songs;
    }
    QString journals() const { return programFolder + u8("data/journal"); }
    // A run that ends without a normal close: the window's journal stays behind.
    void crash() { session = std::make_unique<Session>(options()); }
    void add(std::initializer_list<const char *> artists)
    {
        const auto scope = session->lists.edit(SongLists::Refresh::TableAndStatus);
        for (const char *a : artists)
            session->lists.append(song(a, "t"));
    }
};

} // namespace

TEST_F(JournalTest, EveryChangeOfThePlaylistReachesTheJournal)
{
    session->startJournal();
    const std::pair<const char *, std::function<void()>> steps[] = {
        {"add", [&] { add({"c", "a", "d", "b"}); }},
        {"sort", [&] { session->list.lvColumnClick(1); }},
        {"sort back", [&] { session->list.lvColumnClick(1); }},
        {"delete", [&] { session->selection.LVDeleteSelected({0, 2}); }},
        {"delete in a result", [&] {
             session->search.setSearchTerm(u8("b"));
             session->search.SuchenClick();
             session->selection.LVDeleteSelected({0});
             session->search.AlleClick();
         }},
        {"undo", [&] { session->selection.undoClick(); }},
        {"redo", [&] { session->selection.redoClick(); }},
        {"clear", [&] { session->selection.mp7Click(); }},
        {"undo the clear", [&] { session->selection.undoClick(); }},
        {"add again", [&] { add({"e"}); }},
    };
    for (const auto &[name, step] : steps) {
        SCOPED_TRACE(name);
        step();
        EXPECT_EQ(journalled(), session->lists.AllSongs());
    }
    EXPECT_EQ(session->lists.AllSongs().size(), 3);
}

TEST_F(JournalTest, TheStartOffersWhatARunThatDidNotEndLeftAndANormalCloseEndsIt)
{
    session->startJournal();
    add({"a", "b"});
    session->journal()->flush();
    crash();

    // The start shows the same list: nothing to ask.
    add({"a", "b"});
    session->startJournal();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    session->endJournal(); // and the old journal goes with the normal close
    EXPECT_TRUE(SessionJournal::orphans(journals()).isEmpty());

    session = std::make_unique<Session>(options());
    session->startJournal();
    add({"x", "y", "z"});
    session->journal()->flush();
    crash();

    // No: the start's list stays and the journal is kept until the next normal close.
    session->lang.setCode(u8("de"));
    dialogs.askAnswers = {false};
    session->startJournal();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(u8("Sonalo wurde nicht ordnungsgemäß beendet. Die Playlist von ")));
    EXPECT_TRUE(dialogs.questions[0].endsWith(u8(" mit 3 Songs wiederherstellen?")));
    EXPECT_TRUE(session->lists.AllSongs().isEmpty());
    crash();

    // Yes restores it, in the table and the status line.
    dialogs.askAnswers = {true};
    session->startJournal();
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_TRUE(dialogs.questions[1].endsWith(u8(" with 3 songs?")));
    EXPECT_EQ(session->lists.AllSongs(), (SongList{song("x", "t"), song("y", "t"), song("z", "t")}));
    EXPECT_EQ(session->list.model().rowCount(), 3);
    // The restored list is this window's journal now; the old one goes at the normal close.
    EXPECT_EQ(journalled(), session->lists.AllSongs());
    session->endJournal();
    EXPECT_TRUE(SessionJournal::orphans(journals()).isEmpty());
}

TEST_F(JournalTest, AFailingWriteIsToldOnceUntilAWriteSucceeds)
{
    // A file where the journal's folder should be: every write fails.
    const QString blocked = programFolder + u8("blocked");
    QFile(blocked).open(QIODevice::WriteOnly);
    SongLists lists;
    JournalRecorder journal(lists, blocked);
    QStringList told;
    QObject::connect(&journal, &JournalRecorder::writeFailed, [&](const QString &m) { told << m; });
    journal.start();
    journal.flush();
    lists.append(song("a", "t"));
    journal.flush();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith(u8("Unable to write to ") + blocked)) << told[0].toStdString();
}
