#include "app/RunSonalo.h"

#include "core/ProductName.h"
#include "ui/Artwork.h"
#include "app/InstanceMessenger.h"
#include "app/TOneInstanceCheck.h"
#include "app/SonaloApp.h"
#include "core/FileSystem.h"
#include "desktop/AdminRestart.h"
#include "desktop/ShellIntegration.h"
#include "ui/Teinstshortcuts.h"
#include "session/UserDialogs.h"
#include "ui/QtUserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// The copy started through pkexec by "Restart Program as Admin": root, with the display its
// caller passed, and nothing of the player (no hand-over channel, no settings, no playback) but
// the shortcuts window for the system-wide scope. It ends when that window closes.
int runElevatedShortcuts(int argc, char **argv, const ElevatedStart::Request &request)
{
    auto set = [](const char *name, const QString &value) {
        if (value.isEmpty())
            ::unsetenv(name);
        else
            ::setenv(name, QFile::encodeName(value).constData(), 1);
    };
    set("DISPLAY", request.display);
    set("XAUTHORITY", request.xauthority);
    set("WAYLAND_DISPLAY", request.waylandDisplay);
    if (request.display.isEmpty())
        ::setenv("QT_QPA_PLATFORM", "wayland", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(productName());
    QApplication::setWindowIcon(Artwork::programIcon());
    LanguageCode lang(request.language);
    const QString program = ShellIntegration::currentProgramPath();
    ShellIntegration shell({DesktopScope::system(), program, &Artwork::playlistIconPng});
    AdminRestart admin(AdminRestart::forThisProcess(program));
    QtUserDialogs dialogs;
    Teinstshortcuts window(lang, shell, admin, dialogs);
    window.show();
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    return app.exec();
}

} // namespace

int runSonalo(int argc, char **argv, const std::function<void(SonaloApp &)> &beforeStart)
{
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    if (const std::optional<ElevatedStart::Request> elevated =
            ElevatedStart::parse(rawArguments, unsigned(::geteuid()), std::getenv("PKEXEC_UID") != nullptr))
        return runElevatedShortcuts(argc, argv, *elevated);

    QApplication app(argc, argv);
    // The settings folder name; the title people see is the desktop entry's "ORV Media Sonalo".
    QApplication::setApplicationName(productName());
    QApplication::setApplicationVersion(QStringLiteral(SONALO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("sonalo"));
    QApplication::setWindowIcon(Artwork::programIcon());
    // The run ends when the main window closes, not when the splash hides.
    QApplication::setQuitOnLastWindowClosed(false);

    // A start with files hands them to a running copy of this program file and ends here,
    // before any window exists.
    const QString programPath = QCoreApplication::applicationFilePath();
    InstanceMessenger messenger(InstanceMessenger::channelFolder(programPath, InstanceMessenger::runtimeFolder()));
    // The restart flag counts only for the copy pkexec starts; elsewhere it is dropped.
    const QStringList arguments = ElevatedStart::withoutElevatedOptions(app.arguments().mid(1));
    if (messenger.start(programPath, arguments, QDir::currentPath()) == InstanceMessenger::Outcome::Taken)
        return 0;
    messenger.setReceiveHook(&TOneInstanceCheck::received);

    SonaloApp::Options options;
    options.programFolder = FileSystem::programFolder();
    options.workingFolder = QDir::currentPath();
    options.arguments = arguments;
    SonaloApp sonalo(options);
    if (beforeStart)
        beforeStart(sonalo);
    sonalo.showSplash();
    return app.exec();
}
