#pragma once

#include "core/SongLists.h"

#include <QList>

// The playlist as it was before each change that removed songs (a delete, emptying it, a load
// that replaced it), for Undo and Redo. Bounded in steps and in songs kept, so that undoing
// never costs more memory than a few playlists; the oldest steps go first, the newest always
// stays.
class PlaylistUndo
{
public:
    static constexpr int kMaxSteps = 20;
    static constexpr qsizetype kMaxSongs = 400'000;

    // Call before the change: keeps the lists as they are now and forgets what could be redone.
    void remember(const SongLists &lists);
    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    // Puts the lists back as they were before the last change (or after the last undone one);
    // false when there is none. The lists tell their listeners (the table) themselves.
    bool undo(SongLists &lists);
    bool redo(SongLists &lists);
    int steps() const { return int(m_undo.size()); }

private:
    using State = SongLists::Snapshot;
    static void bound(QList<State> &states);
    // Puts back the last state of `from`, keeping the present one in `to`.
    static bool step(QList<State> &from, QList<State> &to, SongLists &lists);

    QList<State> m_undo; // oldest first
    QList<State> m_redo;
};
