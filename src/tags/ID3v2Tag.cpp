#include "tags/ID3v2Tag.h"

#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/GenreNames.h"
#include "tags/ReaderResult.h"
#include "tags/TagText.h"

#include "core/TextEncoding.h"

#include <algorithm>

namespace {

constexpr const char *kFrameIds[3][TID3v2Tag::ValueCount] = {
    {"TP1", "TT2", "TAL", "TYE", "TCO", "TRK"},
    {"TPE1", "TIT2", "TALB", "TYER", "TCON", "TRCK"},
    {"TPE1", "TIT2", "TALB", "TDRC", "TCON", "TRCK"},
};

bool isFrameIdChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

constexpr std::uint8_t kFooterFlag = 0x10;

// The ten bytes every ID3v2 tag starts with.
struct TagHeader
{
    std::uint8_t major = 0, revision = 0, flags = 0;
    std::uint32_t bodySize = 0; // synchsafe on disk; header and footer not counted
};

// 0 with the header read, 6 fewer than ten bytes, 9 no "ID3", 11 a read error.
int readTagHeader(WindowedReader &device, TagHeader &h)
{
    QByteArray head;
    if (const int r = readStructure(device, 0, 10, head, "ID3"); r != ReaderResult::Ok)
        return r;
    ByteCursor c(head);
    c.skip(3);
    h.major = c.u8();
    h.revision = c.u8();
    h.flags = c.u8();
    h.bodySize = c.synchsafe32();
    return ReaderResult::Ok;
}

// Frame format flags of version 4 (second flag byte).
constexpr std::uint8_t kV4FrameUnsynchronised = 0x02;
constexpr std::uint8_t kV4DataLengthIndicator = 0x01;

} // namespace

void TID3v2Tag::ResetData()
{
    Frames.clear();
    Version = 3;
    Revision = 0;
    TagSize = 0;
    PaddingSize = 0;
    Exists = false;
    PaddingReached = true;
    Unsynchronisation = ExtendedHeader = Experimental = Footer = false;
    m_framesStart = 10;
}

int TID3v2Tag::parse(WindowedReader &device)
{
    const int r = ReadHeader(device);
    if (r != ReaderResult::Ok || !Exists)
        return r;
    return ReadFrames(m_framesStart, device);
}

ReadResult<std::uint32_t> TID3v2Tag::SizeInFront(QIODevice &device)
{
    WindowedReader reader(device);
    return SizeInFront(reader);
}

ReadResult<std::uint32_t> TID3v2Tag::SizeInFront(WindowedReader &device)
{
    return runReader<std::uint32_t>([&](std::uint32_t &size) {
        TagHeader h;
        const int r = readTagHeader(device, h);
        if (r != ReaderResult::Ok)
            return r;
        // Any major version counts, and the footer flag in any version: what follows the tag
        // only needs it skipped. A tag reaching past the file is taken for other data.
        const qint64 whole = qint64(h.bodySize) + ((h.flags & kFooterFlag) ? 20 : 10);
        if (whole > device.size())
            return ReaderResult::NoTag;
        size = std::uint32_t(whole);
        return ReaderResult::Ok;
    });
}

int TID3v2Tag::ReadHeader(WindowedReader &device)
{
    TagHeader h;
    const int r = readTagHeader(device, h);
    if (r != ReaderResult::Ok)
        return r;
    if (h.major < 2 || h.major > 4)
        return ReaderResult::UnsupportedVersion;
    Version = h.major;
    Revision = h.revision;
    Unsynchronisation = h.flags & 0x80;
    ExtendedHeader = h.major >= 3 && (h.flags & 0x40);
    Experimental = h.major >= 3 && (h.flags & 0x20);
    Footer = h.major == 4 && (h.flags & kFooterFlag);
    TagSize = h.bodySize + 10 + (Footer ? 10 : 0);
    Exists = true;
    m_framesStart = 10;

    if (ExtendedHeader) {
        QByteArray ext;
        if (const int code = readStructure(device, 10, 6, ext); code != ReaderResult::Ok)
            return code;
        ByteCursor e(ext);
        // Version 4 counts the whole extended header, version 3 all but its size field.
        // A size pointing past the tag only means that no frames are read.
        const qint64 size = Version == 4 ? e.synchsafe32() : e.u32be();
        const qint64 rest = Version == 4 ? std::max<qint64>(size - 6, 0) : size - 2;
        m_framesStart = 16 + std::max<qint64>(rest, 0);
    }
    return ReaderResult::Ok;
}

