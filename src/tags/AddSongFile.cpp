#include "tags/AddSongFile.h"
#include "core/SongNameSplit.h"

#include "tags/AudioInfo.h"

#include "core/TextUtil.h"

TSongRecord makeSongRecord(const QString &path, bool relative, const QString &programFolder)
{
    TSongRecord r;
    TAudioInfo info;
    info.ReadFromFile(path);
    SongNameSplit::ArtistTitle named = SongNameSplit::splitNamedSong(info.Artist, info.Title);
    r.Artist = std::move(named.artist);
    r.Title = std::move(named.title);
    r.Length = FormatSongLength(info.Seconds);
    r.Album = info.Album;
    r.Track = info.Track;
    r.Year = info.Year;
    r.Genre = info.Genre;
    if (relative && !programFolder.isEmpty() && path.startsWith(programFolder, Qt::CaseSensitive))
        r.Path = path.mid(programFolder.size());
    else
        r.Path = path;
    r.pack(); // one heap block for the eight texts instead of eight
    return r;
}

void AddSongFile(SongLists &lists, const QString &path, bool relative)
{
    lists.append(makeSongRecord(path, relative, lists.programFolder()));
}
