#pragma once

#include "tags/TagReader.h"

#include <QByteArray>
#include <QIODevice>

class WindowedReader;
#include <QString>

#include <cstdint>

// The fixed 128-byte tag at the end of an MPEG audio file, version 1.0 and 1.1 (track byte).
// Read only; nothing is written back.
class TID3v1Tag : public TagReader<TID3v1Tag>
{
public:
    TID3v1Tag() { ResetData(); }

    // The reset state, which is not the default one of the members.
    void ResetData();

    // 0 tag read, 6 fewer than 128 bytes, 9 no "TAG", 11 unexpected failure (reported through
    // the reader-failure hook). Any code but 0 leaves the reset state. Moves the device.

    QString GetTitle() const;
    QString GetArtist() const;
    QString GetAlbum() const;
    QString GetYear() const;
    QString GetTrack() const;
    QString GetGenre() const;

    bool Exists = false;
    bool Version11 = false;
    std::uint8_t Track = 0;
    std::uint8_t GenreIndex = 0;
    // The fields as converted, padding included; the getters trim them.
    QString Title, Artist, Album, Comment, Year;

private:
    friend class TagReader<TID3v1Tag>;
    int parse(WindowedReader &device);
};
