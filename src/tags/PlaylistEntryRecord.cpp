#include "tags/PlaylistEntryRecord.h"

#include "tags/AddSongFile.h"

#include "core/FileSystem.h"
#include "core/playlists/CueSheet.h"
#include "tags/AudioInfo.h"

namespace {

// The last track of a sheet's file runs to the file's end: its length is the file's less
// where it starts.
TSongRecord lastSheetTrackRecord(PlaylistEntry entry)
{
    TAudioInfo info;
    info.ReadFromFile(entry.audioFile);
    const qint64 start = entry.startFrames / kCueFramesPerSecond;
    entry.seconds = info.Seconds > start ? info.Seconds - start : 0;
    return playlistFieldsRecord(entry);
}

} // namespace

TSongRecord playlistEntryRecord(const PlaylistEntry &entry, const QString &programFolder)
{
    if (entry.startFrames >= 0 && entry.seconds < 0 && FileSystem::isRegularFile(entry.audioFile))
        return lastSheetTrackRecord(entry);
    // A file that went away since the playlist was resolved keeps what the playlist says.
    if (entry.exists && FileSystem::isRegularFile(entry.path))
        return makeSongRecord(entry.path, false, programFolder);
    return playlistFieldsRecord(entry);
}

PlaylistEntryRecordFn playlistEntryRecorder(const QString &programFolder)
{
    return [programFolder](const PlaylistEntry &entry) { return playlistEntryRecord(entry, programFolder); };
}
