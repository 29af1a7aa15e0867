#pragma once

#include "core/SongRecord.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Sorting the shown list by a column of the song table.

// True when the whole text is a signed 32-bit decimal integer.
bool IsIntegerText(QStringView text);

// Texts of 0 to 8 characters get leading zeros up to 9 characters; longer ones stay as they are.
QString PadNumber(const QString &text);

// The comparable form of a field text: ASCII letters upper-cased, German umlauts, sharp s and
// "Ç" spelled out; for Length, Track and Year (fields 2, 4, 5) "/" and ":" are dropped and a
// number is zero-padded so that numbers compare by value.
QString FoldSortText(const QString &text, int field);

// The sort key of every song of the list for field 0..7: the folded text followed by the song's
// starting position (1-based, zero-filled to the digit count of the list's length). The keys
// are unique, so any correct sort gives one order.
QStringList SortKeys(const SongList &list, int field);

// Sorts the list in place by the field, comparing keys code unit by code unit. keepAlive, when
// given, runs while a long list is sorted (see KeepAlive); it must not change the list.
// order, when given, receives the song's row before the sort for each row after it.
void SortSongs(SongList &list, int field, bool descending, const std::function<void()> &keepAlive = {},
               std::vector<qsizetype> *order = nullptr);

// The sort state of the song table: the column clicked last and the direction of the last sort.
struct SortState
{
    int SortColumn = 0;
    bool SortDescending = false;

    // A click on a column header with rowCount rows showing. Returns false when the click is
    // ignored (fewer than 2 rows). Column 0 only updates the state; others sort the list.
    bool lvColumnClick(int column, qsizetype rowCount, SongList &shown, const std::function<void()> &keepAlive = {},
                       std::vector<qsizetype> *order = nullptr);
};
