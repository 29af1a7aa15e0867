#pragma once

#include "tags/ReplayGain.h"
#include "tags/StreamValues.h"
#include "tags/TagReader.h"

#include <QIODevice>

class WindowedReader;
#include <QString>

#include <cstdint>

// Ogg Vorbis: identification header, comment header and the granule position of a page near
// the end of the file. Read only.
class TOGGtag : public TagReader<TOGGtag>
{
public:
    TOGGtag() { ResetData(); }

    // The reset state, which is not the default one of the members.
    void ResetData();
    // 0 when the device holds an Ogg Vorbis stream (first page and identification header
    // found, behind an ID3v2 tag if there is one; the fields are filled as far as found),
    // 6 the device ends before them, 9 no Ogg page or no Vorbis identification header where
    // they belong, 11 unexpected failure. Any code but 0 leaves the reset state.
    double GetDuration() const;

    // The number before the first "/" modulo 256; 0 when it is not a number.
    static std::uint8_t TrackFromText(const QString &text);

    std::uint32_t FileSize = 0;
    std::uint8_t Channels = 0;
    std::int32_t SampleRate = 0;
    std::uint16_t BitrateNominal = 0; // kbit/s
    std::int32_t SampleCount = 0;
    std::uint32_t ID3v2Size = 0;
    QString Title, Artist, Album;
    std::uint8_t Track = 0;
    QString Date, Genre, Comment, Vendor;
    ReplayGainValues ReplayGain; // kept for one file at a time; the table has no room for it

    // The values the audio information facade shows.
    StreamValues streamValues() const;

private:
    friend class TagReader<TOGGtag>;
    int parse(WindowedReader &device);
    bool readComments(WindowedReader &device, qint64 pos);
    bool GetSampleCount(WindowedReader &device);
};
