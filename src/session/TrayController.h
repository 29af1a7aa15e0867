#pragma once

#include <QObject>
#include <QString>

class PlaybackControl;
class SettingsController;

// The tray icon's logic without the icon: what its menu does to the playback, the tooltip it
// shows (the playing song), and whether closing the main window only hides it there. The icon
// itself (ui/TrayIcon) exists only where the desktop offers a tray and tells this so.
class TrayController : public QObject
{
    Q_OBJECT
public:
    TrayController(PlaybackControl &playback, SettingsController &settings, QObject *parent = nullptr);

    // The icon is shown: a hidden window can be brought back from it.
    void setTrayShown(bool shown) { m_trayShown = shown; }
    bool trayShown() const { return m_trayShown; }

    enum class CloseAction { Close, HideToTray };
    // What a close of the main window does: hide it while "Close to Tray" is ticked and an
    // icon is there to bring it back, unless the tray's own Quit asked for the close.
    CloseAction closeAction() const;
    // The tray's Quit: the next close is a real one, whatever the option says.
    void requestQuit() { m_quitRequested = true; }
    // The close went ahead or was refused (the window's close query): the request is spent.
    void closeHandled() { m_quitRequested = false; }

    // The menu items, through the one dispatch of media commands.
    void playPause();
    void next();
    void previous();

    // "Artist - Title" of the loaded song, the program's title without one.
    QString toolTip() const;
    bool playing() const;

Q_SIGNALS:
    void toolTipChanged(const QString &text);
    void playingChanged(bool playing);

private:
    PlaybackControl &m_playback;
    SettingsController &m_settings;
    bool m_trayShown = false;
    bool m_quitRequested = false;
};
