#pragma once

#include "core/FolderScan.h"
#include "core/LanguageCode.h"
#include "core/OutputSettings.h"
#include "core/SongLists.h"
#include "core/playlists/PlaylistEntry.h"
#include "session/BackgroundWrite.h"

#include <QObject>
#include <QStringList>

#include <functional>

class LongStepProgress;
class PlayQueue;

class QMimeData;
class UserDialogs;

// The playlist commands and every way of adding songs, without widgets: loading, adding and
// saving playlists, the open-files dialog, paste, drop, command-line arguments, and the
// start-up decisions of the main window's first showing. Adding runs inside a guard that keeps
// a second adding from starting inside the first and tells the window to take no input
// meanwhile (pending events still run inside the loops). Failures go to the error box.
class PlaylistUndo;

class PlaylistController : public QObject
{
    Q_OBJECT
public:
    // addSongFile appends one song for a file; empty: AddSongFile of the tag layer.
    PlaylistController(SongLists &lists, ScanState &scan, const OutputSettings &output,
                       const LanguageCode &lang, UserDialogs &dialogs, AddSongFileFn addSongFile = {},
                       QObject *parent = nullptr);

    // Where a load that replaces the playlist keeps it for Undo; nullptr: nowhere.
    void setUndo(PlaylistUndo *undo) { m_undo = undo; }
    // Where "--enqueue" lines the songs it adds up; nullptr: they are only added.
    void setQueue(PlayQueue *queue) { m_queue = queue; }
    // Where a paste or a drop shows that it runs, with Cancel (the songs added so far stay);
    // nullptr: nowhere.
    void setProgress(LongStepProgress *progress) { m_progress = progress; }
    // What a save runs while its worker writes: the window's progress with Cancel. Empty: a
    // save runs on the calling thread.
    void setSaveWatches(WorkWatchMaker watches) { m_saveWatches = std::move(watches); }

    // ".slp", then the playlists of other players.
    static QString playlistFilter();
    // The same for opening, with CUE sheets, which are read but never written.
    static QString playlistOpenFilter();
    // The filter of the open-files dialog in the current language.
    const QString &openAudioFilesFilter() const { return m_openAudioFilesFilter; }
    // The language routine's part.
    void languageChanged();

    // Start-up, when the main window is first shown: the arguments (already absolute) are
    // opened in order; without any, a single playlist beside the program is loaded and
    // several are offered in the start window.
    // With restoreLast and no arguments, the last playlist is loaded instead (when there is
    // one) and the playlists beside the program are not looked at.
    void FormShow(const QStringList &arguments, bool restoreLast = false);

    // The last playlist: kept at closing while its settings item is on.
    void setLastPlaylistPath(const QString &path) { m_lastPlaylistPath = path; }
    const QString &lastPlaylistPath() const { return m_lastPlaylistPath; }
    // Writes the playlist there (UTF-8, atomically); false when that failed or was cancelled,
    // after raising the message.
    bool keepLastPlaylist();
    // The ".slp" files beside the program found at start-up, while they are on offer: not
    // empty exactly while the start window is open.
    const QStringList &PlaylistFolderList() const { return m_playlistFolderList; }
    // The start window closed: nothing is on offer any more.
    void clearPlaylistFolderList() { m_playlistFolderList.clear(); }
    void EinzigeLaden();
    // Every activation of the main window while the start window is open hands the focus back
    // to it.
    void FormActivate();
    // Appends the playlists in the given order and refreshes the table. One that cannot be
    // read stops the rest: those before it stay, the table shows them, and its error is
    // thrown.
    void loadPlaylists(const QStringList &fileNames);
    // One command-line or forwarded argument; refreshes after it. Throws SonaloError when a
    // playlist cannot be read (what was added stays).
    void OpenArgument(const QString &argument);
    // The arguments of a start, each through OpenArgument. With "--enqueue" first the songs the
    // others add also line up in the queue (those added before a failure too).
    void OpenArguments(const QStringList &arguments);
    // A second start's parameters (entry 0 is its program): entries 1 .. last through
    // OpenArgument, after the event that brought them and after any adding that runs, so the
    // hand-over is answered at once and nothing is lost to a running scan.
    void OpenForwardedArguments(const QStringList &params);
    // Hand-overs opened so far.
    int forwardedOpened() const { return m_forwardedOpened; }

    // The playlist menu.
    void mp1Click();        // load, replacing the playlist once a file is chosen
    void mp3Click();        // load, appending
    void mp2Click();        // save the playlist
    void ergalsempClick();  // save the search result
    // Adding songs; each ends with the refresh and songsAppended.
    void m_opendateiClick();
    void mp11Click(const QMimeData *clipboard);
    void lvDropFiles(const QStringList &names);
    // The add-folder dialog adds to the whole playlist: it is shown first.
    void mp4Click();

    // Runs adding inside the guard; a SonaloError goes to the error box. False when another
    // adding is running (nothing is done then).
    bool addSongs(const std::function<void()> &adding);
    bool isAdding() const { return m_adding; }
    // Stops a running adding at its next file.
    void cancelAdding() { m_scan.ScanCancelled = true; }

    // The relative flag of folders added here: the add-folder dialog's tick.
    bool folderRelative() const { return m_folderRelative; }
    void setFolderRelative(bool relative) { m_folderRelative = relative; }

    SongLists &lists() { return m_lists; }
    ScanState &scanState() { return m_scan; }
    const AddSongFileFn &songAdder() const { return m_addSongFile; }

Q_SIGNALS:
    // Adding started or ended: the main window takes no input while it runs.
    void addingChanged(bool adding);
    // Songs were appended: the table scrolls to its last row.
    void songsAppended();
    void addFolderDialogRequested();
    // The start window is to be shown, or to take the focus back.
    void startWindowRequested();

private:
    void runCommand(const std::function<void()> &command);
    void loadPlaylistFile(const QString &fileName);
    void savePlaylistTo(const SongList &list);
    // Writes a snapshot of the list under name (playlistSaveTarget) with the save watch; false
    // after a Cancel, which says so. Throws SonaloError, a refused picture's in the language.
    bool saveSnapshot(const SongList &list, const QString &name, TTextEncoding encoding);
    // Runs an adding command in one edit scope; false from it: nothing ran. Scrolls to the
    // new songs after the refresh.
    void addAndScroll(const std::function<bool()> &adding);
    void openQueuedForwarded();
    // A paste or a drop: adds the names with the progress shown and Cancel honoured.
    void addNamesWithProgress(const std::function<void(const std::function<void()> &keepAlive)> &adding);

    SongLists &m_lists;
    ScanState &m_scan;
    const OutputSettings &m_output;
    const LanguageCode &m_lang;
    UserDialogs &m_dialogs;
    AddSongFileFn m_addSongFile;
    PlaylistEntryRecordFn m_entryRecord; // entries of other players' playlists
    QString m_openAudioFilesFilter;
    QStringList m_playlistFolderList;
    bool m_adding = false;
    bool m_folderRelative = false;
    QList<QStringList> m_forwarded; // hand-overs waiting, oldest first
    bool m_openingForwarded = false;
    int m_forwardedOpened = 0;
    PlaylistUndo *m_undo = nullptr;
    PlayQueue *m_queue = nullptr;
    LongStepProgress *m_progress = nullptr;
    QString m_lastPlaylistPath;
    WorkWatchMaker m_saveWatches;
};
