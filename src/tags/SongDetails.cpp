#include "tags/SongDetails.h"

#include "tags/AudioInfo.h"
#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/ID3v2Tag.h"
#include "tags/TagText.h"

#include "core/TextEncoding.h"

#include <QFile>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A picture's self-description (MIME type and description) is looked for in this much of its
// frame, block or value; the picture itself is never read here.
constexpr qint64 kPictureHead = 64 * 1024;
// Structures that must be read whole to be walked at all (an unsynchronised ID3v2 tag, an Ogg
// comment packet, a FLAC comment block) are given up beyond this.
constexpr qint64 kMaxWholeStructure = 32 * 1024 * 1024;
constexpr int kMaxStructures = 4096;

QByteArray readBytes(WindowedReader &device, qint64 pos, qint64 n)
{
    QByteArray out;
    if (pos < 0 || n <= 0 || !device.readAt(pos, std::min(n, device.size() - pos), out))
        return QByteArray();
    return out;
}

QString clipped(QString text)
{
    text.truncate(SongDetails::kMaxFieldText);
    return text;
}

void addField(SongDetails &out, const QString &name, const QString &value)
{
    if (value.isEmpty() || out.fields.size() >= SongDetails::kMaxFields)
        return;
    out.fields.append({name, clipped(value)});
}

void addPicture(SongDetails &out, PictureEntry e)
{
    if (out.pictures.size() < SongDetails::kMaxPictures)
        out.pictures.append(std::move(e));
}

// ID3v2 --------------------------------------------------------------------------------------

// The length of a text in the given ID3v2 encoding up to its terminator, and the terminator's
// length; the whole rest when none is found.
qsizetype id3TextEnd(int encoding, QByteArrayView bytes, qsizetype &terminator)
{
    const bool wide = encoding == 1 || encoding == 2;
    terminator = wide ? 2 : 1;
    for (qsizetype i = 0; i + terminator <= bytes.size(); i += terminator)
        if (bytes[i] == 0 && (!wide || bytes[i + 1] == 0))
            return i;
    terminator = 0;
    return bytes.size();
}

// Takes one terminated text off the cursor.
QString id3TakeText(ByteCursor &c, int encoding)
{
    qsizetype term = 0;
    const qsizetype start = c.pos();
    QByteArrayView all = c.bytesUpTo(c.remaining());
    const qsizetype len = id3TextEnd(encoding, all, term);
    c.seek(start + len + term);
    return TID3v2Tag::DecodeText(std::uint8_t(encoding), all.first(len));
}

// Frames of a tag body, served by fetch(pos, n) relative to the body's start.
struct Id3Walk
{
    int version = 3;
    qint64 bodyLength = 0;
    std::function<QByteArray(qint64, qint64)> fetch;
    // For each picture found: how its frame's data lies (set by the caller for coding).
    std::function<void(PictureEntry &, qint64 dataPos, qint64 dataLength, bool frameUnsync, qint64 skipped)> place;
};

// Parses the head of an APIC or PIC frame's data into e; false when it is not one.
bool parseApic(int version, QByteArrayView data, PictureEntry &e, qint64 &imageStart)
{
    ByteCursor c(data);
    const int encoding = c.u8();
    if (version == 2) {
        const QByteArrayView format = c.bytes(3);
        e.mime = QString::fromLatin1(format).toLower();
        if (e.mime == QLatin1String("jpg"))
            e.mime = QStringLiteral("image/jpeg");
        else if (e.mime == QLatin1String("png"))
            e.mime = QStringLiteral("image/png");
    } else {
        qsizetype term = 0;
        const qsizetype start = c.pos();
        const QByteArrayView all = c.bytesUpTo(c.remaining());
        const qsizetype len = id3TextEnd(0, all, term);
        if (term == 0)
            return false;
        e.mime = QString::fromLatin1(all.first(len)).trimmed().toLower();
        c.seek(start + len + term);
    }
    e.type = c.u8();
    if (!c.ok())
        return false;
    qsizetype term = 0;
    const qsizetype start = c.pos();
    const QByteArrayView all = c.bytesUpTo(c.remaining());
    const qsizetype len = id3TextEnd(encoding, all, term);
    if (term == 0)
        return false; // the description's end lies beyond what was read
    e.description = clipped(TID3v2Tag::DecodeText(std::uint8_t(encoding), all.first(len)));
    imageStart = start + len + term;
    return true;
}

