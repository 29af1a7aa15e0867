#include "FuzzTarget.h"
#include "ReaderInput.h"

#include "tags/MpegInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The first byte picks a start position, as a tag in front would.
    const qint64 start = size > 0 ? std::min<qint64>(data[0], qint64(size)) : 0;
    FuzzDevice device(data, size, start);
    const ReadResult<TMpegInfo> r = expectKnownCode(TMpegInfo::Read(device.buffer));
    expectContract(r.ok() == r.values.Valid);
    expectContract(r.ok() ? r.values.FirstFramePosition >= start : r.values.FirstFramePosition == -1);
    return 0;
}
