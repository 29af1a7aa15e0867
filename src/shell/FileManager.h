#pragma once

#include <QObject>
#include <QString>

// What the song operations ask of the desktop's file manager, for local absolute paths.
class FileManager
{
public:
    virtual ~FileManager() = default;
    // Shows the folder holding the file, with the file selected.
    virtual void showItem(const QString &path) = 0;
    // The file manager's properties dialog of the file; nothing when there is none.
    virtual void showItemProperties(const QString &path) = 0;
    // Opens a folder the way the desktop opens folders.
    virtual void openFolder(const QString &folder) = 0;
};

// The freedesktop file manager interface (org.freedesktop.FileManager1) on the session bus,
// which Nautilus, Dolphin, Nemo, Thunar and others serve or are started for by the bus. The
// calls are asynchronous, so a file manager that takes its time to start never blocks the
// window. Without the service (or without a session bus), showItem opens the file's folder
// through QDesktopServices instead and showItemProperties does nothing.
class FreedesktopFileManager : public QObject, public FileManager
{
    Q_OBJECT
public:
    static constexpr const char *kServiceName = "org.freedesktop.FileManager1";
    static constexpr const char *kObjectPath = "/org/freedesktop/FileManager1";

    explicit FreedesktopFileManager(QObject *parent = nullptr);

    void showItem(const QString &path) override;
    void showItemProperties(const QString &path) override;
    void openFolder(const QString &folder) override;

Q_SIGNALS:
    // A call ended: answered by the service, or not (then the fallback ran, if there is one).
    void finished(const QString &method, bool answered);

private:
    void call(const QString &method, const QString &path, bool openFolderOnFailure);
};
