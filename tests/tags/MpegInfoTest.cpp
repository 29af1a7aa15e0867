#include "ByteBuilders.h"

#include "tags/MpegInfo.h"

#include <gtest/gtest.h>

using namespace bytes;

namespace {

TMpegInfo search(const QByteArray &file, qint64 from = 0)
{
    MemoryDevice dev(file);
    dev.buffer.seek(from);
    return TMpegInfo::Read(dev.buffer).values;
}

// Three frames at 0 followed by zeros up to size bytes.
QByteArray cbrFile(qsizetype size, int mode = 0)
{
    QByteArray f = cbrFrames(3, mode);
    f += zeros(size - f.size());
    return f;
}

} // namespace

TEST(MpegInfo, DecodeHeaderChecks)
{
    struct Case { QByteArray bytes; bool valid; int version, layer, bitrate, rate, length; };
    const Case cases[] = {
        {mpegHeader(3, 1, 9, 0, 0, 0), true, 1, 3, 128, 44100, 417},
        {mpegHeader(3, 1, 9, 0, 1, 0), true, 1, 3, 128, 44100, 418},
        {mpegHeader(3, 1, 9, 1, 0, 0), true, 1, 3, 128, 48000, 384},
        {mpegHeader(2, 1, 8, 0, 0, 0), true, 2, 3, 64, 22050, 208},      // 72000 * 64 / 22050
        {mpegHeader(0, 1, 4, 2, 0, 3), true, 3, 3, 32, 8000, 288},       // MPEG 2.5
        {mpegHeader(3, 3, 1, 0, 0, 0), true, 1, 1, 32, 44100, 32},       // Layer I: (12000*32/44100)*4
        {mpegHeader(3, 2, 8, 0, 0, 0), true, 1, 2, 128, 44100, 417},
        {mpegHeader(2, 2, 8, 0, 0, 0), true, 2, 2, 64, 22050, 417},      // Layer II frames hold 1152 samples
        {mpegHeader(1, 1, 9, 0, 0, 0), false, 0, 0, 0, 0, 0},            // reserved version
        {mpegHeader(3, 0, 9, 0, 0, 0), false, 0, 0, 0, 0, 0},            // reserved layer
        {mpegHeader(3, 1, 15, 0, 0, 0), false, 0, 0, 0, 0, 0},           // bitrate index 15
        {mpegHeader(3, 1, 9, 3, 0, 0), false, 0, 0, 0, 0, 0},            // reserved sample rate
        {mpegHeader(3, 1, 0, 0, 0, 0), false, 0, 0, 0, 0, 0},            // free format: length 0
        {of({0xFF, 0xD0, 0x90, 0x00}), false, 0, 0, 0, 0, 0},            // no sync
        {of({0xFE, 0xFB, 0x90, 0x00}), false, 0, 0, 0, 0, 0},
        {of({0xFF, 0xFB, 0x90}), false, 0, 0, 0, 0, 0},                  // cut off
    };
    for (const Case &c : cases) {
        const TMpegFrameHeader h = TMpegInfo::DecodeHeader(c.bytes, 0);
        EXPECT_EQ(h.valid, c.valid) << c.bytes.toHex().constData();
        if (!c.valid)
            continue;
        EXPECT_EQ(h.version, c.version);
        EXPECT_EQ(h.layer, c.layer);
        EXPECT_EQ(h.bitrate, c.bitrate);
        EXPECT_EQ(h.sampleRate, c.rate);
        EXPECT_EQ(h.frameLength, c.length) << c.bytes.toHex().constData();
    }
}

