#pragma once

#include "core/FolderScan.h"
#include "core/LanguageCode.h"
#include "core/OutputSettings.h"
#include "core/PlaylistUndo.h"
#include "core/SongLists.h"
#include "playback/AudioPlayer.h"
#include "playback/DisplayOptionsModel.h"
#include "playback/PlaybackControl.h"
#include "session/CoverController.h"
#include "session/ListDisplay.h"
#include "session/LongStepProgress.h"
#include "session/PlaylistController.h"
#include "session/SearchController.h"
#include "session/JournalRecorder.h"
#include "session/SearchOptionsModel.h"
#include "session/SelectionOperations.h"
#include "session/SettingsController.h"
#include "session/OutputSettingsController.h"
#include "session/TrayController.h"
#include "session/TxtExportController.h"

#include <QString>

#include <memory>

class FileManager;

class UserDialogs;

// The program's state and the controllers that change it, without any window: the song lists,
// the options the menus tick, the table and status line, playback, search and the playlist
// commands. The windows get references to these and only show them and forward clicks; a test
// makes a fresh one per case.
class Session
{
public:
    struct Options
    {
        QString programFolder; // with a trailing "/"
        AudioPlayerFactory playerFactory;
        UserDialogs *dialogs = nullptr; // required
        // Appends one song for a file; empty: AddSongFile of the tag layer.
        AddSongFileFn addSongFile;
        // The per-user configuration folder, where the settings file lives when the program's
        // folder cannot take it; empty: the desktop's own (~/.config/Sonalo).
        QString configFolder;
        // The desktop's file manager; nullptr: the freedesktop one on the session bus.
        FileManager *fileManager = nullptr;
        // The per-user data folder, where the last playlist is kept; empty: the desktop's own
        // (~/.local/share/Sonalo).
        QString dataFolder;
        // Where the playing song's embedded cover is written for the desktop's media controls;
        // empty: the desktop's cache (~/.cache/Sonalo/covers).
        QString coverFolder;
    };

    explicit Session(const Options &options);
    ~Session();

    LanguageCode lang;
    OutputSettings output;
    SongLists lists;
    // What Undo and Redo put back.
    PlaylistUndo undo;
    // ScanCancelled and FoundCount of the folder walks.
    ScanState scan;
    DisplayOptionsModel display;
    SearchOptionsModel searchOptions;
    ListDisplay list;
    // The long step running now (adding, a search), for the window's progress strip.
    LongStepProgress progress;
    PlaybackControl playback;
    SearchController search;
    PlaylistController playlist;
    SettingsController settings;
    UserDialogs &dialogs;

private:
    std::unique_ptr<FileManager> m_ownFileManager;

public:
    FileManager &fileManager;
    SelectionOperations selection;
    // The list export and the output settings.
    OutputSettingsController outputSettings;
    TxtExportController txtExport;
    // The tray icon's menu, tooltip and the close-to-tray rule.
    TrayController tray{playback, settings};
    // The playing song's cover, for the main window and the desktop's media controls.
    CoverController covers;

    // The session journal: after the start's own loading, offers what a run that did not end
    // normally left and starts this window's journal; a normal close ends it.
    void startJournal();
    void endJournal();
    JournalRecorder *journal() { return m_journal.get(); }

private:
    std::unique_ptr<JournalRecovery> m_journalRecovery;
    std::unique_ptr<JournalRecorder> m_journal;
};
