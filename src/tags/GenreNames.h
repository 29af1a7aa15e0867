#pragma once

#include <QString>

// The ID3v1 genre names, index 0 to 125, as this program has always shown them (index 12 is
// empty; a few names keep their historical spellings, since stored playlists hold them).
inline constexpr int kGenreCount = 126;

// Name of a genre number; empty for 12 and for numbers outside 0..125.
const QString &GenreName(int index);
