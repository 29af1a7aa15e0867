#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

// The text rules of the freedesktop files we write (desktop entries, file-manager actions, the
// MIME package, the Nautilus script) and a small reader for the ones we read back. These files
// come from disk and may have been edited by anyone: every read is bounded and never trusted.
namespace DesktopEntryText {

// The line that marks a file as ours; removal touches only files that carry it.
inline constexpr char kOwnerMarker[] = "X-Sonalo-Owner=ORVmp3player";

// The Exec= value that starts `program` with every selected item: the program path quoted as a
// desktop entry's command line must be, then " %F". Empty when the path cannot be written
// there: not absolute, or holding '%', '=', a control character or a lone surrogate.
QString desktopExec(const QString &program);

// False when the program path cannot go into an Exec= line (see desktopExec).
bool programPathUsable(const QString &program);

// A plain desktop-entry string value (TryExec=, Name=): backslashes doubled. The value must not
// hold control characters (callers check that first).
QString plainValue(const QString &text);

// `text` in shell single quotes ('it'\''s').
QString shellSingleQuoted(const QString &text);

// The raw value of `key` in `[group]` of a desktop-entry style text, as written (escapes kept),
// the first occurrence; nullopt when the group or key is missing. Lines may end in "\n" or
// "\r\n"; comment lines and localised keys (Name[de]) are not the key.
std::optional<QString> value(const QByteArray &text, QStringView group, QStringView key);

// True when one line of `text` is the owner marker, alone or as the comment forms of the MIME
// package ("<!-- ... -->") and the script ("# ...").
bool carriesOwnerMarker(const QByteArray &text);

// At most `limit` bytes of the file at `path`; nullopt when it cannot be opened, is no regular
// file, or is larger than `limit` (such a file is not one of ours).
std::optional<QByteArray> readBounded(const QString &path, qint64 limit = 256 * 1024);

// True when `path` is a regular file (not a link) that carries the owner marker.
bool isOurFile(const QString &path);

} // namespace DesktopEntryText
