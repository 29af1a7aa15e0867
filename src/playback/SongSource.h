#pragma once

#include <QString>

#include <optional>

// What a resolved song path plays: a local file whole, a part of one (a track of a CUE sheet,
// beside the audio file or inside it), or an internet stream.
struct SongSource
{
    QString file;       // the local file; empty for a stream
    QString url;        // the stream's address; empty for a file
    qint64 startNs = 0; // a part: where it starts in the file
    qint64 stopNs = -1; // a part: where it ends; -1: at the file's end

    bool isStream() const { return !url.isEmpty(); }
    bool isPart() const { return startNs > 0 || stopNs >= 0; }
    bool operator==(const SongSource &) const = default;
};

// "http://" and "https://" addresses (any letter case).
bool isStreamLocation(const QString &path);

// What path plays; nullopt when there is nothing to play: no such file, a sheet without the
// track, or a track whose audio file is missing.
std::optional<SongSource> songSourceOf(const QString &path);
inline bool isPlayableSource(const QString &path)
{
    return songSourceOf(path).has_value();
}
