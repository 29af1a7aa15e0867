#pragma once

#include <QtGlobal>

// What a media key asks of the player. Every source of media keys (the keyboard through Qt's
// key events, the desktop through MPRIS, the designed command parameter) ends in one of these.
// Play and Pause come only from the desktop (MPRIS), whose contract has them apart.
// The volume keys step the level or flip mute.
enum class MediaCommand { None, Next, Previous, Stop, PlayPause, Play, Pause, VolumeUp, VolumeDown, VolumeMute };

// How far one press of a volume key moves the level, in percent.
inline constexpr int kVolumeKeyStep = 5;

class PlaybackControl;

// The designed parameter test: the whole parameter must equal command × 65536 (command in the
// high word, device and key-state bits all zero): 11 next, 12 previous, 13 stop, 14 play/pause.
MediaCommand mediaCommandFromAppCommand(quint32 parameter);

// The media keys of Qt's key events (Qt::Key values); None for any other key.
MediaCommand mediaCommandFromQtKey(int key);

// The one dispatch of media commands to the playback: next weiterClick, previous
// zurueckClick, stop and pause mw2Click (the song stays loaded), play mw1Click, and play/pause
// BtPlayClick, so that the keyboard's play/pause key can pause as well as play; the volume
// keys move the level by kVolumeKeyStep (a step up also lifts mute) or flip mute. True when the
// command was one of these.
bool runMediaCommand(MediaCommand command, PlaybackControl &playback);
