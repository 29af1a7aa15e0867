#pragma once

#include "core/SongLists.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class FileManager;
class ListDisplay;
class PlaylistUndo;
class PlaybackCursor;
namespace RowMoves {
struct Move;
}

// The operations on the selected rows of the song table and on the playing song: delete rows,
// clear the playlist, copy files to the clipboard, show a file in its folder, its properties
// and the file information window, and the files a drag out of the table carries. Rows are
// indices into the shown list, in table order; the first one is "the selected row". Every
// operation works on the song's resolved path and does nothing when its file is missing,
// except where noted.
class SelectionOperations : public QObject
{
    Q_OBJECT
public:
    SelectionOperations(SongLists &lists, ListDisplay &list, PlaybackCursor &playback, FileManager &fileManager,
                        QObject *parent = nullptr);

    // Where deleting and emptying keep the lists for Undo; nullptr: nowhere.
    void setUndo(PlaylistUndo *undo) { m_undo = undo; }
    // "Undo" and "Redo": the lists as before the last change that removed songs, or again as
    // after it; the table and status line follow. Nothing when there is nothing to undo.
    void undoClick();
    void redoClick();

    // Removes the rows from the shown list: from the search result only while one is shown,
    // so that a later refresh of the search shows them again. The status line stays.
    void LVDeleteSelected(const QList<int> &rows);
    // Moving rows by hand, while the whole playlist is shown: Alt+Up (-1) and Alt+Down (+1) move
    // every row one step; a drag inside the table puts them together before row `before`.
    // Undo covers it, the sort mark goes. While a search result is shown the status line says
    // why nothing moves. Returns where the rows stand afterwards (empty when nothing moved).
    QList<int> moveRows(const QList<int> &rows, int delta);
    QList<int> dropRows(const QList<int> &rows, int before);
    // Del in the table's menu: only with a row selected.
    void p4Click(const QList<int> &rows);
    // Empties the playlist; the loaded song plays on, the search result and history stay.
    void mp7Click();
    // One row: its file, if it exists. Several: every row's path, existing or not.
    void p_copyfileClick(const QList<int> &rows);
    void p5Click(const QList<int> &rows); // the folder, with the file selected
    void p6Click(const QList<int> &rows); // the file's properties
    void p3Click(const QList<int> &rows); // the file information window

    // The playing song; each does nothing while no song is loaded.
    void akp1Click(); // file information (no test whether the file exists)
    void akp2Click(); // properties (no test either)
    void akp3Click(); // folder, with the file selected
    void akp4Click(); // copy the file to the clipboard
    void mw6Click();  // the file information window, filled from the playing song

    // The files a drag out of the table carries: the rows' resolved paths that exist.
    QStringList dragPaths(const QList<int> &rows) const;

    // For the file information window: copies one file to the clipboard when it exists (true
    // then); opens a folder; the playing song's path, empty while none is loaded.
    bool copyFileToClipboard(const QString &path);
    void openFolder(const QString &folder);
    QString playingSongPath() const;

Q_SIGNALS:
    // Show the file information window for this path.
    void fileInformationRequested(const QString &path);
    // Show the file information window and fill it from the playing song.
    void playingSongInformationRequested();

private:
    QList<int> applyMove(const QList<int> &valid, const std::function<RowMoves::Move(const QList<int> &)> &plan);
    // The resolved path of a row, beside the program when it stayed relative; empty for a row
    // the shown list does not have.
    QString resolvedPath(int row) const;
    // The resolved path of the first row, with CurrentIndex set to it; empty for none.
    QString firstRowPath(const QList<int> &rows);
    // Rows of the shown list only, ascending, each once.
    QList<int> validRows(const QList<int> &rows) const;

    SongLists &m_lists;
    ListDisplay &m_list;
    PlaybackCursor &m_playback;
    FileManager &m_fileManager;
    PlaylistUndo *m_undo = nullptr;
};
