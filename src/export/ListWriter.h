#pragma once

#include "core/SongRecord.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>

// What one write of the list is asked to do: the export window's boxes, or sonalo-cli's options.
struct ExportOptions
{
    QString templateText;
    bool useFilter = false;
    QString filterText;
    // Artist, Title, Length, Album, Track, Year, Genre, Path.
    std::array<bool, TSongRecord::kFieldCount> filterColumns{true, true, false, true, false, false, false, false};
    bool findReplace = false;
    QString findText;
    QString replaceText;
    bool html = false;
    bool sort = true;
    bool unique = false;
    bool removeEmpty = true;
    bool leadingZeros = true;
};

// The lines of the list for the songs, in playlist order before sorting: filter, lines from the
// template compiled once, find and replace, sort, empty lines, numbering. In HTML mode the
// field texts are escaped before anything else sees them. Lines still hold "%tab%".
QStringList buildExportLines(const SongList &songs, const ExportOptions &options,
                             const QLocale &locale = QLocale());

// The filter rule: true when the filter is off, its text is empty, or a ticked column holds the
// text, both upper-cased.
bool exportFilterPasses(const TSongRecord &song, const ExportOptions &options);

// The output box after a write. HTML appends a table to what the box held unless the old list is
// to be replaced; plain text always replaces it, with every "%tab%" a tab character.
QStringList exportOutput(const QStringList &currentOutput, const QStringList &lines, bool html,
                         bool replaceOld);

// The text a save writes: every line of the output followed by CR LF.
QString exportFileText(const QStringList &outputLines);

// The lines of an output box's text as a multi-line edit counts them: a break at the very end
// starts no further line.
QStringList outputLinesOf(const QString &boxText);

// The name a confirmed save dialog's name is written under: ".htm" (HTML) or ".txt" appended
// unless the name already holds it anywhere, so "liste.html" stays as it is. A picture name gets
// the suffix too: only a name such as "liste.txt.jpeg" reaches the picture writer.
QString exportFileName(const QString &name, bool html);

// Characters of a field that HTML would read as markup, as entities.
QString escapeHtml(const QString &text);
