// The real writers killed at random moments (SIGKILL, seeded): what is on the disk afterwards is
// always a whole state, never a cut or a mix, and the journal is at most two seconds behind.
#include "session/KillDriverLists.h"

#include "core/Playlist.h"
#include "core/SessionJournal.h"

#include "TempDir.h"
#include "support/TestSongs.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <random>

namespace {

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// Starts the driver and kills it delayMs after it printed `lines` lines; returns the moment of
// the kill and everything it printed.
qint64 runAndKill(const QStringList &args, int delayMs, int lines, QByteArray &printed)
{
    QProcess driver;
    driver.start(QStringLiteral(SONALO_KILL_DRIVER), args);
    EXPECT_TRUE(driver.waitForStarted(10000));
    QElapsedTimer bound;
    bound.start();
    while (printed.count('\n') < lines && bound.elapsed() < 120000) {
        driver.waitForReadyRead(50);
        printed += driver.readAllStandardOutput();
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < delayMs)
        driver.waitForReadyRead(5);
    const qint64 killedAt = now();
    ::kill(pid_t(driver.processId()), SIGKILL);
    driver.waitForFinished(10000);
    printed += driver.readAllStandardOutput();
    return killedAt;
}

std::uint64_t checkOf(const SongList &songs)
{
    QByteArray bytes;
    for (const TSongRecord &r : songs)
        SessionJournal::encodeSong(bytes, r);
    return SessionJournal::check(bytes);
}

QStringList leftovers(const QString &folder, const QString &keep)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(keep);
    return names;
}

} // namespace

TEST(KillTest, TheJournalGivesTheListOfAtMostTwoSecondsBeforeAKill)
{
    TempDir dir;
    std::mt19937 random(20261209);
    int withLongRuns = 0;
    for (int kill = 0; kill < 55; ++kill) {
        SCOPED_TRACE(kill);
        const QString folder = dir.path(QStringLiteral("journal-%1").arg(kill));
        // Most runs end within a flush interval or two; a few run long enough for the bound to bite.
        const bool longRun = kill >= 50;
        const int delay = longRun ? 2200 + int(random() % 800) : 20 + int(random() % 400);
        QByteArray printed;
        const qint64 killedAt = runAndKill({u8("journal"), folder, QString::number(kill)}, delay, 1, printed);

        // The states the driver's playlist went through: the empty start, then one a line.
        QList<std::pair<qint64, quint64>> states{{0, checkOf({})}};
        for (const QByteArray &line : printed.split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 2)
                states.append({parts[0].toLongLong(), parts[1].toULongLong()});
        }
        ASSERT_GT(states.size(), 1);
        QList<quint64> acceptable;
        for (qsizetype i = 0; i < states.size(); ++i) {
            const bool recent = states[i].first >= killedAt - 2000;
            const bool lastOld = !recent && (i + 1 == states.size() || states[i + 1].first >= killedAt - 2000);
            if (recent || lastOld)
                acceptable.append(states[i].second);
        }
        withLongRuns += longRun && acceptable.size() < states.size();
        const SessionJournal::Recovered r = SessionJournal::Files(folder).read();
        ASSERT_TRUE(r.valid);
        EXPECT_TRUE(acceptable.contains(checkOf(r.songs)))
            << r.songs.size() << " songs, " << r.changes << " changes, " << states.size() << " states";
    }
    EXPECT_EQ(withLongRuns, 5); // the long runs excluded states older than two seconds
}

TEST(KillTest, ASavedPlaylistIsAlwaysTheOldOrTheNewOne)
{
    TempDir dir;
    const QString file = dir.path(u8("list.slp"));
    const SongList lists[2] = {KillDriverLists::saved(0), KillDriverLists::saved(1)};
    std::mt19937 random(7);
    int seenBoth = 0;
    for (int kill = 0; kill < 20; ++kill) {
        SCOPED_TRACE(kill);
        QByteArray printed;
        // After one, two or three whole saves (so that both lists are met however slow the
        // machine), somewhere in the next.
        runAndKill({u8("save"), file, QString::number(kill)}, int(random() % 400), 2 + int(random() % 3), printed);
        if (!QFile::exists(file))
            continue; // killed before the first save ended
        SongLists read;
        LoadPlaylist(read, file);
        const bool isA = read.AllSongs() == lists[0], isB = read.AllSongs() == lists[1];
        EXPECT_TRUE(isA || isB) << read.AllSongs().size();
        seenBoth |= isA ? 1 : 2;
        // A temporary file a kill left is gone once the next save to the same place is done.
        EXPECT_LE(leftovers(dir.path(), u8("list.slp")).size(), 1) << leftovers(dir.path(), u8("list.slp")).join(u8(", ")).toStdString();
    }
    EXPECT_EQ(seenBoth, 3);
}

TEST(KillTest, ASettingsFileIsAlwaysTheOldOrTheNewOne)
{
    TempDir dir;
    const QString file = dir.path(u8("mp3player.ini"));
    std::mt19937 random(11);
    for (int kill = 0; kill < 20; ++kill) {
        SCOPED_TRACE(kill);
        QByteArray printed;
        runAndKill({u8("settings"), file, QString::number(kill)}, 30 + int(random() % 200), 0, printed);
        if (!QFile::exists(file))
            continue;
        const QByteArray text = TempDir::read(file);
        EXPECT_TRUE(text == KillDriverLists::settings(0) || text == KillDriverLists::settings(1)) << text.size();
        EXPECT_LE(leftovers(dir.path(), u8("mp3player.ini")).size(), 1);
    }
}
