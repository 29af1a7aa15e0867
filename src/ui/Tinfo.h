#pragma once

#include "core/LanguageCode.h"

#include <QWidget>

class QStackedWidget;
class QWidget;

// The about window: one German and one English panel; the language decides which one shows.
class Tinfo : public QWidget
{
public:
    explicit Tinfo(LanguageCode &lang, QWidget *parent = nullptr);

    // Shows the panel of the current language (German for "de", English otherwise).
    void switchPanel();
    QWidget *currentPanel() const;

private:
    LanguageCode &m_lang;
    QStackedWidget *m_panels = nullptr;
    QWidget *panel_de = nullptr;
    QWidget *panel_en = nullptr;
};
