#include "session/JournalRecorder.h"

#include "session/UserDialogs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

#include <algorithm>

namespace {

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

JournalRecorder::JournalRecorder(SongLists &lists, QString folder, QObject *parent)
    : QObject(parent), m_lists(lists), m_files(std::move(folder))
{
    QDir().mkpath(m_files.folder());
    m_lock = std::make_unique<QLockFile>(SessionJournal::lockPath(m_files.folder()));
    m_lock->tryLock(0);
    m_timer.setSingleShot(true);
    m_timer.setInterval(kFlushMs);
    connect(&m_timer, &QTimer::timeout, this, &JournalRecorder::writePending);
}

JournalRecorder::~JournalRecorder()
{
    if (m_started)
        m_lists.setPlaylistObserver(nullptr);
    joinWorker();
}

void JournalRecorder::joinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

void JournalRecorder::start()
{
    if (m_started)
        return;
    m_started = true;
    m_lists.setPlaylistObserver(this);
    m_snapshotWanted = true;
    writePending();
}

void JournalRecorder::pend(QByteArray record)
{
    if (!m_started)
        return;
    m_pending.append(record);
    ++m_logRecords;
    if (!m_timer.isActive())
        m_timer.start();
}

void JournalRecorder::songsAppended(qsizetype from)
{
    pend(SessionJournal::encodeAppend(m_lists.AllSongs(), from, now()));
}

void JournalRecorder::rowsRemoved(const QList<int> &ascendingRows)
{
    pend(SessionJournal::encodeRemove(ascendingRows, now()));
}

void JournalRecorder::reordered(const std::vector<qsizetype> &order)
{
    pend(SessionJournal::encodeReorder(order, now()));
}

void JournalRecorder::replaced()
{
    // An empty playlist is one short record; any other is a snapshot of its own.
    if (m_lists.AllSongs().isEmpty()) {
        pend(SessionJournal::encodeClear(now()));
        return;
    }
    m_snapshotWanted = true;
    if (!m_timer.isActive())
        m_timer.start();
}

void JournalRecorder::writePending()
{
    if (!m_started || m_writing)
        return; // the running snapshot comes back here when it is done
    if (m_logRecords > kMaxLogRecords || m_files.logSize() > kMaxLogBytes)
        m_snapshotWanted = true;
    if (m_snapshotWanted) {
        beginSnapshot();
        return;
    }
    if (m_pending.isEmpty())
        return;
    QString error;
    if (m_files.appendLog(m_pending, &error)) {
        m_pending.clear();
        m_failureTold = false;
    } else {
        failed(error); // kept, and tried again with the next change
    }
}

void JournalRecorder::beginSnapshot()
{
    m_snapshotWanted = false;
    m_beforeSnapshot = std::exchange(m_pending, QByteArray());
    m_writing = true;
    // The list is shared with the copy until the window changes it: the thread reads a
    // playlist nobody writes.
    const SongList songs = m_lists.AllSongs();
    const std::uint32_t generation = m_generation + 1;
    const qint64 time = now();
    joinWorker();
    m_worker = std::thread([this, songs, generation, time] {
        QString error;
        const bool ok = m_files.writeSnapshot(songs, generation, time, &error);
        QMetaObject::invokeMethod(this, [this, ok, error] { snapshotDone(ok, error); }, Qt::QueuedConnection);
    });
}

void JournalRecorder::snapshotDone(bool ok, const QString &error)
{
    m_writing = false;
    if (ok) {
        ++m_generation;
        m_beforeSnapshot.clear();
        m_logRecords = int(m_pending.size() > 0);
        m_failureTold = false;
    } else {
        // The old snapshot and log stand: what the new snapshot held goes to the old log.
        m_pending.prepend(std::exchange(m_beforeSnapshot, QByteArray()));
        failed(error);
    }
    if (!m_pending.isEmpty() || m_snapshotWanted)
        writePending();
}

void JournalRecorder::failed(const QString &error)
{
    if (m_failureTold)
        return;
    m_failureTold = true;
    Q_EMIT writeFailed(QStringLiteral("Unable to write to %1. %2").arg(m_files.folder(), error));
}

void JournalRecorder::flush()
{
    m_timer.stop();
    for (int round = 0; round < 3; ++round) {
        writePending();
        while (m_writing) {
            joinWorker();
            QCoreApplication::sendPostedEvents(this);
        }
        if (m_pending.isEmpty() && !m_snapshotWanted)
            break;
    }
}

void JournalRecorder::finish()
{
    m_lists.setPlaylistObserver(nullptr);
    m_started = false;
    m_timer.stop();
    joinWorker();
    m_lock->unlock();
    QDir(m_files.folder()).removeRecursively();
}

JournalRecovery::JournalRecovery(QString journals)
    : m_journals(std::move(journals))
{
}

QString JournalRecovery::newFolder() const
{
    // The process and the moment: two windows, or a restart after a crash, never meet.
    return m_journals + QStringLiteral("/%1-%2").arg(QCoreApplication::applicationPid()).arg(now());
}

QString JournalRecovery::question(const LanguageCode &lang, const Orphan &orphan)
{
    const QString time = QDateTime::fromMSecsSinceEpoch(orphan.recovered.timeMs).toString(QStringLiteral("HH:mm"));
    const QString count = QString::number(orphan.recovered.songs.size());
    return lang.text(u"Sonalo wurde nicht ordnungsgemäß beendet. Die Playlist von %1 mit %2 Songs wiederherstellen?",
                     u"Sonalo did not close properly. Restore the playlist of %1 with %2 songs?")
        .arg(time, count);
}

void JournalRecovery::offer(SongLists &lists, UserDialogs &dialogs, const LanguageCode &lang)
{
    const QList<Orphan> found = SessionJournal::orphans(m_journals);
    for (const Orphan &o : found) {
        auto lock = std::make_unique<QLockFile>(SessionJournal::lockPath(o.folder));
        if (lock->tryLock(0)) {
            m_seen.append(o.folder);
            m_held.push_back(std::move(lock));
        }
    }
    // The newest that holds songs the start does not show already (an empty playlist, or the one
    // the start loaded, is nothing to restore).
    for (const Orphan &o : found) {
        if (!m_seen.contains(o.folder) || !o.recovered.valid || o.recovered.songs.isEmpty()
            || o.recovered.songs == lists.AllSongs())
            continue;
        if (dialogs.ask(nullptr, question(lang, o))) {
            const auto scope = lists.edit(SongLists::Refresh::TableAndStatus);
            lists.replaceAll(o.recovered.songs);
        }
        return;
    }
}

void JournalRecovery::closeNormally()
{
    for (auto &lock : m_held)
        lock->unlock();
    m_held.clear();
    for (const QString &folder : std::as_const(m_seen))
        QDir(folder).removeRecursively();
    m_seen.clear();
}
