#include "playback/PlayQueue.h"
#include "core/ListDisposal.h"

#include <QSet>

#include <algorithm>

namespace {

// A text by where it lies: the same address and length is the same text.
using TextAt = std::pair<const QChar *, qsizetype>;

TextAt textAt(const QString &text)
{
    return {text.constData(), text.size()};
}

} // namespace

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
    if (m_songs.isEmpty() && isEveryRow(rows, shown.size())) {
        // Select all, then enqueue: the queue shares the list's array instead of copying a
        // million records; whichever changes first makes its own copy.
        append(shown);
        return;
    }
    SongList picked;
    picked.reserve(rows.size());
    for (int row : rows)
        if (row >= 0 && row < shown.size())
            picked.append(shown.at(row));
    append(picked);
}

bool PlayQueue::isEveryRow(const QList<int> &rows, qsizetype count)
{
    if (rows.size() != count)
        return false;
    for (qsizetype i = 0; i < count; ++i)
        if (rows[i] != i)
            return false;
    return true;
}

void PlayQueue::append(const SongList &songs)
{
    if (songs.isEmpty())
        return;
    if (m_songs.isEmpty())
        m_songs = songs; // shared until one side changes
    else
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
    dropMarked(drop);
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
    // A search, a sort or an append take nothing out of the playlist: a million queued songs
    // need not be looked up then.
    const bool noneLeft = m_lists.playlistDrops() == m_checkedDrops;
    m_checkedDrops = m_lists.playlistDrops();
    if (m_songs.isEmpty() || noneLeft)
        return;
    // A delete, a new playlist or an undo that takes songs back out drops them here. Deleting
    // from a shown result leaves the playlist as it is: such a song stays queued.
    // Queued songs are mostly the playlist's own records in its order (Ctrl+A, Ctrl+E) and share
    // their path's text: one walk through both, comparing where the texts lie, finds them, a
    // few rows ahead at most. Only the rest is looked for by text.
    const SongList &all = m_lists.AllSongs();
    if (all.isEmpty() && !m_lists.ShowingFound()) {
        // Every song left (Ctrl+A, Del; emptying the playlist): nothing to look up.
        releaseSongs(m_songs);
        Q_EMIT changed();
        return;
    }
    constexpr qsizetype kLookAhead = 64;
    QList<qsizetype> unsure;
    qsizetype at = 0;
    for (qsizetype i = 0; i < m_songs.size(); ++i) {
        const TextAt path = textAt(m_songs[i].Path);
        const qsizetype end = std::min(all.size(), at + kLookAhead);
        qsizetype k = at;
        while (k < end && textAt(all[k].Path) != path)
            ++k;
        if (k < end)
            at = k + 1;
        else
            unsure.append(i);
    }
    if (unsure.isEmpty())
        return;
    QSet<QString> wanted;
    std::vector<bool> lengths;
    for (qsizetype i : std::as_const(unsure)) {
        const QString &path = m_songs[i].Path;
        wanted.insert(path);
        if (size_t(path.size()) >= lengths.size())
            lengths.resize(size_t(path.size()) + 1, false);
        lengths[size_t(path.size())] = true;
    }
    // A text is hashed only when its length is one of those looked for.
    QSet<QString> found;
    auto look = [&](const SongList &list) {
        for (const TSongRecord &song : list) {
            const size_t n = size_t(song.Path.size());
            if (n < lengths.size() && lengths[n] && wanted.contains(song.Path))
                found.insert(song.Path);
        }
    };
    look(all);
    if (m_lists.ShowingFound())
        look(m_lists.FoundSongs());
    std::vector<bool> drop(size_t(m_songs.size()), false);
    bool any = false;
    for (qsizetype i : std::as_const(unsure))
        if (!found.contains(m_songs[i].Path))
            any = drop[size_t(i)] = true;
    if (!any)
        return;
    dropMarked(drop);
}

void PlayQueue::dropMarked(const std::vector<bool> &drop)
{
    // In place, each kept entry moved once: a million copied and a million freed would be a
    // step of their own.
    qsizetype to = 0;
    for (qsizetype from = 0; from < m_songs.size(); ++from)
        if (!drop[size_t(from)]) {
            if (to != from)
                m_songs[to] = std::move(m_songs[from]);
            ++to;
        }
    m_songs.resize(to);
    Q_EMIT changed();
}
