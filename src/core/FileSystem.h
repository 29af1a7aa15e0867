#pragma once

#include <QString>

// Thin stat() wrappers; they follow symbolic links.
namespace FileSystem {

bool exists(const QString &path);
bool isRegularFile(const QString &path);
bool isDirectory(const QString &path);

// The folder of the running executable, with a trailing "/".
QString programFolder();

// A path's folder, up to and including its last "/" or "\" (a playlist written on Windows
// still splits sensibly); empty when it has none.
QString folderOf(const QString &path);
// What follows that folder.
QString fileNameOf(const QString &path);

// The extension rule of arguments, drops and picture names: the text from the last "." that
// comes after the last "/", "\" or ":"; empty when there is none.
QString extensionOf(const QString &name);

} // namespace FileSystem
