#pragma once

#include <QString>

// The product's name as the system sees it: the application name (and so the per-user
// configuration and data folders), the MPRIS identity, the prefix of log lines. The longer
// titles people read in windows and the desktop entry are texts of their own (session/AppTitle.h).
inline QString productName()
{
    return QStringLiteral("Sonalo");
}

// The reverse-DNS name the desktop knows the program by: the desktop entry's file name, the
// AppStream component, the Wayland application id and MPRIS' DesktopEntry all use it, so the
// desktop can match a window, a player and a software-centre page to one program.
inline QString desktopId()
{
    return QStringLiteral("io.github.orvmedia.Sonalo");
}
