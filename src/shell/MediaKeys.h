#pragma once

#include <QtGlobal>

// What a media key asks of the player. Every source of media keys (the keyboard through Qt's
// key events, the desktop through MPRIS, the designed command parameter) ends in one of these.
enum class MediaCommand { None, Next, Previous, Stop, PlayPause };

// The designed parameter test: the whole parameter must equal command × 65536 (command in the
// high word, device and key-state bits all zero): 11 next, 12 previous, 13 stop, 14 play/pause.
MediaCommand mediaCommandFromAppCommand(quint32 parameter);

// The media keys of Qt's key events (Qt::Key values); None for any other key.
MediaCommand mediaCommandFromQtKey(int key);
