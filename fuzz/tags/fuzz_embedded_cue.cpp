#include "FuzzTarget.h"
// The sheet inside a FLAC file (a CUESHEET comment or block) on arbitrary bytes: a sheet it
// returns has at least two tracks, each with a start and an end after it.
#include "tags/EmbeddedCueSheet.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const std::optional<CueSheet> sheet = readEmbeddedCueSheet(buffer);
    if (!sheet)
        return 0;
    if (sheet->tracks.size() < 2)
        __builtin_trap();
    for (const CueTrack &t : sheet->tracks)
        if (t.index1 < 0 || (t.end >= 0 && t.end <= t.index1))
            __builtin_trap();
    for (const PlaylistEntry &e : embeddedSheetEntries(*sheet, QStringLiteral("/nonexistent-fuzz-folder/a.flac")))
        if (!sheetTrackOf(e.path))
            __builtin_trap();
    return 0;
}
