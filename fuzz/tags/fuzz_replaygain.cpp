#include "FuzzTarget.h"
#include "ReaderInput.h"

#include "tags/FlacTag.h"
#include "tags/ID3v2Tag.h"
#include "tags/Mp4Tag.h"
#include "tags/OggTag.h"
#include "tags/OpusTag.h"
#include "tags/ReplayGainRead.h"

#include <cmath>

namespace {

// Gains finite and bounded (texts ±60 dB, Q7.8 numbers ±128 dB plus R128's 5), peaks above 0
// and at most 64: whatever the bytes said.
void expectSane(const ReplayGainValues &v)
{
    for (const auto &gain : {v.trackGain, v.albumGain, v.opusHeaderGain})
        expectContract(!gain || (std::isfinite(*gain) && std::abs(*gain) <= 133.0));
    for (const auto &peak : {v.trackPeak, v.albumPeak})
        expectContract(!peak || (*peak > 0 && *peak <= 64.0));
}

template <typename Tag>
void readAs(const std::uint8_t *data, std::size_t size)
{
    FuzzDevice device(data, size);
    expectSane(expectKnownCode(Tag::Read(device.buffer)).values.ReplayGain);
}

} // namespace

// The values of an MPEG file (ID3v2 frames, APE tag at the end) and of every reader that
// carries them, from one input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    {
        FuzzDevice device(data, size);
        WindowedReader reader(device.buffer);
        ReplayGainValues v;
        ReplayGainRead::fromId3v2(expectKnownCode(TID3v2Tag::Read(reader)).values, v);
        ReplayGainRead::fromApe(reader, v);
        expectSane(v);
    }
    readAs<TFlacTag>(data, size);
    readAs<TOGGtag>(data, size);
    readAs<TOpusTag>(data, size);
    readAs<TMp4Tag>(data, size);
    return 0;
}
