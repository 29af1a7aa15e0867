#pragma once

class QMenu;
class QObject;
class ReplayGainModel;

// The ReplayGain submenu of the playback menu: the mode, the pre-amp, the gain of songs without
// values and clipping prevention, each item ticked as the model stands. Its items are children
// of owner under the names the main menu's text table gives them, so the window's language
// routine names them.
void addReplayGainMenu(QMenu *parent, QObject *owner, ReplayGainModel &model);
