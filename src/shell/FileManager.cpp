#include "shell/FileManager.h"

#include "core/FileSystem.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

FreedesktopFileManager::FreedesktopFileManager(QObject *parent)
    : QObject(parent)
{
}

void FreedesktopFileManager::showItem(const QString &path)
{
    call(QStringLiteral("ShowItems"), path, true);
}

void FreedesktopFileManager::showItemProperties(const QString &path)
{
    call(QStringLiteral("ShowItemProperties"), path, false);
}

void FreedesktopFileManager::openFolder(const QString &folder)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void FreedesktopFileManager::call(const QString &method, const QString &path, bool openFolderOnFailure)
{
    const QString folder = FileSystem::folderOf(path);
    auto fallback = [this, method, folder, openFolderOnFailure] {
        if (openFolderOnFailure && !folder.isEmpty())
            openFolder(folder);
        Q_EMIT finished(method, false);
    };
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        fallback();
        return;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(kServiceName), QLatin1String(kObjectPath),
                                                          QLatin1String(kServiceName), method);
    // The startup id lets the desktop hand the focus to the file manager's window; none here.
    message << QStringList{QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded())} << QString();
    // A service that is not there answers with an error at once; one the bus has to start may
    // take seconds, and the window goes on meanwhile.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, method, fallback](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        if (w->isError())
            fallback();
        else
            Q_EMIT finished(method, true);
    });
}
