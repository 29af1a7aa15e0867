#include "tags/AddSongFile.h"

#include "tags/AudioInfo.h"
#include "tags/TagText.h"

#include "core/TextUtil.h"

TSongRecord makeSongRecord(const QString &path, bool relative, const QString &programFolder)
{
    TSongRecord r;
    TAudioInfo info;
    info.ReadFromFile(path);
    // A tag text never brings a NUL into the table, a playlist or an export: a reader that keeps
    // NULs (ID3v1 and WMA keep what follows one) gives its values joined as ID3v2.4's are.
    r.Artist = TagText::joinNulSeparated(info.Artist);
    r.Title = TagText::joinNulSeparated(info.Title);
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
    lists.AllSongs.append(makeSongRecord(path, relative, lists.programFolder()));
}
