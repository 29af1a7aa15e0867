#include "playback/SongSource.h"

#include "core/FileSystem.h"
#include "core/playlists/CueSheet.h"
#include "tags/EmbeddedCueSheet.h"

bool isStreamLocation(const QString &path)
{
    return path.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || path.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

std::optional<SongSource> songSourceOf(const QString &path)
{
    SongSource s;
    if (FileSystem::isRegularFile(path)) {
        s.file = path;
        return s;
    }
    if (isStreamLocation(path)) {
        s.url = path;
        return s;
    }
    const std::optional<SheetTrackRef> ref = sheetTrackOf(path);
    if (!ref)
        return std::nullopt;
    const std::optional<CueSheet> sheet = readContainerSheet(ref->container);
    if (!sheet)
        return std::nullopt;
    // A sheet inside an audio file plays from that file, whatever its FILE line says.
    std::optional<SheetTrackSource> track = sheetTrackSource(*sheet, ref->track, ref->container);
    if (!track)
        return std::nullopt;
    s.file = isCueSheetName(ref->container) ? track->audioFile : ref->container;
    if (!FileSystem::isRegularFile(s.file))
        return std::nullopt;
    s.startNs = track->startNs;
    s.stopNs = track->stopNs;
    return s;
}