TEST(MpegInfo, LayerIIBitrateAndModeRules)
{
    // MPEG 1 Layer II bitrate index: 1=32 2=48 3=56 5=80 ... 11=224 12=256 13=320 14=384.
    struct Case { int index; int mode; bool valid; };
    const Case cases[] = {
        {1, 0, false}, {2, 0, false}, {3, 1, false}, {5, 2, false}, {2, 3, true}, {5, 3, true},
        {11, 3, false}, {12, 3, false}, {13, 3, false}, {14, 3, false}, {11, 0, true}, {14, 1, true},
        {4, 0, true}, {4, 3, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TMpegInfo::DecodeHeader(mpegHeader(3, 2, c.index, 0, 0, c.mode), 0).valid, c.valid)
            << c.index << ' ' << c.mode;
    // The same holds for MPEG 2 Layer II, whose index 6 is 48 kbit/s.
    EXPECT_FALSE(TMpegInfo::DecodeHeader(mpegHeader(2, 2, 6, 0, 0, 0), 0).valid);
    EXPECT_TRUE(TMpegInfo::DecodeHeader(mpegHeader(2, 2, 6, 0, 0, 3), 0).valid);
}

TEST(MpegInfo, CbrDuration)
{
    // 4,000,000 bytes from the first frame at 128 kbit/s: 250 seconds, mono as well as stereo.
    for (int mode : {0, 1, 2, 3}) {
        const TMpegInfo info = search(cbrFile(4000000, mode));
        ASSERT_TRUE(info.Valid) << mode;
        EXPECT_EQ(info.FirstFramePosition, 0);
        EXPECT_EQ(info.Duration, 250) << mode;
        EXPECT_EQ(info.Bitrate, 128);
        EXPECT_FALSE(info.IsVbr);
        EXPECT_EQ(info.FrameCount, 9592u); // round(4000000 / 417)
        EXPECT_EQ(info.ChannelMode, mode);
        EXPECT_EQ(info.FileSize, 4000000);
    }
}

TEST(MpegInfo, XingDuration)
{
    // MPEG 1 at 48000 Hz, stereo: Xing at 36, 10000 frames, 4,000,000 bytes after the Xing frame.
    const QByteArray h = mpegHeader(3, 1, 9, 1, 0, 0);
    QByteArray file = xingFrame(h, 384, 36, 0x0F, 10000) + mpegFrame(h, 384) + mpegFrame(h, 384);
    file += zeros(384 + 4000000 - file.size());
    TMpegInfo info = search(file);
    ASSERT_TRUE(info.Valid);
    EXPECT_TRUE(info.IsVbr);
    EXPECT_EQ(info.Bitrate, 133);
    EXPECT_EQ(info.Duration, 240);
    EXPECT_EQ(info.FrameCount, 10000u);

    // MPEG 2 Layer III holds 576 samples a frame: 5000 frames at 24000 Hz are 120 seconds.
    const QByteArray h2 = mpegHeader(2, 1, 8, 1, 0, 0); // 64 kbit/s, 24000 Hz: 192 bytes
    QByteArray file2 = xingFrame(h2, 192, 21, 0x01, 5000) + mpegFrame(h2, 192) + mpegFrame(h2, 192);
    file2 += zeros(192 + 1000000 - file2.size());
    info = search(file2);
    ASSERT_TRUE(info.Valid);
    EXPECT_EQ(info.Bitrate, 67);  // 24 * 1000000 / (5000 * 72)
    EXPECT_EQ(info.Duration, 119);

    // Mono MPEG 1: the Xing header sits at 21.
    const QByteArray hm = mpegHeader(3, 1, 9, 1, 0, 3);
    QByteArray file3 = xingFrame(hm, 384, 21, 0x01, 10000) + mpegFrame(hm, 384) + mpegFrame(hm, 384);
    file3 += zeros(384 + 4000000 - file3.size());
    info = search(file3);
    EXPECT_TRUE(info.IsVbr);
    EXPECT_EQ(info.Duration, 240);
}

TEST(MpegInfo, XingWithoutFrameCountFallsBackToTheNextFrame)
{
    const QByteArray h = mp3Header128();
    QByteArray file = xingFrame(h, kFrame128, 36, 0x0E, 10000) + cbrFrames(3);
    file += zeros(100000 - file.size());
    const TMpegInfo info = search(file);
    ASSERT_TRUE(info.Valid);
    EXPECT_EQ(info.FirstFramePosition, kFrame128);
    EXPECT_FALSE(info.IsVbr);
    EXPECT_EQ(info.Bitrate, 128);
}

TEST(MpegInfo, InfoFrameAtAHigherBitrateThanTheStream)
{
    // MPEG 2, 22050 Hz, stereo: the Info frame at 64 kbit/s (208 bytes), 1000 frames at
    // 32 kbit/s (104 bytes) after it, 26.1 s of audio. The Info frame's own bitrate would give 13 s.
    const QByteArray info64 = mpegHeader(2, 1, 8, 0, 0, 0);
    const QByteArray audio32 = mpegHeader(2, 1, 4, 0, 0, 0);
    QByteArray stream;
    for (int i = 0; i < 1000; ++i)
        stream += mpegFrame(audio32, 104);
    for (const int flags : {0x01, 0x00}) { // with and without the frame count
        QByteArray first = xingFrame(info64, 208, 21, flags, 1000);
        first.replace(21, 4, "Info");
        const TMpegInfo info = search(first + stream);
        ASSERT_TRUE(info.Valid) << flags;
        EXPECT_EQ(info.FirstFramePosition, 0) << flags;
        EXPECT_FALSE(info.IsVbr) << flags;
        EXPECT_EQ(info.Bitrate, 32) << flags;
        EXPECT_EQ(info.FrameCount, 1000u) << flags;
        EXPECT_EQ(info.Duration, 26) << flags;
    }
    std::uint32_t frames = 0;
    QByteArray first = xingFrame(info64, 208, 21, 1, 77);
    first.replace(21, 4, "Info");
    EXPECT_TRUE(TMpegInfo::FindInfoHeader(TMpegInfo::DecodeHeader(first, 0), first, 0, frames));
    EXPECT_EQ(frames, 77u);
    EXPECT_FALSE(TMpegInfo::FindXingHeader(TMpegInfo::DecodeHeader(first, 0), first, 0, frames));
}

TEST(MpegInfo, FindXingHeader)
{
    const QByteArray h = mp3Header128();
    std::uint32_t frames = 1;
    const TMpegFrameHeader header = TMpegInfo::DecodeHeader(h, 0);
    EXPECT_TRUE(TMpegInfo::FindXingHeader(header, xingFrame(h, kFrame128, 36, 1, 77), 0, frames));
    EXPECT_EQ(frames, 77u);
    EXPECT_TRUE(TMpegInfo::FindXingHeader(header, xingFrame(h, kFrame128, 36, 0, 77), 0, frames));
    EXPECT_EQ(frames, 0u);
    // "Info" is not recognised; nor are fewer than 12 bytes at hand.
    QByteArray info = xingFrame(h, kFrame128, 36, 1, 77);
    info.replace(36, 4, "Info");
    EXPECT_FALSE(TMpegInfo::FindXingHeader(header, info, 0, frames));
    EXPECT_FALSE(TMpegInfo::FindXingHeader(header, xingFrame(h, kFrame128, 36, 1, 77).left(47), 0, frames));
}

TEST(MpegInfo, NeedsThreeFramesInARow)
{
    EXPECT_FALSE(search(cbrFrames(2)).Valid);
    EXPECT_EQ(search(cbrFrames(2)).FirstFramePosition, -1);
    // The third header must lie inside the file with all four bytes.
    EXPECT_FALSE(search(cbrFrames(2) + mp3Header128().left(3)).Valid);
    EXPECT_TRUE(search(cbrFrames(2) + mp3Header128()).Valid);
    EXPECT_FALSE(search(QByteArray()).Valid);
    EXPECT_FALSE(search(QByteArray(1000, char(0xFF))).Valid);
}

TEST(MpegInfo, StraySyncIsSkipped)
{
    // A stray header inside junk (as in an unrecognised tag) without frames at its distances.
    QByteArray junk = zeros(700);
    junk.replace(5, 4, mp3Header128());
    junk.replace(600, 4, mp3Header128());
    const QByteArray file = junk + cbrFrames(4);
    const TMpegInfo info = search(file);
    ASSERT_TRUE(info.Valid);
    EXPECT_EQ(info.FirstFramePosition, 700);
}

TEST(MpegInfo, SearchesFromTheCurrentPositionAcrossWindows)
{
    // Frames far beyond the first window, with a real frame before the start position.
    QByteArray file = cbrFrames(3) + zeros(5000) + cbrFrames(3);
    const TMpegInfo info = search(file, 10);
    ASSERT_TRUE(info.Valid);
    EXPECT_EQ(info.FirstFramePosition, 3 * kFrame128 + 5000);
    // Every start offset inside a window finds the same frame.
    for (int offset : {0, 1, 300, 508, 509, 510, 511, 512, 1023}) {
        QByteArray f = zeros(offset) + cbrFrames(3);
        EXPECT_EQ(search(f).FirstFramePosition, offset) << offset;
    }
}
