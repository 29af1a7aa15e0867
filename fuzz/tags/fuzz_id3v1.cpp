#include "tags/ID3v1Tag.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TID3v1Tag tag;
    if (tag.ReadFromStream(buffer) == 0) {
        (void)tag.GetTitle(), (void)tag.GetArtist(), (void)tag.GetAlbum();
        (void)tag.GetYear(), (void)tag.GetTrack(), (void)tag.GetGenre();
    }
    return 0;
}
