#pragma once

#include "ui/DragOut.h"
#include "ui/SettingsWindow.h"

#include <QMainWindow>
#include <QStringList>

class QAction;
class QActionGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QToolButton;
class QTableView;
class Session;
class TTrackBar;

// The main window: the song table with its status line, the play controls, the search bar and
// the menus. It shows the session's state and forwards clicks to its controllers; the logic
// lives there. Its parts: Tprog.cpp (layout, events, start-up and close), TprogMenus.cpp (menus,
// context menus, language routine), TprogSearchBar.cpp (search bar and options panel) and
// TprogPlayback.cpp (play controls).
class Tprog : public QMainWindow, public SettingsWindow
{
    Q_OBJECT
public:
    // arguments: the command line after the program's name, already absolute.
    Tprog(Session &session, QStringList arguments, QWidget *parent = nullptr);
    ~Tprog() override; // FormDestroy

    QTableView *table() const { return lv; }
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
    void mp9Click();
    // Selects the row that plays and scrolls it into view; nothing when it is not shown.
    void jumpToPlayingSong();
    // Double click on the table: starts the selected row, or asks for files when none is.
    void lvDblClick();

    // Language routine.
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
    void mcloseClick();
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

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void bindDisplayMenu();
    void createPopups();
    void createBottomPanel(QWidget *parent);
    QWidget *createSearchBar(QWidget *parent);
    QWidget *createSearchOptions(QWidget *parent);
    void bindSearch();
    void bindPlayback();
    void layoutBottomPanel();
    void setKeyboardOrder();
    void showPlayingState(bool playing);
    bool viewportEvent(QEvent *event);
    void scrollToLastRow();
    // Files dragged out of the table.
    void lvStartDrag(QPoint at);
    QAction *action(const char *component) const;
    void showError(const QString &message);

    Session &m_session;
    QStringList m_arguments;
    bool m_shown = false;
    QWidget *m_errorWindow = nullptr;

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
    QToolButton *stumm = nullptr;
    TTrackBar *lautstaerke = nullptr;
    QMenu *popup = nullptr;
    QMenu *akpopup = nullptr;
    QActionGroup *m_displayModes = nullptr;
    DragOut m_dragOut;
};
