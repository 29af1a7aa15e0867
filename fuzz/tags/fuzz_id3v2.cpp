#include "FuzzTarget.h"
#include "ReaderInput.h"

#include "tags/ID3v2Tag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzDevice device(data, size);
    const ReadResult<TID3v2Tag> r = expectKnownCode(TID3v2Tag::Read(device.buffer));
    const TID3v2Tag &tag = r.values;
    (void)tag.GetArtist(), (void)tag.GetTitle(), (void)tag.GetAlbum();
    (void)tag.GetYear(), (void)tag.GetTrack(), (void)tag.GetGenre();
    // Every frame's text as the six getters would decode it.
    for (const TID3v2Frame &f : tag.Frames)
        if (!f.Data.isEmpty())
            (void)TID3v2Tag::DecodeText(std::uint8_t(f.Data[0]), QByteArrayView(f.Data).sliced(1));
    expectContract(tag.Exists || tag.Frames.isEmpty());
    // The size other readers skip never reaches past the input.
    const ReadResult<std::uint32_t> front = expectKnownCode(TID3v2Tag::SizeInFront(device.buffer));
    expectContract(front.ok() ? front.values >= 10 && front.values <= size : front.values == 0);
    return 0;
}
