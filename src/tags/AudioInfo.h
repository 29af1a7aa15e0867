#pragma once

#include "core/SongNameSplit.h"
#include "core/TextUtil.h"
#include "tags/FlacTag.h"
#include "tags/Mp4Tag.h"
#include "tags/MpegInfo.h"
#include "tags/OggTag.h"
#include "tags/OpusTag.h"
#include "tags/WavTag.h"
#include "tags/WmaTag.h"

#include <QString>

#include <cstdint>

// One file's descriptive values: the reader is chosen by extension, ID3v2 and ID3v1 values
// are merged for MPEG files, and a file without usable information falls back to its name.
// The only place that opens an audio file: once, read-only, regular files only.
class TAudioInfo
{
public:
    // Never throws; any failure ends in the file-name fallback.
    void ReadFromFile(const QString &path);

    QString Artist, Title, Album, Year, Genre;
    std::int32_t Seconds = 0;
    QString Track;
    // The file itself holds an artist or a title; false when both come from its name.
    bool OwnArtistOrTitle = false;

    // What the readers themselves found, for tools that show it.
    enum class Reader { None, Mpeg, Ogg, Wma, Flac, Opus, Mp4, Wav, FileName };
    Reader UsedReader = Reader::None;
    TMpegInfo Mpeg;
    bool ID3v1Exists = false;
    bool ID3v2Exists = false;
    int ID3v2Version = 0;
    std::uint32_t ID3v2TagSize = 0;
    TOGGtag Ogg;
    TWMATag Wma;
    TFlacTag Flac;
    TOpusTag Opus;
    TMp4Tag Mp4;
    TWavTag Wav;

private:
    void ReadMpegFile(const QString &path);
    // Every reader but MPEG's, through the one shape they fill.
    template <typename Tag>
    void readStreamFile(const QString &path, Reader used, Tag &into);
    void InfoFromFileName(const QString &path);
    // A file name's artist and title (SongNameSplit::splitFileName).
    static void splitFileName(const QString &name, QString &artist, QString &title);
    // A stream reader's values, the file name as the title when it has none.
    void takeStreamValues(Reader used, const QString &path, const StreamValues &values);
    void clear();
};


// The extension from the last "." of the path (when no "/" follows it), lower-cased.
QString audioFileExtension(const QString &path);

