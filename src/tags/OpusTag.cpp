#include "tags/OpusTag.h"

#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/TagText.h"
#include "tags/VorbisComment.h"

#include <QByteArray>

namespace {

constexpr qint64 kPageHeaderSize = 27;
constexpr qint64 kOpusHeadSize = 19;
constexpr std::uint8_t kContinuedPacket = 0x01;
// The search for the last granule position reads the tail in windows, newest first, and
// gives up after this much: a page is never longer than 65,307 bytes.
constexpr qint64 kFirstTailWindow = 8 * 1024;
constexpr qint64 kTailWindow = 64 * 1024;
constexpr qint64 kMaxTailSearch = 1024 * 1024;

struct PageHeader
{
    std::uint8_t type = 0;
    std::int64_t granule = -1;
    std::uint32_t serial = 0;
    QByteArray lacing;
    qint64 bodyStart = 0;
    qint64 bodySize = 0;
};

// The page header and segment table at pos: Ok, TooShort, NoTag (no "OggS" there) or a told
// read error.
int readPageHeader(WindowedReader &device, qint64 pos, PageHeader &page)
{
    QByteArray buf;
    if (!device.readAt(pos, kPageHeaderSize, buf))
        return deviceFailure(device);
    if (buf.size() < kPageHeaderSize)
        return ReaderResult::TooShort;
    if (!QByteArrayView(buf).startsWith("OggS"))
        return ReaderResult::NoTag;
    ByteCursor c(buf);
    c.skip(5);
    page.type = c.u8();
    page.granule = std::int64_t(c.u64le());
    page.serial = c.u32le();
    c.skip(8); // sequence number, checksum
    const std::uint8_t segments = c.u8();
    if (!device.readAt(pos + kPageHeaderSize, segments, page.lacing))
        return deviceFailure(device);
    if (page.lacing.size() < segments)
        return ReaderResult::TooShort;
    page.bodyStart = pos + kPageHeaderSize + segments;
    page.bodySize = 0;
    for (char l : std::as_const(page.lacing))
        page.bodySize += std::uint8_t(l);
    return ReaderResult::Ok;
}

// The packet that starts at the beginning of a page's body, followed over the pages that
// continue it. It ends where its last segment is shorter than 255 bytes, where the next page
// does not continue it, or at the end of the file.
class OggPacketSource : public CommentSource
{
public:
    OggPacketSource(WindowedReader &device, qint64 firstPage) : m_device(device), m_nextPage(firstPage) {}

    bool read(qint64 n, QByteArray &out) override
    {
        out.clear();
        QByteArray chunk;
        while (out.size() < n) {
            if (m_left == 0 && !nextPage())
                break;
            const qint64 take = std::min(n - out.size(), m_left);
            if (!m_device.readAt(m_pos, take, chunk)) {
                deviceFailure(m_device);
                return fail();
            }
            out.append(chunk);
            m_pos += chunk.size();
            m_left -= chunk.size();
            if (chunk.size() < take) {
                // The file ends inside the page.
                m_left = 0;
                m_continues = false;
                break;
            }
        }
        return !m_failed;
    }

    bool skip(qint64 n) override
    {
        while (n > 0) {
            if (m_left == 0 && !nextPage())
                break;
            const qint64 take = std::min(n, m_left);
            m_pos += take;
            m_left -= take;
            n -= take;
        }
        return !m_failed;
    }

private:
    bool fail()
    {
        m_failed = true;
        m_continues = false;
        m_left = 0;
        return false;
    }

    // Moves to the next page of the packet; false when there is none.
    bool nextPage()
    {
        while (m_continues && !m_failed) {
            PageHeader page;
            const int r = readPageHeader(m_device, m_nextPage, page);
            if (r == ReaderResult::UnexpectedFailure)
                return fail();
            if (r != ReaderResult::Ok || (m_pages > 0 && !(page.type & kContinuedPacket))) {
                m_continues = false;
                return false;
            }
            ++m_pages;
            qint64 run = 0;
            bool open = true; // the packet goes on past this page
            for (char l : std::as_const(page.lacing)) {
                run += std::uint8_t(l);
                if (std::uint8_t(l) < 255) {
                    open = false;
                    break;
                }
            }
            m_pos = page.bodyStart;
            m_left = run;
            m_continues = open;
            m_nextPage = page.bodyStart + page.bodySize;
            if (m_left > 0)
                return true;
        }
        return false;
    }

