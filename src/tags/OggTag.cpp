#include "tags/OggTag.h"

#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/ID3v2Tag.h"
#include "tags/TagText.h"
#include "tags/VorbisComment.h"

#include <QByteArray>

namespace {

// Where the end-of-file search for the last page's granule position looks: 50 windows of 251
// bytes, each starting 241 bytes before the previous one.
constexpr int kSampleWindows = 50;
constexpr qint64 kSampleStep = 241;
constexpr qint64 kSampleWindowSize = 251;

} // namespace

void TOGGtag::ResetData()
{
    FileSize = 0;
    Channels = 0;
    SampleRate = 0;
    BitrateNominal = 0;
    SampleCount = 0;
    ID3v2Size = 0;
    Title.clear();
    Artist.clear();
    Album.clear();
    Track = 0;
    Date.clear();
    Genre.clear();
    Comment.clear();
    Vendor.clear();
}

std::uint8_t TOGGtag::TrackFromText(const QString &text)
{
    return TagText::trackNumber(text);
}

int TOGGtag::parse(WindowedReader &device)
{
    auto ioFail = [&] {
        ResetData();
        return deviceFailure(device);
    };
    const ReadResult<std::uint32_t> id3v2 = TID3v2Tag::SizeInFront(device);
    if (id3v2.code == ReaderResult::UnexpectedFailure)
        return id3v2.code; // already told
    const qint64 id3 = id3v2.ok() ? id3v2.values : 0;

    // First page: 27-byte header, then its segment table.
    QByteArray buf;
    if (const int r = readStructure(device, id3, 27, buf, "OggS"); r != ReaderResult::Ok)
        return r;
    const qint64 ident = id3 + 27 + std::uint8_t(buf[26]);
    if (const int r = readStructure(device, ident, 30, buf, "\x01vorbis"); r != ReaderResult::Ok)
        return r;
    ByteCursor id(buf);
    id.seek(11);
    Channels = id.u8();
    SampleRate = std::int32_t(id.u32le());
    id.skip(4); // maximum bitrate
    BitrateNominal = std::uint16_t(std::int32_t(id.u32le()) / 1000);
    FileSize = std::uint32_t(device.size());
    ID3v2Size = std::uint32_t(id3);

    // The second page follows the 30-byte identification packet.
    const qint64 secondPage = ident + 30;
    if (!readAt(device, secondPage, 27, buf))
        return ioFail();
    if (buf.size() == 27) {
        const qint64 packet = secondPage + 27 + std::uint8_t(buf[26]);
        if (!readAt(device, packet, 7, buf))
            return ioFail();
        if (buf == QByteArrayView("\x03vorbis") && !readComments(device, packet + 7))
            return ioFail();
    }
    if (!GetSampleCount(device))
        return ioFail();
    return ReaderResult::Ok;
}

bool TOGGtag::readComments(WindowedReader &device, qint64 pos)
{
    DeviceCommentSource source(device, pos, device.size());
    VorbisComments c;
    if (!c.read(source))
        return false;
    Title = c.Title;
    Artist = c.Artist;
    Album = c.Album;
    Track = TrackFromText(c.TrackText);
    Date = c.Date;
    Genre = c.Genre;
    Comment = c.Comment;
    Vendor = c.Vendor;
    ReplayGain = c.ReplayGain;
    return true;
}

bool TOGGtag::GetSampleCount(WindowedReader &device)
{
    SampleCount = 0;
    const qint64 size = device.size();
    // Everything the windows cover, read once; windows that would start before byte 0 only
    // look at the part of them inside the file.
    const qint64 lowest = std::max<qint64>(0, size - kSampleWindows * kSampleStep - 10);
    QByteArray tail;
    if (!readAt(device, lowest, size - lowest, tail))
        return false;
    ByteCursor c(tail);
    for (int k = 1; k <= kSampleWindows; ++k) {
        const qint64 windowStart = size - k * kSampleStep - 10;
        const qint64 windowEnd = std::min(windowStart + kSampleWindowSize, size);
        for (qint64 i = kSampleStep; i >= 0; --i) {
            const qint64 p = windowStart + i;
            if (p < 0 || p + 4 > windowEnd)
                continue;
            c.seek(p - lowest);
            if (!c.startsWith("OggS"))
                continue;
            // The granule position's low 32 bits; a page cut off before them is no hit.
            if (!c.skip(6) || !c.has(4))
                continue;
            SampleCount = std::int32_t(c.u32le());
            return true;
        }
        if (windowStart <= 0)
            break;
    }
    return true;
}

double TOGGtag::GetDuration() const
{
    if (SampleCount > 0)
        return SampleRate > 0 ? double(SampleCount) / SampleRate : 0.0;
    if (BitrateNominal != 0 && Channels != 0) {
        // The nominal bitrate already covers every channel.
        return double(qint64(FileSize) - qint64(ID3v2Size)) * 8.0 / (BitrateNominal * 1000.0);
    }
    return 0.0;
}

StreamValues TOGGtag::streamValues() const
{
    return {Title, Artist, Album, Date, Genre, Track, GetDuration()};
}
