#pragma once

#include "playback/AudioDevices.h"
#include "core/FolderScan.h"
#include "playback/AudioPlayer.h"
#include "core/LanguageCode.h"
#include "desktop/ShellIntegration.h"
#include "ui/QtCatalogue.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class AdminRestart;
class MediaKeyFilter;
class PlaybackEngine;
class PlaybackMpris;
class Session;
class StartWindowController;
class QWidget;
class Taddordner;
class Tbugreport_de;
class Tbugreport_en;
class Tdateiinfo;
class Teinstausgabe;
class Teinstshortcuts;
class Tfehler;
class Tinfo;
class Tequalizer;
class TOneInstanceCheck;
class Tlastfiles;
class Tprog;
class Tstart;
class Tstartfenster;
class Tsuchopt;
class TrayIcon;
class SongNotifications;
class Ttxtexport;
class UserDialogs;

// The program: its state and controllers (one Session) and its windows, created once in their
// fixed order and living until the end. Windows get references to the session's parts.
class SonaloApp
{
public:
    struct Options
    {
        QString programFolder; // with a trailing "/"
        QString workingFolder; // where the language marker files are looked for
        // Where the settings file goes when the program's folder cannot take it; empty: the
        // desktop's per-user configuration folder.
        QString configFolder;
        // Where the last playlist is kept; empty: the desktop's per-user data folder.
        QString dataFolder;
        // Where the playing song's embedded cover is written for the media controls; empty: the cache.
        QString coverFolder;
        QStringList arguments;
        UserDialogs *dialogs = nullptr; // nullptr: the real dialogs
        // Makes the players; empty: GStreamer on the audio outputs found at start-up.
        AudioPlayerFactory playerFactory;
        // Appends one song for a file; empty: AddSongFile of the tag layer.
        AddSongFileFn addSongFile;
        // Registers the desktop media controls (MPRIS) on the session bus when there is one.
        bool mpris = true;
        // Where the shortcuts window registers the program; empty: per user, or system-wide
        // as root.
        std::optional<DesktopScope> desktopScope;
    };

    explicit SonaloApp(const Options &options);
    ~SonaloApp();

    Session &session() { return *m_session; }

    Tstart *start() const { return m_start.get(); }
    Tprog *prog() const { return m_prog.get(); }
    Tsuchopt *suchopt() const { return m_suchopt.get(); }
    Taddordner *addordner() const { return m_addordner.get(); }
    Tinfo *info() const { return m_info.get(); }
    Tequalizer *equalizer() const { return m_equalizer.get(); }
    Tfehler *fehler() const { return m_fehler.get(); }
    Tlastfiles *lastfiles() const { return m_lastfiles.get(); }
    Teinstshortcuts *einstshortcuts() const { return m_einstshortcuts.get(); }
    Ttxtexport *txtexport() const { return m_txtexport.get(); }
    Teinstausgabe *einstausgabe() const { return m_einstausgabe.get(); }
    Tstartfenster *startfenster() const { return m_startfenster.get(); }
    StartWindowController &startWindow() const { return *m_startWindow; }
    PlaybackMpris *mpris() const { return m_mpris.get(); }
    TOneInstanceCheck *instanceCheck() const { return m_instanceCheck.get(); }
    // AudioDevices: the outputs a player can use, entry 0 the desktop's default.
    const TAudioDevices &audioDevices() const { return m_audioDevices; }

    // Object names of the windows in the order they were created.
    const QStringList &creationOrder() const { return m_creationOrder; }
    // Every window, in creation order.
    QList<QWidget *> windows() const;

    // Start-up step 5: the splash appears; its timer shows the main window.
    void showSplash();

private:
    void created(QWidget *window);
    void applyLanguageToOtherWindows();

    std::unique_ptr<UserDialogs> m_ownDialogs;
    std::unique_ptr<Session> m_session;
    TAudioDevices m_audioDevices;
    // The GStreamer engine when no factory was given; it outlives the session's players.
    std::unique_ptr<PlaybackEngine> m_engine;
    QStringList m_creationOrder;
    std::unique_ptr<Tstart> m_start;
    std::unique_ptr<Tprog> m_prog;
    std::unique_ptr<TOneInstanceCheck> m_instanceCheck;
    std::unique_ptr<Tsuchopt> m_suchopt;
    std::unique_ptr<StartWindowController> m_startWindow;
    std::unique_ptr<Tstartfenster> m_startfenster;
    std::unique_ptr<Taddordner> m_addordner;
    std::unique_ptr<Tlastfiles> m_lastfiles;
    std::unique_ptr<Tinfo> m_info;
    std::unique_ptr<Tequalizer> m_equalizer;
    std::unique_ptr<Tdateiinfo> m_dateiinfo;
    std::unique_ptr<Ttxtexport> m_txtexport;
    std::unique_ptr<Tfehler> m_fehler;
    std::unique_ptr<Teinstausgabe> m_einstausgabe;
    std::unique_ptr<Tbugreport_de> m_bugreport_de;
    std::unique_ptr<Tbugreport_en> m_bugreport_en;
    std::unique_ptr<ShellIntegration> m_shellIntegration;
    std::unique_ptr<AdminRestart> m_adminRestart;
    std::unique_ptr<Teinstshortcuts> m_einstshortcuts;
    std::unique_ptr<MediaKeyFilter> m_mediaKeys;
    std::unique_ptr<PlaybackMpris> m_mpris;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<SongNotifications> m_notifications;
    QtCatalogue m_qtCatalogue;
};
