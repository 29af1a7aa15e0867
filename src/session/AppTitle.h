#pragma once

#include <QString>

// The application's title (the process's name on the desktop) and the main window's caption.
inline QString kApplicationTitle() { return QStringLiteral("ORV Media Sonalo"); }
inline QString kMainWindowCaption() { return QStringLiteral("Sonalo - Orvel Media"); }
