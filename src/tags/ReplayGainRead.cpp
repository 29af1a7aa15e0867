#include "tags/ReplayGainRead.h"

#include "tags/AudioInfo.h"
#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"
#include "tags/ID3v2Tag.h"

#include "core/FileSystem.h"

#include <QFile>

namespace {

constexpr qint64 kApeFooterSize = 32;
constexpr qint64 kId3v1Size = 128;
// An APE tag larger than this (pictures inside) is not read for its few small values.
constexpr qint64 kMaxApeTag = 1024 * 1024;
constexpr std::uint32_t kMaxApeItems = 1000;

// The values the first fills that into does not have yet.
void fillMissing(ReplayGainValues &into, const ReplayGainValues &found)
{
    for (auto member : {&ReplayGainValues::trackGain, &ReplayGainValues::trackPeak, &ReplayGainValues::albumGain,
                        &ReplayGainValues::albumPeak})
        if (!(into.*member))
            into.*member = found.*member;
}

// A TXXX frame: encoding, description, NUL, value.
void takeUserText(const TID3v2Frame &frame, int version, ReplayGainValues &into)
{
    if (frame.Data.isEmpty())
        return;
    const QString all = TID3v2Tag::DecodeText(std::uint8_t(frame.Data[0]), QByteArrayView(frame.Data).sliced(1));
    const qsizetype nul = all.indexOf(QChar(u'\0'));
    if (nul < 0)
        return;
    QString value = all.mid(nul + 1);
    value.remove(QChar(0xFEFF)); // the value's own byte order mark in UTF-16
    value = TID3v2Tag::TextOfVersion(version, value);
    into.take(all.left(nul).trimmed().toUpper().toLatin1(), value.toLatin1());
}

// An RVA2 frame: identification, NUL, then per channel its type, a signed 16-bit gain in
// 1/512 dB and a peak (not used: its scale is read differently by different taggers).
void takeRelativeVolume(const TID3v2Frame &frame, ReplayGainValues &into)
{
    const qsizetype nul = frame.Data.indexOf('\0');
    if (nul < 0)
        return;
    const QByteArray id = frame.Data.left(nul).toLower();
    std::optional<double> *gain = id == "track" ? &into.trackGain : id == "album" ? &into.albumGain : nullptr;
    if (!gain)
        return;
    ByteCursor c(QByteArrayView(frame.Data).sliced(nul + 1));
    while (c.ok() && !c.atEnd()) {
        const std::uint8_t channel = c.u8();
        const double db = std::int16_t(c.u16be()) / 512.0;
        const std::uint8_t peakBits = c.u8();
        c.skip((peakBits + 7) / 8);
        if (c.ok() && channel == 1) { // the master volume
            *gain = db;
            return;
        }
    }
}

} // namespace

namespace ReplayGainRead {

void fromId3v2(const TID3v2Tag &tag, ReplayGainValues &into)
{
    const QByteArrayView userText = tag.Version == 2 ? QByteArrayView("TXX") : QByteArrayView("TXXX");
    for (const TID3v2Frame &f : tag.Frames)
        if (f.ID == userText)
            takeUserText(f, tag.Version, into);
    if (tag.Version < 4)
        return;
    ReplayGainValues rva2;
    for (const TID3v2Frame &f : tag.Frames)
        if (f.ID == "RVA2")
            takeRelativeVolume(f, rva2);
    fillMissing(into, rva2);
}

bool fromApe(WindowedReader &device, ReplayGainValues &into)
{
    QByteArray footer;
    qint64 end = device.size();
    // Behind the APE tag there may be an ID3v1 tag.
    for (int attempt = 0; attempt < 2; ++attempt, end -= kId3v1Size) {
        if (end < kApeFooterSize || !device.readAt(end - kApeFooterSize, kApeFooterSize, footer))
            return end < kApeFooterSize;
        if (footer.startsWith("APETAGEX"))
            break;
        footer.clear();
    }
    if (footer.size() < kApeFooterSize)
        return true;
    ByteCursor f(footer);
    f.skip(8);
    const std::uint32_t version = f.u32le();
    const qint64 size = f.u32le(); // items and footer, not the header
    const std::uint32_t count = std::min(f.u32le(), kMaxApeItems);
    if ((version != 1000 && version != 2000) || size < kApeFooterSize || size > kMaxApeTag || size > end)
        return true;
    QByteArray items;
    if (!device.readAt(end - size, size - kApeFooterSize, items))
        return false;
    ByteCursor c(items);
    ReplayGainValues found;
    for (std::uint32_t i = 0; i < count && c.ok() && !c.atEnd(); ++i) {
        const std::uint32_t valueSize = c.u32le();
        c.skip(4); // flags
        const qsizetype keyEnd = QByteArrayView(items).indexOf('\0', c.pos());
        if (!c.ok() || keyEnd < 0)
            break;
        const QByteArray key = c.bytes(keyEnd - c.pos()).toByteArray().toUpper();
        c.skip(1);
        const QByteArrayView value = c.bytes(valueSize);
        if (c.ok())
            found.take(key, value);
    }
    fillMissing(into, found);
    return true;
}

ReplayGainValues fromFile(const QString &path)
{
    ReplayGainValues v;
    try {
        const QString ext = audioFileExtension(path);
        if (ext == QLatin1String(".mp3") || ext == QLatin1String(".mp2") || ext == QLatin1String(".mp1")) {
            // Only regular files: a FIFO named like a song would block the open.
            QFile file(path);
            if (!FileSystem::isRegularFile(path) || !file.open(QIODevice::ReadOnly))
                return v;
            WindowedReader reader(file);
            fromId3v2(TID3v2Tag::Read(reader).values, v);
            fromApe(reader, v);
            return v;
        }
        TAudioInfo info;
        info.ReadFromFile(path);
        switch (info.UsedReader) {
        case TAudioInfo::Reader::Flac: return info.Flac.ReplayGain;
        case TAudioInfo::Reader::Ogg: return info.Ogg.ReplayGain;
        case TAudioInfo::Reader::Opus: return info.Opus.ReplayGain;
        case TAudioInfo::Reader::Mp4: return info.Mp4.ReplayGain;
        default: return v;
        }
    } catch (...) {
        return ReplayGainValues{};
    }
}

} // namespace ReplayGainRead
