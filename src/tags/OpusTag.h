#pragma once

#include "tags/ReplayGain.h"
#include "tags/StreamValues.h"
#include "tags/TagReader.h"

#include <QIODevice>

class WindowedReader;
#include <QString>

#include <cstdint>

// Opus in Ogg: the OpusHead and OpusTags packets and the granule position of the last page
// that ends a packet. Read only.
class TOpusTag : public TagReader<TOpusTag>
{
public:
    TOpusTag() = default;

    // 0 when the device starts with an Ogg page holding an OpusHead packet of version 0.x (the
    // comments and the length as far as found), 6 the device ends inside that packet, 9 no Ogg
    // page or no OpusHead there, 11 unexpected failure. Any code but 0 leaves the reset state.
    // Seconds at 48 kHz from the last granule position minus the pre-skip; 0 when unknown.
    double GetDuration() const;

    std::uint8_t Version = 0;
    std::uint8_t Channels = 0;
    std::uint16_t PreSkip = 0;
    std::uint32_t InputSampleRate = 0; // what the encoder was given, for information only
    std::int64_t GranulePosition = -1; // -1: no page with one found
    QString Title, Artist, Album;
    std::uint8_t Track = 0;
    QString Date, Genre, Comment, Vendor;
    ReplayGainValues ReplayGain; // kept for one file at a time; the table has no room for it

    // The values the audio information facade shows.
    StreamValues streamValues() const;

private:
    friend class TagReader<TOpusTag>;
    int parse(WindowedReader &device);
    bool findLastGranule(WindowedReader &device, std::uint32_t serial);
};
