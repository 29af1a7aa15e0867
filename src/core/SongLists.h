#pragma once

#include "core/SongRecord.h"

#include <QStringList>

// The playlist, the copies the last search chose, which of the two the table shows, and the
// folders of the playlists loaded so far. One instance, owned by the main window (and by the
// command-line tool); used from one thread.
class SongLists
{
public:
    // programFolder: the folder that relative song paths are tried against first, with a
    // trailing "/".
    explicit SongLists(QString programFolder = QString());

    SongList AllSongs;
    SongList FoundSongs;
    bool ShowingFound = false;
    QStringList SourceFolders;

    const QString &programFolder() const { return m_programFolder; }
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

    // The list the table shows.
    SongList &shown() { return ShowingFound ? FoundSongs : AllSongs; }
    const SongList &shown() const { return ShowingFound ? FoundSongs : AllSongs; }

    // The file to open for a stored path: an absolute path as it is; a relative one against
    // the program's folder, else against the source folders (the last that holds it wins);
    // else the path as stored.
    QString DateiFinden(const QString &path) const;

private:
    QString m_programFolder;
};
