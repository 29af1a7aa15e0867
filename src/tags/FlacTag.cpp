#include "tags/FlacTag.h"

#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/ID3v2Tag.h"
#include "tags/TagText.h"
#include "tags/VorbisComment.h"

#include <QByteArray>

namespace {

constexpr int kStreamInfo = 0;
constexpr int kVorbisComment = 4;
constexpr qint64 kStreamInfoSize = 34;
// Blocks looked at before giving up on the comments; a file of endless tiny padding blocks
// must not cost a read each.
constexpr int kMaxBlocks = 256;

} // namespace

int TFlacTag::parse(WindowedReader &device)
{
    const ReadResult<std::uint32_t> id3v2 = TID3v2Tag::SizeInFront(device);
    if (id3v2.code == ReaderResult::UnexpectedFailure)
        return id3v2.code; // already told
    const qint64 start = id3v2.ok() ? id3v2.values : 0;
    const qint64 fileSize = device.size();

    // "fLaC", then STREAMINFO, which must be the first block.
    QByteArray buf;
    if (const int r = readStructure(device, start, 8, buf, "fLaC"); r != ReaderResult::Ok)
        return r;
    ByteCursor marker(buf);
    marker.skip(4);
    const std::uint8_t first = marker.u8();
    const std::uint32_t firstLength = marker.u24be();
    if ((first & 0x7F) != kStreamInfo || firstLength < kStreamInfoSize)
        return ReaderResult::NoTag;
    if (const int r = readStructure(device, start + 8, kStreamInfoSize, buf); r != ReaderResult::Ok)
        return r;
    ByteCursor c(buf);
    c.skip(10); // block sizes and frame sizes
    // 20 bits sample rate, 3 bits channels - 1, 5 bits bits per sample - 1, 36 bits samples.
    const std::uint64_t packed = c.u64be();
    SampleRate = std::uint32_t(packed >> 44);
    Channels = std::uint8_t(((packed >> 41) & 0x7) + 1);
    BitsPerSample = std::uint8_t(((packed >> 36) & 0x1F) + 1);
    SampleCount = packed & 0xFFFFFFFFFULL;
    ID3v2Size = std::uint32_t(start);

    bool last = first & 0x80;
    qint64 pos = start + 4 + 4 + firstLength;
    WindowedReader &blocks = device;
    for (int n = 0; n < kMaxBlocks && !last; ++n) {
        if (!blocks.readAt(pos, 4, buf))
            return deviceFailure(device);
        if (buf.size() < 4)
            break;
        ByteCursor h(buf);
        const std::uint8_t type = h.u8();
        const qint64 length = h.u24be();
        last = type & 0x80;
        if ((type & 0x7F) == kVorbisComment) {
            // A length past the end is read as far as the file goes.
            DeviceCommentSource source(device, pos + 4, pos + 4 + length);
            VorbisComments v;
            if (!v.read(source))
                return deviceFailure(device);
            Title = v.Title;
            Artist = v.Artist;
            Album = v.Album;
            Track = TagText::trackNumber(v.TrackText);
            Date = v.Date;
            Genre = v.Genre;
            Comment = v.Comment;
            Vendor = v.Vendor;
            ReplayGain = v.ReplayGain;
            break;
        }
        pos += 4 + length;
        if (pos >= fileSize)
            break;
    }
    return ReaderResult::Ok;
}

double TFlacTag::GetDuration() const
{
    if (SampleRate == 0 || SampleCount == 0)
        return 0.0;
    return double(SampleCount) / SampleRate;
}

StreamValues TFlacTag::streamValues() const
{
    return {Title, Artist, Album, Date, Genre, Track, GetDuration()};
}
