#pragma once

#include "tags/DeviceRead.h"
#include "tags/ReplayGain.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Where a Vorbis comment block's bytes come from: a range of a file (FLAC, Ogg Vorbis) or a
// packet spread over Ogg pages (Opus). Both move forward only.
class CommentSource
{
public:
    virtual ~CommentSource() = default;
    // Up to n bytes from the current position into out, fewer at the end, moving past them;
    // false only on a read error.
    virtual bool read(qint64 n, QByteArray &out) = 0;
    // Moves n bytes on; past the end the source stays at its end.
    virtual bool skip(qint64 n) = 0;
};

// The bytes of a file from pos up to end (the device's end at most).
class DeviceCommentSource : public CommentSource
{
public:
    DeviceCommentSource(WindowedReader &device, qint64 pos, qint64 end);
    bool read(qint64 n, QByteArray &out) override;
    bool skip(qint64 n) override;

private:
    WindowedReader &m_reader;
    qint64 m_pos;
    qint64 m_end;
};

// The fields of a Vorbis comment block (vendor string, count, "NAME=value" texts) that songs
// use; names compare without regard to letter case, the last of a name wins.
struct VorbisComments
{
    QString Title, Artist, Album, TrackText, Date, Genre, Comment, Vendor;
    ReplayGainValues ReplayGain;

    // Reads the block from the source: a count larger than the block holds ends at the block's
    // end, and only the first 250 bytes of each text are used, the rest skipped by its length.
    // False on a read error; values found before it are dropped.
    bool read(CommentSource &source);
};
