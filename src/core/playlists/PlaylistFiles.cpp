#include "core/playlists/PlaylistFiles.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/Playlist.h"
#include "core/playlists/CueSheet.h"

#include <QFile>
#include <QFileInfo>

PlaylistFormat playlistFormatOf(const QString &fileName)
{
    const QString ext = FileSystem::extensionOf(fileName).toLower();
    if (ext == QLatin1String(".m3u"))
        return PlaylistFormat::M3u;
    if (ext == QLatin1String(".m3u8"))
        return PlaylistFormat::M3u8;
    if (ext == QLatin1String(".pls"))
        return PlaylistFormat::Pls;
    if (ext == QLatin1String(".xspf"))
        return PlaylistFormat::Xspf;
    if (ext == QLatin1String(".cue"))
        return PlaylistFormat::Cue;
    return PlaylistFormat::Slp;
}

namespace {

// The format a save writes: a sheet is never overwritten by a playlist.
PlaylistFormat savedFormatOf(const QString &fileName)
{
    const PlaylistFormat format = playlistFormatOf(fileName);
    return format == PlaylistFormat::Cue ? PlaylistFormat::Slp : format;
}

// The tracks of a sheet, each with its stored path and the audio file it plays from.
PlaylistEntries readSheetEntries(const QByteArray &bytes, const QString &fileName)
{
    if (bytes.size() > kCueMaxSheetBytes)
        throw SonaloError(QStringLiteral("It is larger than %1 KB.").arg(kCueMaxSheetBytes >> 10));
    return cueSheetEntries(parseCueSheet(bytes), QFileInfo(fileName).absoluteFilePath());
}

} // namespace

PlaylistEntries parsePlaylistEntries(QByteArrayView bytes, PlaylistFormat format)
{
    switch (format) {
    case PlaylistFormat::M3u8:
        if (detectTextEncoding(bytes) == 0)
            return readM3u(decodeUtf8(bytes, Utf8Malformed::Replace));
        return readM3u(decodeText(bytes));
    case PlaylistFormat::M3u:
        return readM3u(decodeText(bytes));
    case PlaylistFormat::Pls:
        return readPls(decodeText(bytes));
    case PlaylistFormat::Xspf:
        return readXspf(bytes);
    case PlaylistFormat::Cue:
    case PlaylistFormat::Slp:
        break;
    }
    return {};
}

qsizetype foreignEntryBound(QByteArrayView bytes, PlaylistFormat format)
{
    if (format == PlaylistFormat::Xspf) {
        qsizetype tracks = 0;
        for (qsizetype at = bytes.indexOf("<track"); at >= 0; at = bytes.indexOf("<track", at + 6)) {
            const char next = at + 6 < bytes.size() ? bytes[at + 6] : '>';
            tracks += next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\r' || next == '\n'; // not <trackList>
        }
        return tracks;
    }
    return bytes.count('\n') + 1;
}

qint64 availableMemoryBytes()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : meminfo.readAll().split('\n')) {
        if (line.startsWith("MemAvailable:")) {
            bool ok = false;
            const qint64 kb = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kb * 1024 : -1;
        }
    }
    return -1;
}

void LoadForeignPlaylist(SongLists &lists, const QString &fileName, const PlaylistEntryRecordFn &record,
                         qint64 availableBytes)
{
    const QByteArray bytes = readTextFileBytes(fileName);
    const PlaylistFormat format = playlistFormatOf(fileName);
    // A file of millions of tiny entries would take every byte of memory before a single song
    // showed: refused first, with what is loaded already kept.
    const qint64 available = availableBytes >= 0 ? availableBytes : availableMemoryBytes();
    const qsizetype bound = foreignEntryBound(bytes, format);
    if (available >= 0 && qint64(bound) * kForeignEntryLoadBytes > available) {
        throw SonaloError(QStringLiteral("Cannot read playlist \"%1\". It has up to %2 entries, more than the %3 MB "
                                         "of memory left can hold.")
                              .arg(fileName)
                              .arg(bound)
                              .arg(available >> 20));
    }
    PlaylistEntries entries;
    try {
        entries = format == PlaylistFormat::Cue ? readSheetEntries(bytes, fileName) : parsePlaylistEntries(bytes, format);
    } catch (const SonaloError &e) {
        throw SonaloError(QStringLiteral("Cannot read playlist \"%1\". %2").arg(fileName, e.message()));
    }
    // Relative entries are found beside the playlist, wherever the program was started.
    const QString folder = QFileInfo(fileName).absolutePath() + QLatin1Char('/');
    SongList songs;
    songs.reserve(entries.size());
    for (PlaylistEntry &entry : entries) {
        if (format != PlaylistFormat::Cue) // a sheet's tracks are resolved already
            resolvePlaylistEntry(entry, folder);
        songs.append(record ? record(entry) : playlistFieldsRecord(entry));
    }
    lists.append(std::move(songs));
    lists.addSourceFolder(FileSystem::folderOf(fileName));
}

void LoadAnyPlaylist(SongLists &lists, const QString &fileName, const PlaylistEntryRecordFn &record, bool dropped,
                     const std::function<void()> &keepAlive)
{
    if (isForeignPlaylist(fileName))
        LoadForeignPlaylist(lists, fileName, record);
    else if (dropped)
        LoadDroppedPlaylist(lists, fileName, keepAlive);
    else
        LoadPlaylist(lists, fileName, keepAlive);
}

QString playlistSaveTarget(const QString &name)
{
    return savedFormatOf(name) == PlaylistFormat::Slp ? playlistFileName(name) : name;
}

QString SaveAnyPlaylist(const SongList &list, const QString &name, TTextEncoding encoding, const PictureStyle &style)
{
    const QString target = playlistSaveTarget(name);
    writeFileAtomically(target, playlistSaveBytes(list, name, encoding, style));
    return target;
}

QByteArray playlistSaveBytes(const SongList &list, const QString &name, TTextEncoding encoding,
                             const PictureStyle &style)
{
    const PlaylistFormat format = savedFormatOf(name);
    if (format == PlaylistFormat::Slp)
        return textFileBytes(playlistText(list), playlistFileName(name), encoding, style);
    return foreignPlaylistBytes(list, format, encoding);
}
