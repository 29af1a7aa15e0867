#pragma once

#include "core/IniFile.h"
#include "core/LanguageCode.h"
#include "core/SongLists.h"

#include <QObject>
#include <QString>

class DisplayOptionsModel;
class ListDisplay;
class PlaybackControl;
class SearchController;
class SearchOptionsModel;
class SettingsWindow;
class UserDialogs;

// The settings file: SaveSettings and LoadSettings over the option models, the search
// controller and the main window's placement and columns, and the two switches for saving at
// exit and loading at start, which live here. The file mirrors the state on request; it is not
// the state.
class SettingsController : public QObject
{
    Q_OBJECT
public:
    SettingsController(QString path, const LanguageCode &lang, SongLists &lists, DisplayOptionsModel &display,
                       SearchOptionsModel &searchOptions, SearchController &search, ListDisplay &list,
                       PlaybackControl &playback, UserDialogs &dialogs, QObject *parent = nullptr);

    // The main window, which lives as long as this object or is detached with nullptr.
    void attach(SettingsWindow *window) { m_window = window; }

    const QString &path() const { return m_path; }
    bool autoSave() const { return m_autoSave; }
    bool autoLoad() const { return m_autoLoad; }
    // The menu items only flip their own tick; nothing is written until the next save.
    void setAutoSave(bool on);
    void setAutoLoad(bool on);
    // "Restore Last Playlist at Start": off by default, kept like the other check items.
    bool restoreLastPlaylist() const { return m_restoreLastPlaylist; }
    void setRestoreLastPlaylist(bool on);
    // Whether this start restores it: the file's item, when the file is loaded at start at all
    // (start-up comes before the first activation reads the file).
    bool restoreLastPlaylistAtStart() const;
    // "Close to Tray": closing the main window hides it in the tray; off by default.
    bool closeToTray() const { return m_closeToTray; }
    void setCloseToTray(bool on);
    // A desktop notification when a song starts; off by default.
    bool notifications() const { return m_notifications; }
    void setNotifications(bool on);
    // A song's folder image wins over the picture embedded in it; off by default.
    bool folderCoverFirst() const { return m_folderCoverFirst; }
    void setFolderCoverFirst(bool on);

    // Writes every key, keeping the file's other keys, sections and comments. False when the
    // file could not be written; the message was raised and the old file is as it was.
    bool SaveSettings();
    // Reads and applies every key; does nothing when there is no file.
    void LoadSettings();
    // The first activation: loads when the file exists and its "autoload" (by default the
    // tick) is on.
    void loadAtFirstActivation();
    // The close query: saves when automatic saving is on. False keeps the window open.
    bool saveOnClose();

    // Applies a file's keys, in the file's order of meaning (public for the tests of odd files).
    void apply(const IniFile &ini);
    // The keys as a save writes them into ini.
    void store(IniFile &ini) const;

Q_SIGNALS:
    void autoSaveChanged(bool on);
    void autoLoadChanged(bool on);
    void restoreLastPlaylistChanged(bool on);
    void closeToTrayChanged(bool on);
    void notificationsChanged(bool on);
    void folderCoverFirstChanged(bool on);

private:
    void loadEqualizer(const IniFile &ini);
    QString m_path;
    const LanguageCode &m_lang;
    SongLists &m_lists;
    DisplayOptionsModel &m_display;
    SearchOptionsModel &m_searchOptions;
    SearchController &m_search;
    ListDisplay &m_list;
    PlaybackControl &m_playback;
    UserDialogs &m_dialogs;
    SettingsWindow *m_window = nullptr;
    bool m_autoSave = false;
    bool m_autoLoad = true;
    bool m_restoreLastPlaylist = false;
    bool m_closeToTray = false;
    bool m_notifications = false;
    bool m_folderCoverFirst = false;
};
