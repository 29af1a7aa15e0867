#pragma once

#include "core/FileSystem.h"
#include "core/FolderScan.h"
#include "core/SongLists.h"
#include "core/playlists/PlaylistEntry.h"

#include <QStringList>

class QMimeData;

// The ways songs enter the playlist besides playlist files and the scan dialog. Each appends
// through addSongFile (AddSongFile of the tag layer); the window refreshes afterwards.

using FileSystem::extensionOf;

// One command-line or forwarded argument: a ".slp" (exactly, letter case counts) is loaded as
// a playlist; a folder, or a name under which nothing exists, is added as a folder; an
// ".m3u", ".m3u8", ".pls" or ".xspf" (any letter case) is loaded as a playlist, its entries
// made songs by entryRecord; anything else is one song, its path stored as the argument
// spells it. folderRelative is the relative flag of a folder's songs (the scan dialog's tick).
// Throws SonaloError when a playlist cannot be read.
void OpenArgument(SongLists &lists, const QString &argument, ScanState &state, const AddSongFileFn &addSongFile,
                  const std::function<void()> &keepAlive = {}, bool folderRelative = false,
                  const PlaylistEntryRecordFn &entryRecord = {});

// A command-line argument as the program must keep it: a relative name made absolute against
// the working folder the program was started in (stored relative, it would later be looked up
// beside the program and not found). Empty arguments stay empty.
QString absoluteArgument(const QString &argument, const QString &workingFolder);

// Names dropped on the song table, in drop order: folders (or names without anything behind
// them) through AddFolder, ".slp" in any letter case as a dropped playlist, the playlists of
// other players as OpenArgument loads them, the rest as songs. Throws SonaloError when a
// playlist cannot be read; what was added before stays.
void addDroppedNames(SongLists &lists, const QStringList &names, ScanState &state, const AddSongFileFn &addSongFile,
                     const std::function<void()> &keepAlive = {}, bool folderRelative = false,
                     const PlaylistEntryRecordFn &entryRecord = {});

// The local file names of a file list on the clipboard or in a drag: "text/uri-list", or the
// file managers' "x-special/gnome-copied-files". Empty when the data hold no file list.
QStringList fileListFromMimeData(const QMimeData *data);

// Pasted names are added as songs, whatever they are (".slp" playlists too); a folder is
// scanned as an added folder is (as a song it would be a blank row), and the playlists of
// other players are loaded, as OpenArgument loads them.
void addPastedNames(SongLists &lists, const QStringList &names, ScanState &state, const AddSongFileFn &addSongFile,
                    const std::function<void()> &keepAlive = {}, bool folderRelative = false,
                    const PlaylistEntryRecordFn &entryRecord = {});
