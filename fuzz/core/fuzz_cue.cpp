#include "FuzzTarget.h"
// The CUE sheet reader on arbitrary bytes: every track it keeps can be played (a number used
// once, a start, an end after it), its stored path names it again, and its part of the file
// is a forward range. FILE names resolve against a folder that does not exist.
#include "core/playlists/CueSheet.h"

#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const CueSheet sheet = parseCueSheet(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QString sheetPath = QStringLiteral("/nonexistent-fuzz-folder/a.cue");
    std::set<int> numbers;
    for (const CueTrack &t : sheet.tracks) {
        if (t.number < 1 || t.number > kCueMaxTrack || !numbers.insert(t.number).second)
            __builtin_trap();
        if (t.file < 0 || t.file >= sheet.files.size() || t.index1 < 0 || (t.end >= 0 && t.end <= t.index1))
            __builtin_trap();
        const std::optional<SheetTrackSource> source = sheetTrackSource(sheet, t.number, sheetPath);
        if (!source || source->startNs < 0 || (source->stopNs >= 0 && source->stopNs <= source->startNs))
            __builtin_trap();
    }
    const PlaylistEntries entries = cueSheetEntries(sheet, sheetPath);
    if (entries.size() != sheet.tracks.size())
        __builtin_trap();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const std::optional<SheetTrackRef> ref = sheetTrackOf(entries[i].path);
        if (!ref || ref->container != sheetPath || ref->track != sheet.tracks[i].number || entries[i].seconds < -1)
            __builtin_trap();
    }
    return 0;
}
