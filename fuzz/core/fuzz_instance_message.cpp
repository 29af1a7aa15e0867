#include "FuzzTarget.h"
// The request a second start sends over the local socket: any bytes from any local process of
// the same user. Decoding must never read past them, and what it accepts must be exactly what
// the sender would have written.
#include "core/InstanceMessage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace InstanceProtocol;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype total = requestSize(bytes);
    if (total < 0 || total > MaxRequestBytes)
        std::abort();
    const DecodeResult r = decodeRequest(bytes);
    if (r.status == DecodeStatus::Complete) {
        const auto again = encodeRequest(r.message);
        if (!again || QByteArrayView(*again) != bytes || total != bytes.size())
            std::abort();
        const QChar quote(QLatin1Char('"'));
        for (const QString &param : ParseInstanceParams(r.message.commandLine))
            if (param.contains(quote))
                std::abort();
    } else if (r.message != InstanceMessage()) {
        std::abort();
    }
    if (const auto reply = decodeReply(bytes); reply && encodeReply(*reply) != bytes)
        std::abort();
    return 0;
}
