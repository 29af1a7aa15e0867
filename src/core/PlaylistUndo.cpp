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

bool PlaylistUndo::undo(SongLists &lists)
{
    if (m_undo.isEmpty())
        return false;
    m_redo.append(take(lists));
    bound(m_redo);
    put(m_undo.takeLast(), lists);
    return true;
}

bool PlaylistUndo::redo(SongLists &lists)
{
    if (m_redo.isEmpty())
        return false;
    m_undo.append(take(lists));
    bound(m_undo);
    put(m_redo.takeLast(), lists);
    return true;
}
