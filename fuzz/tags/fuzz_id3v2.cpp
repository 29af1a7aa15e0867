#include "tags/ID3v2Tag.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TID3v2Tag tag;
    tag.ReadFromStream(buffer);
    (void)tag.GetArtist(), (void)tag.GetTitle(), (void)tag.GetAlbum();
    (void)tag.GetYear(), (void)tag.GetTrack(), (void)tag.GetGenre();
    // Every frame's text as the six getters would decode it.
    for (const TID3v2Frame &f : tag.Frames)
        if (!f.Data.isEmpty())
            (void)TID3v2Tag::DecodeText(std::uint8_t(f.Data[0]), QByteArrayView(f.Data).sliced(1));
    return 0;
}
