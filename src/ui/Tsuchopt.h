#pragma once

#include "core/LanguageCode.h"

#include <QWidget>

class SearchOptionsModel;

// The search options window: the same option set as the main window's panel, in a window of
// its own that stays on top. Closing it (OK or the title bar) hides it.
class Tsuchopt : public QWidget
{
    Q_OBJECT
public:
    Tsuchopt(LanguageCode &lang, SearchOptionsModel &options, QWidget *parent = nullptr);

    // Language routine.
    void LocalSpr();

    void OKClick() { close(); }
    // Every setting back to its start value; the panel shows it at once.
    void StandardClick();

Q_SIGNALS:
    // The window was closed: the main window shows its search bar.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    LanguageCode &m_lang;
    SearchOptionsModel &m_options;
};
