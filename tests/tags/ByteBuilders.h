#pragma once

// Builders for the exact byte layouts the tag readers parse, so each test states the bytes of
// its case.

#include "tags/ReaderResult.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <initializer_list>

namespace bytes {

inline QByteArray of(std::initializer_list<int> b)
{
    QByteArray out;
    for (int x : b)
        out.append(char(x));
    return out;
}
inline QByteArray be32(std::uint32_t v) { return of({int(v >> 24 & 255), int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255)}); }
inline QByteArray be24(std::uint32_t v) { return of({int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255)}); }
inline QByteArray le16(std::uint32_t v) { return of({int(v & 255), int(v >> 8 & 255)}); }
inline QByteArray le32(std::uint32_t v) { return of({int(v & 255), int(v >> 8 & 255), int(v >> 16 & 255), int(v >> 24 & 255)}); }
inline QByteArray le64(std::uint64_t v) { return le32(std::uint32_t(v)) + le32(std::uint32_t(v >> 32)); }
inline QByteArray synchsafe(std::uint32_t v) { return of({int(v >> 21 & 127), int(v >> 14 & 127), int(v >> 7 & 127), int(v & 127)}); }
inline QByteArray zeros(qsizetype n) { return QByteArray(n, '\0'); }
inline QByteArray latin1(const char *s) { return QByteArray(s); }
inline QByteArray utf16le(const QString &s)
{
    QByteArray out;
    for (QChar c : s)
        out += le16(c.unicode());
    return out;
}

// ID3v2 -------------------------------------------------------------------------------------

inline QByteArray id3Frame(int version, const char *id, const QByteArray &data, int formatFlags = 0)
{
    if (version == 2)
        return QByteArray(id, 3) + be24(std::uint32_t(data.size())) + data;
    const QByteArray size = version == 4 ? synchsafe(std::uint32_t(data.size())) : be32(std::uint32_t(data.size()));
    return QByteArray(id, 4) + size + of({0, formatFlags}) + data;
}
inline QByteArray id3Text(int version, const char *id, const QByteArray &text, int encoding = 0)
{
    return id3Frame(version, id, of({encoding}) + text);
}
// A tag header for a body of bodySize bytes (size field = bodySize).
inline QByteArray id3Header(int version, int flags, std::uint32_t bodySize)
{
    return QByteArray("ID3") + of({version, 0, flags}) + synchsafe(bodySize);
}
inline QByteArray id3Tag(int version, const QByteArray &frames, int padding = 0, int flags = 0)
{
    const QByteArray body = frames + zeros(padding);
    return id3Header(version, flags, std::uint32_t(body.size())) + body;
}

// ID3v1 -------------------------------------------------------------------------------------

inline QByteArray field(const QByteArray &text, int width, char fill = '\0')
{
    QByteArray f = text.left(width);
    f += QByteArray(width - f.size(), fill);
    return f;
}
inline QByteArray id3v1(const QByteArray &title, const QByteArray &artist, const QByteArray &album,
                        const QByteArray &year, int byte125, int byte126, int genre)
{
    return QByteArray("TAG") + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4)
        + zeros(28) + of({byte125, byte126, genre});
}

// MPEG --------------------------------------------------------------------------------------

// versionBits: 3 MPEG 1, 2 MPEG 2, 0 MPEG 2.5; layerBits: 1 Layer III, 2 Layer II, 3 Layer I.
inline QByteArray mpegHeader(int versionBits, int layerBits, int bitrateIndex, int rateIndex, int padding,
                             int mode, bool crc = false)
{
    return of({0xFF, 0xE0 | versionBits << 3 | layerBits << 1 | (crc ? 0 : 1),
               bitrateIndex << 4 | rateIndex << 2 | padding << 1, mode << 6});
}
// A frame of the given length: the header and zeros.
inline QByteArray mpegFrame(const QByteArray &header, int length)
{
    return header + zeros(length - header.size());
}
// MPEG 1 Layer III, 128 kbit/s, 44100 Hz: 417-byte frames.
inline QByteArray mp3Header128(int mode = 0) { return mpegHeader(3, 1, 9, 0, 0, mode); }
constexpr int kFrame128 = 417;
inline QByteArray cbrFrames(int count, int mode = 0)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += mpegFrame(mp3Header128(mode), kFrame128);
    return out;
}
// A frame holding a Xing header at offset xingAt.
inline QByteArray xingFrame(const QByteArray &header, int length, int xingAt, int flags, std::uint32_t frames)
{
    QByteArray f = mpegFrame(header, length);
    const QByteArray xing = QByteArray(QByteArray("Xing") + of({0, 0, 0, flags}) + be32(frames));
    f.replace(xingAt, xing.size(), xing);
    return f;
}

// Ogg Vorbis --------------------------------------------------------------------------------

