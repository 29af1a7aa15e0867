#pragma once

#include "core/playlists/CueSheet.h"

#include <QIODevice>
#include <QString>

#include <optional>

// The CUE sheet a FLAC file carries: a "CUESHEET" Vorbis comment (a text sheet, preferred for
// its titles) or the CUESHEET metadata block (positions only). Only sheets of at least two
// tracks are returned: a sheet of one track says nothing the file does not.
// Bounded: at most kMaxFlacBlocks blocks are walked and no body beyond kCueMaxSheetBytes is read.
std::optional<CueSheet> readEmbeddedCueSheet(QIODevice &device);
// The same for a file; regular ".flac" files only, everything else has none.
std::optional<CueSheet> readEmbeddedCueSheet(const QString &audioFile);

inline constexpr int kMaxFlacBlocks = 128;

// The sheet of a track's container: a ".cue" file (at most kCueMaxSheetBytes) or the sheet
// inside an audio file.
std::optional<CueSheet> readContainerSheet(const QString &container);
// What the sheet says of the track a stored path names (sheetTrackOf), for the song display;
// nullopt when the path names no track of a sheet that is there.
std::optional<PlaylistEntry> sheetTrackEntry(const QString &trackPath);

// The tracks an audio file holds by a sheet: the sheet beside it with its name ("Album.cue" or
// "Album.flac.cue" for "Album.flac") when that sheet names the file, else the sheet inside it.
// Empty for a file that is one song.
PlaylistEntries sheetTracksOfAudioFile(const QString &audioFile);
