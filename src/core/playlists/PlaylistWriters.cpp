#include "core/playlists/PlaylistFiles.h"

#include "core/ListStatus.h"
#include "core/Windows1252.h"

#include <QUrl>
#include <QXmlStreamWriter>

namespace {

// A field on one line of a line-based playlist.
QString oneLine(const QString &text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String(" "));
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

QString displayTitle(const TSongRecord &r)
{
    return oneLine(r.Artist.isEmpty() ? r.Title : r.Artist + QLatin1String(" - ") + r.Title);
}

// -1 when the song has no length text.
qint64 songSeconds(const TSongRecord &r)
{
    return r.Length.isEmpty() ? -1 : LengthSeconds(r.Length);
}

QString m3uText(const SongList &list)
{
    QString text = QStringLiteral("#EXTM3U\n");
    for (const TSongRecord &r : list) {
        text += QStringLiteral("#EXTINF:%1,").arg(songSeconds(r)) + displayTitle(r) + QLatin1Char('\n');
        text += oneLine(r.Path) + QLatin1Char('\n');
    }
    return text;
}

QString plsText(const SongList &list)
{
    QString text = QStringLiteral("[playlist]\n");
    qsizetype n = 0;
    for (const TSongRecord &r : list) {
        ++n;
        text += QStringLiteral("File%1=").arg(n) + oneLine(r.Path) + QLatin1Char('\n');
        text += QStringLiteral("Title%1=").arg(n) + displayTitle(r) + QLatin1Char('\n');
        text += QStringLiteral("Length%1=%2\n").arg(n).arg(songSeconds(r));
    }
    text += QStringLiteral("NumberOfEntries=%1\nVersion=2\n").arg(n);
    return text;
}

// A stored path as an XSPF location (a URI): local paths as "file:" URIs, Windows paths as
// "file:///C:/...", relative paths as relative references, URLs as they are.
QString xspfLocation(const QString &path)
{
    PlaylistEntry probe;
    probe.location = path;
    resolvePlaylistEntry(probe, QString());
    if (!probe.local)
        return QUrl(path, QUrl::TolerantMode).toString(QUrl::FullyEncoded);
    if (path.contains(QLatin1String(":\\")))
        return QStringLiteral("file:///")
            + QString::fromLatin1(QUrl::toPercentEncoding(QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')), "/:"));
    if (path.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    return QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

// XML 1.0 cannot hold control characters (but tab, LF and CR), U+FFFE, U+FFFF or a lone
// surrogate; a field holding one would make the whole file unreadable.
QString xmlText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text[i];
            out += text[++i];
        } else if ((c >= 0x20 || c == 0x09 || c == 0x0A || c == 0x0D) && !QChar::isSurrogate(c) && c != 0xFFFE
                   && c != 0xFFFF) {
            out += text[i];
        }
    }
    return out;
}

QByteArray xspfBytes(const SongList &list)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://xspf.org/ns/0/"));
    xml.writeStartElement(QStringLiteral("playlist"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));
    xml.writeStartElement(QStringLiteral("trackList"));
    for (const TSongRecord &r : list) {
        xml.writeStartElement(QStringLiteral("track"));
        // In the order the XSPF schema lists them.
        xml.writeTextElement(QStringLiteral("location"), xspfLocation(r.Path));
        if (!r.Title.isEmpty())
            xml.writeTextElement(QStringLiteral("title"), xmlText(r.Title));
        if (!r.Artist.isEmpty())
            xml.writeTextElement(QStringLiteral("creator"), xmlText(r.Artist));
        if (!r.Album.isEmpty())
            xml.writeTextElement(QStringLiteral("album"), xmlText(r.Album));
        bool ok = false;
        const uint track = r.Track.trimmed().toUInt(&ok);
        if (ok && track > 0)
            xml.writeTextElement(QStringLiteral("trackNum"), QString::number(track));
        const qint64 seconds = songSeconds(r);
        if (seconds >= 0)
            xml.writeTextElement(QStringLiteral("duration"), QString::number(seconds * 1000));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

QByteArray utf8WithoutSignature(const QString &text)
{
    return encodeText(text, TTextEncoding::teUtf8).sliced(3);
}

bool fitsCodePage(QStringView text)
{
    for (const QChar c : text)
        if (Windows1252::fromUnicode(c.unicode()) < 0)
            return false;
    return true;
}

} // namespace

QByteArray foreignPlaylistBytes(const SongList &list, PlaylistFormat format, TTextEncoding outputEncoding)
{
    switch (format) {
    case PlaylistFormat::M3u: {
        const QString text = m3uText(list);
        // A character the code page lacks would become "?" and break the path: UTF-8 then,
        // which the readers here and elsewhere recognise without a signature.
        if (outputEncoding == TTextEncoding::teAnsi && fitsCodePage(text))
            return Windows1252::encode(text);
        return utf8WithoutSignature(text);
    }
    case PlaylistFormat::M3u8:
        return utf8WithoutSignature(m3uText(list));
    case PlaylistFormat::Pls:
        return utf8WithoutSignature(plsText(list));
    case PlaylistFormat::Xspf:
        return xspfBytes(list);
    case PlaylistFormat::Cue:
    case PlaylistFormat::Slp:
        break;
    }
    return {};
}
