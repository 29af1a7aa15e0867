#pragma once

#include "core/FolderScan.h"
#include "core/OutputSettings.h"
#include "core/SongLists.h"
#include "playback/AudioPlayer.h"
#include "ui/LanguageCode.h"
#include "ui/SearchController.h"
#include "ui/SongSort.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QTableView;
class QWidget;
class PlaybackControl;
class SearchOptionsModel;
class SongTableModel;
class Tfehler;
class Tlastfiles;
class TprogPlaybackView;
class TTrackBar;
class UserDialogs;

// The main window: the song table with its status line, the play controls, the search bar and
// the menus. Commands whose logic belongs to subsystems not built into this window reach them
// through hooks; a menu item whose hook is missing stays disabled.
class Tprog : public QMainWindow, private SearchView
{
    Q_OBJECT
public:
    // Connections to the parts of the program that live outside this window.
    struct Hooks
    {
        // First activation: reads "autoload" and loads the settings if asked.
        std::function<void()> loadSettingsIfAsked;
        // Close query with automatic saving ticked; false stops the close.
        std::function<bool()> saveSettings;
        // Re-runs the search; true when it refreshed the table itself (it switched back to the
        // whole playlist, or its pattern was rejected). The window's own search is installed.
        std::function<bool()> SuchenClick;
        // AddSongFile of the tag layer: appends one song for a file.
        AddSongFileFn addSongFile;
        // Offers PlaylistFolderList in the start window.
        std::function<void()> offerPlaylists;
        // Gives the focus to the open start window.
        std::function<void()> focusStartWindow;
        // Composes and shows the playing song; empty while nothing can be playing.
        std::function<void()> ShowCurrentSong;
        // True while a song is loaded in the player.
        std::function<bool()> songLoaded;
        // Releases the playback component.
        std::function<void()> FreePlayer;
        // Shows the add-folder dialog.
        std::function<void()> showAddFolderDialog;
        // The tick "relativ" of the add-folder dialog: the relative flag of folders added here.
        std::function<bool()> relativTicked;
        // The playback state that searching touches: PendingNext is cleared by every search;
        // a context search from a row makes that row CurrentIndex; the context search from the
        // playing song reads CurrentSongPath (the resolved path of the song started last).
        std::function<void()> clearPendingNext;
        std::function<void(int row)> setCurrentIndex;
        std::function<QString()> CurrentSongPath;
    };

    // programFolder ends with "/"; arguments are the command line after the program's name.
    Tprog(LanguageCode &lang, OutputSettings &output, UserDialogs &dialogs, QString programFolder,
          QStringList arguments, QWidget *parent = nullptr);
    ~Tprog() override; // FormDestroy

    Hooks hooks;

    SongLists &lists() { return m_lists; }
    // ScanCancelled and FoundCount of the folder walks (shared with the add-folder dialog).
    ScanState &scanState() { return m_scan; }
    SongTableModel *model() const { return m_model; }
    QTableView *table() const { return lv; }
    QLabel *statusLabel() const { return status; }
    const SortState &sortState() const { return m_sort; }
    // The search options that the panel and the options window show.
    SearchOptionsModel &searchOptions() { return *m_searchOptions; }
    SearchController &search() { return *m_search; }
    // The options window that Suchoptionen1Click shows; its closing shows the search bar.
    void setSearchOptionsWindow(QWidget *window) { m_searchOptionsWindow = window; }
    // The filter of the open-files dialog in the current language.
    const QString &openAudioFilesFilter() const { return m_openAudioFilesFilter; }
    static QString playlistFilter();
    // True when the desktop is less than 50 pixels higher or wider than the client area: the
    // window then starts maximized.
    static bool startsMaximized(QSize desktop, QSize client);

    // Start-up state.
    QStringList PlaylistFolderList;
    int MaximizePending = 1;
    bool FirstActivation = true;
    bool StatusShowsSong = false;

    // The error log window, whose title this window's language routine writes and to which
    // failed song starts are written.
    void setErrorWindow(Tfehler *window) { m_errorWindow = window; }
    // The recently played window, refreshed while it is shown.
    void setRecentWindow(Tlastfiles *window);

    // Playback: creates the playback state with players from factory and enables the play
    // controls, the playback menu and the table's play commands.
    void attachPlayback(AudioPlayerFactory factory);
    PlaybackControl *playback() const { return m_playback.get(); }
    // The first selected row of the table, -1 for none.
    int selectedRow() const override;
    // Double click on the table: starts the selected row, or asks for files when none is.
    void lvDblClick();
    void mw5Click();
    void m_fehlerClick();

    // Language routine.
    void sprache();

    void ShowListStatus();
    void ShowCurrentSong();
    void lvColumnClick(int column);
    void statusClick();
    void OpenArgument(const QString &argument);
    void EinzigeLaden();

