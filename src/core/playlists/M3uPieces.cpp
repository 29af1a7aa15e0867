#include "core/playlists/M3uPieces.h"

#include "core/KeepAlive.h"
#include "core/TextEncoding.h"
#include "core/Windows1252.h"

namespace {

bool isAscii(QByteArrayView bytes)
{
    unsigned char all = 0;
    for (const char c : bytes)
        all |= static_cast<unsigned char>(c);
    return all < 0x80;
}

} // namespace

bool readM3uInPieces(QByteArrayView bytes, PlaylistFormat format, const PlaylistEntrySink &sink,
                     const std::function<void()> &keepAlive, qsizetype pieceBytes)
{
    if ((format != PlaylistFormat::M3u && format != PlaylistFormat::M3u8) || detectTextEncoding(bytes) != 0)
        return false;
    KeepAlive alive(keepAlive);
    // Pieces end after a line feed: no character and no CR LF is cut in two.
    const auto forEachPiece = [&](const auto &f) {
        for (qsizetype from = 0; from < bytes.size();) {
            const qsizetype lineFeed = bytes.size() - from > pieceBytes ? bytes.indexOf('\n', from + pieceBytes - 1) : -1;
            const qsizetype end = lineFeed < 0 ? bytes.size() : lineFeed + 1;
            if (!f(bytes.sliced(from, end - from)))
                return;
            from = end;
            alive.now();
        }
    };
    bool utf8 = format == PlaylistFormat::M3u8;
    if (!utf8) {
        bool ascii = true;
        bool wellFormed = true;
        forEachPiece([&](QByteArrayView piece) {
            if (isAscii(piece))
                return true;
            ascii = false;
            qsizetype malformed = 0;
            decodeUtf8(piece, Utf8Malformed::Replace, &malformed);
            wellFormed = malformed == 0;
            return wellFormed;
        });
        utf8 = !ascii && wellFormed;
    }
    M3uReader reader(sink);
    forEachPiece([&](QByteArrayView piece) {
        reader.feed(utf8 ? decodeUtf8(piece, Utf8Malformed::Replace) : Windows1252::decode(piece));
        return true;
    });
    return true;
}
