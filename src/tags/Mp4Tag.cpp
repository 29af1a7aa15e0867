#include "tags/Mp4Tag.h"

#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/GenreNames.h"
#include "tags/TagText.h"

#include "core/TextEncoding.h"

#include <QByteArray>

#include <limits>

namespace {

// Atoms looked at inside one parent; a walk always moves on by at least a header, but a
// million tiny atoms must not cost a read each.
constexpr int kMaxAtomsPerLevel = 4096;
// Bytes of a tag value read at most; texts are cut to 250 characters anyway.
constexpr qint64 kMaxValueBytes = 1000;
constexpr qsizetype kMaxTextChars = 250;
// What a callback of forEachAtom returns to end the walk early without a failure.
constexpr int kStopWalk = -1;

struct Atom
{
    qint64 start = 0;
    qint64 body = 0; // after the size and type (and a 64-bit size)
    qint64 end = 0;
    QByteArray type;
};

// Calls f(atom) for each atom inside [from, to) until f returns something other than Ok, and
// returns that (Ok for kStopWalk), or Ok. A size of 0 runs to the parent's end; 1 means a 64-bit size follows;
// a size smaller than its header ends the walk; an atom larger than its parent is cut to the
// parent and is the last one looked at.
template <typename F>
int forEachAtom(WindowedReader &device, qint64 from, qint64 to, F &&f)
{
    QByteArray head;
    qint64 pos = from;
    for (int n = 0; n < kMaxAtomsPerLevel && pos + 8 <= to; ++n) {
        if (!device.readAt(pos, std::min<qint64>(16, to - pos), head))
            return deviceFailure(device);
        if (head.size() < 8)
            break;
        ByteCursor c(head);
        std::uint64_t size = c.u32be();
        Atom a;
        a.type = c.bytes(4).toByteArray();
        a.start = pos;
        qint64 header = 8;
        if (size == 1) {
            size = c.u64be();
            if (!c.ok())
                break;
            header = 16;
        } else if (size == 0) {
            size = std::uint64_t(to - pos);
        }
        if (size < std::uint64_t(header))
            break;
        const bool cut = size > std::uint64_t(to - pos);
        a.body = pos + header;
        a.end = cut ? to : pos + qint64(size);
        if (const int r = f(a); r != ReaderResult::Ok)
            return r == kStopWalk ? ReaderResult::Ok : r;
        if (cut)
            break;
        pos = a.end;
    }
    return ReaderResult::Ok;
}

// The first bytes of an atom's body, at most n.
int readBody(WindowedReader &device, const Atom &a, qint64 n, QByteArray &out)
{
    if (!device.readAt(a.body, std::min(n, a.end - a.body), out))
        return deviceFailure(device);
    return ReaderResult::Ok;
}

// Header durations of all ones mean "not known".
std::uint64_t knownDuration(std::uint64_t d, bool wide)
{
    return d == (wide ? std::numeric_limits<std::uint64_t>::max() : 0xFFFFFFFFu) ? 0 : d;
}

// mvhd and mdhd share their start: version, flags, two dates, time scale and duration, the
// dates and duration 64 bits wide in version 1.
bool readTimeHeader(QByteArrayView body, std::uint32_t &scale, std::uint64_t &duration)
{
    ByteCursor c(body);
    const std::uint8_t version = c.u8();
    c.skip(3);
    if (version == 1) {
        c.skip(16);
        scale = c.u32be();
        duration = knownDuration(c.u64be(), true);
    } else {
        c.skip(8);
        scale = c.u32be();
        duration = knownDuration(c.u32be(), false);
    }
    if (!c.ok()) {
        scale = 0;
        duration = 0;
    }
    return c.ok();
}

QString cutText(QString text)
{
    text.truncate(kMaxTextChars);
    return TagText::trimControl(text);
}

} // namespace

int TMp4Tag::parse(WindowedReader &file)
{
    QByteArray head;
    if (const int r = readStructure(file, 0, 12, head); r != ReaderResult::Ok)
        return r;
    if (QByteArrayView(head).sliced(4, 4) != QByteArrayView("ftyp"))
        return ReaderResult::NoTag;
    Brand = QString::fromLatin1(QByteArrayView(head).sliced(8, 4));

    // "moov" may come before or after the media data; the walk steps over "mdat" by its size.
    bool movie = false;
    WindowedReader &device = file;
    const int r = forEachAtom(device, 0, file.size(), [&](const Atom &a) {
        if (a.type != "moov")
            return ReaderResult::Ok;
        movie = true;
        const int m = readMovie(device, a.body, a.end);
        return m == ReaderResult::Ok ? kStopWalk : m;
    });
    if (r == ReaderResult::UnexpectedFailure)
        return r;
    return movie ? ReaderResult::Ok : ReaderResult::TooShort;
}

