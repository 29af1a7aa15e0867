#pragma once

#include "core/LanguageCode.h"

#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class StartWindowController;
class UserDialogs;

// The start window: offers the playlists lying beside the program when it starts without
// arguments and finds several. Stays on top of the other windows and opens centred over the
// splash; closing only hides it. The logic is StartWindowController's.
class Tstartfenster : public QWidget
{
    Q_OBJECT
public:
    Tstartfenster(LanguageCode &lang, StartWindowController &controller, UserDialogs &dialogs,
                  QWidget *parent = nullptr);

    // The window it opens centred over; without one, the screen.
    void setCentreOver(QWidget *window) { m_centreOver = window; }
    // Shows the window the first time (filling the list) and gives it the focus.
    void offer();

    // Language routine.
    void sprache();

    // Rows selected now, as positions in the list's current order.
    QList<int> selectedRows() const;

    QTreeWidget *stammordner = nullptr; // the playlists beside the program ("Stammordner": home folder)
    QLabel *Image1 = nullptr;
    QPushButton *Button5 = nullptr; // "Load All"
    QPushButton *Button1 = nullptr; // "Load Selected"
    QPushButton *Button4 = nullptr; // "Other Playlist.."
    QPushButton *Button3 = nullptr; // "Open Folder.."
    QPushButton *Button2 = nullptr; // "Close Window" (to the player)

protected:
    void showEvent(QShowEvent *event) override;  // FormShow
    void closeEvent(QCloseEvent *event) override; // FormClose
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillList();
    void selectionChanged();

    LanguageCode &m_lang;
    StartWindowController &m_controller;
    UserDialogs &m_dialogs;
    QWidget *m_centreOver = nullptr;
};
