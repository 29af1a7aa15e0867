#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The shared state of a running folder scan: the Cancel button sets ScanCancelled, the walk
// counts what it finds in FoundCount.
struct ScanState
{
    bool ScanCancelled = false;
    int FoundCount = 0;
};

// The recursive file finder. Appends the full path of every regular file below folder whose
// name ends with one of the extensions (compared without regard to case), in this order:
// the sub-folders first (when included), walked the same way, then the folder's own files of
// each extension in list order. Each folder is listed sorted by name without regard to case;
// hidden entries count; a folder already on the walk (a symlink loop) is not entered again;
// a folder that cannot be read yields nothing. An empty extension list or an empty folder
// text finds nothing. afterFolder, when given, is called after each folder is listed, so a
// caller can keep its window painted while a large tree is walked.
void WideFindAllFiles(QStringList &found, const QString &folder, const QStringList &extensions,
                      bool includeSubfolders, const std::function<void()> &afterFolder = {});

// The counting walk of the scan dialog: as above, and after every entry of an extension's
// listing (a file or not) it counts found files in state.FoundCount, calls afterEntry (which
// lets pending window messages run and repaints the counter) and stops that listing when
// state.ScanCancelled is set.
void WideFindAllFilesANZ(QStringList &found, const QString &folder, bool includeSubfolders,
                         const QStringList &extensions, ScanState &state,
                         const std::function<void()> &afterEntry);
