#pragma once

#include "core/SongSearch.h"

// A search through a ".slp" file that is never loaded whole: the songs are searched a batch at
// a time while the file is read, and only the songs found are kept. The result is what
// LoadPlaylist followed by searchSongs gives, the found songs in the file's order; a search of
// a million songs then needs the memory of what it finds, not of the list.
struct PlaylistSearchOutcome
{
    bool ok = true;
    int errorCode = 0; // as SearchOutcome's; no songs then
    SongList songs;
};

// Throws SonaloError as LoadPlaylist does when the file cannot be read. batchSongs: how many
// songs are searched at a time.
PlaylistSearchOutcome searchPlaylistFile(const QString &fileName, const QString &term, const SearchOptions &options,
                                         bool regex, qsizetype batchSongs = 16 * 1024);
