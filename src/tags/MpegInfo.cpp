#include "tags/MpegInfo.h"

#include "tags/ByteCursor.h"
#include "tags/DeviceRead.h"

#include <QByteArray>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr int kWindowSize = 512;
// A file without two frames in a row in its first 16 MiB is no MPEG file: the search stops
// there instead of reading a huge file (a sparse one, a disk image named .mp3) to its end.
constexpr qint64 kMaxSearch = qint64(16) << 20;

// kbit/s by bitrate index; MPEG 2 and 2.5 share one table per layer group.
constexpr int kBitratesV1[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
};
constexpr int kBitratesV2[2][16] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};
constexpr int kSampleRates[3][3] = {
    {44100, 48000, 32000},
    {22050, 24000, 16000},
    {11025, 12000, 8000},
};

// Nearest integer, halves to even.
double roundEven(double v)
{
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(old);
    return r;
}

} // namespace

int TMpegInfo::SamplesPerFrame(int version, int layer)
{
    if (layer == 1)
        return 384;
    if (layer == 2 || version == 1)
        return 1152;
    return 576;
}

int TMpegInfo::GetFrameLength(int version, int layer, int padding, int sampleRate, int bitrate)
{
    if (sampleRate <= 0)
        return 0;
    if (layer == 1)
        return (12000 * bitrate / sampleRate + padding) * 4;
    // Layer II holds 1152 samples in every version, so its frames are as long as MPEG 1's;
    // only Layer III of MPEG 2 and 2.5 has half-length (576-sample) frames.
    if (version == 1 || layer == 2)
        return 144000 * bitrate / sampleRate + padding;
    return 72000 * bitrate / sampleRate + padding;
}

TMpegFrameHeader TMpegInfo::DecodeHeader(QByteArrayView bytes, qint64 offset)
{
    TMpegFrameHeader h;
    std::uint8_t b[4];
    for (int i = 0; i < 4; ++i)
        if (offset < 0 || offset + i >= bytes.size())
            return h;
        else
            b[i] = std::uint8_t(bytes[offset + i]);
    if (b[0] != 0xFF || b[1] < 0xE0)
        return h;
    static constexpr int kVersions[4] = {3, 0, 2, 1};
    static constexpr int kLayers[4] = {4, 3, 2, 1};
    h.version = kVersions[(b[1] >> 3) & 3];
    h.layer = kLayers[(b[1] >> 1) & 3];
    h.protection = !(b[1] & 1);
    const int bitrateIndex = b[2] >> 4;
    const int rateIndex = (b[2] >> 2) & 3;
    h.padding = (b[2] >> 1) & 1;
    h.channelMode = b[3] >> 6;
    h.modeExtension = (b[3] >> 4) & 3;
    h.copyright = b[3] & 0x08;
    h.original = b[3] & 0x04;
    h.emphasis = b[3] & 3;
    if (h.version == 0 || h.layer == 4)
        return h;
    if (bitrateIndex == 15 || rateIndex == 3)
        return h;
    h.bitrate = h.version == 1 ? kBitratesV1[h.layer - 1][bitrateIndex]
                               : kBitratesV2[h.layer == 1 ? 0 : 1][bitrateIndex];
    h.sampleRate = kSampleRates[h.version - 1][rateIndex];
    if (h.layer == 2) {
        const bool mono = h.channelMode == kSingleChannel;
        switch (h.bitrate) {
        case 32: case 48: case 56: case 80:
            if (!mono)
                return h;
            break;
        case 224: case 256: case 320: case 384:
            if (mono)
                return h;
            break;
        default:
            break;
        }
    }
    const int length = GetFrameLength(h.version, h.layer, h.padding, h.sampleRate, h.bitrate);
    if (length <= 0)
        return h;
    h.frameLength = std::uint16_t(length);
    h.valid = true;
    return h;
}

