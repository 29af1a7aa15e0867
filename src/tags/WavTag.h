#pragma once

#include "tags/StreamValues.h"
#include "tags/TagReader.h"

#include <QIODevice>

class WindowedReader;
#include <QString>

#include <cstdint>

// WAV (RIFF/WAVE): the "fmt " and "data" chunks for the length, the "LIST" chunk of type
// "INFO" and an "id3 " chunk for the tags (the ID3v2 values win where both have one). Read
// only.
class TWavTag : public TagReader<TWavTag>
{
public:
    TWavTag() = default;

    // 0 when the device holds a RIFF/WAVE file with a "fmt " chunk (the other chunks as far
    // as found), 6 the device ends before "fmt " is complete, 9 no "RIFF"/"WAVE" header, 11
    // unexpected failure. Any code but 0 leaves the reset state.
    // The data chunk's bytes over the average bytes per second; 0 when either is unknown.
    double GetDuration() const;

    std::uint16_t FormatTag = 0; // 1 PCM, 3 float, 0xFFFE extensible, ...
    std::uint16_t Channels = 0;
    std::uint32_t SampleRate = 0;
    std::uint32_t BytesPerSecond = 0;
    std::uint16_t BitsPerSample = 0;
    std::uint64_t DataSize = 0; // as far as the file holds it
    bool InfoFound = false;
    bool ID3v2Found = false;
    QString Title, Artist, Album;
    std::uint8_t Track = 0;
    QString Year, Genre, Comment;

    // The values the audio information facade shows.
    StreamValues streamValues() const;

private:
    friend class TagReader<TWavTag>;
    int parse(WindowedReader &device);
    void readInfo(QByteArrayView list);
    int readId3(WindowedReader &device, qint64 pos, qint64 size);
};
