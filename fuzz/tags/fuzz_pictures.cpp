#include "FuzzTarget.h"
#include "ReaderInput.h"

#include "tags/DeviceRead.h"
#include "tags/SongDetails.h"

// The first byte chooses the container; the rest is the file. Every entry the detail read
// lists must load whole or not at all, within the byte limit, and the read stays bounded.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    using C = SongDetails::Container;
    static const C containers[] = {C::Mpeg, C::Flac, C::Ogg, C::Opus, C::Mp4, C::Wma, C::Wav};
    const C container = containers[data[0] % std::size(containers)];
    FuzzDevice device(data + 1, size - 1);
    WindowedReader reader(device.buffer);
    const SongDetails d = SongDetails::read(reader, container);
    expectContract(d.fields.size() <= SongDetails::kMaxFields && d.pictures.size() <= SongDetails::kMaxPictures);
    for (const TagField &f : d.fields)
        expectContract(f.value.size() <= SongDetails::kMaxFieldText);
    constexpr qint64 kLimit = 4096;
    for (const PictureEntry &e : d.pictures) {
        const QByteArray bytes = SongDetails::loadPicture(reader, e, kLimit);
        expectContract(bytes.isEmpty() || (e.complete && bytes.size() == e.length && e.length <= kLimit));
    }
    const int preferred = d.preferredPicture();
    expectContract(preferred < 0 || d.pictures[preferred].complete);
    return 0;
}
