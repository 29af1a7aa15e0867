#include "playback/SongDisplay.h"
#include "core/SongNameSplit.h"

#include "tags/AudioInfo.h"

#include "core/TextUtil.h"

namespace {

const QString kUnknown = QStringLiteral("??");

} // namespace

SongTagFields SongDisplayFields(SongTagFields f)
{
    for (QString *part : {&f.album, &f.genre, &f.track})
        if (part->isEmpty())
            *part = kUnknown;
    // Songs named after their file.
    SongNameSplit::ArtistTitle named = SongNameSplit::splitNamedSong(f.artist, f.title);
    f.artist = std::move(named.artist);
    f.title = std::move(named.title);
    if (f.artist.isEmpty())
        f.artist = kUnknown;
    if (f.title.isEmpty())
        f.title = kUnknown;
    return f;
}

QString SongDisplayText(const SongTagFields &f, SongDisplayMode mode, const QString &path)
{
    const QString artistTitle = f.artist + QStringLiteral(" - ") + f.title;
    switch (mode) {
    case SongDisplayMode::ArtistTitle: return artistTitle;
    case SongDisplayMode::ArtistTitleAlbum: return artistTitle + QStringLiteral(" (") + f.album + QLatin1Char(')');
    case SongDisplayMode::ArtistTitleAlbumTrack:
        return artistTitle + QStringLiteral(" (") + f.album + QStringLiteral(", ") + f.track + QLatin1Char(')');
    case SongDisplayMode::ArtistTitleGenre: return artistTitle + QStringLiteral(" (") + f.genre + QLatin1Char(')');
    case SongDisplayMode::PathAndFile: return path;
    case SongDisplayMode::None: return QString();
    }
    return artistTitle;
}

QString SongWindowTitle(const QString &displayText)
{
    return displayText + QStringLiteral(" - Orvel Media Sonalo");
}
