#include "tags/AddSongFile.h"

#include "tags/AudioInfo.h"

#include "core/TextUtil.h"

TSongRecord makeSongRecord(const QString &path, bool relative, const QString &programFolder)
{
    TSongRecord r;
    TAudioInfo info;
    info.ReadFromFile(path);
    r.Artist = info.Artist;
    r.Title = info.Title;
    const QString separator = QStringLiteral(" - ");
    if (r.Artist.isEmpty() && r.Title.contains(separator)) {
        for (QLatin1StringView ext : songNameExtensions())
            r.Title = ReplaceAll(r.Title, ext, QString());
        const qsizetype at = r.Title.indexOf(separator);
        if (at >= 0) {
            r.Artist = r.Title.left(at);
            r.Title = ReplaceAll(r.Title, r.Artist + separator, QString());
        }
    }
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
