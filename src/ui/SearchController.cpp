#include "ui/SearchController.h"

#include "core/FileSystem.h"
#include "core/SongSearch.h"
#include "tags/AudioInfo.h"
#include "ui/ListStatus.h"
#include "ui/SearchOptionsModel.h"

namespace {

constexpr int kPathField = 7;

} // namespace

SearchController::SearchController(SongLists &lists, const LanguageCode &lang, SearchOptionsModel &options,
                                   SearchView &view)
    : m_lists(lists), m_lang(lang), m_options(options), m_view(view)
{
}

bool SearchController::SuchenClick()
{
    m_view.clearPendingNext();
    const QString term = m_view.searchTerm();
    if (term.isEmpty()) {
        AlleClick();
        return true;
    }
    // Always the whole playlist, also while a result is shown.
    const SearchOutcome outcome = searchSongs(m_lists.AllSongs, term, m_options.options(), m_options.regex());
    m_lists.FoundSongs.clear();
    if (!outcome.ok) {
        // ShowingFound and the status line stay; the table must not go on showing rows of the
        // emptied result, so it shows the shown list as it is now: no rows while a result was
        // shown, the unchanged playlist otherwise.
        m_view.setTableRowCount(0);
        m_view.setTableRowCount(m_lists.shown().size());
        m_view.showError(RegexErrorText(outcome.errorCode, m_lang.code()));
        return true;
    }
    m_lists.FoundSongs.reserve(outcome.matches.size());
    for (qsizetype i : outcome.matches)
        m_lists.FoundSongs.append(m_lists.AllSongs[i]);
    m_lists.ShowingFound = true;
    m_view.setTableRowCount(0);
    m_view.setTableRowCount(m_lists.FoundSongs.size());
    m_view.setStatusText(QString::number(m_lists.FoundSongs.size()) + FilesFoundSuffix(m_lang)
                         + TotalPlayingTime(m_lists.FoundSongs));
    return false;
}

void SearchController::AlleClick()
{
    m_lists.ShowingFound = false;
    m_view.refreshList();
}

void SearchController::mp6Click()
{
    // The playlist stays loaded; the table stays empty until the next refresh.
    m_lists.ShowingFound = false;
    m_view.setTableRowCount(0);
    m_view.setStatusText(NoFilesLoadedText(m_lang));
}

void SearchController::showBarAndFocus()
{
    m_searchBarShown = true;
    m_view.showSearchBar(true);
    m_view.focusSearchTerm();
}

void SearchController::msucheClick()
{
    if (!m_searchBarShown) {
        showBarAndFocus();
        return;
    }
    m_searchBarShown = false;
    m_view.showSearchBar(false);
    AlleClick();
}

void SearchController::suchoptpanelClick()
{
    m_optionsPanelShown = !m_optionsPanelShown;
    m_view.showOptionsPanel(m_optionsPanelShown);
    if (m_optionsPanelShown)
        showBarAndFocus();
}

void SearchController::Suchoptionen1Click()
{
    m_view.showOptionsWindow();
}

void SearchController::optionsWindowClosed()
{
    showBarAndFocus();
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
    m_view.setSearchTerm(term);
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

void SearchController::SongsSuchen(int k)
{
    if (k < 0 || k >= TSongRecord::kFieldCount)
        return;
    const SearchOptions remembered = m_options.options();
    m_options.setOptions(contextOptions(k)); // the regular-expression switch stays as it is

    const int row = m_view.selectedRow();
    const SongList &shown = m_lists.shown();
    if (row >= 0 && row < shown.size()) {
        m_view.setCurrentIndex(row);
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

    if (m_view.songLoaded()) {
        const QString path = m_view.CurrentSongPath();
        TAudioInfo info;
        if (k != kPathField)
            info.ReadFromFile(path);
        contextSearch(playingSongTerm(info, path, k));
    }
    m_options.setOptions(remembered);
}
