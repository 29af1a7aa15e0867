#include "tags/WmaTag.h"

#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/TagText.h"

#include "core/TextEncoding.h"

#include <QByteArray>

#include <limits>

namespace {

// ASF GUIDs as they lie on disk (the first three groups little-endian).
constexpr char kHeaderObject[] = "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";
constexpr char kFileProperties[] = "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65";
constexpr char kStreamProperties[] = "\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65";
constexpr char kContentDescription[] = "\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";
constexpr char kExtendedContentDescription[] = "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50";

QByteArrayView guid(const char (&g)[17])
{
    return QByteArrayView(g, 16);
}

constexpr qint64 kObjectHeaderSize = 24;
constexpr qint64 kMaxStringChars = 250;

// A UTF-16LE string of byteLength bytes: at most 250 characters are taken, NULs included; the
// rest is skipped.
QString readString(ByteCursor &c, qint64 byteLength)
{
    const qint64 chars = std::min(byteLength / 2, kMaxStringChars);
    const QByteArrayView raw = c.bytes(chars * 2);
    c.skip(byteLength - chars * 2);
    if (!c.ok())
        return QString();
    return decodeUtf16(raw, false);
}

// fTrackNumber stands in for fTrack only when the file has no text "WM/TRACK": the usual tools
// write just "WM/TrackNumber", as text ("6/12") or as a 32-bit number.
enum Field { fTitle, fArtist, fAlbum, fTrack, fYear, fGenre, fComment, fTrackNumber, fCount };

int fieldOfDescriptor(const QString &name)
{
    static const struct { const char *name; Field field; } kMap[] = {
        {"WM/TITLE", fTitle}, {"WM/AUTHOR", fArtist}, {"WM/ALBUMTITLE", fAlbum}, {"WM/TRACK", fTrack},
        {"WM/YEAR", fYear},   {"WM/GENRE", fGenre},   {"WM/DESCRIPTION", fComment}, {"WM/TRACKNUMBER", fTrackNumber},
    };
    const QString upper = TagText::trimControl(name).toUpper();
    for (const auto &m : kMap)
        if (upper == QLatin1StringView(m.name))
            return m.field;
    return -1;
}

constexpr std::uint16_t kTypeText = 0;
constexpr std::uint16_t kTypeDword = 3;

// "WM/TrackNumber" as text: the number before a "/" ("6/12"); 0 when there is none.
std::int32_t trackNumberText(const QString &text)
{
    const QString trimmed = TagText::trimControl(text);
    qint64 value = 0;
    if (!TagText::parseDecimal(trimmed.left(trimmed.indexOf(QLatin1Char('/'))), value) || value < 0
        || value > std::numeric_limits<std::int32_t>::max())
        return 0;
    return std::int32_t(value);
}

} // namespace

void TWMATag::ResetData()
{
    Valid = false;
    FileSize = 0;
    Channels = 0;
    SampleRate = 0;
    Duration = 0;
    Bitrate = 0;
    Title.clear();
    Artist.clear();
    Album.clear();
    Track = 0;
    Year.clear();
    Genre.clear();
    Comment.clear();
}

