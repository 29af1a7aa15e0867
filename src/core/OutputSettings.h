#pragma once

#include "core/PictureStyle.h"
#include "core/TextEncoding.h"

// The one process-wide choice for every text file written (playlists and exported lists) and
// the style of pictures written instead of text. Set by the output settings window; not stored.
struct OutputSettings
{
    TTextEncoding OutputEncoding = TTextEncoding::teUtf8;
    PictureStyle picture;
};
