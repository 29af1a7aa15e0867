#pragma once

#include "core/FolderScan.h"
#include "core/LanguageCode.h"

#include <QElapsedTimer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class ListDisplay;
class PlaylistController;
class UserDialogs;

// The add-folder dialog: scans a folder (or a ".txt" list of files) for audio files of the
// ticked types and appends them to the main window's playlist, optionally with paths relative
// to the program's folder and without the files the playlist already holds. Not modal, on top
// of the other windows; closing only hides it. The run itself is core's runFolderScan; this
// window shows its counters and carries its Cancel.
class Taddordner : public QWidget
{
    Q_OBJECT
public:
    // Adds through playlist (its guard, lists and scan state) and refreshes list afterwards.
    Taddordner(LanguageCode &lang, PlaylistController &playlist, ListDisplay &list, UserDialogs &dialogs,
               QWidget *parent = nullptr);

    // Language routine.
    void LocalSpr();

    void hinzufuegenClick(); // "Search and Add" ("hinzufügen": add)
    void Button1Click();     // "Close"
    void Button3Click();     // "...": choose the folder
    void relativClick(bool ticked); // "relative": paths relative to the program

    bool isRunning() const { return m_running; }
    // The settings the controls hold now.
    FolderScanSettings settings() const;
    // What the last run did.
    const FolderScanResult &lastResult() const { return m_last; }

    QLineEdit *ed_ort = nullptr;         // the folder ("Ort": place)
    QPushButton *Button3 = nullptr;
    QPushButton *hinzufuegen = nullptr;
    QPushButton *Button1 = nullptr;
    QCheckBox *uv = nullptr;             // include subfolders ("Unterverzeichnisse")
    QCheckBox *relativ = nullptr;        // paths relative to the program
    QCheckBox *nurneu = nullptr;         // only songs not yet in the playlist ("nur neu")
    QCheckBox *cbMP3 = nullptr;
    QCheckBox *cbWAV = nullptr;
    QCheckBox *cbOGG = nullptr;
    QCheckBox *cbWMA = nullptr;
    QCheckBox *cbFLAC = nullptr;
    QCheckBox *cbOpus = nullptr;
    QCheckBox *cbM4A = nullptr;
    // Label1..Label3: the counts of found, read and added files beside their captions Label4..Label6.
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QProgressBar *fs = nullptr;          // the scan's progress ("Fortschritt")

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QString text(const char *component) const;
    void keepAlive(bool force);

    LanguageCode &m_lang;
    PlaylistController &m_prog;
    ListDisplay &m_list;
    UserDialogs &m_dialogs;
    bool m_running = false;
    bool m_placed = false;
    FolderScanResult m_last;
    QElapsedTimer m_sincePaint;
};