namespace {

// The "Xing" and "Info" headers lie after the side information of the first frame: a magic,
// flags, and the frame count when flag bit 0 is set.
bool findFrameCountHeader(const TMpegFrameHeader &h, QByteArrayView bytes, qint64 offset, QByteArrayView magic,
                          std::uint32_t &frameCount)
{
    frameCount = 0;
    const bool mono = h.channelMode == TMpegInfo::kSingleChannel;
    const int at = h.version == 1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
    ByteCursor c(bytes);
    if (!c.seek(offset + at) || !c.has(12) || !c.startsWith(magic))
        return false;
    c.skip(7);
    const std::uint8_t flags = c.u8();
    const std::uint32_t frames = c.u32be();
    if (flags & 1)
        frameCount = frames;
    return true;
}

} // namespace

bool TMpegInfo::FindXingHeader(const TMpegFrameHeader &h, QByteArrayView bytes, qint64 offset,
                               std::uint32_t &frameCount)
{
    return findFrameCountHeader(h, bytes, offset, "Xing", frameCount);
}

bool TMpegInfo::FindInfoHeader(const TMpegFrameHeader &h, QByteArrayView bytes, qint64 offset,
                               std::uint32_t &frameCount)
{
    return findFrameCountHeader(h, bytes, offset, "Info", frameCount);
}

bool TMpegInfo::accept(const TMpegFrameHeader &h, qint64 pos, bool xing, std::uint32_t xingFrames)
{
    std::uint16_t bitrate = 0;
    std::uint32_t frameCount = 0;
    qint64 audioBytes = 0;
    if (xing) {
        // A frame count of 0 or a bitrate that rounds to nothing cannot give a length.
        audioBytes = FileSize - pos - h.frameLength;
        if (xingFrames == 0 || audioBytes <= 0)
            return false;
        // The bytes a frame holds at 1 kbit/s: samples per frame / 8 (144 for 1152 samples).
        const double bytesPerFrameAtOneKbit = SamplesPerFrame(h.version, h.layer) / 8.0;
        const double kbps = roundEven(h.sampleRate / 1000.0 * double(audioBytes)
                                      / (double(xingFrames) * bytesPerFrameAtOneKbit));
        if (!(kbps >= 1 && kbps <= std::numeric_limits<std::uint16_t>::max()))
            return false;
        bitrate = std::uint16_t(kbps);
        frameCount = xingFrames;
    } else {
        audioBytes = FileSize - pos;
        if (h.bitrate <= 0 || h.frameLength == 0)
            return false;
        bitrate = std::uint16_t(h.bitrate);
        frameCount = std::uint32_t(roundEven(double(audioBytes) / h.frameLength));
    }
    // The header's bitrate covers every channel, so a single-channel stream is not halved.
    const qint64 seconds = audioBytes * 8 / (qint64(bitrate) * 1000);
    Duration = std::int32_t(std::min<qint64>(seconds, std::numeric_limits<std::int32_t>::max()));
    Bitrate = bitrate;
    FrameCount = frameCount;
    IsVbr = xing;
    takeHeader(h, pos);
    return true;
}

bool TMpegInfo::acceptInfo(const TMpegFrameHeader &h, const TMpegFrameHeader &next, qint64 pos,
                           std::uint32_t infoFrames)
{
    // The frame holding the header carries no audio, and below 64 kbit/s encoders write it at a
    // higher bitrate than the stream (the header would not fit otherwise): the time comes from
    // the frame count, else from the bitrate of the frames after it.
    const qint64 audioBytes = FileSize - pos - h.frameLength;
    if (audioBytes <= 0 || next.bitrate <= 0 || next.frameLength == 0)
        return false;
    qint64 seconds = 0;
    if (infoFrames > 0) {
        seconds = qint64(infoFrames) * SamplesPerFrame(h.version, h.layer) / h.sampleRate;
        FrameCount = infoFrames;
    } else {
        seconds = audioBytes * 8 / (qint64(next.bitrate) * 1000);
        FrameCount = std::uint32_t(roundEven(double(audioBytes) / next.frameLength));
    }
    Duration = std::int32_t(std::min<qint64>(seconds, std::numeric_limits<std::int32_t>::max()));
    Bitrate = std::uint16_t(next.bitrate);
    IsVbr = false;
    takeHeader(h, pos);
    return true;
}

