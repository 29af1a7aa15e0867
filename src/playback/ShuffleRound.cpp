#include "playback/ShuffleRound.h"

#include <QHash>

#include <algorithm>
#include <utility>

ShuffleRound::ShuffleRound(SongLists &lists, std::function<int(int)> random)
    : m_lists(lists), m_random(std::move(random))
{
    m_lists.addListener(this);
}

ShuffleRound::~ShuffleRound()
{
    m_lists.removeListener(this);
}

void ShuffleRound::songListsChanged(SongLists::Refresh)
{
    m_stale = true;
}

void ShuffleRound::reset()
{
    m_order.clear();
    m_played.clear();
    m_cursor = -1;
    m_stale = true;
}

// The rows of the shown list: first those of the songs this round played, in the order they
// played, then the others in a random order.
void ShuffleRound::refresh()
{
    if (!m_stale)
        return;
    m_stale = false;
    const SongList &rows = m_lists.shown();
    const int count = int(rows.size());
    std::vector<bool> taken(size_t(count), false);
    std::vector<int> order;
    order.reserve(size_t(count));
    QStringList kept;
    int cursor = -1;
    if (!m_played.isEmpty()) {
        // A song may stand in the list more than once: each played entry takes one row.
        QHash<QString, QList<int>> rowsOf;
        rowsOf.reserve(count);
        for (int r = count - 1; r >= 0; --r)
            rowsOf[rows.at(r).Path].append(r);
        for (qsizetype i = 0; i < m_played.size(); ++i) {
            auto it = rowsOf.find(m_played.at(i));
            if (it == rowsOf.end() || it->isEmpty())
                continue;
            const int r = it->takeLast();
            taken[size_t(r)] = true;
            order.push_back(r);
            kept.append(m_played.at(i));
            if (i <= m_cursor)
                cursor = int(order.size()) - 1;
        }
    }
    const size_t fixed = order.size();
    for (int r = 0; r < count; ++r)
        if (!taken[size_t(r)])
            order.push_back(r);
    for (size_t i = order.size(); i > fixed + 1; --i)
        std::swap(order[i - 1], order[fixed + size_t(m_random(int(i - fixed)))]);
    m_order = std::move(order);
    m_played = std::move(kept);
    m_cursor = cursor;
}

// A new round over the whole list; its first song is not avoidFirst when another can open it,
// so the turn of rounds plays no song twice in a row.
void ShuffleRound::deal(int avoidFirst)
{
    m_played.clear();
    m_cursor = -1;
    m_stale = true;
    refresh();
    if (m_order.size() > 1 && m_order.front() == avoidFirst)
        std::swap(m_order.front(), m_order[1 + size_t(m_random(int(m_order.size()) - 1))]);
}

int ShuffleRound::peekNext()
{
    refresh();
    if (m_order.empty())
        return -1;
    if (m_cursor + 1 >= int(m_order.size()))
        deal(m_cursor >= 0 && m_cursor < int(m_order.size()) ? m_order[size_t(m_cursor)] : -1);
    return m_order[size_t(m_cursor + 1)];
}

void ShuffleRound::markPlayed()
{
    const SongList &rows = m_lists.shown();
    while (m_played.size() <= m_cursor)
        m_played.append(rows.at(m_order[size_t(m_played.size())]).Path);
}

int ShuffleRound::next()
{
    const int row = peekNext();
    if (row < 0)
        return -1;
    ++m_cursor;
    markPlayed();
    return row;
}

int ShuffleRound::previous()
{
    refresh();
    if (m_cursor <= 0)
        return -1;
    --m_cursor;
    return m_order[size_t(m_cursor)];
}

void ShuffleRound::startedRow(int row)
{
    refresh();
    const auto at = std::find(m_order.begin(), m_order.end(), row);
    if (at == m_order.end())
        return;
    const int index = int(at - m_order.begin());
    if (index <= int(m_played.size()) - 1) {
        // Played already in this round: the cursor goes back there, and on from there.
        m_cursor = index;
        return;
    }
    // Still to come: it moves up to follow what was played, and counts as played.
    const int slot = int(m_played.size());
    std::swap(m_order[size_t(slot)], m_order[size_t(index)]);
    m_cursor = slot;
    markPlayed();
}
