#include "FuzzTarget.h"
#include "ReaderInput.h"

#include "tags/WmaTag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzDevice device(data, size);
    const ReadResult<TWMATag> r = expectKnownCode(TWMATag::Read(device.buffer));
    // Values only come with a plausible header.
    expectContract(r.values.Valid || (r.values.Title.isEmpty() && r.values.Duration == 0));
    expectContract(r.ok() || !r.values.Valid);
    return 0;
}
