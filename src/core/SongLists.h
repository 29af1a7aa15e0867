#pragma once

#include "core/SongRecord.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

// The playlist, the copies the last search chose, which of the two the table shows, and the
// folders of the playlists loaded so far. One instance, owned by the session (and by the
// command-line tool); used from one thread.
//
// The lists change only through the named edits below. A command opens one edit scope (edit())
// around its changes and says how they show; when the outermost scope ends, also by an
// exception, the listeners hear once how the table and the status line must be refreshed. An
// edit made outside any scope is a scope of its own, asking the refresh named beside it. This is the one door every change passes: the table, undo and whatever else
// must hear of changes listen here.
class SongLists
{
public:
    // How the window shows a finished change.
    enum class Refresh {
        None,           // nothing to show (the lists changed back to what is shown)
        Table,          // the table's rows again; the status line is not changed
        TableAndStatus, // the table's rows and the status line's count (ShowListStatus)
    };

    class Listener
    {
    public:
        virtual ~Listener() = default;
        // Called once when the outermost edit scope ends, with the widest refresh asked for.
        virtual void songListsChanged(Refresh refresh) = 0;
    };

    // Hears every change of the playlist itself (not of a shown result) as it is made: the
    // session journal keeps the playlist from these.
    class PlaylistObserver
    {
    public:
        virtual ~PlaylistObserver() = default;
        virtual void songsAppended(qsizetype from) = 0;                    // AllSongs()[from..] are new
        virtual void rowsRemoved(const QList<int> &ascendingRows) = 0;      // rows of the list before
        virtual void reordered(const std::vector<qsizetype> &order) = 0;    // order[j]: the old row
        virtual void replaced() = 0;                                        // any other change
    };

    // An open edit scope; moving it hands the scope over.
    class [[nodiscard]] EditScope
    {
    public:
        EditScope(EditScope &&other) noexcept : m_lists(std::exchange(other.m_lists, nullptr)) {}
        EditScope(const EditScope &) = delete;
        EditScope &operator=(const EditScope &) = delete;
        EditScope &operator=(EditScope &&) = delete;
        ~EditScope();
        // Widens the refresh this scope asks for (a command that learns it changed more).
        void ask(Refresh refresh);

    private:
        friend class SongLists;
        explicit EditScope(SongLists &lists) : m_lists(&lists) {}
        SongLists *m_lists;
    };

    // The whole state, for undo: the lists share their songs with the copy until one changes.
    struct Snapshot
    {
        SongList all;
        SongList found;
        bool showingFound = false;
        // The lists' summed playing times as far as known (-1: not known), so that an undo
        // does not walk a million songs again for the status line.
        qint64 allSeconds = -1;
        qint64 foundSeconds = -1;
    };

    // programFolder: the folder that relative song paths are tried against first, with a
    // trailing "/".
    explicit SongLists(QString programFolder = QString());
    SongLists(const SongLists &) = delete;
    SongLists &operator=(const SongLists &) = delete;

    const SongList &AllSongs() const { return m_all; }
    const SongList &FoundSongs() const { return m_found; }
    bool ShowingFound() const { return m_showingFound; }
    const QStringList &SourceFolders() const { return m_sourceFolders; }
    // The list the table shows.
    const SongList &shown() const { return m_showingFound ? m_found : m_all; }
    // The summed playing time in seconds of the playlist, of the last result and of the shown
    // list. Remembered until their songs change, a new order or another view keeps it: after a
    // sort a million songs lie all over memory and summing them again takes a visible moment.
    qint64 playlistSeconds() const;
    qint64 foundSeconds() const;
    qint64 shownSeconds() const { return m_showingFound ? foundSeconds() : playlistSeconds(); }

    // Counts the edits that may have taken songs out of the playlist (a delete from it, a
    // replace, clear, an undo): a listener that only cares about songs leaving compares it.
    quint64 playlistDrops() const { return m_playlistDrops; }

    const QString &programFolder() const { return m_programFolder; }
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

    void setPlaylistObserver(PlaylistObserver *observer) { m_observer = observer; }
    void addListener(Listener *listener);
    void removeListener(Listener *listener);
    EditScope edit(Refresh refresh);
    bool editing() const { return m_depth > 0; }

    // The named edits, with the refresh each asks when it is not inside a scope.
    void append(TSongRecord song);                        // TableAndStatus
    // keepAlive is called now and then while the songs' playing time is summed.
    void append(SongList &&songs, const std::function<void()> &keepAlive = {}); // TableAndStatus
    // other's playlist and source folders move over; other is left empty.
    void appendFrom(SongLists &other);                    // TableAndStatus
    void replaceAll(SongList songs);                      // TableAndStatus; shows the playlist
    void clear();                                         // TableAndStatus; shows the (empty) playlist
    // keepAlive is called now and then while an undo step shares the list and the kept songs are
    // copied; the list is the old one until the end.
    void removeShownRows(const QList<int> &ascendingRows, const std::function<void()> &keepAlive = {}); // Table
    // Puts the playlist in a new order: order[j] is the row before of the song that goes to
    // j, a permutation of every row. Only while the playlist is shown; false (and nothing
    // changed) otherwise or for an order that is no permutation of the playlist. keepAlive is
    // called now and then while the new order is built; the list is the old one until the end.
    bool reorderPlaylist(const std::vector<qsizetype> &order,
                         const std::function<void()> &keepAlive = {}); // Table
    void showFound(SongList found);                       // Table
    void showAll();                                       // Table
    void restore(Snapshot snapshot);                      // TableAndStatus
    Snapshot snapshot() const { return {m_all, m_found, m_showingFound, m_allSeconds, m_foundSeconds}; }
    void addSourceFolder(const QString &folder);          // None
    void addSourceFolders(const QStringList &folders);    // None
    // The one place the shown list is handed out for writing: sort reorders it in place (and
    // may keep the window painting meanwhile, so it must leave every song in it), and fills
    // order with each row's row before, when it can. Returns what sort returns; Table when it
    // changed the order.
    using Reorder = std::function<bool(SongList &shown, std::vector<qsizetype> &order)>;
    bool reorderShown(const Reorder &sort);

    // The file to open for a stored path: an absolute path as it is; a relative one against
    // the program's folder, else against the source folders (the last that holds it wins);
    // else the path as stored.
    QString DateiFinden(const QString &path) const;

private:
    void changed(Refresh refresh);
    void endScope();

    SongList m_all;
    SongList m_found;
    bool m_showingFound = false;
    mutable qint64 m_allSeconds = 0;   // -1: to be summed again
    mutable qint64 m_foundSeconds = 0;
    QStringList m_sourceFolders;
    QString m_programFolder;
    int m_depth = 0;
    Refresh m_pending = Refresh::None;
    QList<Listener *> m_listeners;
    PlaylistObserver *m_observer = nullptr;
    quint64 m_playlistDrops = 0;
};
