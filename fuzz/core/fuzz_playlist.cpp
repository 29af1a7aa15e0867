#include "FuzzTarget.h"
// Both playlist line readers on arbitrary bytes; every song read must survive a copy, a save
// and a load unchanged but for "|" (which cannot occur in a parsed field) .
#include "core/Errors.h"
#include "core/Playlist.h"

#include <algorithm>
#include <cstdint>

namespace {

// The songs the rule finds in the text given in pieces of the given size.
SongList parsedInPieces(QStringView text, qsizetype piece, PlaylistTextParser::LineRule rule)
{
    SongList songs;
    PlaylistTextParser parser(songs, {}, rule);
    for (qsizetype at = 0; at < text.size(); at += piece)
        parser.feed(text.sliced(at, std::min(piece, text.size() - at)));
    parser.finish();
    return songs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Given in pieces of the size the first byte gives, a text holds the same songs.
    const qsizetype piece = size > 0 ? qsizetype(data[0] % 13 + 1) : 1;
    SongList songs;
    try {
        const QString text = decodeText(bytes);
        parsePlaylistText(text, songs);
        if (parsedInPieces(text, piece, PlaylistTextParser::LineRule::Loader) != songs)
            __builtin_trap();
    } catch (const SonaloError &) {
    }
    const qsizetype before = songs.size();
    parseDroppedPlaylist(bytes, songs);
    if (parsedInPieces(decodeLineReaderText(bytes), piece, PlaylistTextParser::LineRule::AnyBreak)
        != songs.sliced(before))
        __builtin_trap();
    // Songs copied into shared blocks (as a search keeps what it finds) equal their originals.
    SongList copies;
    SongBlockWriter blocks;
    for (const TSongRecord &r : songs)
        blocks.append(copies, r);
    if (copies != songs)
        __builtin_trap();
    // Fields without CR and LF read back as written.
    SongList clean;
    for (TSongRecord r : songs) {
        for (int i = 0; i < TSongRecord::kFieldCount; ++i)
            r.field(i).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
        clean.append(r);
    }
    SongList back;
    parsePlaylistText(decodeText(encodeText(playlistText(clean), TTextEncoding::teUtf8)), back);
    if (back != clean)
        __builtin_trap();
    return 0;
}
