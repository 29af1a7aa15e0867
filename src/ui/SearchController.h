#pragma once

#include "core/SongLists.h"
#include "ui/LanguageCode.h"

#include <QString>

class SearchOptionsModel;
class TAudioInfo;

// What the search shows and asks of the main window. The window implements it; tests can
// implement it without widgets.
class SearchView
{
public:
    virtual ~SearchView() = default;

    // The search field suchwort.
    virtual QString searchTerm() const = 0;
    virtual void setSearchTerm(const QString &term) = 0;
    virtual void focusSearchTerm() = 0;
    // The table forgets its rows and shows this many of the shown list.
    virtual void setTableRowCount(qsizetype rows) = 0;
    virtual void setStatusText(const QString &text) = 0;
    // ShowListStatus of the main window.
    virtual void refreshList() = 0;
    // The search bar with the check mark of msuche; the options panel with that of suchoptpanel.
    virtual void showSearchBar(bool shown) = 0;
    virtual void showOptionsPanel(bool shown) = 0;
    virtual void showOptionsWindow() = 0;
    // The program's error message box.
    virtual void showError(const QString &message) = 0;
    // The first selected row of the table; -1 when none is.
    virtual int selectedRow() const = 0;

    // The playback state the search touches.
    virtual void clearPendingNext() = 0;
    virtual void setCurrentIndex(int row) = 0;
    virtual bool songLoaded() const = 0;
    virtual QString CurrentSongPath() const = 0;
};

// Searching and filtering the playlist: SuchenClick and the commands around it. The options
// are the shared model that both option views show; the regular-expression switch is its
// regex() flag.
class SearchController
{
public:
    SearchController(SongLists &lists, const LanguageCode &lang, SearchOptionsModel &options, SearchView &view);

    // Runs the search over the whole playlist. Returns true when the table was refreshed here
    // already and a caller refreshing the list has nothing more to do: the empty term switched
    // to the whole playlist, or the pattern was rejected (its message was shown).
    bool SuchenClick();
    void AlleClick();
    void mp5Click() { AlleClick(); }
    void mp6Click();
    void msucheClick();
    void suchoptpanelClick();
    void Suchoptionen1Click();
    // The options window was closed.
    void optionsWindowClosed();

    // Context searches, k being a field index (0 Artist ... 7 Path): from the selected row and
    // from the playing song.
    void SongsSuchen(int k);
    void AkSongsSuchen(int k);

    bool searchBarShown() const { return m_searchBarShown; }
    bool optionsPanelShown() const { return m_optionsPanelShown; }

    // A stored path's folder, up to and including its last separator.
    static QString folderPart(const QString &path);
    // The term of AkSongsSuchen(k) for the playing file read into info.
    static QString playingSongTerm(const TAudioInfo &info, const QString &path, int k);

private:
    void showBarAndFocus();
    void contextSearch(const QString &term);

    SongLists &m_lists;
    const LanguageCode &m_lang;
    SearchOptionsModel &m_options;
    SearchView &m_view;
    bool m_searchBarShown = false;
    bool m_optionsPanelShown = false;
};
