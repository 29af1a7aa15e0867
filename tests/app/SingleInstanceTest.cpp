// Two and more real copies of the built program, off screen: a second start with files hands
// them to the first and ends; one without files, or from another program file, runs on its own.
#include "core/OutputSettings.h"
#include "core/Playlist.h"
#include "core/ResumePoint.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include "support/TestSongs.h"

namespace {

// The program's full path decides which copies meet: each test program is a link of its own.
QString programCopy(const QDir &dir, const char *name)
{
    dir.mkpath(u8(name));
    const QString target = dir.filePath(u8(name) + u8("/sonalo"));
    const QByteArray from = QFile::encodeName(QStringLiteral(SONALO_E2E_PROGRAM));
    if (::link(from.constData(), QFile::encodeName(target).constData()) != 0)
        QFile::copy(QFile::decodeName(from), target);
    return target;
}

QStringList tableLines(const QString &dump)
{
    QFile f(dump);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString lastCell(const QString &line)
{
    return line.section(QLatin1Char('\t'), -1);
}

class SingleInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        ASSERT_TRUE(runtime.isValid());
        chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        dir = QDir(work.path());
    }

    void TearDown() override
    {
        for (QProcess *p : running) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
    }

    QProcess *start(const QString &program, const QStringList &arguments, const QString &cwd,
                    const QString &dump = {}, int handovers = 0, bool keepOpen = false)
    {
        auto *p = new QProcess;
        running.append(p);
        p->setWorkingDirectory(cwd);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u8("QT_QPA_PLATFORM"), u8("offscreen"));
        env.insert(u8("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(u8("SONALO_AUDIO_SINK"), u8("fakesink"));
        // The per-user data folder (the journals) of this test alone: a copy killed here must not
        // leave another test a playlist to restore.
        env.insert(u8("XDG_DATA_HOME"), dir.filePath(u8("data")));
        if (keepOpen)
            env.insert(u8("SONALO_TEST_DUMP_KEEP_OPEN"), u8("1"));
        if (!dump.isEmpty())
            env.insert(u8("SONALO_TEST_DUMP_TABLE"), dump);
        if (handovers > 0)
            env.insert(u8("SONALO_TEST_DUMP_AFTER_HANDOVERS"), QString::number(handovers));
        p->setProcessEnvironment(env);
        p->start(program, arguments);
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }

    // The sockets of the copies listening there (each copy that keeps running owns one).
    int listeningCopies() const
    {
        int n = 0;
        for (const QFileInfo &channel : QDir(runtime.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
            n += int(QDir(channel.filePath()).entryList({u8("*.socket")}, QDir::System).size());
        return n;
    }

    bool waitForCopies(int n, int boundMs = 30000) const
    {
        QElapsedTimer t;
        t.start();
        while (listeningCopies() < n && t.elapsed() < boundMs)
            QThread::msleep(50);
        return listeningCopies() >= n;
    }

    QString file(const char *name, const QByteArray &bytes = "not audio")
    {
        const QString path = dir.filePath(u8(name));
        dir.mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    QTemporaryDir work{QStringLiteral(SONALO_BINARY_DIR "/single-instance-XXXXXX")};
    QTemporaryDir runtime;
    QDir dir;
    QList<QProcess *> running;
};

} // namespace

TEST_F(SingleInstanceTest, SecondStartsHandTheirFilesToTheFirstCopyOfTheSameProgram)
{
    const QString programA = programCopy(dir, "a");
    const QString programB = programCopy(dir, "b");
    file("x/a.mp3");
    file("y/c.mp3");
    file("d.mp3");
    TSongRecord listed;
    listed.Title = u8("Listed");
    listed.Path = u8("/nowhere/listed.mp3");
    SavePlaylist({listed}, dir.filePath(u8("x/b.slp")), TTextEncoding::teUtf8, PictureStyle());

    const QString firstDump = dir.filePath(u8("first.txt"));
    QProcess *first = start(programA, {}, work.path(), firstDump, 2);
    ASSERT_TRUE(waitForCopies(1)) << "the first copy never listened";

    // From other working folders, relative names: they arrive absolute, in order.
    const QString lostDump = dir.filePath(u8("second.txt"));
    QProcess *second = start(programA, {u8("a.mp3"), u8("b.slp")}, dir.filePath(u8("x")), lostDump);
    ASSERT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    QProcess *third = start(programA, {u8("../y/c.mp3")}, dir.filePath(u8("x")), lostDump);
    ASSERT_TRUE(third->waitForFinished(30000));
    EXPECT_EQ(third->exitCode(), 0) << third->readAllStandardError().toStdString();
    EXPECT_FALSE(QFile::exists(lostDump)) << "a handing-over start showed a window";
    EXPECT_EQ(listeningCopies(), 1) << "a handing-over start stayed";

    // Another program file: its own copy with its own files.
    const QString otherDump = dir.filePath(u8("other.txt"));
    QProcess *other = start(programB, {u8("d.mp3")}, work.path(), otherDump);
    ASSERT_TRUE(other->waitForFinished(60000));
    EXPECT_EQ(other->exitCode(), 0) << other->readAllStandardError().toStdString();
    const QStringList otherLines = tableLines(otherDump);
    ASSERT_EQ(otherLines.size(), 2) << otherLines.join(u8("\n")).toStdString();
    EXPECT_EQ(lastCell(otherLines[1]), dir.filePath(u8("d.mp3")));

    ASSERT_TRUE(first->waitForFinished(60000)) << "the first copy never opened the hand-overs";
    EXPECT_EQ(first->exitCode(), 0) << first->readAllStandardError().toStdString();
    const QStringList lines = tableLines(firstDump);
    ASSERT_EQ(lines.size(), 4) << lines.join(u8("\n")).toStdString();
    EXPECT_EQ(lastCell(lines[1]), dir.filePath(u8("x/a.mp3")));
    EXPECT_EQ(lastCell(lines[2]), u8("/nowhere/listed.mp3"));
    EXPECT_EQ(lastCell(lines[3]), dir.filePath(u8("y/c.mp3")));
}

// --enqueue in a first start fills its own queue; in a second start the running copy's.
TEST_F(SingleInstanceTest, EnqueueLinesSongsUpInTheRunningCopy)
{
    const QString program = programCopy(dir, "q");
    const QString a = file("q/a.mp3"), b = file("q/b.mp3"), c = file("c.mp3");
    const QString dump = dir.filePath(u8("queue.txt"));
    QProcess *first = start(program, {u8("--enqueue"), a}, work.path(), dump, 1);
    ASSERT_TRUE(waitForCopies(1));
    QProcess *second = start(program, {u8("--enqueue"), u8("b.mp3"), u8("../c.mp3")}, dir.filePath(u8("q")));
    ASSERT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    ASSERT_TRUE(first->waitForFinished(60000));
    EXPECT_EQ(tableLines(dump).size(), 4);
    QFile queue(dump + u8(".queue"));
    ASSERT_TRUE(queue.open(QIODevice::ReadOnly));
    QStringList queued = QString::fromUtf8(queue.readAll()).split(u8("\n"), Qt::SkipEmptyParts);
    // The hand-over may arrive while the first copy's splash still runs, before its own
    // arguments are opened: a may come first or last, b and c come in their order.
    EXPECT_EQ(queued.removeAll(a), 1) << queued.join(u8(" ")).toStdString();
    EXPECT_EQ(queued, QStringList({b, c}));
}

// With the last playlist restored, a start comes back to where the previous run left off: the
// song paused at its second, the sort and the first visible row, and keeps them for the next.
TEST_F(SingleInstanceTest, ARestartComesBackWhereTheLastRunLeftOff)
{
    const QString program = programCopy(dir, "r");
    // The settings (keeping the last playlist among them) are read at the first activation.
    qputenv("SONALO_TEST_DUMP_AFTER_ACTIVATION", "1");
    const auto unset = qScopeGuard([] { qunsetenv("SONALO_TEST_DUMP_AFTER_ACTIVATION"); });
    QFile settings(dir.filePath(u8("r/mp3player.ini")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[einstellungen]\nautoload=1\nletzteplaylist=1\n");
    settings.close();
    const QString tone = QStringLiteral(SONALO_BINARY_DIR "/src/app/demo/04-dreiklang.wav");
    ASSERT_TRUE(QFileInfo(tone).isFile());
    SongList songs;
    for (int i = 0; i < 100; ++i) {
        TSongRecord r;
        r.Title = u8("Song %1").arg(i);
        r.Path = dir.filePath(u8("r/songs/%1.wav").arg(i, 3, 10, QLatin1Char('0')));
        dir.mkpath(u8("r/songs"));
        ASSERT_TRUE(QFile::link(tone, r.Path) || QFile::copy(tone, r.Path));
        songs.append(r);
    }
    const QString list = SavePlaylist(songs, dir.filePath(u8("r/list")), TTextEncoding::teUtf8, PictureStyle());

    // The first run keeps the playlist at its close; where it was is then written by hand.
    QProcess *first = start(program, {list}, work.path(), dir.filePath(u8("r1.txt")));
    ASSERT_TRUE(first->waitForFinished(60000));
    EXPECT_EQ(first->exitCode(), 0) << first->readAllStandardError().toStdString();
    const QString last = dir.filePath(u8("data/Sonalo/last-playlist.slp"));
    ASSERT_TRUE(QFileInfo(last).isFile());
    ResumePoint left;
    left.songPath = songs[37].Path;
    left.position = 20'000'000; // 2 s into a 5-second song
    left.sortColumn = 8;        // by file, last first
    left.sortDescending = true;
    left.topRow = 20;
    ASSERT_TRUE(left.write(last + u8(".resume")));

    const QString dump = dir.filePath(u8("r2.txt"));
    QProcess *second = start(program, {}, work.path(), dump);
    ASSERT_TRUE(second->waitForFinished(60000));
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    const QStringList rows = tableLines(dump);
    ASSERT_EQ(rows.size(), 101);
    EXPECT_EQ(lastCell(rows[1]), songs[99].Path);
    QFile song(dump + u8(".song"));
    ASSERT_TRUE(song.open(QIODevice::ReadOnly));
    const QStringList loaded = QString::fromUtf8(song.readAll()).split(QLatin1Char('\n'));
    ASSERT_GE(loaded.size(), 3);
    EXPECT_EQ(loaded[0], songs[37].Path);
    EXPECT_EQ(loaded[1], u8("0")) << "the song plays instead of waiting";
    EXPECT_EQ(loaded[2].toLongLong() / 10'000'000, 2) << loaded[2].toStdString();
    // Its close keeps the same place for the next start.
    const ResumePoint kept = ResumePoint::read(last + u8(".resume"));
    EXPECT_EQ(kept.songPath, left.songPath);
    EXPECT_EQ(kept.position / 10'000'000, 2);
    EXPECT_EQ(kept.sortColumn, 8);
    EXPECT_TRUE(kept.sortDescending);
    EXPECT_EQ(kept.topRow, 20);
}

TEST_F(SingleInstanceTest, StartWithoutFilesIsASecondCopyThatListensToo)
{
    const QString program = programCopy(dir, "a");
    QProcess *first = start(program, {}, work.path());
    ASSERT_TRUE(waitForCopies(1));
    const QString dump = dir.filePath(u8("second.txt"));
    QProcess *second = start(program, {}, work.path(), dump, 1);
    ASSERT_TRUE(waitForCopies(2)) << "the second copy does not listen";
    EXPECT_EQ(second->state(), QProcess::Running);
    // The copy started last takes the next start's files.
    QProcess *third = start(program, {file("e.mp3")}, work.path());
    ASSERT_TRUE(third->waitForFinished(30000));
    EXPECT_EQ(third->exitCode(), 0);
    ASSERT_TRUE(second->waitForFinished(60000));
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    const QStringList lines = tableLines(dump);
    ASSERT_EQ(lines.size(), 2) << lines.join(u8("\n")).toStdString();
    EXPECT_EQ(lastCell(lines[1]), dir.filePath(u8("e.mp3")));
    EXPECT_EQ(first->state(), QProcess::Running) << "the first copy is untouched";
}

// The real program killed after its songs came by hand-over: the playlist a restart would
// offer is exactly the one it had (the kill comes more than two seconds after the last change).
TEST_F(SingleInstanceTest, AKilledCopyLeavesItsPlaylistForTheNextStart)
{
    const QString program = programCopy(dir, "k");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const QString dump = dir.filePath(u8("kill-%1.txt").arg(round));
        QProcess *first = start(program, {}, work.path(), dump, 2, true);
        ASSERT_TRUE(waitForCopies(1)) << "the copy never listened";
        const QString a = file(qPrintable(u8("k%1/Alpha - One.mp3").arg(round)));
        const QString b = file(qPrintable(u8("k%1/Beta - Two.mp3").arg(round)));
        QProcess *second = start(program, {a}, work.path());
        ASSERT_TRUE(second->waitForFinished(30000));
        QProcess *third = start(program, {b}, work.path());
        ASSERT_TRUE(third->waitForFinished(30000));
        QElapsedTimer t;
        t.start();
        while (!QFile::exists(dump) && t.elapsed() < 30000)
            QThread::msleep(50);
        ASSERT_TRUE(QFile::exists(dump)) << "the hand-overs never arrived";
        QThread::msleep(2200);
        first->kill();
        ASSERT_TRUE(first->waitForFinished(10000));
        EXPECT_EQ(first->exitStatus(), QProcess::CrashExit);
        // The killed copy's socket stays behind; the next round's copy takes the channel over, but
        // counting sockets must not mistake the stale one for it.
        for (const QFileInfo &channel : QDir(runtime.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
            for (const QString &socket : QDir(channel.filePath()).entryList({u8("*.socket")}, QDir::System))
                QFile::remove(channel.filePath() + QLatin1Char('/') + socket);

        QProcess show;
        show.start(QStringLiteral(SONALO_CLI_PROGRAM), {u8("journal"), u8("show"), dir.filePath(u8("data/Sonalo/journal"))});
        ASSERT_TRUE(show.waitForFinished(30000));
        EXPECT_EQ(show.exitCode(), 0) << show.readAllStandardError().toStdString();
        const QStringList songs = QString::fromUtf8(show.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        // Each killed copy's journal stays until a normal close: the newest is this round's.
        ASSERT_EQ(songs.size(), 2);
        EXPECT_TRUE(songs[0].startsWith(u8("Alpha\tOne"))) << songs[0].toStdString();
        EXPECT_TRUE(songs[1].startsWith(u8("Beta\tTwo"))) << songs[1].toStdString();
    }
}
