#pragma once

#include "tags/StreamValues.h"
#include "tags/TagReader.h"

#include <QIODevice>

class WindowedReader;
#include <QString>

#include <cstdint>

// WMA (ASF): the objects of the header object that carry the stream properties and the
// content descriptions. Read only.
class TWMATag : public TagReader<TWMATag>
{
public:
    TWMATag() { ResetData(); }

    // The reset state, which is not the default one of the members.
    void ResetData();
    // 6 when the header cannot be read (a structure cut off or pointing outside the header),
    // 11 unexpected failure; 0 otherwise, also for bytes that are no ASF file or values that
    // fail the plausibility check: then Valid stays false and every field keeps its reset
    // value, and the facade shows the file by its name.

    bool Valid = false;
    std::uint32_t FileSize = 0;
    std::uint8_t Channels = 0;
    std::uint32_t SampleRate = 0;
    double Duration = 0;
    std::uint32_t Bitrate = 0; // kbit/s
    QString Title, Artist, Album;
    std::int32_t Track = 0;
    QString Year, Genre, Comment;

    // The values the audio information facade shows.
    StreamValues streamValues() const;

private:
    friend class TagReader<TWMATag>;
    int parse(WindowedReader &device);
};
