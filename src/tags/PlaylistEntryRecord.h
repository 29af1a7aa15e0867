#pragma once

#include "core/playlists/PlaylistEntry.h"

// The song of a resolved playlist entry: for a file that is there, the record AddSongFile
// builds (its tags, its length); for a missing file or a stream, what the playlist says.
TSongRecord playlistEntryRecord(const PlaylistEntry &entry, const QString &programFolder);

// playlistEntryRecord as the loaders take it.
PlaylistEntryRecordFn playlistEntryRecorder(const QString &programFolder);
