#pragma once

#include <QStringList>

class QMimeData;

// A file list in the forms Linux file managers paste and take drops from: "text/uri-list" and
// GNOME's "x-special/gnome-copied-files" with the "copy" verb (a paste copies, never moves), and
// as plain text the paths themselves, one a line.
// Every name keeps its full Unicode. The caller owns the result (the clipboard or a drag takes
// it over). fileListFromMimeData (AddingSongs.h) reads both forms back.
QMimeData *fileListMimeData(const QStringList &paths);
