#include "tags/ID3v1Tag.h"

#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/GenreNames.h"
#include "tags/TagText.h"

#include "core/Windows1252.h"

void TID3v1Tag::ResetData()
{
    const QString nuls(30, QChar(u'\0'));
    Title = Artist = Album = Comment = Year = nuls;
    Track = 0;
    GenreIndex = 0;
    Exists = false;
    Version11 = false;
}

int TID3v1Tag::parse(WindowedReader &device)
{
    QByteArray tail;
    if (const int r = readStructure(device, device.size() - 128, 128, tail, "TAG"); r != ReaderResult::Ok)
        return r;
    ByteCursor c(tail);
    c.skip(3);
    Exists = true;
    std::uint8_t b125 = 0, b126 = 0, genre = 0;
    c.byteAt(125, b125);
    c.byteAt(126, b126);
    c.byteAt(127, genre);
    Version11 = b125 == 0 && b126 != 0;
    Title = Windows1252::decode(c.bytes(30));
    Artist = Windows1252::decode(c.bytes(30));
    Album = Windows1252::decode(c.bytes(30));
    QByteArrayView year = c.bytes(4);
    while (!year.isEmpty() && static_cast<unsigned char>(year.back()) <= 32)
        year.chop(1);
    Year = Windows1252::decode(year);
    Comment = Windows1252::decode(c.bytes(Version11 ? 28 : 30));
    Track = Version11 ? b126 : 0;
    GenreIndex = genre;
    return ReaderResult::Ok;
}

QString TID3v1Tag::GetTitle() const { return TagText::trimControl(Title); }
QString TID3v1Tag::GetArtist() const { return TagText::trimControl(Artist); }
QString TID3v1Tag::GetAlbum() const { return TagText::trimControl(Album); }
QString TID3v1Tag::GetYear() const { return TagText::trimControl(Year); }
QString TID3v1Tag::GetTrack() const { return QString::number(Track); }

QString TID3v1Tag::GetGenre() const
{
    if (!Exists)
        return QString();
    return GenreName(GenreIndex);
}
