#include "session/QueueEdits.h"

#include "playback/PlayQueue.h"
#include "session/RowMoves.h"

#include <algorithm>

namespace {

QList<int> apply(PlayQueue &queue, const RowMoves::Move &move)
{
    if (move.order.empty() || !queue.reorder(move.order))
        return {};
    return move.rows;
}

QList<int> ascending(QList<int> rows, qsizetype count)
{
    rows.removeIf([count](int r) { return r < 0 || r >= count; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

namespace QueueEdits {

QList<int> step(PlayQueue &queue, const QList<int> &rows, int delta)
{
    return apply(queue, RowMoves::step(queue.size(), ascending(rows, queue.size()), delta));
}

QList<int> dropBefore(PlayQueue &queue, const QList<int> &rows, int before)
{
    const int clamped = int(std::clamp<qsizetype>(before, 0, queue.size()));
    return apply(queue, RowMoves::dropBefore(queue.size(), ascending(rows, queue.size()), clamped));
}

QString entryText(const TSongRecord &song)
{
    if (!song.Artist.isEmpty() && !song.Title.isEmpty())
        return song.Artist + QStringLiteral(" - ") + song.Title;
    if (!song.Artist.isEmpty() || !song.Title.isEmpty())
        return song.Artist + song.Title;
    return song.Path.section(QLatin1Char('/'), -1);
}

} // namespace QueueEdits
