#pragma once

#include "core/LanguageCode.h"
#include "core/TextEncoding.h"

#include <QWidget>

#include <utility>
#include <vector>

class OutputSettingsController;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The output settings window: the text encoding radio buttons, and the picture font and
// background colour with their sample label and field. Fixed size, close box only, on top of
// the other windows and centred over the main window.
class Teinstausgabe : public QWidget
{
    Q_OBJECT
public:
    Teinstausgabe(LanguageCode &lang, OutputSettingsController &controller, QWidget *parent = nullptr);

    // Language routine: German for "de", English for every other code.
    void Sprache();
    void setCentreOver(QWidget *window) { m_centreOver = window; }

    QGroupBox *GroupBox1;
    QLabel *Label6;
    QLabel *Label3;
    QPushButton *BitBtn6;
    QPushButton *BitBtn1;
    QLineEdit *Edit1;
    QGroupBox *GroupBox2;
    QLabel *Label5;
    // The radio buttons in their order, each with the encoding it selects.
    std::vector<std::pair<QRadioButton *, TTextEncoding>> encodingButtons;
    QRadioButton *rb_beibehalten;
    QLabel *Label4;
    QLabel *Label7;
    QPushButton *Button1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showState();

    LanguageCode &m_lang;
    OutputSettingsController &m_controller;
    QWidget *m_centreOver = nullptr;
    bool m_showing = false;
};
