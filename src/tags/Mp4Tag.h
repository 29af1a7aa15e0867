#pragma once

#include "tags/ReplayGain.h"
#include "tags/StreamValues.h"
#include "tags/TagReader.h"

class WindowedReader;

#include <QIODevice>
#include <QString>

#include <cstdint>

// MP4 audio (M4A, M4B; AAC or ALAC): the atoms of "moov" that hold the length, the first sound
// track's sample description, and the iTunes-style tags in "udta/meta/ilst". Read only.
class TMp4Tag : public TagReader<TMp4Tag>
{
public:
    TMp4Tag() = default;

    // 0 when the device holds an MP4 file ("ftyp" first) with a "moov" atom (values as far as
    // found in it), 6 the device ends before "ftyp" or "moov" is found, 9 no "ftyp" first, 11
    // unexpected failure. Any code but 0 leaves the reset state.
    // Seconds from the movie header, else from the sound track's media header; 0 when unknown.
    double GetDuration() const;

    QString Brand;                 // the major brand of "ftyp" ("M4A ", "isom", ...)
    QString Codec;                 // the sound track's sample entry ("mp4a", "alac"), empty without one
    std::uint16_t Channels = 0;
    std::uint16_t BitsPerSample = 0;
    std::uint32_t SampleRate = 0;
    std::uint32_t MovieTimeScale = 0;
    std::uint64_t MovieDuration = 0;
    std::uint32_t MediaTimeScale = 0;
    std::uint64_t MediaDuration = 0;
    QString Title, Artist, Album;
    std::uint16_t Track = 0;
    QString Year, Genre, Comment;
    ReplayGainValues ReplayGain; // kept for one file at a time; the table has no room for it

    // The values the audio information facade shows.
    StreamValues streamValues() const;

private:
    friend class TagReader<TMp4Tag>;
    int parse(WindowedReader &device);
    int readMovie(WindowedReader &device, qint64 from, qint64 to);
    int readTrack(WindowedReader &device, qint64 from, qint64 to);
    int readMeta(WindowedReader &device, qint64 from, qint64 to);
    int readItems(WindowedReader &device, qint64 from, qint64 to);
    int readFreeform(WindowedReader &device, qint64 from, qint64 to);
    bool m_soundTrackFound = false;
};
