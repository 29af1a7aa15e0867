// folder-check expects: line 4, core/ may not include playback/
#include "core/SongClock.h"

#include "playback/AudioPlayer.h"
