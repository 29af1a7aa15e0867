#pragma once

#include "core/LanguageCode.h"
#include "session/TxtExportController.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The export window: the template box with its history, five panels opened by their check
// boxes, the output box and its buttons. It shows the controller's state and forwards every
// change to it. It stays on top and comes up centred on the screen.
class Ttxtexport : public QWidget
{
    Q_OBJECT
public:
    Ttxtexport(LanguageCode &lang, TxtExportController &controller, QWidget *parent = nullptr);

    // Language routine: captions, and the template and history of the language.
    void LocalSpr();
    // The main menu's command: writes the list first when auto update is on.
    void mtxtexportClick();

    QComboBox *formstr;
    QCheckBox *cb_einghilfe;
    QWidget *pa_einghilfe;
    // Button1..Button8, Button10, Button11, Button13: the placeholder buttons.
    QList<QPushButton *> placeholderButtons;
    QLineEdit *edtxt;
    QPushButton *Button9;
    QPushButton *Button12;
    QCheckBox *cb_filter;
    QWidget *pa_filter;
    QLineEdit *sw;
    QLabel *Label3;
    std::array<QCheckBox *, 8> columnBoxes; // s_interpret .. s_datei
    QCheckBox *rb_alle;
    QCheckBox *cb_suchen;
    QWidget *pa_suchen;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *s_nach;
    QLineEdit *s_ers;
    QCheckBox *cb_html;
    QWidget *pa_html;
    QCheckBox *cb_einst;
    QWidget *pa_einst;
    QCheckBox *cb_sort;
    QCheckBox *cb_doppeltweg;
    QCheckBox *cb_autodel;
    QCheckBox *cb_leereweg;
    QCheckBox *cb_autoupdate;
    QCheckBox *cb_nullen;
    QPlainTextEdit *output;
    QPushButton *Schreiben;
    QPushButton *Speichern;
    QPushButton *DelOutput;
    QPushButton *Button14;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_placed = false; // centred once, then left where it was closed
    void showState();
    void showOutput();

    LanguageCode &m_lang;
    TxtExportController &m_controller;
    bool m_showing = false; // controls are being set from the controller
};
