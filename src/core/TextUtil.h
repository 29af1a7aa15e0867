#pragma once

#include <QString>

// Replaces every occurrence of search, left to right without overlap, comparing code units
// exactly. Returns the text unchanged when search or text is empty or search equals replacement.
QString ReplaceAll(const QString &text, const QString &search, const QString &replacement);

// Whole seconds as the song length text: "m:ss" below 3599 seconds, "h:mm:ss" from there on.
QString FormatSongLength(int seconds);
