#pragma once

#include "core/playlists/PlaylistFiles.h"

#include <functional>

// An M3U or M3U8 file without a signature (most of them) read a piece of whole lines at a time:
// decoded as the whole would be (UTF-8 for ".m3u8"; for ".m3u" UTF-8 when the text is not
// ASCII and every sequence is well formed, else Windows-1252), each entry handed to sink, and
// keepAlive given its turn between pieces, so that a file of a million lines is no single long
// step. False, with nothing read, for any other file: the caller reads it whole.
inline constexpr qsizetype kM3uPieceBytes = 1 << 20;
bool readM3uInPieces(QByteArrayView bytes, PlaylistFormat format, const PlaylistEntrySink &sink,
                     const std::function<void()> &keepAlive, qsizetype pieceBytes = kM3uPieceBytes);
