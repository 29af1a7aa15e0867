#include "session/TrayController.h"

#include "playback/PlaybackControl.h"
#include "session/AppTitle.h"
#include "session/SettingsController.h"
#include "shell/MediaKeys.h"

TrayController::TrayController(PlaybackControl &playback, SettingsController &settings, QObject *parent)
    : QObject(parent), m_playback(playback), m_settings(settings)
{
    // The fields are set before either signal goes out (see PlayFile), so the text is current.
    connect(&m_playback, &PlaybackControl::songChanged, this, [this] { Q_EMIT toolTipChanged(toolTip()); });
    connect(&m_playback, &PlaybackControl::playingChanged, this, &TrayController::playingChanged);
}

TrayController::CloseAction TrayController::closeAction() const
{
    return m_settings.closeToTray() && m_trayShown && !m_quitRequested ? CloseAction::HideToTray : CloseAction::Close;
}

void TrayController::playPause()
{
    runMediaCommand(MediaCommand::PlayPause, m_playback);
}

void TrayController::next()
{
    runMediaCommand(MediaCommand::Next, m_playback);
}

void TrayController::previous()
{
    runMediaCommand(MediaCommand::Previous, m_playback);
}

QString TrayController::toolTip() const
{
    if (!m_playback.songLoaded())
        return kApplicationTitle();
    const SongTagFields &f = m_playback.currentSongFields();
    return f.artist + QStringLiteral(" - ") + f.title;
}

bool TrayController::playing() const
{
    return m_playback.IsPlaying();
}
