#include "core/playlists/PlaylistEntry.h"

#include "core/TextEncoding.h"

#include <QMap>

namespace {

// "File12" with prefix "File" gives 12; false for anything else.
bool numberedKey(QStringView key, QLatin1String prefix, quint32 &number)
{
    if (key.size() <= prefix.size() || !key.startsWith(prefix, Qt::CaseInsensitive))
        return false;
    const QStringView digits = key.sliced(prefix.size());
    if (digits.size() > 9)
        return false;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    number = digits.toUInt();
    return true;
}

} // namespace

PlaylistEntries readPls(QStringView text)
{
    // Keys may come in any order and numbers may have gaps: collected by number first.
    QMap<quint32, PlaylistEntry> byNumber;
    bool inPlaylist = true; // keys before any section count too
    forEachLine(text, [&](QStringView raw) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            return;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inPlaylist = line.sliced(1, line.size() - 2).trimmed().compare(QLatin1String("playlist"), Qt::CaseInsensitive) == 0;
            return;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inPlaylist || eq <= 0)
            return;
        const QStringView key = line.first(eq).trimmed();
        const QStringView value = line.sliced(eq + 1).trimmed();
        quint32 n = 0;
        if (numberedKey(key, QLatin1String("File"), n)) {
            byNumber[n].location = value.toString();
        } else if (numberedKey(key, QLatin1String("Title"), n)) {
            splitDisplayTitle(value, byNumber[n]);
        } else if (numberedKey(key, QLatin1String("Length"), n)) {
            bool ok = false;
            const qint64 seconds = value.toLongLong(&ok);
            byNumber[n].seconds = ok && seconds >= 0 ? seconds : -1;
        }
    });
    PlaylistEntries out;
    out.reserve(byNumber.size());
    for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it)
        if (!it->location.isEmpty()) // a title without a file names no song
            out.append(*it);
    return out;
}
