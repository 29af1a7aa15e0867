#include "FuzzTarget.h"
#include "ReaderInput.h"

#include "tags/WavTag.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzDevice device(data, size);
    const ReadResult<TWavTag> r = expectKnownCode(TWavTag::Read(device.buffer));
    const double seconds = r.values.GetDuration();
    expectContract(seconds >= 0 && std::isfinite(seconds));
    // Any code but Ok leaves the reset state.
    expectContract(r.ok() || (r.values.Title.isEmpty() && r.values.Artist.isEmpty() && r.values.GetDuration() == 0 && r.values.Channels == 0));
    return 0;
}
