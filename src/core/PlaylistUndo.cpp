#include "core/PlaylistUndo.h"

PlaylistUndo::State PlaylistUndo::take(const SongLists &lists)
{
    // The lists share their songs with the copies until one of them changes.
    return {lists.AllSongs, lists.FoundSongs, lists.ShowingFound};
}

void PlaylistUndo::put(const State &state, SongLists &lists)
{
    lists.AllSongs = state.all;
    lists.FoundSongs = state.found;
    lists.ShowingFound = state.showingFound;
}

void PlaylistUndo::bound(QList<State> &states)
{
    qsizetype songs = 0;
    for (const State &s : states)
        songs += s.all.size() + s.found.size();
    while (!states.isEmpty() && (states.size() > kMaxSteps || songs > kMaxSongs)) {
        songs -= states.first().all.size() + states.first().found.size();
        states.removeFirst();
    }
}

void PlaylistUndo::remember(const SongLists &lists)
{
    m_redo.clear();
    m_undo.append(take(lists));
    bound(m_undo);
}

bool PlaylistUndo::step(QList<State> &from, QList<State> &to, SongLists &lists)
{
    if (from.isEmpty())
        return false;
    to.append(take(lists));
    bound(to);
    put(from.takeLast(), lists);
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