int TMp4Tag::readMovie(WindowedReader &device, qint64 from, qint64 to)
{
    return forEachAtom(device, from, to, [&](const Atom &a) {
        QByteArray body;
        if (a.type == "mvhd") {
            if (const int r = readBody(device, a, 32, body); r != ReaderResult::Ok)
                return r;
            readTimeHeader(body, MovieTimeScale, MovieDuration);
        } else if (a.type == "trak") {
            if (!m_soundTrackFound)
                return readTrack(device, a.body, a.end);
        } else if (a.type == "udta") {
            return forEachAtom(device, a.body, a.end, [&](const Atom &u) {
                return u.type == "meta" ? readMeta(device, u.body, u.end) : int(ReaderResult::Ok);
            });
        } else if (a.type == "meta") {
            return readMeta(device, a.body, a.end);
        }
        return int(ReaderResult::Ok);
    });
}

int TMp4Tag::readTrack(WindowedReader &device, qint64 from, qint64 to)
{
    // trak/mdia holds mdhd (the media's time), hdlr (whether it is sound) and minf/stbl/stsd.
    std::uint32_t scale = 0;
    std::uint64_t duration = 0;
    bool sound = false;
    QString codec;
    std::uint16_t channels = 0, bits = 0;
    std::uint32_t rate = 0;
    const int r = forEachAtom(device, from, to, [&](const Atom &mdia) {
        if (mdia.type != "mdia")
            return int(ReaderResult::Ok);
        return forEachAtom(device, mdia.body, mdia.end, [&](const Atom &a) {
            QByteArray body;
            if (a.type == "mdhd") {
                if (const int b = readBody(device, a, 32, body); b != ReaderResult::Ok)
                    return b;
                readTimeHeader(body, scale, duration);
            } else if (a.type == "hdlr") {
                if (const int b = readBody(device, a, 12, body); b != ReaderResult::Ok)
                    return b;
                sound = body.size() == 12 && QByteArrayView(body).sliced(8) == QByteArrayView("soun");
            } else if (a.type == "minf") {
                return forEachAtom(device, a.body, a.end, [&](const Atom &stbl) {
                    if (stbl.type != "stbl")
                        return int(ReaderResult::Ok);
                    return forEachAtom(device, stbl.body, stbl.end, [&](const Atom &stsd) {
                        if (stsd.type != "stsd")
                            return int(ReaderResult::Ok);
                        // Version and flags, entry count, then the first sample entry: size,
                        // format, 6 reserved bytes, data reference, version, revision, vendor,
                        // channels, sample size, compression, packet size, rate (16.16).
                        QByteArray e;
                        if (const int b = readBody(device, stsd, 8 + 36, e); b != ReaderResult::Ok)
                            return b;
                        ByteCursor c(e);
                        c.skip(12);
                        const QByteArrayView format = c.bytes(4);
                        c.skip(16);
                        const std::uint16_t ch = c.u16be();
                        const std::uint16_t sampleBits = c.u16be();
                        c.skip(4);
                        const std::uint32_t fixedRate = c.u32be();
                        if (c.ok()) {
                            codec = QString::fromLatin1(format);
                            channels = ch;
                            bits = sampleBits;
                            rate = fixedRate >> 16;
                        }
                        return int(ReaderResult::Ok);
                    });
                });
            }
            return int(ReaderResult::Ok);
        });
    });
    if (r != ReaderResult::Ok)
        return r;
    if (sound) {
        m_soundTrackFound = true;
        MediaTimeScale = scale;
        MediaDuration = duration;
        Codec = codec;
        Channels = channels;
        BitsPerSample = bits;
        SampleRate = rate;
    }
    return ReaderResult::Ok;
}

int TMp4Tag::readMeta(WindowedReader &device, qint64 from, qint64 to)
{
    // "meta" is a full atom (four bytes of version and flags before its children) in MP4 files,
    // a plain one in QuickTime files; there the first child, "hdlr", follows at once.
    QByteArray probe;
    if (!device.readAt(from, 8, probe))
        return deviceFailure(device);
    const bool plain = probe.size() == 8 && QByteArrayView(probe).sliced(4) == QByteArrayView("hdlr");
    return forEachAtom(device, plain ? from : from + 4, to, [&](const Atom &a) {
        return a.type == "ilst" ? readItems(device, a.body, a.end) : int(ReaderResult::Ok);
    });
}

