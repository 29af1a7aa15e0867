#pragma once

#include "core/LanguageCode.h"

#include <QUrl>
#include <QWidget>

class AdminRestart;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ShellIntegration;
class UserDialogs;

// The shortcuts window: registers and removes the program's integrations with the desktop and
// shows which are active. The work is ShellIntegration's; this window only forwards clicks and
// shows the state it reads back.
class Teinstshortcuts : public QWidget
{
    Q_OBJECT
public:
    Teinstshortcuts(LanguageCode &lang, ShellIntegration &shell, AdminRestart &admin, UserDialogs &dialogs,
                    QWidget *parent = nullptr);

    // Language routine: every caption, the administrator state and the status labels.
    void Sprache();
    // Reads the four registrations back and shows them.
    void CheckShortCuts();
    void ShowLinkState(bool active, QLabel *label);

    void KonfigAnClick();
    void KonfigAusClick();
    void SendenAnAnClick();
    void SendenAnAusClick();
    void OrdnerAnClick();
    void OrdnerAusClick();
    void AlleDateienAnClick();
    void AlleDateienAusClick();
    void BeliebigeDateienAnClick();
    void BeliebigeDateienAusClick();
    void AlsAdminStartenClick();
    void Label70Click();

    // The README section on desktop integration: the installed copy or one beside the program,
    // else the copy built into the program (builtInHelp).
    static QUrl helpUrl();
    // The README built into the program, as a file in the user's cache folder; its path.
    static QString builtInHelp();

    QLabel *Label6, *Label9, *Label12, *Label70;
    QPushButton *AlsAdminStarten, *OK;
    QGroupBox *gb1, *gb2, *gb3, *gb4;
    QLabel *Label1, *Label7, *Label4, *Label10, *Label3;
    QPushButton *KonfigAn, *KonfigAus, *SendenAnAn, *SendenAnAus, *OrdnerAn, *OrdnerAus;
    QPushButton *AlleDateienAn, *AlleDateienAus, *BeliebigeDateienAn, *BeliebigeDateienAus;
    QLabel *ver_konfig, *ver_sendenan, *ver_ordner, *ver_alledateien;
    QList<QLabel *> statusCaptions;
    QLineEdit *beldateien;

protected:
    void showEvent(QShowEvent *event) override; // FormShow

private:
    bool m_placed = false; // centred once, then left where it was closed
    // A refused program path is said once per click; other failures show in the status labels.
    void report(int outcome);
    void fitSize();

    LanguageCode &m_lang;
    ShellIntegration &m_shell;
    AdminRestart &m_admin;
    UserDialogs &m_dialogs;
};
