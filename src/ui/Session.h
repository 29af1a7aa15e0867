#pragma once

#include "core/FolderScan.h"
#include "core/LanguageCode.h"
#include "core/OutputSettings.h"
#include "core/SongLists.h"
#include "playback/AudioPlayer.h"
#include "playback/DisplayOptionsModel.h"
#include "playback/PlaybackControl.h"
#include "ui/ListDisplay.h"
#include "ui/PlaylistController.h"
#include "ui/SearchController.h"
#include "ui/SearchOptionsModel.h"
#include "ui/SelectionOperations.h"
#include "ui/SettingsController.h"
#include "ui/OutputSettingsController.h"
#include "ui/TxtExportController.h"

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
    };

    explicit Session(const Options &options);
    ~Session();

    LanguageCode lang;
    OutputSettings output;
    SongLists lists;
    // ScanCancelled and FoundCount of the folder walks.
    ScanState scan;
    DisplayOptionsModel display;
    SearchOptionsModel searchOptions;
    ListDisplay list;
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
};