int TMp4Tag::readItems(WindowedReader &device, qint64 from, qint64 to)
{
    QString genreText;
    std::uint16_t genreNumber = 0;
    const int r = forEachAtom(device, from, to, [&](const Atom &item) {
        static const QByteArray kArtist("\xA9" "ART"), kTitle("\xA9" "nam"), kAlbum("\xA9" "alb"),
            kDay("\xA9" "day"), kGenre("\xA9" "gen"), kComment("\xA9" "cmt"), kTrack("trkn"), kGenreNumber("gnre");
        const QByteArray &t = item.type;
        if (t == "----")
            return readFreeform(device, item.body, item.end);
        QString *text = t == kArtist ? &Artist
            : t == kTitle            ? &Title
            : t == kAlbum            ? &Album
            : t == kDay              ? &Year
            : t == kGenre            ? &genreText
            : t == kComment          ? &Comment
                                     : nullptr;
        if (!text && t != kTrack && t != kGenreNumber)
            return int(ReaderResult::Ok);
        // The value is the first "data" child: type (a version byte and 24 bits), locale, bytes.
        return forEachAtom(device, item.body, item.end, [&](const Atom &data) {
            if (data.type != "data")
                return int(ReaderResult::Ok);
            QByteArray body;
            if (const int b = readBody(device, data, 8 + kMaxValueBytes, body); b != ReaderResult::Ok)
                return b;
            ByteCursor c(body);
            const std::uint32_t type = c.u32be() & 0xFFFFFF;
            c.skip(4);
            if (!c.ok())
                return kStopWalk;
            const QByteArrayView value = c.bytesUpTo(kMaxValueBytes);
            if (text) {
                *text = cutText(type == 2 ? decodeUtf16(value, true) : decodeUtf8(value, Utf8Malformed::Stop));
            } else if (t == kTrack) {
                ByteCursor v(value); // reserved 16 bits, the number, the count
                v.skip(2);
                const std::uint16_t n = v.u16be();
                if (v.ok())
                    Track = n;
            } else {
                ByteCursor v(value);
                const std::uint16_t n = v.u16be();
                if (v.ok())
                    genreNumber = n;
            }
            return kStopWalk; // one value per item
        });
    });
    if (r != ReaderResult::Ok)
        return r;
    // The text genre, else the ID3v1 number the "gnre" atom stores plus one.
    Genre = !genreText.isEmpty() ? genreText : genreNumber > 0 ? GenreName(genreNumber - 1) : QString();
    return ReaderResult::Ok;
}

// A freeform item: "mean" (the namespace), "name" and "data", each a full atom. Only iTunes'
// names are taken; ReplayGain is the one kind kept.
int TMp4Tag::readFreeform(WindowedReader &device, qint64 from, qint64 to)
{
    QByteArray mean, name, value;
    const int r = forEachAtom(device, from, to, [&](const Atom &a) {
        QByteArray *into = a.type == "mean" ? &mean : a.type == "name" ? &name : a.type == "data" ? &value : nullptr;
        if (!into || !into->isEmpty())
            return int(ReaderResult::Ok);
        QByteArray body;
        if (const int b = readBody(device, a, 8 + kMaxValueBytes, body); b != ReaderResult::Ok)
            return b;
        // Version and flags before mean's and name's texts; type and locale before the data.
        const qsizetype skip = a.type == "data" ? 8 : 4;
        if (body.size() >= skip)
            *into = body.sliced(skip);
        return int(ReaderResult::Ok);
    });
    if (r == ReaderResult::Ok && mean == "com.apple.iTunes")
        ReplayGain.take(name.toUpper(), value);
    return r;
}

double TMp4Tag::GetDuration() const
{
    if (MovieTimeScale > 0 && MovieDuration > 0)
        return double(MovieDuration) / MovieTimeScale;
    if (MediaTimeScale > 0 && MediaDuration > 0)
        return double(MediaDuration) / MediaTimeScale;
    return 0.0;
}

StreamValues TMp4Tag::streamValues() const
{
    return {Title, Artist, Album, Year, Genre, Track, GetDuration()};
}
