#pragma once

#include "session/BackgroundWrite.h"

class LanguageCode;
class QWidget;

// The window's side of a long save or export while its worker runs: the window paints but takes
// no input; after a quarter of a second a small window over it names the step and shows a bar
// (running to and fro while the content is still being made) and Cancel. That window is modal,
// so nothing but Cancel reaches the program meanwhile; it closes when the step ends.
WorkWatchMaker progressWatches(QWidget *owner, const LanguageCode &lang);
