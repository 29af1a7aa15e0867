#pragma once

#include <QtGlobal>

// What a media key asks of the player. Every source of media keys (the keyboard through Qt's
// key events, the desktop through MPRIS, the designed command parameter) ends in one of these.
// Play and Pause come only from the desktop (MPRIS), whose contract has them apart.
enum class MediaCommand { None, Next, Previous, Stop, PlayPause, Play, Pause };

class PlaybackControl;

// The designed parameter test: the whole parameter must equal command × 65536 (command in the
// high word, device and key-state bits all zero): 11 next, 12 previous, 13 stop, 14 play/pause.
MediaCommand mediaCommandFromAppCommand(quint32 parameter);

// The media keys of Qt's key events (Qt::Key values); None for any other key.
MediaCommand mediaCommandFromQtKey(int key);

// The one dispatch of media commands to the playback: next weiterClick, previous
// zurueckClick, stop and pause mw2Click (the song stays loaded), play mw1Click, and play/pause
// BtPlayClick, so that the keyboard's play/pause key can pause as well as play. True when the
// command was one of these.
bool runMediaCommand(MediaCommand command, PlaybackControl &playback);
