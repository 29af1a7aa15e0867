#pragma once

#include "core/SongLists.h"

#include <QObject>

#include <vector>

// The songs lined up by "Add to Queue": they play in this order before the table's next song
// (after the one song marked to play next). The queue holds copies of the records, so sorting
// and searching leave it alone; a song that leaves the playlist leaves the queue too.
class PlayQueue : public QObject, private SongLists::Listener
{
    Q_OBJECT
public:
    explicit PlayQueue(SongLists &lists, QObject *parent = nullptr);
    ~PlayQueue() override;

    const SongList &songs() const { return m_songs; }
    bool isEmpty() const { return m_songs.isEmpty(); }
    qsizetype size() const { return m_songs.size(); }

    // The rows of the shown list, in the order given; rows outside it are skipped.
    void appendShownRows(const QList<int> &rows);
    void append(const SongList &songs);
    // Removes the entries at these positions (any order, repeats and outsiders ignored).
    void remove(const QList<int> &positions);
    // order[j]: the position before of the entry that goes to j; false for no permutation.
    bool reorder(const std::vector<qsizetype> &order);
    void clear();
    // Takes the first entry off; the queue must not be empty.
    TSongRecord takeFirst();

Q_SIGNALS:
    void changed();

private:
    void songListsChanged(SongLists::Refresh refresh) override;
    static bool isEveryRow(const QList<int> &rows, qsizetype count);
    // Removes the entries marked in drop (one flag per entry) and tells that the queue changed.
    void dropMarked(const std::vector<bool> &drop);

    SongLists &m_lists;
    SongList m_songs;
    // The playlist's drop count when the queue last looked for songs that left it.
    quint64 m_checkedDrops = 0;
};
