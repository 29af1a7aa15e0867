#include "shell/MediaKeys.h"

#include "playback/PlaybackControl.h"

#include <Qt>

MediaCommand mediaCommandFromAppCommand(quint32 parameter)
{
    switch (parameter) {
    case 11u << 16: return MediaCommand::Next;
    case 12u << 16: return MediaCommand::Previous;
    case 13u << 16: return MediaCommand::Stop;
    case 14u << 16: return MediaCommand::PlayPause;
    default: return MediaCommand::None;
    }
}

MediaCommand mediaCommandFromQtKey(int key)
{
    switch (key) {
    case Qt::Key_MediaNext: return MediaCommand::Next;
    case Qt::Key_MediaPrevious: return MediaCommand::Previous;
    case Qt::Key_MediaStop: return MediaCommand::Stop;
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaPause:
    case Qt::Key_MediaTogglePlayPause: return MediaCommand::PlayPause;
    case Qt::Key_VolumeUp: return MediaCommand::VolumeUp;
    case Qt::Key_VolumeDown: return MediaCommand::VolumeDown;
    case Qt::Key_VolumeMute: return MediaCommand::VolumeMute;
    default: return MediaCommand::None;
    }
}

bool runMediaCommand(MediaCommand command, PlaybackControl &playback)
{
    switch (command) {
    case MediaCommand::Next: playback.weiterClick(); return true;
    case MediaCommand::Previous: playback.zurueckClick(); return true;
    case MediaCommand::Stop:
    case MediaCommand::Pause: playback.mw2Click(); return true;
    case MediaCommand::PlayPause: playback.BtPlayClick(); return true;
    case MediaCommand::Play: playback.mw1Click(); return true;
    case MediaCommand::VolumeUp:
        playback.setMuted(false);
        playback.setVolumePercent(playback.volumePercent() + kVolumeKeyStep);
        return true;
    case MediaCommand::VolumeDown: playback.setVolumePercent(playback.volumePercent() - kVolumeKeyStep); return true;
    case MediaCommand::VolumeMute: playback.setMuted(!playback.muted()); return true;
    case MediaCommand::None: return false;
    }
    return false;
}
