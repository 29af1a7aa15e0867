#include "FuzzTarget.h"
#include "ReaderInput.h"

#include "tags/ID3v1Tag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzDevice device(data, size);
    const ReadResult<TID3v1Tag> r = expectKnownCode(TID3v1Tag::Read(device.buffer));
    const TID3v1Tag &tag = r.values;
    const QString texts = tag.GetTitle() + tag.GetArtist() + tag.GetAlbum() + tag.GetYear() + tag.GetGenre();
    (void)tag.GetTrack();
    expectContract(r.ok() == tag.Exists);
    expectContract(r.ok() || texts.isEmpty());
    return 0;
}
