#pragma once

#include "core/SongRecord.h"
#include "core/LanguageCode.h"

#include <QString>

// Texts of the status line under the song table.

// Seconds of a Length text, m:ss or h:mm:ss. A text whose parts are not numbers counts as 0,
// so one hand-edited playlist line cannot stop every refresh of the status line.
qint64 LengthSeconds(const QString &length);

// The summed playing time of a list as "(1h 2min 3sec)"; the empty text for an empty list.
QString TotalPlayingTime(const SongList &list);
// The same for seconds already summed over songs songs.
QString PlayingTimeText(qint64 seconds, qsizetype songs);

// "Keine Dateien geladen" / "No Files Loaded".
QString NoFilesLoadedText(const LanguageCode &lang);
// " Dateien geladen" / " Files Loaded": the suffix after a count.
QString FilesLoadedSuffix(const LanguageCode &lang);
// " Dateien gefunden " / " Files Found ": after a search.
QString FilesFoundSuffix(const LanguageCode &lang);

// What a refresh writes: count + " Dateien geladen" + " " + TotalPlayingTime(timeOf).
QString ListStatusText(qsizetype count, const SongList &timeOf, const LanguageCode &lang);
// The same with the time already summed over timeOfSongs songs.
QString ListStatusText(qsizetype count, qint64 seconds, qsizetype timeOfSongs, const LanguageCode &lang);