inline QByteArray oggPage(const QByteArray &payload, std::int64_t granule = 0, int headerType = 0)
{
    QByteArray segs;
    qsizetype left = payload.size();
    do {
        const int s = int(std::min<qsizetype>(left, 255));
        segs.append(char(s));
        left -= s;
        if (s < 255)
            break;
    } while (true);
    return QByteArray("OggS") + of({0, headerType}) + le64(std::uint64_t(granule)) + le32(1) + le32(0)
        + le32(0) + of({int(segs.size())}) + segs + payload;
}
inline QByteArray vorbisIdentification(int channels, std::uint32_t rate, std::int32_t nominal)
{
    return QByteArray("\x01vorbis") + le32(0) + of({channels}) + le32(rate) + le32(0)
        + le32(std::uint32_t(nominal)) + le32(0) + of({0xB8, 1});
}
inline QByteArray vorbisComments(const QByteArray &vendor, const QList<QByteArray> &comments,
                                 std::uint32_t count = 0xFFFFFFFF)
{
    QByteArray out = QByteArray("\x03vorbis") + le32(std::uint32_t(vendor.size())) + vendor
        + le32(count == 0xFFFFFFFF ? std::uint32_t(comments.size()) : count);
    for (const QByteArray &c : comments)
        out += le32(std::uint32_t(c.size())) + c;
    return out + of({1});
}
// Identification page, comment page, and a last page with the given granule position.
inline QByteArray oggFile(const QList<QByteArray> &comments, std::int64_t granule = 441000,
                          int channels = 2, std::uint32_t rate = 44100, std::int32_t nominal = 128000)
{
    return oggPage(vorbisIdentification(channels, rate, nominal), 0, 2)
        + oggPage(vorbisComments("vendor", comments)) + oggPage(zeros(100), granule, 4);
}

// ASF ---------------------------------------------------------------------------------------

inline QByteArray guid(const char *text16) { return QByteArray(text16, 16); }
inline const char *kAsfHeader = "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";
inline const char *kAsfFileProperties = "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65";
inline const char *kAsfStreamProperties = "\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65";
inline const char *kAsfContentDescription = "\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";
inline const char *kAsfExtendedContent = "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50";
inline const char *kAsfOther = "\x11\x22\x33\x44\x55\x66\x77\x88\x99\xAA\xBB\xCC\xDD\xEE\xFF\x00";

inline QByteArray asfObject(const char *id, const QByteArray &body)
{
    return guid(id) + le64(std::uint64_t(24 + body.size())) + body;
}
inline QByteArray asfFileProperties(std::uint32_t maxBitrate)
{
    QByteArray body = zeros(104 - 24);
    body.replace(100 - 24, 4, le32(maxBitrate));
    return asfObject(kAsfFileProperties, body);
}
inline QByteArray asfStreamProperties(int channels, std::uint32_t rate, std::uint32_t bytesPerSecond)
{
    QByteArray body = zeros(96 - 24);
    body.replace(80 - 24, 10, QByteArray(le16(std::uint32_t(channels)) + le32(rate) + le32(bytesPerSecond)));
    return asfObject(kAsfStreamProperties, body);
}
inline QByteArray asfContentDescription(const QList<QByteArray> &five)
{
    QByteArray lengths, strings;
    for (const QByteArray &s : five) {
        lengths += le16(std::uint32_t(s.size()));
        strings += s;
    }
    return asfObject(kAsfContentDescription, lengths + strings);
}
struct AsfDescriptor
{
    QString name;
    int type;
    QByteArray value;
};
inline QByteArray asfExtendedContent(const QList<AsfDescriptor> &ds)
{
    QByteArray body = le16(std::uint32_t(ds.size()));
    for (const AsfDescriptor &d : ds) {
        const QByteArray name = utf16le(d.name);
        body += le16(std::uint32_t(name.size())) + name + le16(std::uint32_t(d.type))
            + le16(std::uint32_t(d.value.size())) + d.value;
    }
    return asfObject(kAsfExtendedContent, body);
}
inline QByteArray asfFile(const QList<QByteArray> &objects, qsizetype audioBytes = 1000)
{
    QByteArray all;
    for (const QByteArray &o : objects)
        all += o;
    return guid(kAsfHeader) + le64(std::uint64_t(30 + all.size())) + le32(std::uint32_t(objects.size()))
        + of({1, 2}) + all + zeros(audioBytes);
}
// The plausible stream values most tests use.
inline QList<QByteArray> asfPlausible()
{
    return {asfFileProperties(128000), asfStreamProperties(2, 44100, 16000)};
}


// Vorbis comments without the framing bit (FLAC, Opus) ------------------------------------

inline QByteArray commentBlock(const QByteArray &vendor, const QList<QByteArray> &comments,
                               std::uint32_t count = 0xFFFFFFFF)
{
    QByteArray out = le32(std::uint32_t(vendor.size())) + vendor
        + le32(count == 0xFFFFFFFF ? std::uint32_t(comments.size()) : count);
    for (const QByteArray &c : comments)
        out += le32(std::uint32_t(c.size())) + c;
    return out;
}

// FLAC --------------------------------------------------------------------------------------