void TMpegInfo::takeHeader(const TMpegFrameHeader &h, qint64 pos)
{
    Version = h.version;
    Layer = h.layer;
    Protection = h.protection;
    SampleRate = h.sampleRate;
    ChannelMode = h.channelMode;
    ModeExtension = h.modeExtension;
    Copyright = h.copyright;
    Original = h.original;
    Emphasis = h.emphasis;
    Valid = true;
    FirstFramePosition = pos;
}

ReadResult<TMpegInfo> TMpegInfo::Read(QIODevice &device)
{
    WindowedReader reader(device);
    return Read(reader, device.pos());
}

ReadResult<TMpegInfo> TMpegInfo::Read(WindowedReader &device, qint64 start)
{
    return runReader<TMpegInfo>([&](TMpegInfo &info) { return info.search(device, start); });
}

int TMpegInfo::search(WindowedReader &device, qint64 start)
{
    FileSize = device.size();
    qint64 p = start;
    QByteArray window, scratch, third;
    qint64 windowStart = p;
    if (!readAt(device, windowStart, kWindowSize, window))
        return deviceFailure(device);
    const qint64 searchEnd = p + kMaxSearch;
    while (p + 2 < FileSize && p < searchEnd) {
        // A header needs four bytes; refill the window from p when fewer are left in it.
        if (p + 4 > windowStart + window.size()) {
            windowStart = p;
            if (!readAt(device, windowStart, kWindowSize, window))
                return deviceFailure(device);
            if (window.size() < 4)
                break;
        }
        // Skip straight to the next FF that has three bytes after it in the window.
        const qint64 from = p - windowStart;
        const qint64 last = window.size() - 4;
        const void *ff = std::memchr(window.constData() + from, 0xFF, size_t(last - from + 1));
        if (!ff) {
            p = windowStart + last + 1;
            continue;
        }
        p = windowStart + (static_cast<const char *>(ff) - window.constData());

        const TMpegFrameHeader h1 = DecodeHeader(window, p - windowStart);
        if (!h1.valid) {
            ++p;
            continue;
        }
        const qint64 second = p + h1.frameLength;
        if (second + 4 > FileSize) {
            ++p;
            continue;
        }
        QByteArrayView bytes = window;
        qint64 base = windowStart;
        if (second + 4 > windowStart + window.size()) {
            if (!readAt(device, p, h1.frameLength + 4, scratch))
                return deviceFailure(device);
            bytes = scratch;
            base = p;
        }
        std::uint32_t xingFrames = 0;
        const bool xing = FindXingHeader(h1, bytes, p - base, xingFrames);
        const TMpegFrameHeader h2 = DecodeHeader(bytes, second - base);
        if (!h2.valid) {
            ++p;
            continue;
        }
        const qint64 thirdPos = second + h2.frameLength;
        if (thirdPos + 4 > FileSize) {
            ++p;
            continue;
        }
        QByteArrayView sync;
        if (thirdPos >= windowStart && thirdPos + 4 <= windowStart + window.size()) {
            sync = QByteArrayView(window).sliced(thirdPos - windowStart, 4);
        } else {
            if (!readAt(device, thirdPos, 4, third))
                return deviceFailure(device);
            sync = third;
        }
        if (sync.size() < 4 || std::uint8_t(sync[0]) != 0xFF || std::uint8_t(sync[1]) < 0xE0) {
            ++p;
            continue;
        }
        std::uint32_t infoFrames = 0;
        if (!xing && FindInfoHeader(h1, bytes, p - base, infoFrames)) {
            if (acceptInfo(h1, h2, p, infoFrames))
                return ReaderResult::Ok;
        } else if (accept(h1, p, xing, xingFrames)) {
            return ReaderResult::Ok;
        }
        ++p;
    }
    return ReaderResult::NoTag;
}
