#include "core/Playlist.h"

#include "core/FileSystem.h"
#include "core/KeepAlive.h"

#include <array>

namespace {

constexpr qsizetype kPlaylistPieceBytes = 1 << 20;

// A line with exactly seven "|" becomes a record.
void appendIfSong(QStringView line, SongList &out)
{
    constexpr int kBars = TSongRecord::kFieldCount - 1;
    qsizetype bars[kBars];
    qsizetype from = 0;
    for (int found = 0; found < kBars; ++found) {
        const qsizetype at = line.indexOf(QLatin1Char('|'), from);
        if (at < 0)
            return; // fewer than eight fields
        bars[found] = at;
        from = at + 1;
    }
    if (line.indexOf(QLatin1Char('|'), from) >= 0)
        return; // more than eight fields
    std::array<QStringView, TSongRecord::kFieldCount> fields;
    qsizetype start = 0;
    for (int i = 0; i < kBars; ++i) {
        fields[i] = line.sliced(start, bars[i] - start);
        start = bars[i] + 1;
    }
    fields[kBars] = line.sliced(start);
    out.append(TSongRecord::fromFields(fields));
}

} // namespace

PlaylistTextParser::PlaylistTextParser(SongList &out, const std::function<void()> &keepAlive, LineRule rule)
    : m_out(out), m_rule(rule), m_keepAlive(keepAlive), m_alive(m_keepAlive)
{
}

// A line ends before rest: with what the earlier pieces held of it.
void PlaylistTextParser::endLine(QStringView rest)
{
    if (m_carry.isEmpty()) {
        appendIfSong(rest, m_out);
    } else {
        m_carry.append(rest);
        appendIfSong(m_carry, m_out);
        m_carry.clear();
    }
    m_alive.tick();
}

void PlaylistTextParser::feed(QStringView piece)
{
    m_alive.now();
    if (m_rule == LineRule::AnyBreak) {
        feedAnyBreak(piece);
        return;
    }
    if (m_skipNext && !piece.isEmpty()) {
        piece = piece.sliced(1);
        m_skipNext = false;
    }
    qsizetype start = 0;
    const qsizetype n = piece.size();
    while (start < n) {
        const qsizetype cr = piece.indexOf(QLatin1Char('\r'), start);
        if (cr < 0) {
            // The line goes on in the next piece.
            m_carry.append(piece.sliced(start));
            return;
        }
        endLine(piece.sliced(start, cr - start));
        start = cr + 2;
        if (start > n)
            m_skipNext = true; // the character after the CR starts the next piece
    }
}

// A CR LF split between two pieces ends one line and an empty one, which holds no song.
void PlaylistTextParser::feedAnyBreak(QStringView piece)
{
    for (qsizetype start = 0; start < piece.size();) {
        const qsizetype end = lineBreakFrom(piece, start);
        if (end == piece.size()) {
            m_carry.append(piece.sliced(start));
            return;
        }
        endLine(piece.sliced(start, end - start));
        start = afterLineBreak(piece, end);
    }
}

void PlaylistTextParser::finish()
{
    appendIfSong(m_carry, m_out); // the last line needs no break
    m_carry.clear();
    m_skipNext = false;
}

void parsePlaylistText(QStringView text, SongList &out, const std::function<void()> &keepAlive)
{
    KeepAlive alive(keepAlive);
    // Counted in pieces: a million songs' text takes a while even to count.
    qsizetype lines = 1;
    for (qsizetype at = 0; at < text.size(); at += 1 << 20) {
        lines += text.sliced(at, std::min<qsizetype>(1 << 20, text.size() - at)).count(QLatin1Char('\r'));
        alive.now();
    }
    out.reserve(out.size() + lines);
    PlaylistTextParser parser(out, keepAlive);
    parser.feed(text);
    parser.finish();
}

void parseDroppedPlaylist(QByteArrayView bytes, SongList &out, const std::function<void()> &keepAlive)
{
    KeepAlive alive(keepAlive);
    const QString text = decodeLineReaderText(bytes);
    out.reserve(out.size() + text.count(QLatin1Char('\n')) + 1);
    forEachLine(text, [&](QStringView line) {
        appendIfSong(line, out);
        alive.tick();
    });
}

QString playlistText(const SongList &list)
{
    QString text;
    qsizetype size = 0;
    for (const TSongRecord &r : list)
        for (int i = 0; i < TSongRecord::kFieldCount; ++i)
            size += r.field(i).size() + 1;
    text.reserve(size + list.size() * 2);
    for (const TSongRecord &r : list) {
        for (int i = 0; i < TSongRecord::kFieldCount; ++i) {
            if (i > 0)
                text += QLatin1Char('|');
            const qsizetype at = text.size();
            text += r.field(i);
            // A field never holds the separator: "|" is written as "l".
            for (qsizetype k = at; k < text.size(); ++k)
                if (text[k] == QLatin1Char('|'))
                    text[k] = QLatin1Char('l');
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

namespace {

// Read, decoded and parsed a MiB at a time: the whole file's bytes and text never lie in memory
// beside a million songs, and each piece is a short step for the window.
void loadInPieces(SongLists &lists, const QString &fileName, const std::function<void()> &keepAlive,
                  PlaylistTextParser::LineRule rule)
{
    // Parsed into a list of its own: a file that fails part-way adds nothing, and the playlist
    // a repaint reads meanwhile stays as it was.
    SongList out;
    {
        PlaylistTextParser parser(out, keepAlive, rule);
        bool first = true;
        const TextPieceSink sink = [&](QStringView piece, qint64 done, qint64 total) {
            const qsizetype breaks = piece.count(QLatin1Char('\r')) + piece.count(QLatin1Char('\n'));
            if (first && done > 0 && breaks > 0) {
                // Room for as many songs as the first piece promises: growing a list of a
                // million songs would copy it in one long step. A song is a line with seven
                // bars, so a file of empty lines reserves nothing. Only a piece with a whole
                // line promises anything: the one after a signature may be a single character,
                // and a million songs' room taken per character would be gigabytes.
                first = false;
                const qsizetype songs = std::min(breaks, piece.count(QLatin1Char('|')) / 7) + 1;
                out.reserve(out.size() + qsizetype(double(songs) * double(total) / double(done) * 1.05) + 16);
            }
            parser.feed(piece);
        };
        if (rule == PlaylistTextParser::LineRule::Loader)
            readTextFileInPieces(fileName, kPlaylistPieceBytes, sink);
        else
            readLineReaderFileInPieces(fileName, kPlaylistPieceBytes, sink);
        parser.finish();
    }
    lists.append(std::move(out), keepAlive);
    lists.addSourceFolder(FileSystem::folderOf(fileName));
}

} // namespace

void LoadPlaylist(SongLists &lists, const QString &fileName, const std::function<void()> &keepAlive)
{
    loadInPieces(lists, fileName, keepAlive, PlaylistTextParser::LineRule::Loader);
}

void LoadDroppedPlaylist(SongLists &lists, const QString &fileName, const std::function<void()> &keepAlive)
{
    loadInPieces(lists, fileName, keepAlive, PlaylistTextParser::LineRule::AnyBreak);
}

QString playlistFileName(const QString &name)
{
    return name.contains(QLatin1String(".slp")) ? name : name + QLatin1String(".slp");
}

QString SavePlaylist(const SongList &list, const QString &name, TTextEncoding encoding,
                     const PictureStyle &style)
{
    const QString target = playlistFileName(name);
    WriteTextFile(playlistText(list), target, encoding, style);
    return target;
}
