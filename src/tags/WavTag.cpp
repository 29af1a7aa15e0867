#include "tags/WavTag.h"

#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/ID3v2Tag.h"
#include "tags/TagText.h"

#include "core/TextEncoding.h"

#include <QBuffer>
#include <QByteArray>

namespace {

constexpr int kMaxChunks = 4096;
// An INFO list is a few short texts; more than this of it is not read.
constexpr qint64 kMaxInfoBytes = 64 * 1024;
// An ID3v2 tag in a WAV file is read as far as this; a larger one (cover pictures) keeps the
// frames before the cut, which is where the texts usually are.
constexpr qint64 kMaxId3Bytes = 1024 * 1024;
constexpr qsizetype kMaxTextChars = 250;

QString infoText(QByteArrayView raw)
{
    // INFO texts carry no encoding: UTF-8 where they are valid UTF-8, else the 8-bit code page.
    QString text = decodeUnsignedText(TagText::trimControl(raw));
    text.truncate(kMaxTextChars);
    return TagText::trimControl(text);
}

} // namespace

int TWavTag::parse(WindowedReader &device)
{
    QByteArray buf;
    if (const int r = readStructure(device, 0, 12, buf, "RIFF"); r != ReaderResult::Ok)
        return r;
    ByteCursor h(buf);
    h.skip(4);
    const std::uint32_t riffSize = h.u32le();
    if (h.bytes(4) != QByteArrayView("WAVE"))
        return ReaderResult::NoTag;
    // Writers that stream leave the RIFF size 0 or all ones; then the file is the bound.
    const qint64 fileSize = device.size();
    const qint64 end = riffSize == 0 || riffSize == 0xFFFFFFFFu ? fileSize : std::min<qint64>(8 + qint64(riffSize), fileSize);

    bool format = false;
    QString id3Values[7];
    qint64 pos = 12;
    WindowedReader &chunks = device;
    for (int n = 0; n < kMaxChunks && pos + 8 <= end; ++n) {
        if (!chunks.readAt(pos, 8, buf))
            return deviceFailure(device);
        if (buf.size() < 8)
            break;
        ByteCursor c(buf);
        const QByteArray id = c.bytes(4).toByteArray();
        const qint64 size = c.u32le();
        const qint64 body = pos + 8;
        const qint64 inFile = std::min(size, end - body);
        if (id == "fmt ") {
            if (!chunks.readAt(body, 16, buf))
                return deviceFailure(device);
            if (buf.size() < 16)
                return ReaderResult::TooShort;
            if (size < 16)
                return ReaderResult::NoTag;
            ByteCursor f(buf);
            FormatTag = f.u16le();
            Channels = f.u16le();
            SampleRate = f.u32le();
            BytesPerSecond = f.u32le();
            f.skip(2); // block align
            BitsPerSample = f.u16le();
            format = true;
        } else if (id == "data") {
            // A size of all ones (a stream never finished) or past the end counts to the end.
            DataSize = std::uint64_t(std::max<qint64>(inFile, 0));
        } else if (id == "LIST") {
            if (!chunks.readAt(body, std::min(inFile, kMaxInfoBytes), buf))
                return deviceFailure(device);
            if (QByteArrayView(buf).startsWith("INFO"))
                readInfo(QByteArrayView(buf).sliced(4));
        } else if (id == "id3 " || id == "ID3 ") {
            if (const int r = readId3(device, body, inFile); r != ReaderResult::Ok)
                return r;
        }
        // Chunks of odd size are followed by a pad byte.
        pos = body + size + (size & 1);
    }
    return format ? ReaderResult::Ok : ReaderResult::TooShort;
}

void TWavTag::readInfo(QByteArrayView list)
{
    InfoFound = true;
    ByteCursor c(list);
    while (c.has(8)) {
        const QByteArrayView id = c.bytes(4);
        const qint64 size = c.u32le();
        const QByteArrayView raw = c.bytesUpTo(size);
        if (size & 1)
            c.skip(1);
        QString *field = id == "IART" ? &Artist
            : id == "INAM"           ? &Title
            : id == "IPRD"           ? &Album
            : id == "ICRD"           ? &Year
            : id == "IGNR"           ? &Genre
            : id == "ICMT"           ? &Comment
                                     : nullptr;
        if (field && field->isEmpty())
            *field = infoText(raw);
        else if ((id == "IPRT" || id == "ITRK") && Track == 0)
            Track = TagText::trackNumber(infoText(raw));
    }
}

int TWavTag::readId3(WindowedReader &device, qint64 pos, qint64 size)
{
    QByteArray bytes;
    if (!readAt(device, pos, std::min(size, kMaxId3Bytes), bytes))
        return deviceFailure(device);
    QBuffer tagDevice(&bytes);
    tagDevice.open(QIODevice::ReadOnly);
    const ReadResult<TID3v2Tag> r = TID3v2Tag::Read(tagDevice);
    if (r.code == ReaderResult::UnexpectedFailure)
        return r.code; // already told
    const TID3v2Tag &v2 = r.values;
    if (!v2.Exists)
        return ReaderResult::Ok;
    ID3v2Found = true;
    auto take = [](QString &field, const QString &value) {
        if (!value.isEmpty())
            field = value;
    };
    take(Artist, v2.GetArtist());
    take(Title, v2.GetTitle());
    take(Album, v2.GetAlbum());
    take(Year, v2.GetYear());
    take(Genre, v2.GetGenre());
    if (const std::uint8_t t = TagText::trackNumber(v2.GetTrack()); t != 0)
        Track = t;
    return ReaderResult::Ok;
}

double TWavTag::GetDuration() const
{
    if (BytesPerSecond == 0 || DataSize == 0)
        return 0.0;
    return double(DataSize) / BytesPerSecond;
}

StreamValues TWavTag::streamValues() const
{
    return {Title, Artist, Album, Year, Genre, Track, GetDuration()};
}
