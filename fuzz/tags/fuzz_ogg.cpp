#include "FuzzTarget.h"
#include "ReaderInput.h"

#include "tags/OggTag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzDevice device(data, size);
    const ReadResult<TOGGtag> r = expectKnownCode(TOGGtag::Read(device.buffer));
    const double seconds = r.values.GetDuration();
    expectContract(r.ok() || (r.values.Title.isEmpty() && r.values.Vendor.isEmpty() && seconds == 0));
    return 0;
}
