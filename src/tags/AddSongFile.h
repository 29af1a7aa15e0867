#pragma once

#include "core/SongLists.h"
#include "core/SongRecord.h"

#include <QString>

// The record a file gives when it is added to the playlist: its tags or its name, the length
// text, and the path (relative to the program's folder when asked and possible). Shared by
// the folder scan, the window and sonalo-cli.
TSongRecord makeSongRecord(const QString &path, bool relative, const QString &programFolder);

// Appends makeSongRecord(path, relative, lists.programFolder()) to lists.AllSongs(). Does not
// check for duplicates and does not refresh any view.
void AddSongFile(SongLists &lists, const QString &path, bool relative);
