#pragma once

#include "tags/TagReader.h"

#include <QByteArray>
#include <QIODevice>

class WindowedReader;
#include <QList>
#include <QString>

#include <cstdint>

using TBuffer = QByteArray;

// One frame as read: identifier, decoded size, raw header and data.
struct TID3v2Frame
{
    QByteArray ID;
    std::int32_t Size = 0;
    TBuffer Header;
    TBuffer Data;
};

// An ID3v2 tag of major version 2, 3 or 4 at the start of a file: its header, its frames as
// raw bytes, and six text values taken from them. Read only.
class TID3v2Tag : public TagReader<TID3v2Tag>
{
public:
    enum ValueIndex { Artist = 0, Title, Album, Year, Genre, Track, ValueCount };

    TID3v2Tag() { ResetData(); }

    // The reset state, which is not the default one of the members.
    void ResetData();

    // ReadHeader and, when a supported header was read, ReadFrames: the code of the last step
    // (0, 6, 9, 10 or 11). After 6 the frames before the cut stay. The caller positions the
    // device itself.
    // The bytes a tag at the start of the device takes, header and footer included, for the
    // readers of what follows it: 0 with the size, 6 fewer than ten bytes, 9 no tag (also one
    // that would reach past the end of the device), 11 unexpected failure.
    static ReadResult<std::uint32_t> SizeInFront(QIODevice &device);
    static ReadResult<std::uint32_t> SizeInFront(WindowedReader &device);

    int FindFrame(int value) const;
    QString GetFrameText(int value) const;

    QString GetArtist() const { return GetFrameText(Artist); }
    QString GetTitle() const { return GetFrameText(Title); }
    QString GetAlbum() const { return GetFrameText(Album); }
    QString GetYear() const { return GetFrameText(Year); }
    QString GetTrack() const { return GetFrameText(Track); }
    QString GetGenre() const { return GenreFromText(GetFrameText(Genre)); }

    // Text of a text frame: encoding 0 (Windows-1252), 1 (UTF-16 with byte order mark),
    // 2 (UTF-16 big-endian), 3 (UTF-8); trimmed of characters of code 32 or below.
    static QString DecodeText(std::uint8_t encoding, QByteArrayView text);
    // A decoded text frame as the tag's version means its NULs: versions 2 and 3 end the text at
    // the first one, version 4 separates values by them (joined by " / ", empty ones dropped).
    static QString TextOfVersion(int version, const QString &decoded);
    // "(17)" and "(17)Rock" give the name of genre 17; anything else stays as it is.
    static QString GenreFromText(const QString &text);
    // Undoes unsynchronisation: every FF 00 becomes FF.
    static QByteArray ReverseUnsynchronisation(QByteArrayView bytes);

    bool Exists = false;
    std::uint8_t Version = 3;
    std::uint8_t Revision = 0;
    bool Unsynchronisation = false;
    bool ExtendedHeader = false;
    bool Experimental = false;
    bool Footer = false;
    std::uint32_t PaddingSize = 0;
    // The whole tag from the start of the file, header and footer included.
    std::uint32_t TagSize = 0;
    bool PaddingReached = true;
    QList<TID3v2Frame> Frames;

    // After a cut (6) the frames before it stay.
    static constexpr bool kKeepsPartOnFailure = true;

private:
    friend class TagReader<TID3v2Tag>;
    // Read's two steps: ReadHeader and, when a supported header was read, ReadFrames.
    int parse(WindowedReader &device);
    // The two steps of Read.
    // 0 header read, 6 fewer than 10 bytes (or an extended header cut off), 9 no "ID3",
    // 10 unsupported major version, 11 unexpected failure.
    int ReadHeader(WindowedReader &device);
    // Frames from start up to the padding, the end of the tag or of the file. 6 when the tag
    // ends inside a frame (the frames before it stay), 11 on an unexpected failure.
    int ReadFrames(qint64 start, WindowedReader &device);

    qint64 m_framesStart = 10;
};
