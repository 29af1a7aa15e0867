#include "core/playlists/PlaylistEntry.h"

#include "core/FileSystem.h"
#include "core/SongNameSplit.h"
#include "core/TextUtil.h"
#include "core/playlists/RegularFileLookup.h"

#include <QDir>
#include <QUrl>

#include <limits>

namespace {

// The scheme of "scheme:rest", at least two characters long so that a drive letter ("C:") is
// none; empty when the text does not start with one.
QStringView urlScheme(QStringView s)
{
    qsizetype i = 0;
    if (s.isEmpty() || !(s[0].isLetter() && s[0].unicode() < 0x80))
        return {};
    for (i = 1; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        const bool schemeChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '+' || c == '-' || c == '.';
        if (!schemeChar)
            break;
    }
    if (i < 2 || i >= s.size() || s[i] != QLatin1Char(':'))
        return {};
    return s.first(i);
}

// "/C:/Music/a.mp3", the path of a file URI written on Windows, in the form Windows playlists
// store ("C:\Music\a.mp3"), which DateiFinden takes as absolute.
bool isWindowsUriPath(QStringView p)
{
    return p.size() >= 3 && p[0] == QLatin1Char('/') && p[1].isLetter() && p[1].unicode() < 0x80
        && p[2] == QLatin1Char(':') && (p.size() == 3 || p[3] == QLatin1Char('/'));
}

// Whether QDir::cleanPath would change the path: "//", "." or ".." segments, a "/" at the end.
bool needsCleaning(QStringView path)
{
    auto dotSegment = [](QStringView rest) {
        return rest == QLatin1String(".") || rest == QLatin1String("..") || rest.startsWith(QLatin1String("./"))
            || rest.startsWith(QLatin1String("../"));
    };
    if (dotSegment(path))
        return true;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] != QLatin1Char('/'))
            continue;
        const QStringView rest = path.sliced(i + 1);
        if (rest.isEmpty() || rest.startsWith(QLatin1Char('/')) || dotSegment(rest))
            return true;
    }
    return false;
}

} // namespace

void splitDisplayTitle(QStringView display, PlaylistEntry &entry)
{
    SongNameSplit::ArtistTitle split = SongNameSplit::splitDisplayTitle(display);
    entry.artist = std::move(split.artist);
    entry.title = std::move(split.title);
}

void resolvePlaylistEntry(PlaylistEntry &entry, const QString &playlistFolder)
{
    RegularFileLookup files;
    resolvePlaylistEntry(entry, playlistFolder, files);
}

void resolvePlaylistEntry(PlaylistEntry &entry, const QString &playlistFolder, RegularFileLookup &files)
{
    const QString &location = entry.location;
    entry.local = true;
    entry.exists = false;
    const QStringView scheme = urlScheme(location);
    if (!scheme.isEmpty() && scheme.compare(QLatin1String("file"), Qt::CaseInsensitive) == 0) {
        const QUrl url(location, QUrl::TolerantMode);
        const QString host = url.host();
        if (url.isValid() && (host.isEmpty() || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)) {
            // "#" and "?" belong to the name: file names are not split at them.
            QString path = url.path(QUrl::FullyDecoded);
            if (url.hasQuery())
                path += QLatin1Char('?') + url.query(QUrl::FullyDecoded);
            if (url.hasFragment())
                path += QLatin1Char('#') + url.fragment(QUrl::FullyDecoded);
            if (isWindowsUriPath(path))
                path = path.mid(1).replace(QLatin1Char('/'), QLatin1Char('\\'));
            entry.path = path;
            entry.exists = path.startsWith(QLatin1Char('/')) && files.isRegularFile(path);
            return;
        }
        // A file of another machine: kept as the playlist names it.
        entry.path = location;
        entry.local = false;
        return;
    }
    if (!scheme.isEmpty() && QStringView(location).sliced(scheme.size() + 1).startsWith(QLatin1String("//"))) {
        entry.path = location; // a stream
        entry.local = false;
        return;
    }
    if (location.contains(QLatin1String(":\\"))) {
        entry.path = location; // a Windows path: absolute, as DateiFinden takes it
        return;
    }
    if (location.startsWith(QLatin1Char('/'))) {
        entry.path = location;
        entry.exists = files.isRegularFile(location);
        return;
    }
    // A name beside the playlist, the most common entry: no path is put together for a file
    // that is not there.
    if (!location.contains(QLatin1Char('/')) && !location.contains(QLatin1Char('\\')) && location != QLatin1String(".")
        && location != QLatin1String("..") && playlistFolder.endsWith(QLatin1Char('/'))
        && !needsCleaning(QStringView(playlistFolder).chopped(1))) {
        entry.exists = files.isRegularFileIn(playlistFolder, location);
        entry.path = entry.exists ? playlistFolder + location : location;
        return;
    }
    if (!playlistFolder.isEmpty()) {
        // As written, then with backslashes read as "/" when it has no "/".
        const bool windowsSeparators = location.contains(QLatin1Char('\\')) && !location.contains(QLatin1Char('/'));
        for (int i = 0; i < (windowsSeparators ? 2 : 1); ++i) {
            const QString relative = i == 0 ? location : QString(location).replace(QLatin1Char('\\'), QLatin1Char('/'));
            QString candidate = playlistFolder + relative;
            if (needsCleaning(candidate))
                candidate = QDir::cleanPath(candidate);
            if (files.isRegularFile(candidate)) {
                entry.path = candidate;
                entry.exists = true;
                return;
            }
        }
    }
    // Not there (yet): stored relative, it is looked up beside the playlist when played.
    entry.path = location;
}

TSongRecord playlistFieldsRecord(const PlaylistEntry &entry)
{
    constexpr qint64 kMaxSeconds = std::numeric_limits<int>::max();
    const SongLengthText length = songLengthText(int(std::clamp<qint64>(entry.seconds, 0, kMaxSeconds)));
    const QString &path = entry.path.isEmpty() ? entry.location : entry.path;
    QStringView artist = entry.artist;
    QStringView title = entry.title;
    SongNameSplit::ArtistTitle split;
    QString wholeName;
    if (title.isEmpty()) {
        // The file name, as a file without tags gives it.
        split = SongNameSplit::splitEntryFileName(FileSystem::fileNameOf(path), path);
        if (artist.isEmpty() && !split.artist.isEmpty()) {
            artist = split.artist;
            title = split.title;
        } else {
            // The name whole.
            wholeName = split.artist.isEmpty() ? split.title : split.artist + QStringLiteral(" - ") + split.title;
            title = wholeName;
        }
    }
    // One heap block, as a loaded song is kept.
    return TSongRecord::fromFields({artist, title, length.view(), entry.album, entry.track, entry.year, entry.genre, path});
}