int TID3v2Tag::ReadFrames(qint64 start, WindowedReader &device)
{
    Frames.clear();
    PaddingReached = false;
    PaddingSize = 0;
    // Only the tag's own bytes are read: a frame size is never trusted past the tag end.
    const qint64 fileSize = device.size();
    const qint64 tagEnd = TagSize;
    const bool cutByFile = tagEnd > fileSize;
    // Before version 4 the unsynchronisation flag covers the whole tag body, which is then
    // read and restored whole. Otherwise each frame is read by itself, so that a picture's
    // bytes are stepped over instead of read: the table needs none of them.
    const bool whole = Unsynchronisation && Version < 4;
    QByteArray region;
    qint64 regionLength = std::max<qint64>(0, std::min(tagEnd, fileSize) - start);
    if (whole) {
        if (!readAt(device, start, tagEnd - start, region))
            return deviceFailure(device);
        region = ReverseUnsynchronisation(region);
        regionLength = region.size();
    }
    auto fetch = [&](qint64 at, qint64 n, QByteArray &out) {
        if (whole) {
            out = region.mid(at, n);
            return true;
        }
        return readAt(device, start + at, n, out);
    };

    const int idLength = Version == 2 ? 3 : 4;
    const int headerLength = Version == 2 ? 6 : 10;
    const QByteArrayView pictureId = Version == 2 ? QByteArrayView("PIC") : QByteArrayView("APIC");
    qint64 pos = 0;
    QByteArray header, bytes;
    while (pos < regionLength) {
        const qint64 frameStart = start + pos;
        if (regionLength - pos < headerLength) {
            if (cutByFile)
                return ReaderResult::TooShort;
            // Too few bytes left in the tag for a frame: they can only be padding.
            PaddingSize = std::uint32_t(tagEnd - frameStart);
            PaddingReached = true;
            return ReaderResult::Ok;
        }
        if (!fetch(pos, headerLength, header))
            return deviceFailure(device);
        if (header.size() < headerLength)
            return ReaderResult::TooShort;
        ByteCursor h(header);
        const QByteArrayView id = h.bytes(idLength);
        if (!std::all_of(id.begin(), id.end(), isFrameIdChar)) {
            PaddingSize = std::uint32_t(std::max<qint64>(tagEnd - frameStart, 0));
            PaddingReached = true;
            return ReaderResult::Ok;
        }
        std::int64_t size = 0;
        if (Version == 2)
            size = h.u24be();
        else if (Version == 3)
            size = std::int32_t(h.u32be());
        else
            size = h.synchsafe32();
        if (size < 0 || size > regionLength - pos - headerLength)
            return ReaderResult::TooShort;
        TID3v2Frame frame;
        frame.ID = id.toByteArray();
        frame.Size = std::int32_t(size);
        frame.Header = header;
        // A picture keeps its header and size; its bytes stay in the file.
        if (id != pictureId) {
            if (!fetch(pos + headerLength, size, bytes))
                return deviceFailure(device);
            if (bytes.size() < size)
                return ReaderResult::TooShort;
            QByteArrayView data(bytes);
            if (Version == 4) {
                const std::uint8_t format = std::uint8_t(header[9]);
                if (Unsynchronisation || (format & kV4FrameUnsynchronised)) {
                    // An unsynchronised frame carries its data length in front of the data.
                    if ((format & kV4DataLengthIndicator) && data.size() >= 4)
                        data = data.sliced(4);
                    frame.Data = ReverseUnsynchronisation(data);
                } else {
                    frame.Data = data.toByteArray();
                }
            } else {
                frame.Data = data.toByteArray();
            }
        }
        Frames.append(std::move(frame));
        pos += headerLength + size;
    }
    return cutByFile ? ReaderResult::TooShort : ReaderResult::Ok;
}

int TID3v2Tag::FindFrame(int value) const
{
    if (Version < 2 || Version > 4 || value < 0 || value >= ValueCount)
        return -1;
    const QByteArrayView id(kFrameIds[Version - 2][value]);
    for (qsizetype i = Frames.size() - 1; i >= 0; --i)
        if (Frames[i].ID == id)
            return int(i);
    return -1;
}

QString TID3v2Tag::GetFrameText(int value) const
{
    const int i = FindFrame(value);
    if (i < 0 || Frames[i].Data.isEmpty())
        return QString();
    const QByteArray &data = Frames[i].Data;
    return TextOfVersion(Version, DecodeText(std::uint8_t(data[0]), QByteArrayView(data).sliced(1)));
}

QString TID3v2Tag::TextOfVersion(int version, const QString &decoded)
{
    const QChar nul(u'\0');
    if (!decoded.contains(nul))
        return decoded;
    // Before version 4 a text ends at its terminator; what follows is left-over bytes.
    if (version < 4)
        return TagText::trimControl(decoded.left(decoded.indexOf(nul)));
    // Version 4 separates several values by NUL.
    return TagText::joinNulSeparated(decoded);
}

QString TID3v2Tag::DecodeText(std::uint8_t encoding, QByteArrayView text)
{
    if (text.isEmpty())
        return QString();
    switch (encoding) {
    case 0:
        return TagText::ansi(text);
    case 1: {
        if (text.size() < 4)
            return QString();
        // Only FE FF selects big-endian; anything else in the first two bytes reads as
        // little-endian and is dropped like a byte order mark.
        const bool bigEndian = std::uint8_t(text[0]) == 0xFE && std::uint8_t(text[1]) == 0xFF;
        return TagText::trimControl(decodeUtf16(text.sliced(2), bigEndian));
    }
    case 2:
        return TagText::trimControl(decodeUtf16(text, true));
    case 3:
        return TagText::trimControl(decodeUtf8(text, Utf8Malformed::Stop));
    default:
        return QString();
    }
}

QString TID3v2Tag::GenreFromText(const QString &text)
{
    const qsizetype open = text.indexOf(QLatin1Char('('));
    const qsizetype close = text.indexOf(QLatin1Char(')'));
    if (open < 0 || close < 0 || open > close)
        return text;
    bool ok = false;
    int number = text.mid(open + 1, close - open - 1).toInt(&ok, 10);
    if (!ok)
        number = 255;
    const int index = number & 0xFF;
    if (index < kGenreCount)
        return GenreName(index);
    return text;
}

QByteArray TID3v2Tag::ReverseUnsynchronisation(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out.append(bytes[i]);
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0)
            ++i;
    }
    return out;
}
