#pragma once

#include "core/LanguageCode.h"
#include "session/SongInfo.h"

#include <QPixmap>
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SelectionOperations;
class CoverController;
struct CoverResult;
class QTableWidget;

// The file information window: a file's name, folder and full path in three editable fields
// (so parts can be selected and copied), its cover, its stream details and every tag field
// (SongInfo), with buttons to open the folder, copy the file to the clipboard, read the playing
// song's file and close. It stays on top and comes up centred.
class Tdateiinfo : public QWidget
{
    Q_OBJECT
public:
    // operations: what the buttons ask for (folder, clipboard, the playing song).
    Tdateiinfo(LanguageCode &lang, SelectionOperations &operations, QWidget *parent = nullptr);

    // Where the cover comes from (read off the window thread); without it none is shown.
    void setCovers(CoverController *covers);

    // Language routine.
    void LocalSpr();
    // Fills the fields from a path: the name after the last "/" (or "\"), the folder up to
    // and including it, and the path itself.
    void DateiAuslesen(const QString &path);
    // Fills the fields from the playing song, if one is loaded.
    void Auslesen();

    void Button1Click();    // open the folder of ed_ordner
    void clipbrdClick();    // copy the file named in ed_dateiname
    void SchliessenClick();

    QGroupBox *GroupBox1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLineEdit *ed_datei;
    QLineEdit *ed_ordner;
    QLineEdit *ed_dateiname;
    QPushButton *Button1;
    QPushButton *clipbrd;
    QPushButton *Auslesenbt;
    QPushButton *Schliessen;
    QGroupBox *GroupBox2;
    QLabel *coverBild;
    QTableWidget *details;

    // The side of the square the cover is shown in.
    static constexpr int kCoverSide = 180;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillDetails();
    void coverLoaded(const CoverResult &result);

    SongInfo m_info;
    QPixmap m_coverPixmap;
    QString m_path;
    CoverController *m_covers = nullptr;
    bool m_placed = false; // centred once, then left where it was closed
    LanguageCode &m_lang;
    SelectionOperations &m_operations;
};
