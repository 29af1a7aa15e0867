#pragma once

#include <QString>

// Replaces every occurrence of search, left to right without overlap, comparing code units
// exactly. Returns the text unchanged when search or text is empty or search equals replacement.
QString ReplaceAll(const QString &text, const QString &search, const QString &replacement);

// Whole seconds as the song length text: "m:ss" below 3599 seconds, "h:mm:ss" from there on.
QString FormatSongLength(int seconds);
// The same text in a buffer of its own, for a caller that copies it on (no heap block).
struct SongLengthText
{
    char16_t text[16];
    qsizetype size = 0;
    QStringView view() const { return QStringView(text, size); }
};
SongLengthText songLengthText(int seconds);
