#include "tags/AddSongFile.h"
#include "core/SongNameSplit.h"

#include "tags/AudioInfo.h"
#include "tags/EmbeddedCueSheet.h"
#include "tags/PlaylistEntryRecord.h"
#include "tags/TagText.h"

#include "core/TextUtil.h"

TSongRecord makeSongRecord(const QString &path, bool relative, const QString &programFolder)
{
    TSongRecord r;
    TAudioInfo info;
    info.ReadFromFile(path);
    // A tag text never brings a NUL into the table, a playlist or an export: a reader that keeps
    // NULs (ID3v1 and WMA keep what follows one) gives its values joined as ID3v2.4's are.
    SongNameSplit::ArtistTitle named =
        SongNameSplit::splitNamedSong(TagText::joinNulSeparated(info.Artist), TagText::joinNulSeparated(info.Title));
    r.Artist = std::move(named.artist);
    r.Title = std::move(named.title);
    r.Length = FormatSongLength(info.Seconds);
    r.Album = TagText::joinNulSeparated(info.Album);
    r.Track = TagText::joinNulSeparated(info.Track);
    r.Year = TagText::joinNulSeparated(info.Year);
    r.Genre = TagText::joinNulSeparated(info.Genre);
    if (relative && !programFolder.isEmpty() && path.startsWith(programFolder, Qt::CaseSensitive))
        r.Path = path.mid(programFolder.size());
    else
        r.Path = path;
    r.pack(); // one heap block for the eight texts instead of eight
    return r;
}

void AddSongFile(SongLists &lists, const QString &path, bool relative)
{
    // An album in one file with its sheet beside or inside it: one song per track.
    const PlaylistEntries tracks = sheetTracksOfAudioFile(path);
    for (const PlaylistEntry &track : tracks)
        lists.append(playlistEntryRecord(track, lists.programFolder()));
    if (tracks.isEmpty())
        lists.append(makeSongRecord(path, relative, lists.programFolder()));
}
