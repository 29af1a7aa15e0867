#include "tags/PlaylistEntryRecord.h"

#include "tags/AddSongFile.h"

#include "core/FileSystem.h"

TSongRecord playlistEntryRecord(const PlaylistEntry &entry, const QString &programFolder)
{
    // A file that went away since the playlist was resolved keeps what the playlist says.
    if (entry.exists && FileSystem::isRegularFile(entry.path))
        return makeSongRecord(entry.path, false, programFolder);
    return playlistFieldsRecord(entry);
}

PlaylistEntryRecordFn playlistEntryRecorder(const QString &programFolder)
{
    return [programFolder](const PlaylistEntry &entry) { return playlistEntryRecord(entry, programFolder); };
}
