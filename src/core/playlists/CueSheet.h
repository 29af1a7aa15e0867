#pragma once

#include "core/playlists/PlaylistEntry.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// CUE sheets: one album in one (or a few) audio files, cut into tracks by INDEX positions.
// Positions count frames of 1/75 second, as on a CD.

inline constexpr int kCueFramesPerSecond = 75;
// Track numbers a sheet may use; they name a track in its stored path, so each is used once.
inline constexpr int kCueMaxTrack = 99;
// A sheet is a few kilobytes; anything far larger is not one and is not read.
inline constexpr qint64 kCueMaxSheetBytes = 1024 * 1024;

struct CueTrack
{
    int number = 0;      // 1..99, unique within the sheet
    int file = -1;       // index into CueSheet::files
    QString performer;   // empty: the album's
    QString title;
    qint64 index0 = -1;  // pregap start in frames, -1: none
    qint64 index1 = -1;  // start in frames
    qint64 end = -1;     // where the next track of the same file starts (frames); -1: the file's end
};

struct CueSheet
{
    QString performer, title, date, genre;
    QStringList files;      // as the sheet spells them
    QList<CueTrack> tracks; // in sheet order, only tracks that can be played
};

// The sheet in a text. Never fails: lines it does not understand are skipped, and a track
// without a valid INDEX 01, with a number used before or outside 1..99, or starting before
// the track before it in the same file is left out.
CueSheet readCueSheet(QStringView text);
// The sheet in a file's bytes, decoded as every text file (signature, else UTF-8 when valid,
// else the 8-bit code page). Bytes beyond kCueMaxSheetBytes give an empty sheet.
CueSheet parseCueSheet(QByteArrayView bytes);

// "mm:ss:ff" in frames; -1 when malformed (seconds over 59, frames over 74, too many digits).
qint64 parseCueTime(QStringView text);
// Nanoseconds from the start of the file, rounded up so that the sample a decoder finds for
// it is the frame's first sample at every CD-related rate.
qint64 cueFramesToNs(qint64 frames);

// A track of a sheet is stored as its container's path with "#" and the track number:
// "/music/Album.cue#2" (or "/music/Album.flac#2" for a sheet inside the audio file). A build
// that does not know the form sees a file that is not there.
QString sheetTrackPath(const QString &container, int track);
struct SheetTrackRef
{
    QString container;
    int track = 0;
};
// The parts of such a path: a container with an extension, "#", a number 1..99 without a
// leading zero. nullopt for every other path.
std::optional<SheetTrackRef> sheetTrackOf(const QString &path);

// Whether the name ends in ".cue" (any letter case).
bool isCueSheetName(const QString &fileName);

// One playlist entry per track of a sheet read from sheetPath (absolute): its stored path,
// the names (a track's performer falling back to the album's), album, track number, date,
// genre and length. FILE names resolve like playlist locations; the last track of a file has
// no length here (audioFile and startFrames let the tag layer take it from the audio file).
PlaylistEntries cueSheetEntries(const CueSheet &sheet, const QString &sheetPath);
// The same for a sheet inside audioFile: every track plays from that file.
PlaylistEntries embeddedSheetEntries(const CueSheet &sheet, const QString &audioFile);

// Where a track plays: the audio file and its part of it.
struct SheetTrackSource
{
    QString audioFile;
    qint64 startNs = 0;
    qint64 stopNs = -1; // -1: to the end of the file
};
// The track of a sheet, audioFile resolved against the sheet's folder; nullopt when the sheet
// has no such track.
std::optional<SheetTrackSource> sheetTrackSource(const CueSheet &sheet, int track, const QString &sheetPath);
