#pragma once

#include "core/FolderWalk.h"
#include "core/SongLists.h"

#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

// Sorts texts by their folded keys, code unit by code unit.
void SortFoldedList(QStringList &list, bool ascending);

// Appends one song for a file; the tag layer provides it (AddSongFile).
using AddSongFileFn = std::function<void(const QString &path, bool relative)>;

// Adds every ".mp3", ".wav", ".ogg", ".wma", ".flac", ".opus" and ".m4a" file of a folder tree in found order, stopping
// before the next file when state.ScanCancelled is set, which it clears at the end. keepAlive
// is called every few files so the window can repaint while a large tree is added.
// Returns the number of files added.
int AddFolder(const QString &folder, bool relative, ScanState &state, const AddSongFileFn &addSongFile,
              const std::function<void()> &keepAlive = {});

// What the scan dialog's controls say at the moment its run starts.
struct FolderScanSettings
{
    QString folderText;                 // ed_ort
    bool includeSubfolders = true;      // uv
    bool relative = false;              // relativ
    bool onlyNew = true;                // nurneu
    bool mp3 = true, wav = true, ogg = true, wma = true;
    bool flac = true, opus = true, m4a = true;

    QStringList extensions() const;     // always in the order .mp3 .wav .ogg .wma .flac .opus .m4a
};

// What the dialog shows while and after it runs.
struct FolderScanView
{
    std::function<void(int)> foundChanged;    // Label1, repainted at once
    std::function<void(int)> handledChanged;  // Label2 and the progress bar
    std::function<void(int)> maximumChanged;  // the progress bar's maximum
    std::function<void()> processEvents;      // lets pending window messages run
};

struct FolderScanResult
{
    int found = 0;         // files the walk found (Label1)
    int handled = 0;       // Label2 at the end
    int added = 0;         // songs really appended (Label3)
    bool cancelled = false;
    bool noFileTypes = false; // nothing ticked: nothing walked
};

// The run of the scan dialog: walk (or read a ".txt" list of files), then add what was found,
// skipping files the playlist already holds when settings.onlyNew is set.
FolderScanResult runFolderScan(const SongLists &lists, const FolderScanSettings &settings, ScanState &state,
                               const FolderScanView &view, const AddSongFileFn &addSongFile);

// The paths of a playlist, folded and sorted once, so that testing a found file costs one
// binary search: the duplicate test stays near-linear in both list sizes.
class KnownPaths
{
public:
    explicit KnownPaths(const SongList &songs);
    // True when a playlist Path equals the text exactly (letter case counts), or when the
    // playlist holds tracks of the file by a sheet: inside it ("Album.flac#2") or beside it
    // with its name ("Album.cue#2", "Album.flac.cue#2").
    bool contains(const QString &path) const;

private:
    std::vector<std::pair<QString, QString>> m_sorted; // (FoldForSort key, path)
    std::vector<QString> m_sheetFiles;                 // sorted: containers of tracks, ".cue" dropped
};

// The files a ".txt" list names: every line longer than three characters that names an
// existing regular file, in order. Throws SonaloError when the list cannot be read.
QStringList readFileList(const QString &listFile);
