#include "core/playlists/PlaylistEntry.h"

#include "core/Errors.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace {

const QLatin1String kXspfNamespace("http://xspf.org/ns/0/");

[[noreturn]] void refuse(const QString &why)
{
    throw SonaloError(QStringLiteral("Invalid XSPF: %1").arg(why));
}

// Elements of the XSPF namespace; files that leave the namespace out are read too.
bool isXspf(const QXmlStreamReader &xml, QLatin1String name)
{
    return xml.name() == name && (xml.namespaceUri().isEmpty() || xml.namespaceUri() == kXspfNamespace);
}

void readTrackField(QXmlStreamReader &xml, PlaylistEntry &entry)
{
    auto text = [&] { return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed(); };
    if (isXspf(xml, QLatin1String("location"))) {
        const QString location = text();
        if (!entry.location.isEmpty() || location.isEmpty())
            return; // the first location is the one to play
        // A relative location is a URI reference: its escapes are decoded here, absolute URIs
        // are decoded when they are resolved.
        const bool hasScheme = !QUrl(location, QUrl::TolerantMode).isRelative();
        entry.location = hasScheme ? location : QUrl::fromPercentEncoding(location.toUtf8());
    } else if (isXspf(xml, QLatin1String("title"))) {
        entry.title = text();
    } else if (isXspf(xml, QLatin1String("creator"))) {
        entry.artist = text();
    } else if (isXspf(xml, QLatin1String("album"))) {
        entry.album = text();
    } else if (isXspf(xml, QLatin1String("trackNum"))) {
        bool ok = false;
        const uint n = text().toUInt(&ok);
        entry.track = ok && n > 0 ? QString::number(n) : QString();
    } else if (isXspf(xml, QLatin1String("duration"))) {
        bool ok = false;
        const qint64 ms = text().toLongLong(&ok);
        entry.seconds = ok && ms >= 0 ? (ms + 500) / 1000 : -1;
    } else {
        xml.skipCurrentElement(); // link, meta, extension, ...
    }
}

} // namespace

PlaylistEntries readXspf(QByteArrayView bytes)
{
    PlaylistEntries out;
    readXspf(bytes, [&out](PlaylistEntry &entry) { out.append(std::move(entry)); });
    return out;
}

void readXspf(QByteArrayView bytes, const PlaylistEntrySink &sink)
{
    QXmlStreamReader xml(bytes.toByteArray());
    int depth = 0; // 1: playlist, 2: trackList, 3: track
    bool sawRoot = false;
    PlaylistEntry entry;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            // Entities are never expanded: the document type declaration, the only place that
            // can declare them (external ones included), refuses the whole file before any
            // reference to them is read.
            refuse(QStringLiteral("document type declarations are not accepted"));
        case QXmlStreamReader::EntityReference:
            refuse(QStringLiteral("entity references are not accepted"));
        case QXmlStreamReader::StartElement:
            if (depth == 0) {
                if (!isXspf(xml, QLatin1String("playlist")))
                    refuse(QStringLiteral("the document is not a playlist"));
                depth = 1;
                sawRoot = true;
            } else if (depth == 1 && isXspf(xml, QLatin1String("trackList"))) {
                depth = 2;
            } else if (depth == 2 && isXspf(xml, QLatin1String("track"))) {
                entry = PlaylistEntry();
                depth = 3;
            } else if (depth == 3) {
                readTrackField(xml, entry);
            } else {
                xml.skipCurrentElement(); // title, annotation, extension of the playlist
            }
            break;
        case QXmlStreamReader::EndElement:
            if (depth == 3 && !entry.location.isEmpty())
                sink(entry); // a track without a location names no song
            --depth;
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        refuse(QStringLiteral("%1 (line %2)").arg(xml.errorString()).arg(xml.lineNumber()));
    if (!sawRoot)
        refuse(QStringLiteral("the file holds no playlist"));
}
