#pragma once

#include "core/SongRecord.h"

// Lets go of a song list the caller no longer needs. A large list that is the last holder of
// its songs is freed on a pool thread: after a sort its million songs lie all over memory, and
// freeing them one by one would stop the window for a visible moment. Songs shared with other
// lists stay alive there (their texts count their holders atomically). The list is empty after.
void releaseSongs(SongList &songs);