    // Adding songs. Each disables the window while it adds and ends with the refresh and the
    // scroll to the last row.
    void m_opendateiClick();
    void mp11Click();
    void mp4Click();
    // The drop handler: names dropped on the song table, in drop order.
    void lvDropFiles(const QStringList &names);
    // Runs adding with the window disabled (pending events still run inside the loops) and
    // shows a SonaloError in the error box; the window comes back however adding ends.
    void addSongs(const std::function<void()> &adding);
    // True while songs are being added.
    bool isAdding() const { return m_adding; }

    // Menu commands.
    void mp1Click();
    void mp3Click();
    void mp2Click();
    void ergalsempClick();
    void mcloseClick();
    void Deutsch1Click();
    void English1Click();
    void saatClick(QAction *item);
    void saheaderClick();
    void sastatusClick();
    // The search bar, the options panel and the context searches (the logic is in search()).
    void SuchenClick() { m_search->SuchenClick(); }
    void AlleClick() { m_search->AlleClick(); }
    void mp5Click() { m_search->mp5Click(); }
    void mp6Click() { m_search->mp6Click(); }
    void msucheClick() { m_search->msucheClick(); }
    void suchoptpanelClick() { m_search->suchoptpanelClick(); }
    void Suchoptionen1Click() { m_search->Suchoptionen1Click(); }
    void SongsSuchen(int k) { m_search->SongsSuchen(k); }
    void AkSongsSuchen(int k) { m_search->AkSongsSuchen(k); }
    // The context menus open only when they can act: the table's while a row is selected, the
    // song panel's while a song is loaded. True when the menu opened.
    bool popupTable(const QPoint &pos);
    bool popupSongPanel(const QPoint &pos);

    void FormShow();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();

Q_SIGNALS:
    // After the main window's own routine ran: the other windows apply the new language.
    void languageSwitched();
    // The main window closed: the program ends.
    void formClosed();
    // The information menu asks for the about window.
    void infoRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createPopups();
    void createBottomPanel(QWidget *parent);
    QWidget *createSearchBar(QWidget *parent);
    QWidget *createSearchOptions(QWidget *parent);
    void layoutBottomPanel();
    bool playbackEvent(QObject *watched, QEvent *event);
    void loadPlaylistFile(const QString &fileName);
    void savePlaylistTo(const SongList &list);
    void runCommand(const std::function<void()> &command);
    QAction *action(const char *component) const;
    QStringList slpFilesBeside() const;
    AddSongFileFn songAdder() const;
    bool folderRelative() const;
    bool viewportEvent(QEvent *event);
    void scrollToLastRow();

    // SearchView
    QString searchTerm() const override;
    void setSearchTerm(const QString &term) override;
    void focusSearchTerm() override;
    void setTableRowCount(qsizetype rows) override;
    void setStatusText(const QString &text) override;
    void refreshList() override { ShowListStatus(); }
    void showSearchBar(bool shown) override;
    void showOptionsPanel(bool shown) override;
    void showOptionsWindow() override;
    void showError(const QString &message) override;
    void clearPendingNext() override;
    void setCurrentIndex(int row) override;
    bool songLoaded() const override;
    QString CurrentSongPath() const override;

    LanguageCode &m_lang;
    OutputSettings &m_output;
    UserDialogs &m_dialogs;
    QStringList m_arguments;
    SongLists m_lists;
    SortState m_sort;
    ScanState m_scan;
    bool m_shown = false;
    bool m_adding = false;
    QString m_openAudioFilesFilter;
    Tfehler *m_errorWindow = nullptr;
    Tlastfiles *m_recentWindow = nullptr;
    QWidget *m_searchOptionsWindow = nullptr;
    SearchOptionsModel *m_searchOptions = nullptr;
    std::unique_ptr<SearchController> m_search;

    SongTableModel *m_model = nullptr;
    QTableView *lv = nullptr;
    QWidget *pa_oben = nullptr;
    QWidget *pa_suche = nullptr;
    QLineEdit *suchwort = nullptr;
    QCheckBox *regexsuche = nullptr;
    QWidget *pa_suchopt = nullptr;
    QWidget *pa_liste = nullptr;
    QWidget *pa_unten = nullptr;
    QLabel *status = nullptr;
    QLabel *lblPosition = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblDuration = nullptr;
    QPushButton *BtPlay = nullptr;
    QPushButton *zurueck = nullptr;
    QPushButton *weiter = nullptr;
    TTrackBar *stelle = nullptr;
    QMenu *popup = nullptr;
    QMenu *akpopup = nullptr;
    QActionGroup *m_displayModes = nullptr;

    // Declared last: the playback state refers to the lists and to its view.
    friend class TprogPlaybackView;
    std::unique_ptr<TprogPlaybackView> m_playbackView;
    std::unique_ptr<PlaybackControl> m_playback;
};
