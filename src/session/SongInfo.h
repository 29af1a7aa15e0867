#pragma once

#include "tags/SongDetails.h"
#include "tags/StreamDetails.h"

#include <QList>
#include <QString>

// What the file information window tells of one file, without the window: the stream's
// details and every tag field, as rows of a name and a value. The stream rows are named by a
// key the window looks its caption up by ("codec", "bitrate", ...); a tag row by the field's
// own name in the file.
class SongInfo
{
public:
    struct Row
    {
        QString key;   // a stream row's key; empty for a tag field
        QString name;  // the tag field's name
        QString value;
        bool operator==(const Row &) const = default;
    };

    // Reads the file once for its stream values and once for its tag fields.
    static SongInfo read(const QString &path);

    // The stream rows that have a value, then the tag fields.
    QList<Row> rows() const;

    // "1:02:03.456" or "3:25.007": the length to the millisecond.
    static QString lengthText(qint64 milliseconds);

    StreamDetails stream;
    SongDetails details;
};