inline QByteArray flacBlock(int type, const QByteArray &body, bool last = false, qint64 length = -1)
{
    return of({type | (last ? 0x80 : 0)}) + be24(std::uint32_t(length < 0 ? body.size() : length)) + body;
}
inline QByteArray flacStreamInfo(std::uint32_t rate, int channels, int bits, std::uint64_t samples)
{
    const std::uint64_t packed = std::uint64_t(rate) << 44 | std::uint64_t(channels - 1) << 41
        | std::uint64_t(bits - 1) << 36 | (samples & 0xFFFFFFFFFULL);
    return zeros(10) + be32(std::uint32_t(packed >> 32)) + be32(std::uint32_t(packed)) + zeros(16);
}
// "fLaC", STREAMINFO (44.1 kHz stereo, the given samples), the comments, then audio bytes.
inline QByteArray flacFile(const QList<QByteArray> &comments, std::uint64_t samples = 441000)
{
    return QByteArray("fLaC") + flacBlock(0, flacStreamInfo(44100, 2, 16, samples))
        + flacBlock(1, zeros(20)) + flacBlock(4, commentBlock("vendor", comments), true) + zeros(200);
}

// Opus --------------------------------------------------------------------------------------

inline QByteArray opusHead(int channels, int preSkip, int version = 1)
{
    return QByteArray("OpusHead") + of({version, channels}) + le16(std::uint32_t(preSkip)) + le32(48000) + of({0, 0, 0});
}
inline QByteArray opusFile(const QList<QByteArray> &comments, std::int64_t granule = 480312, int preSkip = 312)
{
    return oggPage(opusHead(2, preSkip), 0, 2) + oggPage(QByteArray("OpusTags") + commentBlock("vendor", comments))
        + oggPage(zeros(100), granule / 2) + oggPage(zeros(100), granule, 4);
}

// MP4 ---------------------------------------------------------------------------------------

inline QByteArray atom(const char *type, const QByteArray &body)
{
    return be32(std::uint32_t(8 + body.size())) + QByteArray(type, 4) + body;
}
inline QByteArray atom64(const char *type, const QByteArray &body)
{
    const std::uint64_t size = 16 + std::uint64_t(body.size());
    return be32(1) + QByteArray(type, 4) + be32(std::uint32_t(size >> 32)) + be32(std::uint32_t(size)) + body;
}
// An ilst item holding one "data" atom of the given type (1 UTF-8 text, 0 binary).
inline QByteArray mp4Item(const char *type, const QByteArray &value, int dataType = 1)
{
    return atom(type, atom("data", be32(std::uint32_t(dataType)) + be32(0) + value));
}
inline QByteArray mp4TimeHeader(const char *type, std::uint32_t scale, std::uint32_t duration)
{
    return atom(type, zeros(4) + zeros(8) + be32(scale) + be32(duration) + zeros(80));
}
inline QByteArray mp4Moov(const QByteArray &items, std::uint32_t scale = 1000, std::uint32_t duration = 10000)
{
    const QByteArray meta = atom("meta", zeros(4) + atom("hdlr", zeros(25)) + atom("ilst", items));
    return atom("moov", mp4TimeHeader("mvhd", scale, duration) + atom("udta", meta));
}
inline QByteArray mp4File(const QByteArray &items, std::uint32_t scale = 1000, std::uint32_t duration = 10000)
{
    return atom("ftyp", QByteArray("M4A ") + zeros(4)) + atom("mdat", zeros(300)) + mp4Moov(items, scale, duration);
}

// WAV ---------------------------------------------------------------------------------------

inline QByteArray riffChunk(const char *id, const QByteArray &body, qint64 size = -1)
{
    QByteArray out = QByteArray(id, 4) + le32(std::uint32_t(size < 0 ? body.size() : size)) + body;
    if (body.size() & 1)
        out += '\0';
    return out;
}
inline QByteArray wavFormat(int channels, std::uint32_t rate, int bits)
{
    const std::uint32_t align = std::uint32_t(channels * bits / 8);
    return riffChunk("fmt ", le16(1) + le16(std::uint32_t(channels)) + le32(rate) + le32(rate * align) + le16(align)
                                 + le16(std::uint32_t(bits)));
}
inline QByteArray wavFile(const QList<QByteArray> &chunks)
{
    QByteArray body = "WAVE";
    for (const QByteArray &c : chunks)
        body += c;
    return QByteArray("RIFF") + le32(std::uint32_t(body.size())) + body;
}

} // namespace bytes

// A read-only in-memory device over bytes.
struct MemoryDevice
{
    explicit MemoryDevice(const QByteArray &bytes) : data(bytes)
    {
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
    }
    QByteArray data;
    QBuffer buffer;
};

// A reader's Read over the bytes: its code, its values into the given object.
template <typename Reader>
int readInto(Reader &into, const QByteArray &bytes)
{
    MemoryDevice dev(bytes);
    auto r = Reader::Read(dev.buffer);
    into = std::move(r.values);
    return r.code;
}
template <typename Reader>
bool readsOk(Reader &into, const QByteArray &bytes)
{
    return readInto(into, bytes) == ReaderResult::Ok;
}
