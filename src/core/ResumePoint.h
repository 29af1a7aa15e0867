#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Where the user left off, kept beside the last playlist: the song that was loaded and its
// position, the sort, the search term and the table's first visible row. The file is read as
// untrusted: a value that does not parse is left at its default, nothing beyond kMaxBytes is
// read, and a file that is not there gives the defaults.
struct ResumePoint
{
    static constexpr qsizetype kMaxBytes = 64 * 1024;
    static constexpr int kMaxColumn = 8;

    QString songPath;       // as the table holds it; empty: no song was loaded
    qint64 position = 0;    // 100-ns units, never negative
    int sortColumn = -1;    // 1..kMaxColumn; -1: in no column's order
    bool sortDescending = false;
    QString searchTerm;     // empty: the whole playlist showed
    int topRow = 0;         // the table's first visible row, never negative

    bool operator==(const ResumePoint &) const = default;

    // "key=value" lines, texts percent-encoded so that any name fits on one line.
    QByteArray encode() const;
    static ResumePoint decode(QByteArrayView bytes);
    // Atomically (a failed write leaves the file as it was); false when it could not be written.
    bool write(const QString &file) const;
    static ResumePoint read(const QString &file);
};
