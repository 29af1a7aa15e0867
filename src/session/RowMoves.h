#pragma once

#include <QList>

#include <vector>

// Moving rows of the playlist by hand, as orders for SongLists::reorderPlaylist: order[j] is
// the row before of the song that goes to row j. Rows are ascending and inside 0..count-1.
namespace RowMoves {

struct Move
{
    std::vector<qsizetype> order; // empty: nothing moves
    QList<int> rows;              // where the moved rows stand afterwards, ascending
};

// A drag: the rows go together, in their order, before row `before` of the list as it is
// (count for the end). Nothing moves when they would stand where they are.
Move dropBefore(qsizetype count, const QList<int> &rows, int before);
// Alt+Up (-1) and Alt+Down (+1): every row one step, the gaps between them kept; nothing moves
// when the first (or last) row is at the edge already.
Move step(qsizetype count, const QList<int> &rows, int delta);

} // namespace RowMoves
