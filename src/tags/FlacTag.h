#pragma once

#include "tags/ReplayGain.h"
#include "tags/StreamValues.h"
#include "tags/TagReader.h"

#include <QIODevice>

class WindowedReader;
#include <QString>

#include <cstdint>

// FLAC: the metadata blocks after "fLaC" (behind an ID3v2 tag if there is one): STREAMINFO for
// the stream values and VORBIS_COMMENT for the tags. Read only.
class TFlacTag : public TagReader<TFlacTag>
{
public:
    TFlacTag() = default;

    // 0 when the device holds a FLAC stream with its STREAMINFO block (the comments as far as
    // found), 6 the device ends before STREAMINFO is complete, 9 no "fLaC" where it belongs or
    // no STREAMINFO first, 11 unexpected failure. Any code but 0 leaves the reset state.
    // Seconds from the sample count and rate; 0 when either is unknown.
    double GetDuration() const;

    std::uint32_t SampleRate = 0;
    std::uint8_t Channels = 0;
    std::uint8_t BitsPerSample = 0;
    std::uint64_t SampleCount = 0; // 0: not known
    std::uint32_t ID3v2Size = 0;
    QString Title, Artist, Album;
    std::uint8_t Track = 0;
    QString Date, Genre, Comment, Vendor;
    ReplayGainValues ReplayGain; // kept for one file at a time; the table has no room for it

    // The values the audio information facade shows.
    StreamValues streamValues() const;

private:
    friend class TagReader<TFlacTag>;
    int parse(WindowedReader &device);
};
