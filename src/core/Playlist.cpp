#include "core/Playlist.h"

#include "core/FileSystem.h"
#include "core/KeepAlive.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif


namespace {

constexpr qsizetype kReserveSample = 64 * 1024;

constexpr int kBars = TSongRecord::kFieldCount - 1;

// One line of text: where it ends (its CR, or the end of the text) and its first eight "|",
// as offsets from its start; bars counts no further than eight.
struct LineScan
{
    qsizetype end;
    int bars = 0;
    qsizetype bar[kBars + 1];

    void note(qsizetype at)
    {
        if (bars <= kBars)
            bar[bars++] = at;
    }
};

// The loaders' inner loop: a line of a library is a hundred characters and more, so the scan
// looks at eight at a time for both characters it wants.
LineScan scanLine(const char16_t *s, qsizetype n)
{
    LineScan line;
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i bar = _mm_set1_epi16(u'|');
    const __m128i cr = _mm_set1_epi16(u'\r');
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        unsigned bars = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(v, bar)));
        const unsigned crs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(v, cr)));
        if (crs)
            bars &= (1u << std::countr_zero(crs)) - 1; // only the bars before the CR
        for (; bars; bars &= bars - 1) {
            const int b = std::countr_zero(bars);
            line.note(i + b / 2);
            bars &= ~(2u << b); // a character is two bits of the mask
        }
        if (crs) {
            line.end = i + std::countr_zero(crs) / 2;
            return line;
        }
    }
#endif
    for (; i < n; ++i) {
        if (s[i] == u'\r')
            break;
        if (s[i] == u'|')
            line.note(i);
    }
    line.end = i;
    return line;
}

// A line (no CR in it) scanned as scan says: exactly seven "|" make a record.
void appendIfSong(QStringView line, const LineScan &scan, SongList &out, SongBlockWriter &blocks)
{
    if (scan.bars == kBars)
        blocks.append(out, line, scan.bar);
}

void appendIfSong(QStringView line, SongList &out, SongBlockWriter &blocks)
{
    appendIfSong(line, scanLine(line.utf16(), line.size()), out, blocks);
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
        appendIfSong(rest, m_out, m_blocks);
    } else {
        m_carry.append(rest);
        appendIfSong(m_carry, m_out, m_blocks);
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
        const LineScan scan = scanLine(piece.utf16() + start, n - start);
        const qsizetype cr = start + scan.end;
        if (cr == n) {
            // The line goes on in the next piece.
            m_carry.append(piece.sliced(start));
            return;
        }
        if (m_carry.isEmpty()) {
            appendIfSong(piece.sliced(start, scan.end), scan, m_out, m_blocks);
            m_alive.tick();
        } else {
            endLine(piece.sliced(start, scan.end));
        }
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
    appendIfSong(m_carry, m_out, m_blocks); // the last line needs no break
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
    SongBlockWriter blocks;
    forEachLine(text, [&](QStringView line) {
        appendIfSong(line, out, blocks);
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
        // Room for as many songs as the file's start promises: growing a list of a million
        // songs would copy it in one long step. A song is a line with seven bars, so a file of
        // empty lines reserves nothing. The first piece may be a single character, so the
        // estimate waits for a sample that can speak for the file.
        bool reserved = false;
        qsizetype breaks = 0, bars = 0;
        qint64 sampled = 0, before = 0;
        const TextPieceSink sink = [&](QStringView piece, qint64 done, qint64 total) {
            if (!reserved && !piece.isEmpty()) {
                // The bytes of the part counted, in proportion to the piece's characters.
                const QStringView part = piece.first(std::min<qsizetype>(piece.size(), kReserveSample));
                breaks += part.count(QLatin1Char('\r')) + part.count(QLatin1Char('\n'));
                bars += part.count(QLatin1Char('|'));
                sampled += (done - before) * part.size() / piece.size();
                if (sampled >= std::min<qint64>(total, kReserveSample) || done == total) {
                    reserved = true;
                    const qsizetype songs = std::min(breaks, bars / 7) + 1;
                    out.reserve(out.size()
                                + qsizetype(double(songs) * double(total) / double(std::max<qint64>(sampled, 1)) * 1.05)
                                + 16);
                }
            }
            before = done;
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
