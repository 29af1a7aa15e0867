#include "tags/MpegInfo.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // The first byte picks a start position, as a tag in front would.
    if (size > 0)
        buffer.seek(std::min<qint64>(data[0], qint64(size)));
    TMpegInfo info;
    info.ReadFromStream(buffer);
    return 0;
}
