// Where the user left off: read as untrusted, and a fresh session comes back there.
#include "core/ResumePoint.h"
#include "session/Resume.h"
#include "session/SessionFixture.h"

#include <QFile>

namespace {


TEST(ResumePointTest, ValuesOutsideTheirBoundsAreLeftAtTheDefaults)
{
    struct Case
    {
        const char *bytes;
        ResumePoint expected;
    };
    const Case cases[] = {
        {"", {}},
        {"garbage\n\n=\x01\xff", {}},
        {"position=-1\nsortcolumn=0\ntoprow=-3\n", {}},
        {"sortcolumn=9\nposition=12x\ntoprow=99999999999\n", {}},
        {"song=%2Fa%20b%0A.mp3\nposition=42\nsortcolumn=8\nsortdescending=1\nsearch=x%3Dy\ntoprow=7",
         {u"/a b\n.mp3"_qs, 42, 8, true, u"x=y"_qs, 7}},
        {"sortdescending=yes\nsong=a\nsong=b\n", {u"b"_qs, 0, -1, false, {}, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes);
        const ResumePoint p = ResumePoint::decode(QByteArrayView(c.bytes));
        EXPECT_EQ(p, c.expected);
        EXPECT_EQ(ResumePoint::decode(p.encode()), p);
    }
    // Beyond the bound nothing is read.
    QByteArray big(ResumePoint::kMaxBytes, '\n');
    big += "toprow=5\n";
    EXPECT_EQ(ResumePoint::decode(big).topRow, 0);
}

class ResumeTest : public SessionFixture
{
protected:
    void fill(Session &s)
    {
        SongList songs;
        for (const char *name : {"Cat", "Ant", "Dog", "Bee", "Eel"}) {
            TSongRecord r = song(name, name);
            r.Path = programFolder + r.Path;
            QFile f(r.Path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            songs.append(r);
        }
        s.lists.replaceAll(songs);
    }
};

} // namespace

TEST_F(ResumeTest, AFreshSessionComesBackToTheSongPausedWithTheSortAndTheSearch)
{
    fill(*session);
    session->list.lvColumnClick(1);
    session->list.lvColumnClick(1); // artist, descending: Eel Dog Cat Bee Ant
    session->search.searchFor(u"e"_qs); // Eel Bee
    ASSERT_EQ(session->lists.shown().size(), 2);
    session->playback.lvDblClick(1);
    players.current->advance(420'000'000); // 42 s
    const QString file = Resume::fileFor(programFolder + u"last.slp"_qs);
    ASSERT_TRUE(Resume::capture(*session, 1).write(file));
    session.reset();

    auto again = std::make_unique<Session>(options());
    fill(*again);
    const int top = Resume::apply(ResumePoint::read(file), *again);
    EXPECT_EQ(top, 1);
    EXPECT_EQ(again->list.sortState().SortColumn, 1);
    EXPECT_TRUE(again->list.sortState().SortDescending);
    EXPECT_EQ(again->search.searchTerm(), u"e"_qs);
    ASSERT_EQ(again->lists.shown().size(), 2);
    EXPECT_EQ(again->lists.shown()[1].Artist, u"Bee"_qs);
    ASSERT_TRUE(again->playback.songLoaded());
    EXPECT_EQ(again->playback.PlayingGivenPath(), programFolder + u"Bee.mp3"_qs);
    EXPECT_FALSE(again->playback.IsPlaying());
    EXPECT_EQ(again->playback.position(), 420'000'000);

    // A song that left the list is not started; the rest still comes back.
    ResumePoint gone = ResumePoint::read(file);
    gone.songPath = u"/nowhere.mp3"_qs;
    gone.topRow = 50;
    auto third = std::make_unique<Session>(options());
    fill(*third);
    EXPECT_EQ(Resume::apply(gone, *third), 1); // within the shown list
    EXPECT_FALSE(third->playback.songLoaded());
    EXPECT_EQ(ResumePoint::read(programFolder + u"none"_qs), ResumePoint());
}
