#pragma once

#include "core/LanguageCode.h"

#include <QWidget>

class PlaybackControl;
class QPushButton;
class QTreeWidget;

// The recently played songs, newest first. The list holds copies of the history: deleting
// rows here leaves the history alone, and sorting orders the view only.
class Tlastfiles : public QWidget
{
    Q_OBJECT
public:
    // playback: whose history this window shows and whose songs it starts.
    Tlastfiles(LanguageCode &lang, PlaybackControl &playback, QWidget *parent = nullptr);

    // Language routine.
    void LocalSpr();
    // Rebuilds the list from the history, newest first.
    void Aktualisieren();

    void lfDblClick(); // "lf": the list of recently played files
    // Del removes the selected rows from the list (not from the history).
    void lfKeyDown(int key);
    void lfColumnClick(int column);
    void DeleteClick();
    void Button1Click();

    QTreeWidget *lf;
    QPushButton *Delete;
    QPushButton *Button1;
    // No column before the first click, so that the first click on any column sorts ascending.
    int SortColumn = -1;
    int SortDirection = 0;

protected:
    void showEvent(QShowEvent *event) override; // FormShow
    void hideEvent(QHideEvent *event) override; // FormHide
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LanguageCode &m_lang;
    PlaybackControl &m_playback;
};
