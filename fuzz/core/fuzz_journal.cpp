#include "FuzzTarget.h"
// The session journal as a crash leaves it: any bytes in its snapshot and its log. The input's
// first four bytes say where the snapshot ends and the log begins. Replay must stay inside the
// bytes, allocate no more than they can hold, and what it gives must write and read back as
// itself.
#include "core/SessionJournal.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace SessionJournal;
    if (size < 4)
        return 0;
    const std::size_t split = 4 + std::min<std::size_t>(size - 4, data[0] | (data[1] << 8) | (data[2] << 16));
    const QByteArrayView snapshot(reinterpret_cast<const char *>(data) + 4, qsizetype(split - 4));
    const QByteArrayView log(reinterpret_cast<const char *>(data) + split, qsizetype(size - split));
    const Recovered r = replay(snapshot, log);
    if (!r.valid) {
        if (!r.songs.isEmpty() || r.changes != 0)
            std::abort();
        return 0;
    }
    // Nothing comes out of fewer bytes than it takes to write it.
    if (r.songs.size() * 32 > qsizetype(size))
        std::abort();
    QByteArray again = snapshotHeader(1, r.timeMs, r.songs.size());
    for (const TSongRecord &song : r.songs)
        encodeSong(again, song);
    const std::uint64_t c = check(again);
    for (int i = 0; i < 8; ++i)
        again.append(char((c >> (8 * i)) & 0xFF));
    const Recovered back = replay(again, QByteArrayView());
    if (!back.valid || back.songs != r.songs || back.timeMs != r.timeMs)
        std::abort();
    return 0;
}
