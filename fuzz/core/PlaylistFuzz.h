#pragma once

#include "core/Errors.h"
#include "core/playlists/PlaylistFiles.h"
#include "core/playlists/RegularFileLookup.h"

#include <cstddef>
#include <cstdint>

// Shared by the M3U, PLS and XSPF targets. Entries resolve against a folder that does not
// exist, so no input can make the target read a real file.
inline void fuzzPlaylistFormat(const uint8_t *data, size_t size, PlaylistFormat format)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // As a load reads them: each entry resolved and made a record as it is read.
    SongList songs;
    RegularFileLookup files(foreignEntryBound(bytes, format));
    try {
        forEachPlaylistEntry(bytes, format, [&](PlaylistEntry &entry) {
            resolvePlaylistEntry(entry, QStringLiteral("/nonexistent-fuzz-folder/"), files);
            songs.append(playlistFieldsRecord(entry));
        });
    } catch (const SonaloError &) {
        return;
    }
    // What we write we must read without refusing it.
    const QByteArray written = foreignPlaylistBytes(songs, format, TTextEncoding::teAnsi);
    try {
        parsePlaylistEntries(written, format);
    } catch (const SonaloError &) {
        __builtin_trap();
    }
}
