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
