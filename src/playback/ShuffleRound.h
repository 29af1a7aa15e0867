#pragma once

#include "core/SongLists.h"

#include <QStringList>

#include <functional>
#include <vector>

// "Shuffle (every song once)": the shown list's rows in a random order, each once per round.
// The cursor stands on the song that plays; next moves it on (a new round starts after the
// last), previous walks back through what this round played. The order stays while the list
// does not change; after a change (a search, a sort, a delete) the songs this round already
// played keep their places at its start and the rest is shuffled anew, so none comes twice.
class ShuffleRound : private SongLists::Listener
{
public:
    // random(n): a uniform index in 0..n-1.
    ShuffleRound(SongLists &lists, std::function<int(int)> random);
    ~ShuffleRound() override;
    ShuffleRound(const ShuffleRound &) = delete;
    ShuffleRound &operator=(const ShuffleRound &) = delete;

    // The row next() will give, without moving; -1 for an empty list. At the end of a round
    // this deals the next one.
    int peekNext();
    int next();
    // The row before the cursor, which then stands there; -1 (nothing moves) at a round's start.
    int previous();
    // The user started this row: it counts as played in this round, the cursor on it.
    void startedRow(int row);
    // Forgets the round: the next song opens a new one.
    void reset();

    // For tests: the rows of the round dealt so far, and the cursor in it.
    const std::vector<int> &order() { refresh(); return m_order; }
    int cursor() const { return m_cursor; }

private:
    void songListsChanged(SongLists::Refresh refresh) override;
    void refresh();
    void deal(int avoidFirst);
    void markPlayed();

    SongLists &m_lists;
    std::function<int(int)> m_random;
    std::vector<int> m_order;
    // The paths of m_order[0..played-1]: what survives a change of the list.
    QStringList m_played;
    int m_cursor = -1;
    bool m_stale = true;
};
