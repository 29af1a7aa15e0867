#pragma once

#include "core/SongRecord.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// The playlists of other players: M3U and M3U8, PLS and XSPF. Their readers take the text or
// bytes of a whole file and return one entry per song, in file order; they skip what they do
// not understand and never fail on malformed input (XSPF refuses what it must not expand).

// One song as another player's playlist names it.
struct PlaylistEntry
{
    QString location;   // as the file spells it (XSPF: percent-escapes decoded)
    QString artist;
    QString title;
    QString album;
    QString track;
    QString year;  // CUE sheets only
    QString genre; // CUE sheets only
    qint64 seconds = -1; // -1: the playlist gives no length
    // A track of a CUE sheet without a length of its own (the last of its file): the audio
    // file it plays from and where it starts (frames of 1/75 s), for its length.
    QString audioFile;
    qint64 startFrames = -1;

    // Filled by resolvePlaylistEntry: the path to store (a local path, a Windows path, or the
    // stream's URL), whether it names a file rather than a stream, and whether that file is
    // there as a regular file.
    QString path;
    bool local = false;
    bool exists = false;
};
using PlaylistEntries = QList<PlaylistEntry>;
// Takes each entry as it is read, in file order; it may move from it.
using PlaylistEntrySink = std::function<void(PlaylistEntry &entry)>;

class RegularFileLookup;

// M3U lines: "#EXTINF:seconds,Artist - Title" for the next location, other "#" lines are
// comments; lines end at CR LF, LF or CR.
PlaylistEntries readM3u(QStringView text);
void readM3u(QStringView text, const PlaylistEntrySink &sink);
// The same for a text given in pieces of whole lines: an "#EXTINF" at the end of one piece
// names the first location of the next.
class M3uReader
{
public:
    explicit M3uReader(const PlaylistEntrySink &sink) : m_sink(sink) {}
    void feed(QStringView lines);

private:
    const PlaylistEntrySink &m_sink;
    PlaylistEntry m_pending;
};
// PLS: "FileN", "TitleN", "LengthN" in any order, gaps in N allowed; entries by rising N.
PlaylistEntries readPls(QStringView text);
// XSPF through QXmlStreamReader. Throws SonaloError for a file that is not well-formed XML or
// that declares a document type (entities are never expanded).
PlaylistEntries readXspf(QByteArrayView bytes);
// The same, handing each track to sink as it ends; throws as above, after the tracks before
// the fault were handed on.
void readXspf(QByteArrayView bytes, const PlaylistEntrySink &sink);

// "Artist - Title" as M3U and PLS write it: split at the first " - "; without one, a title.
void splitDisplayTitle(QStringView display, PlaylistEntry &entry);

// Where an entry's location points, against the playlist's folder (with a trailing "/"):
// "file:" URIs become local paths; other URLs stay as they are; a path with ":\" is a Windows
// path and stays as it is; a relative path that names an existing file beside the playlist
// (also with "\" read as "/") becomes that file's path, else it stays as written, to be
// resolved against the playlist's folder when it is played.
void resolvePlaylistEntry(PlaylistEntry &entry, const QString &playlistFolder);
// The same, asking files whether a path is a file (many entries of one list in a few folders).
void resolvePlaylistEntry(PlaylistEntry &entry, const QString &playlistFolder, RegularFileLookup &files);

// The record of a resolved entry from what the playlist says alone: its artist, title, album
// and track, its length (0:00 when it gives none), and the file name as the title when it
// names no title.
TSongRecord playlistFieldsRecord(const PlaylistEntry &entry);

// Turns a resolved entry into a song; the tag layer reads existing files
// (playlistEntryRecord), otherwise playlistFieldsRecord serves.
using PlaylistEntryRecordFn = std::function<TSongRecord(const PlaylistEntry &entry)>;
