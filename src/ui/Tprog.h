#pragma once

#include "ui/DragOut.h"
#include "session/SettingsWindow.h"

#include <QImage>
#include <QMainWindow>
#include <QStringList>

class QAction;
class QActionGroup;
class QCheckBox;
class QDockWidget;
class ProgressStrip;
class QueuePanel;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QToolButton;
class QTableView;
class SongTableView;
class Session;
class TTrackBar;

// The main window: the song table with its status line, the play controls, the search bar and
// the menus. It shows the session's state and forwards clicks to its controllers; the logic
// lives there. Its parts: Tprog.cpp (layout, events, start-up and close), TprogMenus.cpp (menus,
// context menus, language routine), TprogSearchBar.cpp (search bar and options panel) and
// TprogPlayback.cpp (play controls) and TprogTable.cpp (the table's selection, drag and drop).
class Tprog : public QMainWindow, public SettingsWindow
{
    Q_OBJECT
public:
    // arguments: the command line after the program's name, already absolute.
    Tprog(Session &session, QStringList arguments, QWidget *parent = nullptr);
    ~Tprog() override; // FormDestroy

    QTableView *table() const;
    QLabel *statusLabel() const { return status; }
    // True when the desktop is less than 50 pixels higher or wider than the client area: the
    // window then starts maximized.
    static bool startsMaximized(QSize desktop, QSize client);

    // Start-up state.
    int MaximizePending = 1;
    bool FirstActivation = true;

    // The error log window, whose title this window's language routine writes.
    void setErrorWindow(QWidget *window) { m_errorWindow = window; }

    // The first selected row of the table, -1 for none.
    int selectedRow() const;
    // Every selected row, in table order.
    QList<int> selectedRows() const;
    void mp9Click(); // Playlist > jump to the playing song
    // Selects the row that plays and scrolls it into view; nothing when it is not shown.
    void jumpToPlayingSong();
    // The outputs the "Ausgabegerät" menu offers (AudioDevices, entry 0 the default).
    void setAudioDevices(const QStringList &names);
    // Selects exactly these rows and scrolls the first into view; nothing for none.
    void selectRows(const QList<int> &rows);
    // Double click on the table: starts the selected row, or asks for files when none is.
    void lvDblClick();

    // Language routine ("Sprache"): every text of the window in the chosen language.
    void sprache();
    void Deutsch1Click();
    void English1Click();

    // What the settings file reads and writes of the window.
    bool settingsMaximized() const override;
    QRect settingsPlacement() const override;
    void settingsMaximize() override;
    void settingsRestoreNormal() override;
    void setSettingsPlacement(const QRect &outer) override;
    int settingsColumnWidth(int column) const override;
    void setSettingsColumnWidth(int column, int width) override;
    void switchLanguage(const QString &code) override;
    void mcloseClick(); // File > close
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
    // Menu commands that show other windows.
    void infoRequested();
    void recentWindowRequested();
    void errorWindowRequested();
    void shortcutsWindowRequested();
    void exportWindowRequested();
    void outputSettingsWindowRequested();
    void equalizerWindowRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void tickDevice();
    void bindDisplayMenu();
    void createPopups();
    void createQueuePanel();
    void createBottomPanel(QWidget *parent);
    QWidget *createSearchBar(QWidget *parent);
    QWidget *createSearchOptions(QWidget *parent);
    void bindSearch();
    void bindPlayback();
    void layoutBottomPanel();
    // Shows the playing song's cover (a null image: none) beside the song display.
    void showCover(const QImage &image);
    void setKeyboardOrder();
    void showPlayingState(bool playing);
    bool viewportEvent(QEvent *event);
    void scrollToLastRow();
    // Files dragged out of the table.
    void lvStartDrag(QPoint at);
    QAction *action(const char *component) const;


    Session &m_session;
    QStringList m_arguments;
    bool m_shown = false;
    QWidget *m_errorWindow = nullptr;

    // The design's control names (src/ui/LanguageTexts.cpp holds their texts).
    SongTableView *lv = nullptr;         // the song table ("list view")
    QWidget *pa_oben = nullptr;          // panel at the top: the search bar and its options
    QWidget *pa_suche = nullptr;         // the search bar
    QLineEdit *suchwort = nullptr;       // the search term
    QCheckBox *regexsuche = nullptr;     // search with a regular expression
    QWidget *pa_suchopt = nullptr;       // the search options panel
    QWidget *pa_liste = nullptr;         // panel holding the table and the status line
    QWidget *pa_unten = nullptr;         // panel at the bottom: play controls and position
    QLabel *status = nullptr;            // the status line under the table
    QLabel *lblPosition = nullptr;       // elapsed time of the playing song
    QLabel *Label1 = nullptr;            // the "/" between the two times
    QLabel *lblDuration = nullptr;       // length of the playing song
    QLabel *coverBild = nullptr;         // the playing song's cover, left of the play buttons
    QImage m_coverImage;
    QPushButton *BtPlay = nullptr;       // play / pause
    QPushButton *zurueck = nullptr;      // previous song ("back")
    QPushButton *weiter = nullptr;       // next song ("on")
    TTrackBar *stelle = nullptr;         // the position bar ("place")
    QToolButton *stumm = nullptr;        // mute
    TTrackBar *lautstaerke = nullptr;    // volume
    QMenu *popup = nullptr;              // the table's context menu
    QMenu *akpopup = nullptr;            // the playing song panel's context menu ("aktuell")
    QActionGroup *m_displayModes = nullptr;
    QMenu *m_devicesMenu = nullptr;
    QDockWidget *m_queueDock = nullptr; // the queue panel, opened from the Play menu
    QueuePanel *m_queuePanel = nullptr;
    ProgressStrip *m_progressStrip = nullptr; // in the status bar, shown while a long step runs
    DragOut m_dragOut;
};
