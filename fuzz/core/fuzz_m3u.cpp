#include "FuzzTarget.h"
// The m3u reader on arbitrary bytes: every entry is resolved and made a record, and the
// records are written back in the same format and read again. Read a few lines at a time,
// the bytes must give the entries they give when read whole.
#include "PlaylistFuzz.h"

#include "core/playlists/M3uPieces.h"

namespace {

void samePiecewise(QByteArrayView bytes, PlaylistFormat format)
{
    PlaylistEntries pieces;
    if (!readM3uInPieces(bytes, format, [&](PlaylistEntry &e) { pieces.append(e); }, {}, 13))
        return;
    const PlaylistEntries whole = parsePlaylistEntries(bytes, format);
    if (pieces.size() != whole.size())
        __builtin_trap();
    for (qsizetype i = 0; i < whole.size(); ++i)
        if (pieces[i].location != whole[i].location || pieces[i].artist != whole[i].artist
            || pieces[i].title != whole[i].title || pieces[i].seconds != whole[i].seconds)
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzPlaylistFormat(data, size, PlaylistFormat::M3u);
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    samePiecewise(bytes, PlaylistFormat::M3u);
    samePiecewise(bytes, PlaylistFormat::M3u8);
    return 0;
}
