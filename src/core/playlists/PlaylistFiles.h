#pragma once

#include "core/SongLists.h"
#include "core/TextEncoding.h"
#include "core/playlists/PlaylistEntry.h"

#include <QByteArray>
#include <QByteArrayView>

struct PictureStyle;

// Playlist files of every kind: Sonalo's ".slp" and the formats of other players, told apart
// by the file name's extension in any letter case. A CUE sheet (".cue") is read as a playlist
// of its tracks but never written: a save under such a name is a ".slp".
enum class PlaylistFormat { Slp, M3u, M3u8, Pls, Xspf, Cue };

// ".m3u", ".m3u8", ".pls", ".xspf" or ".cue"; every other name is a ".slp".
PlaylistFormat playlistFormatOf(const QString &fileName);
inline bool isForeignPlaylist(const QString &fileName)
{
    return playlistFormatOf(fileName) != PlaylistFormat::Slp;
}

// The entries of a foreign playlist's bytes (not yet resolved). A signature decides the text
// encoding; without one ".m3u8" is UTF-8 and ".m3u" and ".pls" are read as every text file
// without a signature. Throws SonaloError for a refused XSPF file or a broken UTF-7 body.
PlaylistEntries parsePlaylistEntries(QByteArrayView bytes, PlaylistFormat format);

// At most how many entries the bytes of a foreign playlist can hold: its lines (an XSPF file,
// whose tracks may share a line: its "<track" elements). Found without decoding or parsing.
qsizetype foreignEntryBound(QByteArrayView bytes, PlaylistFormat format);
// What loading one entry of a foreign playlist costs in memory at most (the entry's texts
// while it is parsed, the song it becomes, the list's room for it), with room to spare.
inline constexpr qint64 kForeignEntryLoadBytes = 1536;
// The memory the system can still give this process (MemAvailable), -1 when unknown.
qint64 availableMemoryBytes();

// Appends the songs of an ".m3u", ".m3u8", ".pls" or ".xspf" file to AllSongs, one for every
// entry (record makes it; empty: playlistFieldsRecord), and the file's folder to
// SourceFolders. Throws SonaloError when the file cannot be read or is refused; nothing is
// added then. A file with more entries than the available memory could hold (availableBytes;
// -1: the system's) is refused before it is parsed, with the reason.
void LoadForeignPlaylist(SongLists &lists, const QString &fileName, const PlaylistEntryRecordFn &record,
                         qint64 availableBytes = -1);

// Any playlist: a foreign one by LoadForeignPlaylist, every other name as a ".slp" (by
// LoadDroppedPlaylist when dropped, else LoadPlaylist; keepAlive runs while a long one is parsed).
void LoadAnyPlaylist(SongLists &lists, const QString &fileName, const PlaylistEntryRecordFn &record,
                     bool dropped = false, const std::function<void()> &keepAlive = {});

// The bytes of a foreign playlist for a list. ".m3u" is written in the output encoding when
// that is the 8-bit code page and every character fits it, else (like the others) in UTF-8
// without a signature.
QByteArray foreignPlaylistBytes(const SongList &list, PlaylistFormat format, TTextEncoding outputEncoding);

// "Playlist Speichern": a name ending in ".m3u8", ".m3u", ".pls" or ".xspf" writes that format;
// every other name is saved by SavePlaylist. Written atomically; returns the name written.
// Throws SonaloError.
// The file SaveAnyPlaylist writes for name.
QString playlistSaveTarget(const QString &name);
QString SaveAnyPlaylist(const SongList &list, const QString &name, TTextEncoding encoding,
                        const PictureStyle &style);
// The bytes SaveAnyPlaylist writes for the list under name.
QByteArray playlistSaveBytes(const SongList &list, const QString &name, TTextEncoding encoding,
                             const PictureStyle &style);
