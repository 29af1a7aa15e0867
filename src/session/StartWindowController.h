#pragma once

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>

class PlaylistController;
class UserDialogs;

// What the start window does, without the window: its rows are the playlists beside the
// program that the main window found at start-up (PlaylistFolderList), and its buttons load
// all or some of them, hand over to the main window's "load playlist" or "add folder"
// command, or just close. Row numbers are positions in the list as currently sorted.
class StartWindowController : public QObject
{
    Q_OBJECT
public:
    struct Row
    {
        QString name; // file name
        QString path; // full path
        QString size; // kilobytes, as shown
    };

    StartWindowController(PlaylistController &playlist, UserDialogs &dialogs, QObject *parent = nullptr);

    // Rows and sizes are written in this locale; the default is the user's.
    void setLocale(const QLocale &locale) { m_locale = locale; }

    // A size in bytes as the list shows it: kilobytes with three decimals (at most eight
    // significant digits), the locale's decimal separator, " KB".
    static QString sizeText(qint64 bytes, QLocale locale);
    // Bytes of a file; -1 when the size cannot be found.
    static qint64 fileSize(const QString &path);

    // One row per entry of PlaylistFolderList, in its order.
    void FormShow();
    // The window closed (however): nothing is on offer any more, which ends the focus
    // hand-back of the main window.
    void FormClose();
    bool isOpen() const;

    const QList<Row> &rows() const { return m_rows; }

    // Sorts by column 0 (name), 1 (path) or 2 (size); the same column again reverses.
    void stammordnerColumnClick(int column);
    int StartSortColumn = 0;
    bool StartSortDescending = false;

    // "Gewählte Laden" can act exactly while a row is selected.
    static bool canLoadSelected(const QList<int> &selectedRows) { return !selectedRows.isEmpty(); }

    void Button5Click();                                   // load all
    void Button1Click(const QList<int> &selectedRows);     // load the selected ones
    void stammordnerDblClick(const QList<int> &selectedRows); // load the first selected one
    void Button4Click();                                   // another playlist
    void Button3Click();                                   // open a folder
    void Button2Click();                                   // to the player

Q_SIGNALS:
    void rowsChanged();
    // The window is to hide; FormClose has run.
    void closeRequested();
    // A playlist could not be read: the window stays open and shows this.

private:
    void load(QList<int> rows);
    void close();

    PlaylistController &m_playlist;
    UserDialogs &m_dialogs;
    QLocale m_locale;
    QList<Row> m_rows;
    int m_lastSortColumn = -1;
};
