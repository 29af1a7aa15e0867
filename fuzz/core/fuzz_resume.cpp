#include "FuzzTarget.h"
// The file that says where the user left off: any bytes. Decoding stays inside them and within
// its bounds, and what it gives survives its own encoding unchanged.
#include "core/ResumePoint.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ResumePoint p = ResumePoint::decode(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (p.position < 0 || p.topRow < 0 || p.sortColumn == 0 || p.sortColumn > ResumePoint::kMaxColumn
        || p.sortColumn < -1)
        std::abort();
    if (ResumePoint::decode(p.encode()) != p)
        std::abort();
    return 0;
}