    WindowedReader &m_device;
    qint64 m_nextPage;
    qint64 m_pos = 0;
    qint64 m_left = 0;
    bool m_continues = true;
    bool m_failed = false;
    int m_pages = 0;
};

} // namespace

int TOpusTag::parse(WindowedReader &device)
{
    WindowedReader &reader = device;
    PageHeader first;
    if (const int r = readPageHeader(reader, 0, first); r != ReaderResult::Ok)
        return r;
    QByteArray head;
    if (!reader.readAt(first.bodyStart, kOpusHeadSize, head))
        return deviceFailure(device);
    if (head.size() < kOpusHeadSize)
        return ReaderResult::TooShort;
    if (!QByteArrayView(head).startsWith("OpusHead"))
        return ReaderResult::NoTag;
    ByteCursor h(head);
    h.skip(8);
    Version = h.u8();
    // Only the major version (the upper four bits) breaks compatibility.
    if (Version >> 4 != 0)
        return ReaderResult::UnsupportedVersion;
    Channels = h.u8();
    PreSkip = h.u16le();
    InputSampleRate = h.u32le();
    // Q7.8 decibels that every decoder applies; shown with the ReplayGain values.
    const double headerGain = std::int16_t(h.u16le()) / 256.0;

    // OpusTags is the packet that starts the next page.
    OggPacketSource tags(reader, first.bodyStart + first.bodySize);
    QByteArray magic;
    if (!tags.read(8, magic))
        return ReaderResult::UnexpectedFailure; // already told
    if (magic == QByteArrayView("OpusTags")) {
        VorbisComments v;
        if (!v.read(tags))
            return ReaderResult::UnexpectedFailure;
        Title = v.Title;
        Artist = v.Artist;
        Album = v.Album;
        Track = TagText::trackNumber(v.TrackText);
        Date = v.Date;
        Genre = v.Genre;
        Comment = v.Comment;
        Vendor = v.Vendor;
        ReplayGain = v.ReplayGain;
    }
    ReplayGain.opusHeaderGain = headerGain;
    if (!findLastGranule(device, first.serial))
        return deviceFailure(device);
    return ReaderResult::Ok;
}

bool TOpusTag::findLastGranule(WindowedReader &device, std::uint32_t serial)
{
    GranulePosition = -1;
    const qint64 size = device.size();
    qint64 end = size;
    qint64 window = kFirstTailWindow;
    QByteArray tail;
    while (end > 0 && size - end < kMaxTailSearch) {
        const qint64 from = std::max<qint64>(0, end - window);
        // Overlap by a header's length so that a page header across two windows is seen.
        if (!readAt(device, from, std::min(size, end + kPageHeaderSize) - from, tail))
            return false;
        ByteCursor c(tail);
        for (qint64 i = end - from - 1; i >= 0; --i) {
            if (tail.at(qsizetype(i)) != 'O')
                continue;
            c.seek(i);
            if (!c.startsWith("OggS") || !c.skip(4) || !c.has(kPageHeaderSize - 4))
                continue;
            const std::uint8_t version = c.u8();
            c.skip(1);
            const std::int64_t granule = std::int64_t(c.u64le());
            // -1: no packet ends on this page; another stream's pages do not count.
            if (version != 0 || granule < 0 || c.u32le() != serial)
                continue;
            GranulePosition = granule;
            return true;
        }
        end = from;
        window = kTailWindow;
    }
    return true;
}

double TOpusTag::GetDuration() const
{
    if (GranulePosition <= qint64(PreSkip))
        return 0.0;
    return double(GranulePosition - PreSkip) / 48000.0;
}

StreamValues TOpusTag::streamValues() const
{
    return {Title, Artist, Album, Date, Genre, Track, GetDuration()};
}
