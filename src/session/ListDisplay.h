#pragma once

#include "core/LanguageCode.h"
#include "core/SongLists.h"
#include "core/SongSort.h"
#include "session/SongTableModel.h"

#include <QObject>
#include <QString>
#include <QTimer>

class PlaybackCursor;

// A shown search result that a refresh runs again over the changed playlist.
class ShownSearch
{
public:
    virtual ~ShownSearch() = default;
    // Runs the search again; true when it refreshed the table itself (the empty term switched
    // back to the whole playlist, or the pattern was rejected).
    virtual bool SuchenClick() = 0;
};

// The song table and the status line under it, without widgets: the table model the view
// reads rows from, the sort state, and the status line's text. ShowListStatus, statusClick and
// lvColumnClick live here; the window shows statusText() and the model.
class ListDisplay : public QObject, public SongLists::Listener
{
    Q_OBJECT
public:
    ListDisplay(SongLists &lists, const LanguageCode &lang, QObject *parent = nullptr);
    ~ListDisplay() override;

    // The lists changed: the table, and the status line when asked, show them again.
    void songListsChanged(SongLists::Refresh refresh) override;

    // The search a refresh re-runs while its result is shown, and the playback the status line
    // asks for the playing song. Both live as long as this object.
    void attach(ShownSearch &search, PlaybackCursor &playback);

    SongTableModel &model() { return m_model; }
    const SortState &sortState() const { return m_sort; }
    // What the status line shows: a notice while one is up, else the list's text.
    const QString &statusText() const { return m_notice.isActive() ? m_noticeText : m_status; }
    bool StatusShowsSong() const { return m_statusShowsSong; }

    // The table forgets every row it had and shows this many of the shown list.
    void setRowCount(qsizetype rows);
    void setStatusText(const QString &text);

    // Refresh of table and status line after the playlist changed.
    void ShowListStatus();
    void statusClick();
    void lvColumnClick(int column);
    // The playing song's display text, from playback, for the status line.
    void showSong(const QString &text);
    // A song was started: the status line counts as showing the song.
    void markStatusShowsSong() { m_statusShowsSong = true; }
    // A song could not be played: the status line says so for a while, then shows the list's
    // text again (including what was set meanwhile, such as the next song).
    void showPlayFailure(const QString &path);
    void setNoticeMilliseconds(int ms) { m_notice.setInterval(ms); }
    // Rows were to be moved by hand while a search result is shown: the status line says why
    // nothing moved, for a while.
    void showMoveRefused();
    // The rows were put in an order of the user's own: no column's sort mark any more.
    void clearSortMark();
    // The language routine's part: the count text in the new language.
    void languageChanged();

Q_SIGNALS:
    void statusTextChanged(const QString &text);
    // The table is sorted by column (-1: in no known order any more).
    void sortIndicatorChanged(int column, bool descending);

private:
    SongLists &m_lists;
    const LanguageCode &m_lang;
    SongTableModel m_model;
    SortState m_sort;
    QString m_status;
    bool m_statusShowsSong = false;
    QString m_noticeText;
    QTimer m_notice;
    ShownSearch *m_search = nullptr;
    PlaybackCursor *m_playback = nullptr;
};
