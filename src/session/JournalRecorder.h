#pragma once

#include "core/LanguageCode.h"
#include "core/SessionJournal.h"
#include "core/SongLists.h"

#include <QList>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class UserDialogs;

// Keeps this window's playlist in its journal folder while the program runs: every change of
// the playlist is encoded as it is made and written within kFlushMs; a load, an undo or a long
// log is written as a new snapshot instead, on a thread of its own (a copy of the list costs
// nothing until the list changes), while later changes wait in memory. Runs on the window's
// thread; only the snapshot's writing runs on the other.
class JournalRecorder : public QObject, public SongLists::PlaylistObserver
{
    Q_OBJECT
public:
    static constexpr int kFlushMs = 1000;
    // A log past either bound is folded into a new snapshot.
    static constexpr qint64 kMaxLogBytes = 32 << 20;
    static constexpr int kMaxLogRecords = 5000;

    // folder: this window's own journal folder, made and locked here. The playlist is observed
    // from start() on.
    JournalRecorder(SongLists &lists, QString folder, QObject *parent = nullptr);
    ~JournalRecorder() override;

    // The first snapshot: the playlist as the start left it.
    void start();
    // Writes what waits now, also a snapshot, and waits for it (tests, closing).
    void flush();
    // A normal close: the journal ends and its folder goes.
    void finish();
    const QString &folder() const { return m_files.folder(); }
    bool started() const { return m_started; }

    void songsAppended(qsizetype from) override;
    void rowsRemoved(const QList<int> &ascendingRows) override;
    void reordered(const std::vector<qsizetype> &order) override;
    void replaced() override;

Q_SIGNALS:
    // A write failed; told once until a write succeeds again.
    void writeFailed(const QString &message);

private:
    void pend(QByteArray record);
    void writePending();
    void beginSnapshot();
    void snapshotDone(bool ok, const QString &error);
    void failed(const QString &error);
    void joinWorker();

    SongLists &m_lists;
    SessionJournal::Files m_files;
    std::unique_ptr<QLockFile> m_lock;
    QTimer m_timer;
    QByteArray m_pending;          // records not yet in the log
    QByteArray m_beforeSnapshot;   // records a running snapshot holds, for the old log if it fails
    bool m_snapshotWanted = false;
    bool m_started = false;
    std::atomic<bool> m_writing{false};
    std::thread m_worker;
    std::uint32_t m_generation = 0;
    int m_logRecords = 0;
    bool m_failureTold = false;
};

// The journals of runs that did not end normally, and what the start does with them.
class JournalRecovery
{
public:
    using Orphan = SessionJournal::Orphan;

    // journals: the folder holding one folder per window. New folders are named so that two
    // windows never share one.
    explicit JournalRecovery(QString journals);

    QString newFolder() const;
    // The question the start asks, in the language of the window.
    static QString question(const LanguageCode &lang, const Orphan &orphan);
    // After the start's own loading: offers the newest orphan whose playlist holds songs and
    // differs from the one shown, and restores it on Yes. Every orphan seen is ended at the
    // next normal close.
    void offer(SongLists &lists, UserDialogs &dialogs, const LanguageCode &lang);
    // A normal close: the orphans seen at the start go.
    void closeNormally();

private:
    QString m_journals;
    QStringList m_seen;
    // The locks of the orphans seen, held so that a second window does not offer them too.
    std::vector<std::unique_ptr<QLockFile>> m_held;
};