int TWMATag::parse(WindowedReader &device)
{
    const qint64 fileSize = device.size();
    QByteArray head;
    if (!readAt(device, 0, 30, head))
        return deviceFailure(device);
    if (head.size() < 16)
        return ReaderResult::TooShort;
    // Not an ASF file: read as one whose values fail the plausibility check.
    if (QByteArrayView(head).first(16) != guid(kHeaderObject))
        return ReaderResult::Ok;
    if (head.size() < 30)
        return ReaderResult::TooShort;
    ByteCursor h(head);
    h.skip(16);
    // The header object bounds every object inside it.
    const std::uint64_t headerSize = h.u64le();
    const std::uint32_t objectCount = h.u32le();
    QByteArray header;
    if (!readAt(device, 0, qint64(std::min<std::uint64_t>(headerSize, std::uint64_t(fileSize))), header))
        return deviceFailure(device);
    ByteCursor c(header);
    c.seek(30);

    std::uint32_t maxBitrate = 0, sampleRate = 0, bytesPerSecond = 0;
    std::uint64_t playDuration = 0, preroll = 0;
    bool broadcast = false;
    std::uint16_t channels = 0;
    QString texts[fCount];
    bool hasTrackText = false;
    std::int32_t trackNumber = 0;
    for (std::uint32_t i = 0; i < objectCount && !c.atEnd(); ++i) {
        const qint64 start = c.pos();
        const QByteArrayView id = c.bytes(16);
        const std::uint32_t size = c.u32le();
        if (!c.ok())
            return ReaderResult::TooShort;
        // An object smaller than its own header would never move the loop on.
        if (size < kObjectHeaderSize)
            break;
        if (!c.has(qint64(size) - 20))
            return ReaderResult::TooShort;
        ByteCursor o(QByteArrayView(header).sliced(start, size));
        if (id == guid(kFileProperties)) {
            // Play duration (100 ns units) and send duration, preroll (ms), flags, the two
            // packet sizes and the maximum bitrate.
            o.seek(64);
            playDuration = o.u64le();
            o.skip(8);
            preroll = o.u64le();
            broadcast = o.u32le() & 1;
            o.seek(100);
            maxBitrate = o.u32le();
        } else if (id == guid(kStreamProperties)) {
            o.seek(80);
            channels = o.u16le();
            sampleRate = o.u32le();
            bytesPerSecond = o.u32le();
        } else if (id == guid(kContentDescription)) {
            o.seek(kObjectHeaderSize);
            std::uint16_t lengths[5];
            for (auto &l : lengths)
                l = o.u16le();
            static constexpr int kTarget[5] = {fTitle, fArtist, -1, fComment, -1};
            for (int s = 0; s < 5 && o.ok(); ++s) {
                const QString text = readString(o, lengths[s]);
                if (lengths[s] > 0 && kTarget[s] >= 0)
                    texts[kTarget[s]] = text;
            }
        } else if (id == guid(kExtendedContentDescription)) {
            o.seek(kObjectHeaderSize);
            const std::uint16_t count = o.u16le();
            for (int d = 0; d < count && o.ok(); ++d) {
                const QString name = readString(o, o.u16le());
                const std::uint16_t type = o.u16le();
                const std::uint16_t length = o.u16le();
                const int field = fieldOfDescriptor(name);
                if (field == fTrackNumber && type == kTypeDword && length == 4) {
                    const std::uint32_t number = o.u32le();
                    if (o.ok())
                        trackNumber = number <= std::uint32_t(std::numeric_limits<std::int32_t>::max()) ? std::int32_t(number) : 0;
                    continue;
                }
                if (type != kTypeText) {
                    o.skip(length);
                    continue;
                }
                const QString value = readString(o, length);
                if (!o.ok() || field < 0)
                    continue;
                if (field == fTrackNumber)
                    trackNumber = trackNumberText(value);
                else
                    texts[field] = value;
                hasTrackText = hasTrackText || field == fTrack;
            }
        }
        if (!o.ok())
            return ReaderResult::TooShort;
        c.seek(start + size);
    }

    // 320 kbit/s is a common setting: its maximum bitrate of exactly 320000, and the same rate as
    // 40000 bytes a second, pass.
    const bool plausible = maxBitrate > 0 && maxBitrate <= 320000 && (channels == 1 || channels == 2)
        && sampleRate >= 8000 && sampleRate <= 96000 && bytesPerSecond > 0 && bytesPerSecond <= 40000;
    if (!plausible)
        return ReaderResult::Ok;
    Valid = true;
    FileSize = std::uint32_t(fileSize);
    Channels = std::uint8_t(channels);
    SampleRate = sampleRate;
    // The play duration counts the preroll too; a live stream's header holds no durations,
    // and then the size over the maximum bitrate is the best estimate there is.
    const double played = double(playDuration) / 1e7 - double(preroll) / 1000.0;
    Duration = !broadcast && playDuration > 0 && played > 0 ? played : double(FileSize) * 8.0 / maxBitrate;
    Bitrate = bytesPerSecond * 8 / 1000;
    Title = TagText::trimControl(texts[fTitle]);
    Artist = TagText::trimControl(texts[fArtist]);
    Album = TagText::trimControl(texts[fAlbum]);
    Year = TagText::trimControl(texts[fYear]);
    Genre = TagText::trimControl(texts[fGenre]);
    Comment = TagText::trimControl(texts[fComment]);
    bool ok = false;
    const int track = TagText::trimControl(texts[fTrack]).toInt(&ok, 10);
    Track = !hasTrackText ? trackNumber : ok ? track : 0;
    return ReaderResult::Ok;
}

StreamValues TWMATag::streamValues() const
{
    return {Title, Artist, Album, Year, Genre, Track, Duration};
}
