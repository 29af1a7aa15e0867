#include "core/SongNameSplit.h"

#include "core/TextUtil.h"

namespace SongNameSplit {

namespace {

const QString kSeparator = QStringLiteral(" - ");

} // namespace

ArtistTitle splitFileName(const QString &name)
{
    if (!name.contains(kSeparator))
        return {QString(), name};
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stripped = dot < 0 ? name : ReplaceAll(name, name.mid(dot), QString());
    const qsizetype split = stripped.indexOf(kSeparator);
    if (split < 0) // removing the extension took the separator with it (" - .mp3")
        return {QString(), stripped};
    return {stripped.left(split), stripped.mid(split + kSeparator.size())};
}

ArtistTitle splitNamedSong(const QString &artist, const QString &title)
{
    if (!artist.isEmpty() || !title.contains(kSeparator))
        return {artist, title};
    QString name = title;
    for (QLatin1StringView ext : songNameExtensions())
        name = ReplaceAll(name, ext, QString());
    const qsizetype at = name.indexOf(kSeparator);
    if (at < 0) // an extension took the separator with it
        return {artist, name};
    const QString found = name.left(at);
    return {found, ReplaceAll(name, found + kSeparator, QString())};
}

ArtistTitle splitDisplayTitle(QStringView display)
{
    const qsizetype at = display.indexOf(kSeparator);
    if (at < 0)
        return {QString(), display.trimmed().toString()};
    return {display.first(at).trimmed().toString(), display.sliced(at + kSeparator.size()).trimmed().toString()};
}

ArtistTitle splitEntryFileName(QString name, const QString &path)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    if (name.isEmpty())
        name = path;
    const qsizetype at = name.indexOf(kSeparator);
    if (at > 0)
        return {name.left(at), name.mid(at + kSeparator.size())};
    return {QString(), name};
}

} // namespace SongNameSplit

const QList<QLatin1StringView> &songNameExtensions()
{
    static const QList<QLatin1StringView> list = {
        QLatin1StringView(".mp3"), QLatin1StringView(".wma"), QLatin1StringView(".ogg"), QLatin1StringView(".wav"),
        QLatin1StringView(".flac"), QLatin1StringView(".opus"), QLatin1StringView(".m4a"), QLatin1StringView(".m4b"),
        QLatin1StringView(".mp4"), QLatin1StringView(".aac"),
    };
    return list;
}
