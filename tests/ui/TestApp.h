#pragma once

#include "app/SonaloApp.h"

#include <QString>

// The whole program over a program folder (also its working folder), with the given dialogs
// and players and without the desktop's media controls.
inline SonaloApp::Options testAppOptions(const QString &folder, UserDialogs &dialogs, AudioPlayerFactory players)
{
    SonaloApp::Options o;
    o.programFolder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    o.workingFolder = folder;
    // Never the user's own settings.
    o.configFolder = o.programFolder + QStringLiteral("config");
    o.dataFolder = o.programFolder + QStringLiteral("data");
    o.coverFolder = o.programFolder + QStringLiteral("covers");
    o.dialogs = &dialogs;
    o.playerFactory = std::move(players);
    o.mpris = false;
    // Never the user's own desktop files.
    o.desktopScope = DesktopScope{o.programFolder + QStringLiteral("desktop-data"),
                                  o.programFolder + QStringLiteral("desktop-config/mimeapps.list"), false};
    return o;
}
