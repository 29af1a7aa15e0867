#include "FuzzTarget.h"
// The pls reader on arbitrary bytes: every entry is resolved and made a record, and the
// records are written back in the same format and read again.
#include "PlaylistFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzPlaylistFormat(data, size, PlaylistFormat::Pls);
    return 0;
}
