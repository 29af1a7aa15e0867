#pragma once

#include "core/IniFile.h"

#include <QString>

#include <optional>
#include <span>

// The settings file "mp3player.ini": its keys, where it lives, and its reading and writing.
// What the keys mean to the program is the settings controller's business; this layer knows
// their names, order and types so that the command-line tool reads them the same way.
namespace SettingsFile {

inline constexpr const char *kFileName = "mp3player.ini";
// Far more than any settings file holds; a larger file is not read, and not overwritten,
// since what is not read could not be kept.
inline constexpr qint64 kMaxSize = 16 * 1024 * 1024;

enum class Kind { Boolean, Integer, Text };

struct Key
{
    const char *section;
    const char *name;
    Kind kind;
    // What a read that finds nothing keeps: the control's state after start-up.
    const char *designState;
};

// Every key, in the order a save writes them.
std::span<const Key> keys();

// The names of the song display modes, in the order of the display menu.
std::span<const char *const> displayModeNames();

// The file in the program's folder when that folder can take it (a portable install), else
// in the per-user configuration folder. Loading and saving both ask this, so they meet.
QString location(const QString &programFolder, const QString &configFolder);

// A boolean: an integer, 0 false and anything else true; nullopt for a missing key or a value
// that is not a number.
std::optional<bool> readBool(const IniFile &ini, const char *section, const char *key);
std::optional<int> readInt(const IniFile &ini, const char *section, const char *key);
// A column width: a negative number is none.
std::optional<int> readWidth(const IniFile &ini, const char *key);
// "sprache": only the languages of the language menu; another code would leave the windows
// half in one language.
std::optional<QString> readLanguage(const IniFile &ini);
// "songanzeige": the index of the display mode it names (exact, case-sensitive), -1 for a
// value naming none; a missing key names the first.
int readDisplayMode(const IniFile &ini);

// What one key of the file loads to, as text, for the command-line tool: the value, or the
// design state and why the file's value does not count.
struct KeyReading
{
    QString value;
    QString why; // empty when the file's value counts
};
KeyReading describe(const IniFile &ini, const Key &key);

struct ReadResult
{
    enum Status { Missing, Read, Unreadable };
    Status status = Missing;
    IniFile ini;
    QString error; // for Unreadable
};
// Reads the whole file, at most kMaxSize bytes; a larger one is Unreadable.
ReadResult read(const QString &path);

// Writes to a temporary file beside the target and renames it into place, creating the
// folder if needed. False (and the reason) when any step fails; the old file is then intact.
bool write(const QString &path, const QByteArray &bytes, QString *error);

} // namespace SettingsFile
