#include "session/ListDisplay.h"
#include "session/WindowKeepAlive.h"

#include "core/ListStatus.h"
#include "playback/PlaybackControl.h"

#include <QCoreApplication>
#include <QFileInfo>

ListDisplay::ListDisplay(SongLists &lists, const LanguageCode &lang, QObject *parent)
    : QObject(parent), m_lists(lists), m_lang(lang), m_model(lists)
{
    // Long enough to read, short enough not to hide the next song's name for good.
    m_notice.setSingleShot(true);
    m_notice.setInterval(5000);
    connect(&m_notice, &QTimer::timeout, this, [this] { Q_EMIT statusTextChanged(m_status); });
    m_lists.addListener(this);
}

ListDisplay::~ListDisplay()
{
    m_lists.removeListener(this);
}

void ListDisplay::songListsChanged(SongLists::Refresh refresh)
{
    if (refresh == SongLists::Refresh::TableAndStatus)
        ShowListStatus();
    else if (refresh == SongLists::Refresh::Table)
        m_model.setRowCount(m_lists.shown().size());
}

void ListDisplay::attach(ShownSearch &search, PlaybackCursor &playback)
{
    m_search = &search;
    m_playback = &playback;
}

void ListDisplay::setRowCount(qsizetype rows)
{
    m_model.setRowCount(rows);
}

void ListDisplay::setStatusText(const QString &text)
{
    m_status = text;
    if (!m_notice.isActive())
        Q_EMIT statusTextChanged(m_status);
}

void ListDisplay::showPlayFailure(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    m_noticeText = m_lang.text(u"Datei kann nicht abgespielt werden: ", u"File can not be played: ") + name;
    m_notice.start();
    Q_EMIT statusTextChanged(m_noticeText);
}

void ListDisplay::showMoveRefused()
{
    m_noticeText = m_lang.text(u"Während ein Suchergebnis angezeigt wird, lässt sich die Reihenfolge nicht ändern",
                               u"The order cannot be changed while a search result is shown");
    m_notice.start();
    Q_EMIT statusTextChanged(m_noticeText);
}

void ListDisplay::clearSortMark()
{
    m_sort = SortState{};
    Q_EMIT sortIndicatorChanged(-1, false);
}

void ListDisplay::ShowListStatus()
{
    m_statusShowsSong = false;
    Q_EMIT sortIndicatorChanged(-1, false);
    if (m_lists.ShowingFound()) {
        if (m_search && m_search->SuchenClick())
            return; // the search switched back to the whole playlist and refreshed already
        m_model.setRowCount(m_lists.FoundSongs().size());
        // The count of the found songs with the time of the whole playlist.
        setStatusText(ListStatusText(m_lists.FoundSongs().size(), m_lists.playlistSeconds(), m_lists.AllSongs().size(), m_lang));
    } else {
        m_model.setRowCount(m_lists.AllSongs().size());
        setStatusText(ListStatusText(m_lists.AllSongs().size(), m_lists.playlistSeconds(), m_lists.AllSongs().size(), m_lang));
    }
}

void ListDisplay::statusClick()
{
    m_notice.stop(); // a click asks for the list's text now
    if (!m_statusShowsSong && m_playback && m_playback->songLoaded()) {
        m_playback->ShowCurrentSong();
        m_statusShowsSong = true;
    } else {
        const SongList &shown = m_lists.shown();
        setStatusText(ListStatusText(shown.size(), m_lists.shownSeconds(), shown.size(), m_lang));
        m_statusShowsSong = false;
    }
}

void ListDisplay::lvColumnClick(int column)
{
    // A million songs take a second.
    const std::function<void()> keepAlive = keepWindowAlive;
    const qsizetype rows = m_model.rowCountValue();
    const auto sort = [&](SongList &shown, std::vector<qsizetype> &order) {
        return m_sort.lvColumnClick(column, rows, shown, keepAlive, &order);
    };
    if (m_lists.reorderShown(sort)) {
        // The number column sorts nothing: no arrow for it.
        Q_EMIT sortIndicatorChanged(column > 0 ? m_sort.SortColumn : -1, m_sort.SortDescending);
    }
}

void ListDisplay::showSong(const QString &text)
{
    setStatusText(text);
}

void ListDisplay::languageChanged()
{
    if (!m_lang.isDe() && !m_lang.isEn())
        return;
    const qsizetype rows = m_model.rowCountValue();
    if (rows == 0) {
        setStatusText(NoFilesLoadedText(m_lang));
        return;
    }
    // The total playing time stays, in the new language's words.
    const SongList &shown = m_lists.shown();
    setStatusText(rows == shown.size() ? ListStatusText(rows, m_lists.shownSeconds(), rows, m_lang)
                                       : QString::number(rows) + FilesLoadedSuffix(m_lang));
}
