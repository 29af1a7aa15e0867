#include "session/SearchController.h"
#include "session/WindowKeepAlive.h"
#include "session/LongStepProgress.h"
#include "session/UserDialogs.h"

#include "core/FileSystem.h"
#include "playback/PlaybackControl.h"
#include "core/SongSearch.h"
#include "tags/AudioInfo.h"
#include "core/ListStatus.h"
#include "session/SearchOptionsModel.h"

#include <QCoreApplication>

#include <optional>

namespace {

constexpr int kPathField = 7;

const std::function<void()> &keepWindowAliveFunction()
{
    static const std::function<void()> keepAlive = keepWindowAlive;
    return keepAlive;
}

} // namespace

SearchController::SearchController(SongLists &lists, const LanguageCode &lang, SearchOptionsModel &options,
                                   UserDialogs &dialogs, ListDisplay &list, PlaybackCursor &playback,
                                   QObject *parent)
    : QObject(parent), m_lists(lists), m_lang(lang), m_options(options), m_dialogs(dialogs), m_list(list),
      m_playback(playback)
{
}

void SearchController::setSearchTerm(const QString &term)
{
    m_term = term;
}

bool SearchController::SuchenClick()
{
    m_playback.clearPendingNext();
    const QString &term = m_term;
    if (term.isEmpty()) {
        AlleClick();
        return true;
    }
    // Always the whole playlist, also while a result is shown.
    // A million songs take a while: the window shows the search running, and Cancel keeps the
    // view as it was, result or playlist.
    SearchOutcome outcome;
    try {
        std::optional<LongStepProgress::Running> running;
        if (m_progress)
            running.emplace(m_progress->begin(LongStepProgress::Step::Searching, true, true));
        outcome = searchSongs(m_lists.AllSongs(), term, m_options.options(), m_options.regex(),
                              m_progress ? m_progress->keepAliveFunction() : keepWindowAliveFunction());
    } catch (const LongStepProgress::StepCancelled &) {
        return true;
    }
    if (!outcome.ok) {
        // The previous view stays as it was, result or playlist, so that the table and the
        // status line still agree; the user corrects the pattern and searches again.
        m_dialogs.showError(nullptr, RegexErrorText(outcome.errorCode, m_lang));
        return true;
    }
    SongList found;
    found.reserve(outcome.matches.size());
    for (qsizetype i : outcome.matches)
        if (i < m_lists.AllSongs().size()) // never past the list, whatever ran meanwhile
            found.append(m_lists.AllSongs()[i]);
    {
        // The status line gets the result's own text below.
        const auto scope = m_lists.edit(SongLists::Refresh::Table);
        m_lists.showFound(std::move(found));
    }
    m_list.setStatusText(QString::number(m_lists.FoundSongs().size()) + FilesFoundSuffix(m_lang)
                         + PlayingTimeText(m_lists.foundSeconds(), m_lists.FoundSongs().size()));
    Q_EMIT newResultShown();
    return false;
}

void SearchController::AlleClick()
{
    const auto scope = m_lists.edit(SongLists::Refresh::TableAndStatus);
    m_lists.showAll();
}

void SearchController::mp6Click()
{
    // The playlist stays loaded; the table stays empty until the next refresh.
    {
        const auto scope = m_lists.edit(SongLists::Refresh::None);
        m_lists.showAll();
    }
    m_list.setRowCount(0);
    m_list.setStatusText(NoFilesLoadedText(m_lang));
}

void SearchController::showBarAndFocus()
{
    setSearchBarShown(true);
    Q_EMIT focusSearchTermRequested();
}

void SearchController::msucheClick()
{
    if (!m_searchBarShown) {
        showBarAndFocus();
        return;
    }
    setSearchBarShown(false);
    AlleClick();
}

void SearchController::suchoptpanelClick()
{
    setOptionsPanelShown(!m_optionsPanelShown);
    if (m_optionsPanelShown)
        showBarAndFocus();
}

void SearchController::Suchoptionen1Click()
{
    Q_EMIT optionsWindowRequested();
}

void SearchController::optionsWindowClosed()
{
    showBarAndFocus();
}

void SearchController::setSearchBarShown(bool shown)
{
    m_searchBarShown = shown;
    // Also when it did not change: the menu's own flip of its check mark is set right again.
    Q_EMIT searchBarShownChanged(shown);
}

void SearchController::setOptionsPanelShown(bool shown)
{
    m_optionsPanelShown = shown;
    Q_EMIT optionsPanelShownChanged(shown);
}

QString SearchController::folderPart(const QString &path)
{
    return FileSystem::folderOf(path);
}

QString SearchController::playingSongTerm(const TAudioInfo &info, const QString &path, int k)
{
    switch (k) {
    case 0:
        return info.Artist;
    case 1:
        return info.Title;
    case 2:
        // Minutes are not carried into hours here, unlike the Length the table holds.
        return QString::asprintf("%d:%.2d", info.Seconds / 60, info.Seconds % 60);
    case 3:
        return info.Album;
    case 4:
        return info.Track;
    case 5:
        return info.Year;
    case 6:
        return info.Genre;
    default:
        return folderPart(path);
    }
}

void SearchController::contextSearch(const QString &term)
{
    showBarAndFocus();
    m_term = term;
    Q_EMIT searchTermChanged(term);
    SuchenClick();
}

// Only field k, exact (but for the folder, which also finds the songs of its subfolders),
// case-insensitive, whole term, not inverted.
static SearchOptions contextOptions(int k)
{
    SearchOptions context;
    context.columns.fill(false);
    context.columns[size_t(k)] = true;
    context.exact = k != kPathField;
    return context;
}

void SearchController::SongsSuchen(int k, int selectedRow)
{
    if (k < 0 || k >= TSongRecord::kFieldCount)
        return;
    const SearchOptions remembered = m_options.options();
    m_options.setOptions(contextOptions(k)); // the regular-expression switch stays as it is

    const int row = selectedRow;
    const SongList &shown = m_lists.shown();
    if (row >= 0 && row < shown.size()) {
        m_playback.setCurrentIndex(row);
        const QString field = shown[row].field(k);
        contextSearch(k == kPathField ? folderPart(field) : field);
    }
    m_options.setOptions(remembered);
}

void SearchController::AkSongsSuchen(int k)
{
    if (k < 0 || k >= TSongRecord::kFieldCount)
        return;
    const SearchOptions remembered = m_options.options();
    m_options.setOptions(contextOptions(k)); // the regular-expression switch stays as it is

    if (m_playback.songLoaded()) {
        const QString path = m_playback.CurrentSongPath();
        TAudioInfo info;
        if (k != kPathField)
            info.ReadFromFile(path);
        contextSearch(playingSongTerm(info, path, k));
    }
    m_options.setOptions(remembered);
}
