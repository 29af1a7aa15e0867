#include "core/PlaylistUndo.h"
#include "core/ListDisposal.h"

namespace {

// A dropped step may be the last holder of a million songs.
void release(SongLists::Snapshot &state)
{
    releaseSongs(state.all);
    releaseSongs(state.found);
}

} // namespace

void PlaylistUndo::bound(QList<State> &states)
{
    qsizetype songs = 0;
    for (const State &s : states)
        songs += s.all.size() + s.found.size();
    // The newest step stays whatever its size: the change just made can always be taken back.
    // It costs the list's array, not its songs, which the undo step and the lists share.
    while (states.size() > 1 && (states.size() > kMaxSteps || songs > kMaxSongs)) {
        songs -= states.first().all.size() + states.first().found.size();
        release(states.first());
        states.removeFirst();
    }
}

void PlaylistUndo::remember(const SongLists &lists)
{
    for (State &state : m_redo)
        release(state);
    m_redo.clear();
    m_undo.append(lists.snapshot());
    bound(m_undo);
}

bool PlaylistUndo::step(QList<State> &from, QList<State> &to, SongLists &lists)
{
    if (from.isEmpty())
        return false;
    to.append(lists.snapshot());
    bound(to);
    lists.restore(from.takeLast());
    return true;
}

bool PlaylistUndo::undo(SongLists &lists)
{
    return step(m_undo, m_redo, lists);
}

bool PlaylistUndo::redo(SongLists &lists)
{
    return step(m_redo, m_undo, lists);
}
