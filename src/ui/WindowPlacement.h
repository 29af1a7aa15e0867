#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// The top left corner that puts a window of frame size `size` centred over the frame `over`,
// moved as little as needed to keep it on the screen's available area (its top left corner
// wins when the window is larger than the area).
QPoint centredOver(QSize size, const QRect &over, const QRect &available);

// Moves window so that it stands centred over the frame of `over`, on over's screen.
void centreOver(QWidget &window, const QWidget &over);

// Centres window on its screen the first time it is shown (placed is false) and sets placed.
// Later shows leave it where it was closed: moved again on every show, a window under a window
// manager came back by its frame's height away from where it stood.
void centreOnScreenOnce(QWidget &window, bool &placed);
