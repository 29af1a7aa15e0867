#include "session/RowMoves.h"

#include <algorithm>

namespace RowMoves {

namespace {

// The order that a new arrangement of row numbers means, and where `rows` ended up.
Move finish(std::vector<qsizetype> order, const QList<int> &rows)
{
    bool unchanged = true;
    for (qsizetype j = 0; j < qsizetype(order.size()); ++j)
        unchanged = unchanged && order[size_t(j)] == j;
    if (unchanged)
        return {};
    Move m;
    for (qsizetype j = 0; j < qsizetype(order.size()); ++j)
        if (std::binary_search(rows.cbegin(), rows.cend(), int(order[size_t(j)])))
            m.rows.append(int(j));
    m.order = std::move(order);
    return m;
}

} // namespace

Move dropBefore(qsizetype count, const QList<int> &rows, int before)
{
    if (rows.isEmpty())
        return {};
    std::vector<qsizetype> order;
    order.reserve(size_t(count));
    const auto place = [&] {
        for (int r : rows)
            order.push_back(r);
    };
    const qsizetype at = std::clamp<qsizetype>(before, 0, count);
    for (qsizetype row = 0; row < count; ++row) {
        if (row == at)
            place();
        if (!std::binary_search(rows.cbegin(), rows.cend(), int(row)))
            order.push_back(row);
    }
    if (at == count)
        place();
    return finish(std::move(order), rows);
}

Move step(qsizetype count, const QList<int> &rows, int delta)
{
    if (rows.isEmpty() || (delta < 0 && rows.first() == 0) || (delta > 0 && rows.last() >= count - 1))
        return {};
    std::vector<qsizetype> order(static_cast<size_t>(count));
    for (qsizetype j = 0; j < count; ++j)
        order[size_t(j)] = j;
    // Each row swaps with its neighbour on the side it moves to, nearest the edge first.
    if (delta < 0) {
        for (int r : rows)
            std::swap(order[size_t(r)], order[size_t(r - 1)]);
    } else {
        for (auto it = rows.crbegin(); it != rows.crend(); ++it)
            std::swap(order[size_t(*it)], order[size_t(*it + 1)]);
    }
    return finish(std::move(order), rows);
}

} // namespace RowMoves
