#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

class WindowedReader;

// Where an embedded picture lies and what it says of itself. The picture's bytes are not read:
// loadPicture() fetches them when one is to be shown.
struct PictureEntry
{
    // How the bytes at [codedOffset, codedOffset + codedLength) hold the picture.
    enum class Coding {
        Plain,          // they are the picture
        Unsynchronised, // an ID3v2 frame or tag body to be resynchronised first
        Base64,         // a Vorbis comment (the Ogg comment packet starts at codedOffset)
    };

    int type = 0; // the ID3v2 / FLAC picture type: 3 front cover, 0 other, ...
    QString mime;
    QString description;
    // The picture's own length as the file states it.
    qint64 length = 0;
    std::uint32_t width = 0, height = 0; // as stated (FLAC and Vorbis); 0 when not stated
    Coding coding = Coding::Plain;
    qint64 codedOffset = 0;
    qint64 codedLength = 0;
    // Where the picture starts inside the decoded bytes.
    qint64 innerOffset = 0;
    int commentIndex = -1; // Base64: which comment of the packet
    // Whether the stated length stays inside the file (or the decoded field).
    bool complete = false;

    static constexpr int kFrontCover = 3;
    // "front cover", "other", ... for tools.
    QString typeName() const;
};

// One tag field as the file holds it: the frame, atom or comment name and its text.
struct TagField
{
    QString name;
    QString value;
    bool operator==(const TagField &) const = default;
};

// What a one-file detail read finds beyond the table's values: every text field of the tag
// and the embedded pictures. Done on demand for one song (the info window, the playing song,
// the CLI), never in the table's bulk read.
struct SongDetails
{
    QList<TagField> fields;
    QList<PictureEntry> pictures;

    // The front cover, else the first picture with a complete stated length; -1 when none.
    int preferredPicture() const;

    // The container is chosen by the file's extension as for the table.
    static SongDetails readFile(const QString &path);
    enum class Container { Mpeg, Flac, Ogg, Opus, Mp4, Wma, Wav, Other };
    static Container containerOf(const QString &path);
    static SongDetails read(WindowedReader &device, Container container);

    // The bytes of a picture, at most maxBytes of them; empty when it cannot be had whole.
    static QByteArray loadPicture(WindowedReader &device, const PictureEntry &entry, qint64 maxBytes);
    static QByteArray loadPicture(const QString &path, const PictureEntry &entry, qint64 maxBytes);

    // Bounds of the detail read: no text longer than this is kept, no more fields than this.
    static constexpr qsizetype kMaxFieldText = 4096;
    static constexpr qsizetype kMaxFields = 512;
    static constexpr qsizetype kMaxPictures = 64;
};
