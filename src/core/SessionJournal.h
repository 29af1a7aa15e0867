#pragma once

#include "core/SongRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

// The playlist as the last run left it, kept so that a crash or a kill loses at most the last
// moments of editing. One folder per running window holds two files:
//
//   snapshot  the whole playlist at one moment, written beside and renamed over the old one
//   log       the changes made since that snapshot, appended as they happen
//
// Both are read as untrusted input: every count and length is bounded by the bytes that are
// there, and a record that does not check out ends the replay (a torn last write is dropped).
//
// Byte layout, all numbers little-endian:
//   snapshot: "SJS1", u32 generation, i64 time (ms since the epoch), u32 song count, the songs,
//             u64 check of everything before it
//   log:      "SJL1", u32 generation, then records:
//             "SJR1", u32 kind, i64 time, u32 payload length, payload, u64 check of kind..payload
//   a song:   eight fields (TSongRecord order), each u32 UTF-16 unit count and the units
//   payloads: Append  u32 count, the songs
//             Remove  u32 count, u32 playlist rows, strictly ascending
//             Reorder u32 count (the playlist's size), u32 old row of each new row
//             Clear   nothing
// A log replays only over the snapshot of its own generation: a kill between writing a new
// snapshot and starting its log leaves the old log, which the new snapshot already holds.
namespace SessionJournal {

enum class Kind : std::uint32_t { Append = 1, Remove = 2, Reorder = 3, Clear = 4 };

QByteArray encodeAppend(const SongList &songs, qsizetype from, qint64 timeMs);
QByteArray encodeRemove(const QList<int> &ascendingRows, qint64 timeMs);
// order[j]: the row before the change of the song now at row j.
QByteArray encodeReorder(const std::vector<qsizetype> &order, qint64 timeMs);
QByteArray encodeClear(qint64 timeMs);
QByteArray logHeader(std::uint32_t generation);
QByteArray snapshotHeader(std::uint32_t generation, qint64 timeMs, qsizetype count);
// Appends one song's bytes.
void encodeSong(QByteArray &out, const TSongRecord &song);

// 64-bit FNV-1a, continued from seed.
std::uint64_t check(QByteArrayView bytes, std::uint64_t seed = 14695981039346656037ull);

struct Recovered
{
    bool valid = false;         // a snapshot that checked out
    SongList songs;             // the playlist it and its log give
    qint64 timeMs = 0;          // when the last change that counts was made
    qsizetype changes = 0;      // log records replayed
    bool logCut = false;        // the log ended in a record that did not check out
};

// The playlist the two files give; an invalid snapshot gives nothing (its log means nothing
// without it).
Recovered replay(QByteArrayView snapshot, QByteArrayView log);

// The two files of one journal folder.
class Files
{
public:
    explicit Files(QString folder);

    const QString &folder() const { return m_folder; }
    QString snapshotPath() const;
    QString logPath() const;

    // Writes the whole playlist as generation's snapshot (a temporary file, flushed to the
    // disk, renamed over the old one), then starts that generation's empty log the same way.
    // false when anything failed: the old snapshot and log are then as they were.
    bool writeSnapshot(const SongList &songs, std::uint32_t generation, qint64 timeMs, QString *error = nullptr);
    // Appends records to the log and flushes them to the disk; false when that failed (what
    // was written of them is a torn record that replay drops).
    bool appendLog(QByteArrayView records, QString *error = nullptr);
    qint64 logSize() const;
    // What the folder's files give. Files larger than the limits are not read.
    Recovered read() const;

private:
    QString m_folder;
};

// A journal whose window is gone: it did not end normally.
struct Orphan
{
    QString folder;
    Recovered recovered;
};

// The journal folder of a window: "lock", held while the window runs, beside the two files.
QString lockPath(const QString &folder);
// journals: the folder holding one folder per window. Every journal whose lock is free, the
// newest first, those that give no playlist (a run killed before its first snapshot) last.
QList<Orphan> orphans(const QString &journals);

} // namespace SessionJournal
