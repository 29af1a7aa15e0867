#pragma once

#include <QString>

// The product's name as the system sees it: the application name (and so the per-user
// configuration and data folders), the MPRIS identity, the prefix of log lines. The longer
// titles people read in windows and the desktop entry are texts of their own (session/AppTitle.h).
inline QString productName()
{
    return QStringLiteral("Sonalo");
}
