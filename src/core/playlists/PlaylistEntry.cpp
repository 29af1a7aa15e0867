#include "core/playlists/PlaylistEntry.h"

#include "core/FileSystem.h"
#include "core/SongNameSplit.h"
#include "core/TextUtil.h"

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

} // namespace

void splitDisplayTitle(QStringView display, PlaylistEntry &entry)
{
    SongNameSplit::ArtistTitle split = SongNameSplit::splitDisplayTitle(display);
    entry.artist = std::move(split.artist);
    entry.title = std::move(split.title);
}

void resolvePlaylistEntry(PlaylistEntry &entry, const QString &playlistFolder)
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
            entry.exists = path.startsWith(QLatin1Char('/')) && FileSystem::isRegularFile(path);
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
        entry.exists = FileSystem::isRegularFile(location);
        return;
    }
    if (!playlistFolder.isEmpty()) {
        QStringList candidates{location};
        if (location.contains(QLatin1Char('\\')) && !location.contains(QLatin1Char('/')))
            candidates.append(QString(location).replace(QLatin1Char('\\'), QLatin1Char('/')));
        for (const QString &relative : std::as_const(candidates)) {
            const QString candidate = QDir::cleanPath(playlistFolder + relative);
            if (FileSystem::isRegularFile(candidate)) {
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
    TSongRecord r;
    r.Artist = entry.artist;
    r.Title = entry.title;
    r.Album = entry.album;
    r.Track = entry.track;
    r.Year = entry.year;
    r.Genre = entry.genre;
    constexpr qint64 kMaxSeconds = std::numeric_limits<int>::max();
    r.Length = FormatSongLength(int(std::clamp<qint64>(entry.seconds, 0, kMaxSeconds)));
    r.Path = entry.path.isEmpty() ? entry.location : entry.path;
    if (r.Title.isEmpty()) {
        // The file name, as a file without tags gives it.
        const SongNameSplit::ArtistTitle split = SongNameSplit::splitEntryFileName(FileSystem::fileNameOf(r.Path), r.Path);
        if (r.Artist.isEmpty() && !split.artist.isEmpty()) {
            r.Artist = split.artist;
            r.Title = split.title;
        } else {
            // The name whole.
            r.Title = split.artist.isEmpty() ? split.title : split.artist + QStringLiteral(" - ") + split.title;
        }
    }
    return r;
}
