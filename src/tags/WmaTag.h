#pragma once

#include "tags/ReaderResult.h"

#include <QIODevice>

class WindowedReader;
#include <QString>

#include <cstdint>

// WMA (ASF): the objects of the header object that carry the stream properties and the
// content descriptions. Read only.
class TWMATag
{
public:
    TWMATag() { ResetData(); }

    void ResetData();
    // 6 when the header cannot be read (a structure cut off or pointing outside the header),
    // 11 unexpected failure; 0 otherwise, also for bytes that are no ASF file or values that
    // fail the plausibility check: then Valid stays false and every field keeps its reset
    // value, and the facade shows the file by its name.
    static ReadResult<TWMATag> Read(QIODevice &device);
    // The same, served from the file's windows.
    static ReadResult<TWMATag> Read(WindowedReader &device);

    bool Valid = false;
    std::uint32_t FileSize = 0;
    std::uint8_t Channels = 0;
    std::uint32_t SampleRate = 0;
    double Duration = 0;
    std::uint32_t Bitrate = 0; // kbit/s
    QString Title, Artist, Album;
    std::int32_t Track = 0;
    QString Year, Genre, Comment;

private:
    int parse(WindowedReader &device);
};
