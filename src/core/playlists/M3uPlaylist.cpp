#include "core/playlists/PlaylistEntry.h"

#include "core/TextEncoding.h"

#include <algorithm>
#include <cmath>

namespace {

// "#EXTINF:" has been cut off: "seconds[ attributes],Artist - Title". Players put attributes
// with quoted values (which may hold commas) between the length and the comma.
void parseExtinf(QStringView rest, PlaylistEntry &entry)
{
    qsizetype comma = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (rest[i] == QLatin1Char('"'))
            quoted = !quoted;
        else if (rest[i] == QLatin1Char(',') && !quoted) {
            comma = i;
            break;
        }
    }
    const QStringView head = comma < 0 ? rest : rest.first(comma);
    qsizetype end = 0;
    while (end < head.size() && !head[end].isSpace())
        ++end;
    const QStringView length = head.first(end);
    // Whole seconds, as nearly every list writes them, without the conversion of a double.
    if (!length.isEmpty() && length.size() <= 12
        && std::all_of(length.begin(), length.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        qint64 seconds = 0;
        for (const QChar c : length)
            seconds = seconds * 10 + (c.unicode() - u'0');
        entry.seconds = seconds;
    } else {
        bool ok = false;
        const double seconds = length.toDouble(&ok);
        // Bounded before the conversion: a length of 1e300 must not overflow.
        if (ok && seconds >= 0 && seconds < 1e12)
            entry.seconds = std::llround(seconds);
    }
    if (comma >= 0)
        splitDisplayTitle(rest.sliced(comma + 1), entry);
}

} // namespace

PlaylistEntries readM3u(QStringView text)
{
    PlaylistEntries out;
    readM3u(text, [&out](PlaylistEntry &entry) { out.append(std::move(entry)); });
    return out;
}

void readM3u(QStringView text, const PlaylistEntrySink &sink)
{
    M3uReader reader(sink);
    reader.feed(text);
}

void M3uReader::feed(QStringView lines)
{
    forEachLine(lines, [&](QStringView raw) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty())
            return;
        if (line.startsWith(QLatin1Char('#'))) {
            if (line.startsWith(QLatin1String("#EXTINF:"), Qt::CaseInsensitive)) {
                m_pending = PlaylistEntry();
                parseExtinf(line.sliced(8), m_pending);
            }
            return; // #EXTM3U and every other comment
        }
        m_pending.location = line.toString();
        m_sink(m_pending);
        m_pending = PlaylistEntry();
    });
}
