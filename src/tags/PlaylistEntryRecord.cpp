#include "tags/PlaylistEntryRecord.h"

#include "tags/AddSongFile.h"

TSongRecord playlistEntryRecord(const PlaylistEntry &entry, const QString &programFolder)
{
    if (entry.exists)
        return makeSongRecord(entry.path, false, programFolder);
    return playlistFieldsRecord(entry);
}

PlaylistEntryRecordFn playlistEntryRecorder(const QString &programFolder)
{
    return [programFolder](const PlaylistEntry &entry) { return playlistEntryRecord(entry, programFolder); };
}
