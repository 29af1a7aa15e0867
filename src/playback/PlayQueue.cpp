#include "playback/PlayQueue.h"

#include <QSet>

#include <algorithm>

PlayQueue::PlayQueue(SongLists &lists, QObject *parent) : QObject(parent), m_lists(lists)
{
    m_lists.addListener(this);
}

PlayQueue::~PlayQueue()
{
    m_lists.removeListener(this);
}

void PlayQueue::appendShownRows(const QList<int> &rows)
{
    const SongList &shown = m_lists.shown();
    SongList picked;
    for (int row : rows)
        if (row >= 0 && row < shown.size())
            picked.append(shown.at(row));
    append(picked);
}

void PlayQueue::append(const SongList &songs)
{
    if (songs.isEmpty())
        return;
    m_songs.append(songs);
    Q_EMIT changed();
}

void PlayQueue::remove(const QList<int> &positions)
{
    std::vector<bool> drop(size_t(m_songs.size()), false);
    bool any = false;
    for (int p : positions)
        if (p >= 0 && p < m_songs.size())
            any = drop[size_t(p)] = true;
    if (!any)
        return;
    SongList kept;
    kept.reserve(m_songs.size());
    for (qsizetype i = 0; i < m_songs.size(); ++i)
        if (!drop[size_t(i)])
            kept.append(m_songs.at(i));
    m_songs = std::move(kept);
    Q_EMIT changed();
}

bool PlayQueue::reorder(const std::vector<qsizetype> &order)
{
    if (qsizetype(order.size()) != m_songs.size())
        return false;
    std::vector<bool> seen(order.size(), false);
    for (qsizetype from : order) {
        if (from < 0 || from >= m_songs.size() || seen[size_t(from)])
            return false;
        seen[size_t(from)] = true;
    }
    SongList moved;
    moved.reserve(m_songs.size());
    for (qsizetype from : order)
        moved.append(m_songs.at(from));
    m_songs = std::move(moved);
    Q_EMIT changed();
    return true;
}

void PlayQueue::clear()
{
    if (m_songs.isEmpty())
        return;
    m_songs.clear();
    Q_EMIT changed();
}

TSongRecord PlayQueue::takeFirst()
{
    TSongRecord first = m_songs.takeFirst();
    Q_EMIT changed();
    return first;
}

void PlayQueue::songListsChanged(SongLists::Refresh)
{
    if (m_songs.isEmpty())
        return;
    // A search or a sort keeps every song of the playlist; a delete, a new playlist or an
    // undo that takes songs back out drops them here. One pass over the playlist, only while
    // something is queued.
    QSet<QString> present;
    for (const TSongRecord &queued : std::as_const(m_songs))
        present.insert(queued.Path);
    QSet<QString> found;
    auto look = [&](const SongList &list) {
        for (const TSongRecord &song : list)
            if (present.contains(song.Path)) {
                found.insert(song.Path);
                if (found.size() == present.size())
                    return true;
            }
        return false;
    };
    // Deleting from a shown result leaves the playlist as it is: such a song stays queued.
    if (look(m_lists.AllSongs()) || (m_lists.ShowingFound() && look(m_lists.FoundSongs())))
        return;
    const qsizetype before = m_songs.size();
    m_songs.removeIf([&](const TSongRecord &queued) { return !found.contains(queued.Path); });
    if (m_songs.size() != before)
        Q_EMIT changed();
}
