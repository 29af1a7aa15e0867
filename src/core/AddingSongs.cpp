#include "core/AddingSongs.h"

#include "core/FileSystem.h"
#include "core/KeepAlive.h"
#include "core/Playlist.h"
#include "core/playlists/PlaylistFiles.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

void OpenArgument(SongLists &lists, const QString &argument, ScanState &state, const AddSongFileFn &addSongFile,
                  const std::function<void()> &keepAlive, bool folderRelative,
                  const PlaylistEntryRecordFn &entryRecord)
{
    if (extensionOf(argument) == QLatin1String(".slp")) {
        LoadPlaylist(lists, argument, keepAlive);
        return;
    }
    if (FileSystem::isDirectory(argument))
        AddFolder(argument, folderRelative, state, addSongFile, keepAlive);
    else if (isForeignPlaylist(argument))
        LoadForeignPlaylist(lists, argument, entryRecord, -1, keepAlive); // a missing one says so, as a ".slp"
    else if (!FileSystem::exists(argument))
        AddFolder(argument, folderRelative, state, addSongFile, keepAlive);
    else
        addSongFile(argument, false);
}

QString absoluteArgument(const QString &argument, const QString &workingFolder)
{
    if (argument.isEmpty() || argument.startsWith(QLatin1Char('/')) || workingFolder.isEmpty())
        return argument;
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(argument));
}

void addDroppedNames(SongLists &lists, const QStringList &names, ScanState &state, const AddSongFileFn &addSongFile,
                     const std::function<void()> &keepAlive, bool folderRelative,
                     const PlaylistEntryRecordFn &entryRecord)
{
    // Ten thousand pasted or dropped files are read one by one: the window paints between them.
    KeepAlive alive(keepAlive);
    for (const QString &name : names) {
        alive.now();
        if (state.ScanCancelled)
            break; // the names added so far stay
        if (FileSystem::isDirectory(name) || !FileSystem::exists(name))
            AddFolder(name, folderRelative, state, addSongFile, keepAlive);
        else if (extensionOf(name).toLower() == QLatin1String(".slp"))
            LoadDroppedPlaylist(lists, name, keepAlive);
        else if (isForeignPlaylist(name))
            LoadForeignPlaylist(lists, name, entryRecord, -1, keepAlive);
        else
            addSongFile(name, false);
    }
}

QStringList fileListFromMimeData(const QMimeData *data)
{
    QStringList names;
    if (!data)
        return names;
    QList<QUrl> urls;
    const QString gnome = QStringLiteral("x-special/gnome-copied-files");
    if (data->hasUrls()) {
        urls = data->urls();
    } else if (data->hasFormat(gnome)) {
        // "copy" or "cut", then one URL a line.
        const QList<QByteArray> lines = data->data(gnome).split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i)
            if (!lines[i].trimmed().isEmpty())
                urls.append(QUrl::fromEncoded(lines[i].trimmed()));
    }
    for (const QUrl &url : std::as_const(urls)) {
        // Only absolute local names: "file:a.mp3" would be read against whatever folder the
        // program runs in, and "file://host/..." names a file of another machine.
        if (!url.isLocalFile())
            continue;
        const QString host = url.host();
        if (!host.isEmpty() && host != QLatin1String("localhost"))
            continue;
        const QString name = host.isEmpty() ? url.toLocalFile() : url.path(QUrl::FullyDecoded);
        if (name.startsWith(QLatin1Char('/')) && !name.startsWith(QLatin1String("//")))
            names.append(name);
    }
    return names;
}

void addPastedNames(SongLists &lists, const QStringList &names, ScanState &state, const AddSongFileFn &addSongFile,
                    const std::function<void()> &keepAlive, bool folderRelative,
                    const PlaylistEntryRecordFn &entryRecord)
{
    // Ten thousand pasted or dropped files are read one by one: the window paints between them.
    KeepAlive alive(keepAlive);
    for (const QString &name : names) {
        alive.now();
        if (state.ScanCancelled)
            break; // the names added so far stay
        if (FileSystem::isDirectory(name))
            AddFolder(name, folderRelative, state, addSongFile, keepAlive);
        else if (isForeignPlaylist(name) && FileSystem::isRegularFile(name))
            LoadForeignPlaylist(lists, name, entryRecord, -1, keepAlive);
        else
            addSongFile(name, false);
    }
}
