#include "app/RunSonalo.h"

#include "app/Artwork.h"
#include "app/InstanceMessenger.h"
#include "app/TOneInstanceCheck.h"
#include "app/SonaloApp.h"
#include "core/FileSystem.h"
#include "tags/ReaderFailureHook.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

int runSonalo(int argc, char **argv, const std::function<void(SonaloApp &)> &beforeStart)
{
    QApplication app(argc, argv);
    // The settings folder name; the title people see is the desktop entry's "ORV Media Sonalo".
    QApplication::setApplicationName(QStringLiteral("Sonalo"));
    QApplication::setApplicationVersion(QStringLiteral(SONALO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("sonalo"));
    QApplication::setWindowIcon(Artwork::programIcon());
    // The run ends when the main window closes, not when the splash hides.
    QApplication::setQuitOnLastWindowClosed(false);

    // A start with files hands them to a running copy of this program file and ends here,
    // before any window exists.
    const QString programPath = QCoreApplication::applicationFilePath();
    InstanceMessenger messenger(InstanceMessenger::channelFolder(programPath, InstanceMessenger::runtimeFolder()));
    if (messenger.start(programPath, app.arguments().mid(1), QDir::currentPath()) == InstanceMessenger::Outcome::Taken)
        return 0;
    messenger.setReceiveHook(&TOneInstanceCheck::received);

    // An unexpected failure of a tag reader: the "Error" box; the reader carries on.
    setReaderFailureHook([](const QString &message) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), message, QMessageBox::Ok);
        box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
        box.exec();
    });

    SonaloApp::Options options;
    options.programFolder = FileSystem::programFolder();
    options.workingFolder = QDir::currentPath();
    options.arguments = app.arguments().mid(1);
    SonaloApp sonalo(options);
    if (beforeStart)
        beforeStart(sonalo);
    sonalo.showSplash();
    return app.exec();
}
