// The table's long steps at a small size, driven through their controllers: each ticks its
// keep-alive, the list is whole at every tick (a repaint in the middle finds every song exactly
// once), and Cancel leaves a consistent list. Beside them, the queue holding every song.
#include "session/SessionFixture.h"

#include "core/FileListMime.h"
#include "playback/PlayQueue.h"

#include <QMimeData>
#include <QSet>
#include <QThread>

#include <numeric>

namespace {

// Every song of the list exactly once: its paths are all different.
bool eachSongOnce(const SongList &songs)
{
    QSet<QString> paths;
    for (const TSongRecord &s : songs)
        paths.insert(s.Path);
    return paths.size() == songs.size();
}

SongList numberedSongs(qsizetype n, qsizetype from = 0)
{
    SongList songs;
    songs.reserve(n);
    for (qsizetype i = from; i < from + n; ++i) {
        TSongRecord s;
        s.Artist = QStringLiteral("Artist %1").arg(i % 97);
        s.Title = QStringLiteral("Title %1").arg(i);
        s.Path = QStringLiteral("/music/%1.mp3").arg(i);
        songs.append(s);
    }
    return songs;
}

QList<int> everyRow(qsizetype n)
{
    QList<int> rows(n);
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

// Adding a file takes a while, as reading its tags does: a paste of a few ticks.
constexpr int kFileMs = 15;

class LongStepsTest : public SessionFixture
{
protected:
    void SetUp() override
    {
        testApp();
        ASSERT_TRUE(folder.isValid());
        programFolder = folder.path() + QLatin1Char('/');
        session = std::make_unique<Session>(options([this](const QString &path, bool) {
            QThread::msleep(kFileMs);
            TSongRecord s;
            s.Path = path;
            session->lists.append(std::move(s));
        }));
    }

    // Notes each tick of the running step and checks the list then (by default: every song
    // once); cancels at tick cancelAt.
    void watchTicks(int cancelAt, std::function<bool()> whole = {})
    {
        if (!whole)
            whole = [this] { return eachSongOnce(session->lists.shown()); };
        session->progress.setPump([this, cancelAt, whole] {
            ++ticks;
            EXPECT_TRUE(session->progress.running());
            EXPECT_TRUE(whole()) << "tick " << ticks;
            if (ticks == cancelAt)
                session->progress.cancel();
        });
    }

    int ticks = 0;
};

} // namespace

// A search runs with the strip's keep-alive; Cancel keeps the view that was shown (the playlist
// or the last result) and its status line.
TEST_F(LongStepsTest, SearchTicksAndCancelKeepsTheOldView)
{
    struct Case
    {
        const char *what;
        bool resultShown;
        int cancelAt; // 0: never
    };
    for (const Case c : {Case{"to the end", false, 0}, Case{"cancelled over the playlist", false, 1},
                         Case{"cancelled over a result", true, 1}}) {
        SCOPED_TRACE(c.what);
        // Large enough for the keep-alive's clock: doubled until one search ticks.
        for (qsizetype n = 100'000; n <= 3'200'000; n *= 2) {
            if (session->lists.AllSongs().size() != n)
                session->lists.replaceAll(numberedSongs(n));
            session->progress.setPump({}); // the last case's checks are gone
            session->search.AlleClick();
            if (c.resultShown) {
                session->search.setSearchTerm(u8("Artist 5"));
                session->search.SuchenClick();
            }
            const SongList before = session->lists.shown();
            const QString status = session->list.statusText();
            ticks = 0;
            // The search only reads: the view a repaint finds is the one before, untouched.
            watchTicks(c.cancelAt, [&] {
                return session->lists.shown().constData() == before.constData() && session->lists.shown().size() == before.size();
            });
            session->search.setSearchTerm(u8("Title 1"));
            const bool refreshed = session->search.SuchenClick();
            if (ticks == 0)
                continue;
            EXPECT_FALSE(session->progress.running());
            if (c.cancelAt) {
                EXPECT_TRUE(refreshed);
                EXPECT_EQ(session->lists.ShowingFound(), c.resultShown);
                EXPECT_EQ(session->lists.shown(), before);
                EXPECT_EQ(session->list.statusText(), status);
            } else {
                EXPECT_FALSE(refreshed);
                EXPECT_TRUE(session->lists.ShowingFound());
                EXPECT_TRUE(session->lists.shown().size() > 1 && session->lists.shown().size() < n);
            }
            break;
        }
        EXPECT_GT(ticks, 0);
    }
}

// A paste of many files shows its count as it goes; Cancel stops before the next file and the
// songs added so far stay, each once; the next paste runs whole.
TEST_F(LongStepsTest, PasteTicksAndCancelKeepsWhatWasAdded)
{
    QStringList names;
    for (int i = 0; i < 12; ++i) {
        names.append(programFolder + QStringLiteral("song %1.mp3").arg(i));
        QFile file(names.back());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const std::unique_ptr<QMimeData> clipboard(fileListMimeData(names));
    QList<qint64> shownCounts;
    QObject::connect(&session->progress, &LongStepProgress::progressed,
                     [&] { shownCounts.append(session->progress.done()); });
    struct Case
    {
        int cancelAt;
        bool whole;
    };
    for (const Case c : {Case{2, false}, Case{0, true}}) {
        session->lists.clear();
        shownCounts.clear();
        ticks = 0;
        watchTicks(c.cancelAt);
        session->playlist.mp11Click(clipboard.get());
        const SongList &songs = session->lists.AllSongs();
        EXPECT_GE(ticks, c.cancelAt) << c.cancelAt;
        EXPECT_EQ(songs.size() == names.size(), c.whole) << songs.size();
        EXPECT_GT(songs.size(), 0);
        EXPECT_TRUE(eachSongOnce(songs));
        for (qsizetype i = 0; i < songs.size(); ++i)
            EXPECT_EQ(songs[i].Path, names[i]);
        EXPECT_FALSE(session->progress.running());
        EXPECT_FALSE(session->scan.ScanCancelled);
        // The count shown grows with the songs added, never past them.
        ASSERT_FALSE(shownCounts.isEmpty());
        EXPECT_TRUE(std::is_sorted(shownCounts.begin(), shownCounts.end()));
        EXPECT_GT(shownCounts.last(), 0);
        EXPECT_LE(shownCounts.last(), songs.size());
    }
}

// Every row queued (Ctrl+A, Ctrl+E), then the playlist changes: the queue keeps its order and
// loses exactly the songs that left the playlist.
TEST_F(LongStepsTest, QueueOfEverySongFollowsThePlaylist)
{
    struct Case
    {
        const char *what;
        std::function<void(SongLists &)> edit;
        QList<int> left; // queued songs (by number) that must be gone
    };
    const Case cases[] = {
        {"one row deleted", [](SongLists &l) { l.removeShownRows({3}); }, {3}},
        {"a run and a single row", [](SongLists &l) { l.removeShownRows({2, 3, 4, 5, 6, 8}); }, {2, 3, 4, 5, 6, 8}},
        {"reversed", [](SongLists &l) {
             std::vector<qsizetype> order(size_t(l.AllSongs().size()));
             std::iota(order.rbegin(), order.rend(), 0);
             l.reorderPlaylist(order);
         }, {}},
        {"deleted from a result only", [](SongLists &l) {
             l.showFound(l.AllSongs().mid(0, 5));
             l.removeShownRows({0, 1});
         }, {}},
        {"the same paths in other records", [](SongLists &l) { l.replaceAll(numberedSongs(200)); }, {}},
        {"the first half replaced", [](SongLists &l) { l.replaceAll(numberedSongs(100, 100)); }, [] {
             QList<int> gone(100);
             std::iota(gone.begin(), gone.end(), 0);
             return gone;
         }()},
        {"emptied", [](SongLists &l) { l.clear(); }, everyRow(200)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SongLists lists;
        lists.replaceAll(numberedSongs(200));
        PlayQueue queue(lists);
        queue.appendShownRows(everyRow(200));
        c.edit(lists);
        QStringList expected;
        for (int i = 0; i < 200; ++i)
            if (!c.left.contains(i))
                expected.append(QStringLiteral("/music/%1.mp3").arg(i));
        QStringList queued;
        for (const TSongRecord &s : queue.songs())
            queued.append(s.Path);
        EXPECT_EQ(queued, expected);
    }
}
