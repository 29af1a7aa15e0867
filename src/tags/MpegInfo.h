#pragma once

#include "tags/ReaderResult.h"

#include <QByteArrayView>
#include <QIODevice>

class WindowedReader;

#include <cstdint>

// One decoded MPEG audio frame header.
struct TMpegFrameHeader
{
    int version = 0;        // 1 MPEG 1, 2 MPEG 2, 3 MPEG 2.5 (0 reserved)
    int layer = 0;          // 1, 2, 3 (4 reserved)
    bool protection = false;
    int bitrate = 0;        // kbit/s
    int sampleRate = 0;     // Hz
    int padding = 0;
    int channelMode = 0;    // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    int modeExtension = 0;
    bool copyright = false; // the two flag bits of byte 3
    bool original = false;
    int emphasis = 0;
    std::uint16_t frameLength = 0;
    bool valid = false;
};

// Finds the first MPEG audio frame of a stream (three frames in a row at the computed
// distances), recognises a "Xing" header and works out bitrate, frame count and playing time.
class TMpegInfo
{
public:
    static constexpr int kSingleChannel = 3;

    // Searches from the device's current position to the end of the device: 0 a frame was
    // accepted (Valid, FirstFramePosition), 9 none was found, 11 unexpected failure.
    static ReadResult<TMpegInfo> Read(QIODevice &device);
    // The same from start on, served from the file's windows.
    static ReadResult<TMpegInfo> Read(WindowedReader &device, qint64 start);

    // The header of the four bytes at offset (invalid when they are not all there).
    static TMpegFrameHeader DecodeHeader(QByteArrayView bytes, qint64 offset);
    static int GetFrameLength(int version, int layer, int padding, int sampleRate, int bitrate);
    // Samples one frame holds: 384 (Layer I), 1152 (Layer II, MPEG 1 Layer III), 576.
    static int SamplesPerFrame(int version, int layer);
    // Whether the frame at offset holds a "Xing" header; frameCount is its frame count, 0 when
    // the header carries none.
    static bool FindXingHeader(const TMpegFrameHeader &header, QByteArrayView bytes, qint64 offset,
                               std::uint32_t &frameCount);
    // The same for the "Info" header that encoders put into the first frame of a CBR stream.
    static bool FindInfoHeader(const TMpegFrameHeader &header, QByteArrayView bytes, qint64 offset,
                               std::uint32_t &frameCount);

    qint64 FileSize = 0;
    int Version = 0;
    int Layer = 0;
    bool Protection = false;
    std::uint16_t Bitrate = 0;
    int SampleRate = 0;
    int ChannelMode = 0;
    int ModeExtension = 0;
    bool Copyright = false;
    bool Original = false;
    int Emphasis = 0;
    std::uint32_t FrameCount = 0;
    std::int32_t Duration = 0;
    bool IsVbr = false;
    bool Valid = false;
    qint64 FirstFramePosition = -1;

private:
    int search(WindowedReader &device, qint64 start);
    bool accept(const TMpegFrameHeader &h, qint64 pos, bool xing, std::uint32_t xingFrames);
    bool acceptInfo(const TMpegFrameHeader &h, const TMpegFrameHeader &next, qint64 pos, std::uint32_t infoFrames);
    void takeHeader(const TMpegFrameHeader &h, qint64 pos);
};
