#pragma once

#include <QByteArray>
#include <QString>

// Line-based edits of a mimeapps.list. The file belongs to the user and to every program that
// sets a default, so it is never parsed and rewritten: only the lines the edit is about change,
// everything else (other groups, comments, blank lines, line ends, the final newline) stays
// byte for byte.
namespace MimeAppsList {

// `text` with `desktopId` as the default of `mimeType` in [Default Applications]: the first line
// of that key gets the value, later lines of the key go; without the key a line is added after
// the group's last key line; without the group the group is appended.
QByteArray setDefault(const QByteArray &text, const QString &mimeType, const QString &desktopId);

// `text` without `desktopId` in the ';'-lists of [Default Applications] and [Added Associations];
// a line whose list becomes empty goes, and so does a group left empty by that (with the blank
// line before it when it ends the file). [Removed Associations] and other groups stay.
QByteArray removeApplication(const QByteArray &text, const QString &desktopId);

// The first desktop id of the default of `mimeType` in [Default Applications]; empty if none.
QString firstDefault(const QByteArray &text, const QString &mimeType);

} // namespace MimeAppsList
