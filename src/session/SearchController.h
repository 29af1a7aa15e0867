#pragma once

#include "core/LanguageCode.h"
#include "core/SongLists.h"
#include "session/ListDisplay.h"

#include <QObject>
#include <QString>

class LongStepProgress;
class PlaybackCursor;
class SearchOptionsModel;
class TAudioInfo;
class UserDialogs;

// Searching and filtering the playlist: SuchenClick and the commands around it, without
// widgets. It holds the search term and whether the search bar and the options panel are
// shown; the window shows them through the signals. The options are the shared model that both
// option views show; the regular-expression switch is its regex() flag.
class SearchController : public QObject, public ShownSearch
{
    Q_OBJECT
public:
    // dialogs: where a rejected pattern is told.
    SearchController(SongLists &lists, const LanguageCode &lang, SearchOptionsModel &options, UserDialogs &dialogs,
                     ListDisplay &list, PlaybackCursor &playback, QObject *parent = nullptr);

    // Where a search of a large list shows that it runs, with Cancel; nullptr: nowhere.
    void setProgress(LongStepProgress *progress) { m_progress = progress; }

    const QString &searchTerm() const { return m_term; }
    // The search field was edited.
    void setSearchTerm(const QString &term);

    // Runs the search over the whole playlist. Returns true when the table was refreshed here
    // already and a caller refreshing the list has nothing more to do: the empty term switched
    // to the whole playlist, or the pattern was rejected (its message was shown).
    bool SuchenClick() override;
    // Shows the bar with this term and its result, as a context search does (a restart that
    // comes back to a result).
    void searchFor(const QString &term) { contextSearch(term); }
    void AlleClick();
    void mp5Click() { AlleClick(); }
    void mp6Click();
    void msucheClick();
    void suchoptpanelClick();
    void Suchoptionen1Click();
    // The options window was closed.
    void optionsWindowClosed();
    // The search bar shown or hidden from outside the menu (the settings file).
    void setSearchBarShown(bool shown);
    void setOptionsPanelShown(bool shown);
    // Shows the search bar and puts the focus into the search field.
    void showBarAndFocus();

    // Context searches, k being a field index (0 Artist ... 7 Path): from the row of the
    // shown list the table has selected first (-1 for none), and from the playing song.
    void SongsSuchen(int k, int selectedRow);
    void AkSongsSuchen(int k);

    bool searchBarShown() const { return m_searchBarShown; }
    bool optionsPanelShown() const { return m_optionsPanelShown; }

    // A stored path's folder, up to and including its last separator.
    static QString folderPart(const QString &path);
    // The term of AkSongsSuchen(k) for the playing file read into info.
    static QString playingSongTerm(const TAudioInfo &info, const QString &path, int k);

Q_SIGNALS:
    // The term changed other than by editing the field (a context search).
    void searchTermChanged(const QString &term);
    void searchBarShownChanged(bool shown);
    void optionsPanelShownChanged(bool shown);
    void focusSearchTermRequested();
    void optionsWindowRequested();
    // A new result is in the table: it is shown from its first row.
    void newResultShown();

private:
    void contextSearch(const QString &term);

    SongLists &m_lists;
    const LanguageCode &m_lang;
    SearchOptionsModel &m_options;
    UserDialogs &m_dialogs;
    ListDisplay &m_list;
    PlaybackCursor &m_playback;
    LongStepProgress *m_progress = nullptr;
    QString m_term;
    bool m_searchBarShown = false;
    bool m_optionsPanelShown = false;
};