void walkId3Frames(const Id3Walk &w, SongDetails &out)
{
    const int headerLength = w.version == 2 ? 6 : 10;
    const int idLength = w.version == 2 ? 3 : 4;
    qint64 pos = 0;
    for (int n = 0; n < kMaxStructures && pos + headerLength <= w.bodyLength; ++n) {
        const QByteArray header = w.fetch(pos, headerLength);
        if (header.size() < headerLength)
            return;
        ByteCursor h(header);
        const QByteArray id = h.bytes(idLength).toByteArray();
        for (char ch : id)
            if (!((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')))
                return; // padding
        // A size past the tag's or the file's end is kept as stated: a picture it cuts is
        // incomplete, and the walk ends with it.
        const qint64 size = w.version == 2 ? h.u24be() : w.version == 3 ? h.u32be() : h.synchsafe32();
        const qint64 dataPos = pos + headerLength;
        pos = dataPos + size;
        std::uint8_t format = 0;
        if (w.version == 4)
            format = std::uint8_t(header[9]);
        else if (w.version == 3)
            format = std::uint8_t(header[9]) & 0xC0 ? 0x08 : 0; // compressed or encrypted
        if (format & 0x0C)
            continue; // compressed or encrypted: not read
        const bool frameUnsync = (format & 0x02) != 0;
        const qint64 skipped = (format & 0x01) ? 4 : 0; // the data length indicator
        const bool picture = id == (w.version == 2 ? "PIC" : "APIC");
        const bool text = id.startsWith('T') || id == "COMM" || id == "COM" || id == "WXXX" || id.startsWith("W");
        if (!picture && !text)
            continue;
        // An unsynchronised picture frame is restored whole, since only that tells its length.
        const qint64 want = picture ? std::min(size, frameUnsync ? kMaxWholeStructure : kPictureHead)
                                    : std::min<qint64>(size, SongDetails::kMaxFieldText * 4 + 16);
        QByteArray data = w.fetch(dataPos, want);
        if (frameUnsync)
            data = TID3v2Tag::ReverseUnsynchronisation(data);
        if (skipped > data.size())
            continue;
        const QByteArrayView body = QByteArrayView(data).sliced(skipped);
        if (picture) {
            PictureEntry e;
            qint64 imageStart = 0;
            if (!parseApic(w.version, body, e, imageStart))
                continue;
            e.length = frameUnsync ? data.size() - skipped - imageStart : size - skipped - imageStart;
            w.place(e, dataPos, size, frameUnsync, skipped + imageStart);
            addPicture(out, std::move(e));
            continue;
        }
        if (body.isEmpty())
            continue;
        const QString name = QString::fromLatin1(id);
        if (id.startsWith('W') && id != "WXXX") {
            addField(out, name, QString::fromLatin1(TagText::trimControl(body)));
            continue;
        }
        ByteCursor c(body);
        const int encoding = c.u8();
        if (id == "COMM" || id == "COM") {
            c.skip(3); // language
            const QString description = id3TakeText(c, encoding);
            const QString value = TID3v2Tag::DecodeText(std::uint8_t(encoding), c.bytesUpTo(c.remaining()));
            addField(out, description.isEmpty() ? name : name + QLatin1Char(':') + description,
                     TID3v2Tag::TextOfVersion(w.version, value));
        } else if (id == "TXXX" || id == "TXX" || id == "WXXX") {
            const QString description = id3TakeText(c, encoding);
            const QByteArrayView rest = c.bytesUpTo(c.remaining());
            const QString value = id == "WXXX" ? QString::fromLatin1(TagText::trimControl(rest))
                                               : TID3v2Tag::DecodeText(std::uint8_t(encoding), rest);
            addField(out, name + QLatin1Char(':') + description, TID3v2Tag::TextOfVersion(w.version, value));
        } else {
            QString value = TID3v2Tag::TextOfVersion(
                w.version, TID3v2Tag::DecodeText(std::uint8_t(encoding), c.bytesUpTo(c.remaining())));
            if (id == "TCON" || id == "TCO")
                value = TID3v2Tag::GenreFromText(value);
            addField(out, name, value);
        }
    }
}

// The ID3v2 tag at start, if there is one; the bytes it takes (0 without one).
qint64 readId3(WindowedReader &device, qint64 start, SongDetails &out)
{
    const QByteArray head = readBytes(device, start, 10);
    if (head.size() < 10 || !head.startsWith("ID3"))
        return 0;
    ByteCursor c(head);
    c.skip(3);
    const int version = c.u8();
    c.skip(1);
    const int flags = c.u8();
    const qint64 size = c.synchsafe32();
    const qint64 total = 10 + size + ((version == 4 && (flags & 0x10)) ? 10 : 0);
    if (version < 2 || version > 4 || (version == 2 && (flags & 0x40)))
        return total;
    const qint64 bodyStart = start + 10;
    const qint64 bodyLength = std::min(size, device.size() - bodyStart);
    Id3Walk w;
    w.version = version;
    QByteArray body; // the restored bytes of an unsynchronised tag
    if ((flags & 0x80) && version < 4) {
        // The whole tag is unsynchronised: its frames are found only in the restored bytes.
        if (bodyLength > kMaxWholeStructure)
            return total;
        body = TID3v2Tag::ReverseUnsynchronisation(readBytes(device, bodyStart, bodyLength));
        w.bodyLength = body.size();
        w.fetch = [&body](qint64 pos, qint64 n) { return body.mid(pos, n); };
        w.place = [&](PictureEntry &e, qint64 dataPos, qint64 dataLength, bool, qint64 imageStart) {
            e.coding = PictureEntry::Coding::Unsynchronised;
            e.codedOffset = bodyStart;
            e.codedLength = bodyLength;
            e.innerOffset = dataPos + imageStart;
            e.complete = dataPos + dataLength <= std::min<qint64>(body.size(), size) && e.length > 0;
        };
    } else {
        w.bodyLength = bodyLength;
        w.fetch = [&](qint64 pos, qint64 n) { return readBytes(device, bodyStart + pos, n); };
        w.place = [&](PictureEntry &e, qint64 dataPos, qint64 dataLength, bool frameUnsync, qint64 imageStart) {
            const qint64 at = bodyStart + dataPos;
            e.complete = e.length > 0 && dataPos + dataLength <= size && at + dataLength <= device.size();
            if (frameUnsync) {
                e.coding = PictureEntry::Coding::Unsynchronised;
                e.codedOffset = at;
                e.codedLength = dataLength;
                e.innerOffset = imageStart;
            } else {
                e.codedOffset = at + imageStart;
                e.codedLength = e.length;
            }
        };
    }
    // An extended header is skipped by its own size.
    if (flags & 0x40) {
        const QByteArray ext = w.fetch(0, 4);
        ByteCursor e(ext);
        const qint64 extSize = version == 3 ? qint64(e.u32be()) + 4 : qint64(e.synchsafe32());
        if (!e.ok() || extSize > w.bodyLength)
            return total;
        auto fetch = w.fetch;
        w.fetch = [fetch, extSize](qint64 pos, qint64 n) { return fetch(pos + extSize, n); };
        auto place = w.place;
        w.place = [place, extSize](PictureEntry &p, qint64 dataPos, qint64 len, bool u, qint64 s) {
            place(p, dataPos + extSize, len, u, s);
        };
        w.bodyLength -= extSize;
    }
    walkId3Frames(w, out);
    return total;
}

// FLAC picture structure (FLAC's PICTURE block and Vorbis METADATA_BLOCK_PICTURE) ------------

bool parseFlacPicture(QByteArrayView data, PictureEntry &e, qint64 &imageStart)
{
    ByteCursor c(data);
    e.type = int(c.u32be());
    const qint64 mimeLength = c.u32be();
    e.mime = QString::fromLatin1(c.bytes(mimeLength)).trimmed().toLower();
    const qint64 descriptionLength = c.u32be();
    e.description = clipped(decodeUtf8(c.bytes(descriptionLength), Utf8Malformed::Replace));
    e.width = c.u32be();
    e.height = c.u32be();
    c.skip(8); // colour depth, colours used
    e.length = c.u32be();
    imageStart = c.pos();
    return c.ok();
}

// Vorbis comments ------------------------------------------------------------------------------

// The comments of a block (from its vendor length on); pictureAt(i, decoded) for each
// METADATA_BLOCK_PICTURE that decodes.
void readVorbisComments(QByteArrayView block, SongDetails &out,
                        const std::function<void(int, const QByteArray &)> &pictureAt)
{
    ByteCursor c(block);
    const qint64 vendorLength = c.u32le();
    const QString vendor = decodeUtf8(c.bytes(vendorLength), Utf8Malformed::Replace);
    addField(out, QStringLiteral("VENDOR"), vendor);
    const std::uint32_t count = c.u32le();
    for (std::uint32_t i = 0; c.ok() && i < count && i < std::uint32_t(kMaxStructures * 16); ++i) {
        const qint64 length = c.u32le();
        const QByteArrayView text = c.bytes(length);
        if (!c.ok())
            return;
        const qsizetype eq = text.indexOf('=');
        if (eq <= 0)
            continue;
        const QString name = QString::fromLatin1(text.first(eq)).toUpper();
        const QByteArrayView value = text.sliced(eq + 1);
        if (name == QLatin1String("METADATA_BLOCK_PICTURE")) {
            const auto decoded = QByteArray::fromBase64Encoding(value.toByteArray(), QByteArray::AbortOnBase64DecodingErrors);
            if (decoded)
                pictureAt(int(i), decoded.decoded);
            continue;
        }
        if (name == QLatin1String("COVERART"))
            continue; // the old unstructured form: too little said of itself to be trusted
        addField(out, name, decodeUtf8(value.first(std::min<qsizetype>(value.size(), SongDetails::kMaxFieldText * 4)),
                                       Utf8Malformed::Replace));
    }
}

// FLAC --------------------------------------------------------------------------------------

void readFlac(WindowedReader &device, SongDetails &out)
{
    qint64 pos = readId3(device, 0, out);
    if (readBytes(device, pos, 4) != "fLaC")
        return;
    pos += 4;
    for (int n = 0; n < kMaxStructures; ++n) {
        const QByteArray header = readBytes(device, pos, 4);
        if (header.size() < 4)
            return;
        ByteCursor h(header);
        const std::uint8_t typeByte = h.u8();
        const qint64 length = h.u24be();
        const int type = typeByte & 0x7F;
        const qint64 body = pos + 4;
        if (type == 4 && length <= kMaxWholeStructure) {
            readVorbisComments(readBytes(device, body, length), out, [](int, const QByteArray &) {});
        } else if (type == 6) {
            PictureEntry e;
            qint64 imageStart = 0;
            const QByteArray head = readBytes(device, body, std::min(length, kPictureHead));
            if (parseFlacPicture(head, e, imageStart)) {
                e.codedOffset = body + imageStart;
                e.codedLength = e.length;
                e.complete = e.length > 0 && imageStart + e.length <= length && e.codedOffset + e.length <= device.size();
                addPicture(out, std::move(e));
            }
        }
        pos = body + length;
        if (typeByte & 0x80)
            return;
    }
}

// Ogg ---------------------------------------------------------------------------------------

// The packet with the given index of the first logical stream, from the first page at start on;
// at most cap bytes (longer packets come back cut).
QByteArray oggPacket(WindowedReader &device, qint64 start, int index, qint64 cap)
{
    QByteArray packet;
    int current = 0;
    qint64 pos = start;
    std::uint32_t serial = 0;
    for (int pages = 0; pages < kMaxStructures * 4; ++pages) {
        const QByteArray header = readBytes(device, pos, 27);
        if (header.size() < 27 || !header.startsWith("OggS"))
            return current == index ? packet : QByteArray();
        ByteCursor c(header);
        c.skip(14);
        const std::uint32_t pageSerial = c.u32le();
        c.skip(8);
        const int segments = c.u8();
        if (pages == 0)
            serial = pageSerial;
        const QByteArray lacing = readBytes(device, pos + 27, segments);
        if (lacing.size() < segments)
            return current == index ? packet : QByteArray();
        qint64 bodyPos = pos + 27 + segments;
        qint64 bodySize = 0;
        for (char l : lacing)
            bodySize += std::uint8_t(l);
        if (pageSerial == serial) {
            qint64 run = 0;
            for (char l : lacing) {
                run += std::uint8_t(l);
                if (std::uint8_t(l) == 255)
                    continue;
                if (current == index && packet.size() < cap)
                    packet += readBytes(device, bodyPos, std::min(run, cap - packet.size()));
                if (current == index)
                    return packet;
                bodyPos += run;
                run = 0;
                ++current;
            }
            if (run > 0 && current == index && packet.size() < cap)
                packet += readBytes(device, bodyPos, std::min(run, cap - packet.size()));
        }
        pos += 27 + segments + bodySize;
    }
    return QByteArray();
}

void readOgg(WindowedReader &device, QByteArrayView signature, SongDetails &out)
{
    const qint64 start = readId3(device, 0, out);
    const QByteArray packet = oggPacket(device, start, 1, kMaxWholeStructure);
    if (!packet.startsWith(signature))
        return;
    const qint64 blockStart = signature.size();
    readVorbisComments(QByteArrayView(packet).sliced(blockStart), out, [&](int i, const QByteArray &decoded) {
        PictureEntry e;
        qint64 imageStart = 0;
        if (!parseFlacPicture(decoded, e, imageStart))
            return;
        e.coding = PictureEntry::Coding::Base64;
        e.codedOffset = start;
        e.commentIndex = i;
        e.innerOffset = imageStart;
        e.complete = e.length > 0 && imageStart + e.length <= decoded.size();
        addPicture(out, std::move(e));
    });
}

// MP4 ---------------------------------------------------------------------------------------

struct Mp4Atom
{
    QByteArray type;
    qint64 body = 0; // where its body starts
    qint64 end = 0;  // cut to its parent's end
    qint64 statedEnd = 0;
};

template <typename F>
void forEachMp4Atom(WindowedReader &device, qint64 from, qint64 to, F &&f)
{
    qint64 pos = from;
    for (int n = 0; n < kMaxStructures && pos + 8 <= to; ++n) {
        const QByteArray h = readBytes(device, pos, 16);
        if (h.size() < 8)
            return;
        ByteCursor c(h);
        qint64 size = c.u32be();
        Mp4Atom a;
        a.type = c.bytes(4).toByteArray();
        qint64 headerLength = 8;
        // What the atom states, for telling a picture cut short from a whole one.
        qint64 stated = size;
        if (size == 1) {
            const std::uint64_t large = c.u64be();
            if (!c.ok() || large > std::uint64_t(to - pos))
                size = to - pos;
            else
                size = qint64(large);
            stated = !c.ok() ? size : qint64(std::min<std::uint64_t>(large, std::uint64_t(1) << 62));
            headerLength = 16;
        } else if (size == 0) {
            size = stated = to - pos;
        }
        if (size < headerLength)
            return;
        a.body = pos + headerLength;
        a.end = std::min(pos + size, to);
        a.statedEnd = pos + stated;
        f(a);
        pos += size;
    }
}

QString mp4ItemName(const QByteArray &type)
{
    return QString::fromLatin1(type);
}

void readMp4Item(WindowedReader &device, const Mp4Atom &item, SongDetails &out)
{
    QString freeformName;
    forEachMp4Atom(device, item.body, item.end, [&](const Mp4Atom &a) {
        if (a.type == "name") {
            freeformName = decodeUtf8(readBytes(device, a.body + 4, std::min<qint64>(a.end - a.body - 4, 256)),
                                      Utf8Malformed::Replace);
            return;
        }
        if (a.type != "data")
            return;
        const QByteArray head = readBytes(device, a.body, 8);
        if (head.size() < 8)
            return;
        ByteCursor c(head);
        const std::uint32_t dataType = c.u32be() & 0xFFFFFF;
        const qint64 payload = a.body + 8;
        const qint64 payloadLength = a.statedEnd - payload;
        if (item.type == "covr") {
            PictureEntry e;
            e.type = PictureEntry::kFrontCover; // MP4 keeps no type: its pictures are covers
            e.mime = dataType == 14 ? QStringLiteral("image/png")
                : dataType == 27  ? QStringLiteral("image/bmp")
                                  : QStringLiteral("image/jpeg");
            e.codedOffset = payload;
            e.length = e.codedLength = payloadLength;
            e.complete = payloadLength > 0 && payload + payloadLength <= device.size();
            addPicture(out, std::move(e));
            return;
        }
        const QString name = item.type == "----" ? freeformName : mp4ItemName(item.type);
        const QByteArray value = readBytes(device, payload, std::min<qint64>(payloadLength, SongDetails::kMaxFieldText * 4));
        if (dataType == 1) {
            addField(out, name, decodeUtf8(value, Utf8Malformed::Replace));
        } else if ((item.type == "trkn" || item.type == "disk") && value.size() >= 6) {
            ByteCursor v(value);
            v.skip(2);
            const int number = v.u16be();
            const int total = v.u16be();
            addField(out, name, total ? QStringLiteral("%1/%2").arg(number).arg(total) : QString::number(number));
        } else if (dataType == 21 && value.size() >= 1 && value.size() <= 8) {
            qint64 n = std::int8_t(value[0]);
            for (qsizetype i = 1; i < value.size(); ++i)
                n = n * 256 + std::uint8_t(value[i]);
            addField(out, name, QString::number(n));
        }
    });
}

void readMp4(WindowedReader &device, SongDetails &out)
{
    const qint64 size = device.size();
    forEachMp4Atom(device, 0, size, [&](const Mp4Atom &moov) {
        if (moov.type != "moov")
            return;
        forEachMp4Atom(device, moov.body, moov.end, [&](const Mp4Atom &udta) {
            if (udta.type != "udta")
                return;
            forEachMp4Atom(device, udta.body, udta.end, [&](const Mp4Atom &meta) {
                if (meta.type != "meta")
                    return;
                // "meta" is a full box: version and flags come first.
                forEachMp4Atom(device, meta.body + 4, meta.end, [&](const Mp4Atom &ilst) {
                    if (ilst.type != "ilst")
                        return;
                    forEachMp4Atom(device, ilst.body, ilst.end,
                                   [&](const Mp4Atom &item) { readMp4Item(device, item, out); });
                });
            });
        });
    });
}

// ASF (WMA) ----------------------------------------------------------------------------------

const QByteArrayView kAsfHeader("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
const QByteArrayView kAsfContentDescription("\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
const QByteArrayView kAsfExtendedContent("\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
const QByteArrayView kAsfHeaderExtension("\xB5\x03\xBF\x5F\x2E\xA9\xCF\x11\x8E\xE3\x00\xC0\x0C\x20\x53\x65", 16);
const QByteArrayView kAsfMetadataLibrary("\x94\x1C\x23\x44\x98\x94\xD1\x49\xA1\x41\x1D\x13\x4E\x45\x70\x54", 16);

QString utf16Text(QByteArrayView bytes)
{
    return TagText::trimControl(decodeUtf16(bytes.first(bytes.size() & ~qsizetype(1)), false));
}

// One ASF attribute: a string becomes a field, "WM/Picture" a picture entry.
void asfAttribute(WindowedReader &device, const QString &name, int type, qint64 valuePos, qint64 valueLength,
                  SongDetails &out)
{
    if (name == QLatin1String("WM/Picture") && type == 1) {
        const QByteArray head = readBytes(device, valuePos, std::min(valueLength, kPictureHead));
        ByteCursor c(head);
        PictureEntry e;
        e.type = c.u8();
        e.length = c.u32le();
        auto takeText = [&c, &head](QString &into) {
            const qsizetype start = c.pos();
            while (c.has(2) && c.u16le() != 0) {}
            if (!c.ok())
                return false;
            into = utf16Text(head.mid(start, c.pos() - start - 2));
            return true;
        };
        QString mime, description;
        if (!c.ok() || !takeText(mime) || !takeText(description))
            return;
        e.mime = mime.toLower();
        e.description = clipped(description);
        e.codedOffset = valuePos + c.pos();
        e.codedLength = e.length;
        e.complete = e.length > 0 && c.pos() + e.length <= valueLength && e.codedOffset + e.length <= device.size();
        addPicture(out, std::move(e));
        return;
    }
    const QByteArray value = readBytes(device, valuePos, std::min<qint64>(valueLength, SongDetails::kMaxFieldText * 2));
    ByteCursor c(value);
    switch (type) {
    case 0:
        addField(out, name, utf16Text(value));
        break;
    case 2:
    case 3:
        if (valueLength >= 4)
            addField(out, name, QString::number(type == 2 ? (c.u32le() ? 1 : 0) : c.u32le()));
        break;
    case 4:
        if (valueLength >= 8)
            addField(out, name, QString::number(c.u64le()));
        break;
    case 5:
        if (valueLength >= 2)
            addField(out, name, QString::number(c.u16le()));
        break;
    default:
        break;
    }
}

void readAsfObjects(WindowedReader &device, qint64 from, qint64 to, SongDetails &out, int depth)
{
    qint64 pos = from;
    for (int n = 0; n < kMaxStructures && pos + 24 <= to; ++n) {
        const QByteArray h = readBytes(device, pos, 24);
        if (h.size() < 24)
            return;
        ByteCursor c(h);
        const QByteArrayView id = c.bytes(16);
        const std::uint64_t size = c.u64le();
        if (size < 24 || size > std::uint64_t(to - pos))
            return;
        const qint64 body = pos + 24;
        const qint64 end = pos + qint64(size);
        if (id == kAsfContentDescription) {
            static const char *const names[5] = {"Title", "Author", "Copyright", "Description", "Rating"};
            const QByteArray lBytes = readBytes(device, body, 10);
            ByteCursor l(lBytes);
            qint64 at = body + 10;
            for (const char *name : names) {
                const qint64 length = l.u16le();
                if (!l.ok() || at + length > end)
                    break;
                addField(out, QLatin1String(name), utf16Text(readBytes(device, at, std::min<qint64>(length, SongDetails::kMaxFieldText * 2))));
                at += length;
            }
        } else if (id == kAsfExtendedContent) {
            const QByteArray cntBytes = readBytes(device, body, 2);
            ByteCursor cnt(cntBytes);
            const int count = cnt.u16le();
            qint64 at = body + 2;
            for (int i = 0; i < count && at < end; ++i) {
                const QByteArray dBytes = readBytes(device, at, 2);
                ByteCursor d(dBytes);
                const qint64 nameLength = d.u16le();
                const QByteArray nameBytes = readBytes(device, at + 2, nameLength);
                const QByteArray tBytes = readBytes(device, at + 2 + nameLength, 4);
                ByteCursor t(tBytes);
                const int type = t.u16le();
                const qint64 valueLength = t.u16le();
                if (!d.ok() || !t.ok() || nameBytes.size() < nameLength)
                    break;
                const qint64 valuePos = at + 6 + nameLength;
                if (valuePos + valueLength > end)
                    break;
                asfAttribute(device, utf16Text(nameBytes), type, valuePos, valueLength, out);
                at = valuePos + valueLength;
            }
        } else if (id == kAsfHeaderExtension && depth == 0) {
            // Reserved GUID and number, the size of the objects, then the objects.
            readAsfObjects(device, body + 22, end, out, 1);
        } else if (id == kAsfMetadataLibrary) {
            const QByteArray cntBytes = readBytes(device, body, 2);
            ByteCursor cnt(cntBytes);
            const int count = cnt.u16le();
            qint64 at = body + 2;
            for (int i = 0; i < count && at < end; ++i) {
                const QByteArray dBytes = readBytes(device, at, 12);
                ByteCursor d(dBytes);
                d.skip(4); // language, stream
                const qint64 nameLength = d.u16le();
                const int type = d.u16le();
                const qint64 valueLength = d.u32le();
                if (!d.ok())
                    break;
                const QByteArray nameBytes = readBytes(device, at + 12, nameLength);
                const qint64 valuePos = at + 12 + nameLength;
                if (nameBytes.size() < nameLength || valuePos + valueLength > end)
                    break;
                asfAttribute(device, utf16Text(nameBytes), type, valuePos, valueLength, out);
                at = valuePos + valueLength;
            }
        }
        pos = end;
    }
}

void readAsf(WindowedReader &device, SongDetails &out)
{
    const QByteArray h = readBytes(device, 0, 30);
    if (h.size() < 30 || !QByteArrayView(h).startsWith(kAsfHeader))
        return;
    ByteCursor c(h);
    c.skip(16);
    const std::uint64_t size = c.u64le();
    const qint64 end = size > std::uint64_t(device.size()) ? device.size() : qint64(size);
    readAsfObjects(device, 30, end, out, 0);
}

// WAV ---------------------------------------------------------------------------------------

// The LIST/INFO texts under their chunk names and an ID3v2 tag in an "id3 " chunk.
void readWav(WindowedReader &device, SongDetails &out)
{
    const QByteArray head = readBytes(device, 0, 12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return;
    qint64 pos = 12;
    for (int n = 0; n < kMaxStructures && pos + 8 <= device.size(); ++n) {
        const QByteArray h = readBytes(device, pos, 8);
        ByteCursor c(h);
        const QByteArray id = c.bytes(4).toByteArray();
        const qint64 size = c.u32le();
        if (!c.ok())
            return;
        const qint64 body = pos + 8;
        if (id == "LIST") {
            const QByteArray list = readBytes(device, body, std::min<qint64>(size, 64 * 1024));
            if (list.startsWith("INFO")) {
                ByteCursor l(QByteArrayView(list).sliced(4));
                while (l.has(8)) {
                    const QString name = QString::fromLatin1(l.bytes(4));
                    const qint64 length = l.u32le();
                    const QByteArrayView text = l.bytesUpTo(length);
                    addField(out, name, TagText::trimControl(decodeUnsignedText(TagText::trimControl(text))));
                    if (length & 1)
                        l.skip(1);
                }
            }
        } else if (id == "id3 " || id == "ID3 ") {
            readId3(device, body, out);
        }
        pos = body + size + (size & 1);
    }
}

// A regular file opened without blocking, so that a FIFO named like a song never stalls.
class DetailFile
{
public:
    explicit DetailFile(const QString &path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        struct stat st;
        if (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode))
            m_size = st.st_size;
        else if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~DetailFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    DetailFile(const DetailFile &) = delete;
    DetailFile &operator=(const DetailFile &) = delete;
    bool ok() const { return m_fd >= 0; }
    WindowedReader reader() const { return WindowedReader(m_fd, m_size); }

private:
    int m_fd = -1;
    qint64 m_size = 0;
};

} // namespace

QString PictureEntry::typeName() const
{
    static const char *const names[] = {
        "other", "file icon", "other file icon", "front cover", "back cover", "leaflet page", "media",
        "lead artist", "artist", "conductor", "band", "composer", "lyricist", "recording location",
        "during recording", "during performance", "video capture", "bright coloured fish", "illustration",
        "band logo", "publisher logo",
    };
    return type >= 0 && type < int(std::size(names)) ? QLatin1String(names[type]) : QStringLiteral("other");
}

int SongDetails::preferredPicture() const
{
    int first = -1;
    for (int i = 0; i < pictures.size(); ++i) {
        if (!pictures[i].complete)
            continue;
        if (pictures[i].type == PictureEntry::kFrontCover)
            return i;
        if (first < 0)
            first = i;
    }
    return first;
}

SongDetails::Container SongDetails::containerOf(const QString &path)
{
    const QString ext = audioFileExtension(path);
    if (ext == QLatin1String(".mp3") || ext == QLatin1String(".mp2") || ext == QLatin1String(".mp1"))
        return Container::Mpeg;
    if (ext == QLatin1String(".flac"))
        return Container::Flac;
    if (ext == QLatin1String(".ogg"))
        return Container::Ogg;
    if (ext == QLatin1String(".opus"))
        return Container::Opus;
    if (ext == QLatin1String(".m4a") || ext == QLatin1String(".m4b") || ext == QLatin1String(".mp4")
        || ext == QLatin1String(".aac"))
        return Container::Mp4;
    if (ext == QLatin1String(".wma"))
        return Container::Wma;
    if (ext == QLatin1String(".wav"))
        return Container::Wav;
    return Container::Other;
}

SongDetails SongDetails::read(WindowedReader &device, Container container)
{
    SongDetails out;
    try {
        switch (container) {
        case Container::Mpeg:
            readId3(device, 0, out);
            break;
        case Container::Flac:
            readFlac(device, out);
            break;
        case Container::Ogg:
            readOgg(device, QByteArrayView("\x03vorbis"), out);
            break;
        case Container::Opus:
            readOgg(device, QByteArrayView("OpusTags"), out);
            break;
        case Container::Mp4:
            readMp4(device, out);
            break;
        case Container::Wma:
            readAsf(device, out);
            break;
        case Container::Wav:
            readWav(device, out);
            break;
        case Container::Other:
            break;
        }
    } catch (const std::bad_alloc &) {
        out = SongDetails();
    }
    return out;
}

SongDetails SongDetails::readFile(const QString &path)
{
    const DetailFile file(path);
    if (!file.ok())
        return SongDetails();
    WindowedReader reader = file.reader();
    return read(reader, containerOf(path));
}

QByteArray SongDetails::loadPicture(WindowedReader &device, const PictureEntry &e, qint64 maxBytes)
{
    if (!e.complete || e.length <= 0 || e.length > maxBytes)
        return QByteArray();
    try {
        QByteArray decoded;
        switch (e.coding) {
        case PictureEntry::Coding::Plain: {
            const QByteArray bytes = readBytes(device, e.codedOffset, e.length);
            return bytes.size() == e.length ? bytes : QByteArray();
        }
        case PictureEntry::Coding::Unsynchronised:
            // Resynchronising only ever shortens, so twice the picture is the most worth reading.
            if (e.codedLength > std::max(maxBytes * 2, kMaxWholeStructure))
                return QByteArray();
            decoded = TID3v2Tag::ReverseUnsynchronisation(readBytes(device, e.codedOffset, e.codedLength));
            break;
        case PictureEntry::Coding::Base64: {
            const QByteArray packet = oggPacket(device, e.codedOffset, 1, kMaxWholeStructure);
            SongDetails scratch;
            const qsizetype signature = packet.startsWith("OpusTags") ? 8 : 7;
            if (packet.size() < signature)
                return QByteArray();
            readVorbisComments(QByteArrayView(packet).sliced(signature), scratch, [&](int i, const QByteArray &d) {
                if (i == e.commentIndex)
                    decoded = d;
            });
            break;
        }
        }
        if (e.innerOffset < 0 || e.innerOffset + e.length > decoded.size())
            return QByteArray();
        return decoded.mid(e.innerOffset, e.length);
    } catch (const std::bad_alloc &) {
        return QByteArray();
    }
}

QByteArray SongDetails::loadPicture(const QString &path, const PictureEntry &entry, qint64 maxBytes)
{
    const DetailFile file(path);
    if (!file.ok())
        return QByteArray();
    WindowedReader reader = file.reader();
    return loadPicture(reader, entry, maxBytes);
}
