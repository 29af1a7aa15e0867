#pragma once

#include <QString>
#include <QStringView>

// The three ways the program folds text for comparing, side by side so that their differences
// stay deliberate:
// - FoldForSort: the folder scan's duplicate test and file order. Full Unicode upper case, then
//   the German letters spelled out.
// - the sort fold of the song table: only ASCII letters upper-cased, the German letters spelled
//   out character by character (so the pieces of a composed key fold one by one), every other
//   character kept, so non-Latin titles still sort by text.
// - simpleUpper: the search's case-insensitive comparison. The simple per-character mapping:
//   one character stays one character, so match offsets stay the text's offsets.

// The folder sort key: upper case, then Ä→AE, Ö→OE, Ü→UE, ß→SS, Ç→C.
QString FoldForSort(const QString &text);

// The sort fold of text written at out; returns the end. out needs room for
// foldedSortSize(text) characters (at most twice the text).
QChar *foldSortInto(QChar *out, QStringView text);
// The length of the sort fold of text (umlauts and sharp s become two letters).
qsizetype foldedSortSize(QStringView text);

// Upper case by the simple per-character mapping: one character stays one character.
QString simpleUpper(QStringView text);
// The same, appended to out.
void appendSimpleUpper(QString &out, QStringView text);
