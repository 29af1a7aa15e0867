#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

#include <sys/types.h>

// The files the desktop integration writes into the user's or the system's folders, and the
// rule that keeps them from touching anything else: a file is written or removed only where
// nothing is or where one of ours is (a desktop file with our marker key, a PNG with our
// marker chunk); links and other programs' files stay as they are.
namespace OwnedFiles {

// The PNG with our marker as a text chunk right after its header chunk; empty when the bytes
// are no PNG.
QByteArray markedPng(const QByteArray &png);
bool isOurIcon(const QString &file);

// A file may be written where nothing is or where one of ours is.
bool mayWrite(const QString &file);
// Writes atomically with exactly this mode; false when the file may not be written or fails.
bool writeFile(const QString &file, const QByteArray &bytes, mode_t mode);
// Removes the file when it is ours; true when no file of ours is left there.
bool removeOurFile(const QString &file, bool icon = false);

// Removes the folders above `file` that are empty, up to but not including `root`.
void removeEmptyFolders(const QString &file, const QString &root);

// Applies `edit` to the mimeapps.list at `list` (to the file a link points to, so that the link
// stays); writes only when something changed, keeping the file's mode. A file the edit empties
// is removed, unless a link points to it.
bool editMimeApps(const QString &list, const std::function<QByteArray(const QByteArray &)> &edit);

} // namespace OwnedFiles
