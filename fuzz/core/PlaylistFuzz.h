#pragma once

#include "core/Errors.h"
#include "core/playlists/PlaylistFiles.h"

#include <cstddef>
#include <cstdint>

// Shared by the M3U, PLS and XSPF targets. Entries resolve against a folder that does not
// exist, so no input can make the target read a real file.
inline void fuzzPlaylistFormat(const uint8_t *data, size_t size, PlaylistFormat format)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    PlaylistEntries entries;
    try {
        entries = parsePlaylistEntries(bytes, format);
    } catch (const SonaloError &) {
        return;
    }
    SongList songs;
    for (PlaylistEntry &entry : entries) {
        resolvePlaylistEntry(entry, QStringLiteral("/nonexistent-fuzz-folder/"));
        songs.append(playlistFieldsRecord(entry));
    }
    // What we write we must read without refusing it.
    const QByteArray written = foreignPlaylistBytes(songs, format, TTextEncoding::teAnsi);
    try {
        parsePlaylistEntries(written, format);
    } catch (const SonaloError &) {
        __builtin_trap();
    }
}
