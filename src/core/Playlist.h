#pragma once

#include <functional>

#include "core/KeepAlive.h"
#include "core/SongBlocks.h"
#include "core/SongLists.h"
#include "core/TextEncoding.h"

#include <QByteArrayView>
#include <QStringView>

struct PictureStyle;

// ".slp" playlists: one song a line, the eight fields separated by "|", each line ended by CR LF.

// How much of a playlist file the loaders read and decode at a time.
inline constexpr qsizetype kPlaylistPieceBytes = 1 << 20;

// The line rule of the loader: every CR ends a line and the character after it is skipped,
// whatever it is; a line with exactly eight fields is a song. Appends to out.
void parsePlaylistText(QStringView text, SongList &out, const std::function<void()> &keepAlive = {});

// Either line rule over text that arrives in pieces, as the loaders read a file: the songs are
// those parsePlaylistText (Loader) or the dropped-playlist reader (AnyBreak) find in the pieces
// joined. Appends to out as lines complete.
class PlaylistTextParser
{
public:
    enum class LineRule { Loader, AnyBreak };
    explicit PlaylistTextParser(SongList &out, const std::function<void()> &keepAlive = {},
                                LineRule rule = LineRule::Loader);
    void feed(QStringView piece);
    void finish();

private:
    void feedAnyBreak(QStringView piece);
    void endLine(QStringView rest);

    SongList &m_out;
    LineRule m_rule;
    std::function<void()> m_keepAlive; // before m_alive, which refers to it
    KeepAlive m_alive;
    SongBlockWriter m_blocks;
    QString m_carry; // a line that goes on in the next piece
    bool m_skipNext = false; // Loader: the character after a CR that ended the last piece
};

// The line rule of a dropped playlist: signatures FF FE, FE FF and EF BB BF are recognised,
// anything else as decodeUnsignedText; lines end at CR LF, CR or LF. Appends to out.
void parseDroppedPlaylist(QByteArrayView bytes, SongList &out, const std::function<void()> &keepAlive = {});

// The file text SavePlaylist writes: "|" inside a field becomes "l".
QString playlistText(const SongList &list);

// Appends the songs of the file to AllSongs and its folder to SourceFolders. Throws SonaloError
// when the file cannot be read; nothing is added then. keepAlive, when given, runs while a
// long file is parsed (see KeepAlive).
void LoadPlaylist(SongLists &lists, const QString &fileName, const std::function<void()> &keepAlive = {});
void LoadDroppedPlaylist(SongLists &lists, const QString &fileName, const std::function<void()> &keepAlive = {});

// The name SavePlaylist writes to: ".slp" is appended unless the name holds it anywhere.
QString playlistFileName(const QString &name);

// Writes the list in the encoding; returns the name written. Throws SonaloError.
QString SavePlaylist(const SongList &list, const QString &name, TTextEncoding encoding,
                     const PictureStyle &style);
