#pragma once

#include <functional>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

struct PictureStyle;

// The encodings the text writer supports. The numbers are the values the output settings hold
// (code page numbers, and three of the program's own).
enum class TTextEncoding : int {
    teAnsi = 0,
    teUtf7 = 65000,
    teUtf7AsAnsi = 64999,
    teUtf8 = 65001,
    teUtf16LE = 1200,
    teUtf16BE = 1201,
    teUtf32LE = 65005,
    teUtf32BE = 65006,
};

// Every member, in the order the output settings list them.
inline constexpr TTextEncoding kAllTextEncodings[] = {
    TTextEncoding::teAnsi,    TTextEncoding::teUtf7,    TTextEncoding::teUtf7AsAnsi,
    TTextEncoding::teUtf8,    TTextEncoding::teUtf16LE, TTextEncoding::teUtf16BE,
    TTextEncoding::teUtf32LE, TTextEncoding::teUtf32BE,
};

bool isTextEncodingNumber(int number);

// What a read found beyond the text itself.
struct TextReadReport
{
    int encoding = 0;          // detected number, 0 for no known signature
    qsizetype malformed = 0;   // UTF-8 byte sequences replaced by U+FFFD
};

// Largest text file the reader accepts; a playlist of 100,000 songs is about 15 MB.
inline constexpr qint64 kMaxTextFileSize = 256 * 1024 * 1024;

// --- Byte-level forms (no file access; used by the file functions, tests and fuzzers) ---

// The signature rule on the first bytes of a file.
int detectTextEncoding(QByteArrayView head);

// Decodes a whole file's bytes by the detected encoding, dropping the signature; without one,
// as decodeUnsignedText.
// Throws SonaloError("Invalid UTF7") for a UTF-7 body that breaks the rules.
QString decodeText(QByteArrayView bytes, TextReadReport *report = nullptr);

// The one UTF-8 and UTF-16 decoder of the program: text files, playlists and the tag readers
// all read through these two.

// What the UTF-8 decoder does with bytes that do not form a character. Both rules read
// four-byte forms as surrogate pairs and keep the three-byte surrogate form older files hold.
enum class Utf8Malformed {
    // Tag texts: decoding stops at the first sequence that is cut off or malformed, keeping
    // what came before. A sequence is told by its lead byte's bits alone (from 80 hex two
    // bytes, with bit 5 set three, from F0 hex four), so overlong forms still decode: tag
    // texts have always been read that way.
    Stop,
    // Text files: only shortest forms with valid lead bytes count, and each malformed sequence
    // costs one U+FFFD, so one bad byte never loses the rest of a playlist.
    Replace,
};
// malformed, when given, is increased by the malformed sequences met (Stop meets at most one).
QString decodeUtf8(QByteArrayView bytes, Utf8Malformed rule, qsizetype *malformed = nullptr);
// 16-bit units of either byte order; an odd last byte is dropped. Every unit is kept, NULs
// included: the tag readers trim terminators themselves, and a text file keeps what it holds.
QString decodeUtf16(QByteArrayView bytes, bool bigEndian);
// Throws SonaloError("Invalid UTF7").
QString decodeUtf7(QByteArrayView body);
QByteArray encodeUtf7(QStringView text);

// Text without a known signature: UTF-8 when the bytes are valid UTF-8 and hold at least one
// multi-byte sequence, else the ANSI code page.
QString decodeUnsignedText(QByteArrayView bytes);

// The decoding of the plain line reader (dropped playlists, list files): only the signatures
// FF FE, FE FF and EF BB BF are recognised; anything else as decodeUnsignedText.
QString decodeLineReaderText(QByteArrayView bytes);

// The plain line rule: lines end at CR LF, at a lone CR or at a lone LF.
// Where the line that starts at start ends: its CR or LF, or the end of the text.
inline qsizetype lineBreakFrom(QStringView text, qsizetype start)
{
    while (start < text.size() && text[start] != QLatin1Char('\r') && text[start] != QLatin1Char('\n'))
        ++start;
    return start;
}
// Where the next line starts after the break at end (CR LF is one break).
inline qsizetype afterLineBreak(QStringView text, qsizetype end)
{
    return end + (end + 1 < text.size() && text[end] == QLatin1Char('\r') && text[end + 1] == QLatin1Char('\n') ? 2 : 1);
}

// Calls f for every line of the text; a last line without a break counts too.
template <typename F>
void forEachLine(QStringView text, F &&f)
{
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = lineBreakFrom(text, start);
        f(text.sliced(start, end - start));
        start = afterLineBreak(text, end);
    }
}

// The bytes WriteTextFile writes for a text: signature, then the text.
QByteArray encodeText(QStringView text, TTextEncoding encoding);

// --- Files ---

// Opens the file for reading, inspects its first bytes and closes it. Throws SonaloError when
// the file cannot be opened.
int DetectTextEncoding(const QString &fileName);

// A whole file's bytes, for the text readers: regular files only (a FIFO would block),
// at most kMaxTextFileSize. Throws SonaloError("Cannot open file "%1". %2").
QByteArray readTextFileBytes(const QString &fileName);

// The whole file as text, decoded by its signature. Throws SonaloError
// ("Cannot open file "%1". %2", "Invalid UTF7").
QString ReadTextFile(const QString &fileName, TextReadReport *report = nullptr);

// Decodes UTF-8 (65001) or UTF-16 (1200, 1201) bytes after their signature that arrive in
// pieces: each call gives the text of the whole characters received so far and holds back an
// unfinished tail; with last, everything. The texts join to what the whole bytes decode to,
// malformed sequences counted alike.
class TextPieceDecoder
{
public:
    explicit TextPieceDecoder(int encoding) : m_encoding(encoding) {}
    QString decode(QByteArrayView bytes, bool last);
    qsizetype malformed() const { return m_malformed; }
    qsizetype held() const { return m_held.size(); }

private:
    int m_encoding;
    QByteArray m_held;
    qsizetype m_malformed = 0;
};

// ReadTextFile's text handed to f in pieces, each ending after a whole character; together they
// are exactly ReadTextFile's result. A file with a UTF-8 or UTF-16 signature is read and decoded
// about pieceBytes at a time, so a large playlist never lies in memory whole as bytes and text;
// any other file is read and decoded whole and given as one piece. f also learns how many of
// the file's bytes it has been given so far and how many the file holds. Throws as
// ReadTextFile; f may have seen pieces by then.
using TextPieceSink = std::function<void(QStringView piece, qint64 bytesDone, qint64 bytesTotal)>;
void readTextFileInPieces(const QString &fileName, qsizetype pieceBytes, const TextPieceSink &f,
                          TextReadReport *report = nullptr);
// The same with the signatures of the plain line reader (decodeLineReaderText).
void readLineReaderFileInPieces(const QString &fileName, qsizetype pieceBytes, const TextPieceSink &f);

// Writes the text in the encoding (or, for a ".bmp", ".gif", ".jpg" or ".jpeg" name, a picture
// of it drawn with the style). The file is written beside the target and renamed over it, so a
// failed write leaves the previous file whole. Throws SonaloError ("Cannot create file "%1". %2",
// "Unable to write to %1").
void WriteTextFile(const QString &text, const QString &fileName, TTextEncoding encoding,
                   const PictureStyle &style);

// The bytes WriteTextFile writes for the text under the name (the picture, or the encoded text).
QByteArray textFileBytes(const QString &text, const QString &fileName, TTextEncoding encoding,
                         const PictureStyle &style);

// Writes bytes to a file through a temporary file beside it; throws as WriteTextFile.
void writeFileAtomically(const QString &fileName, QByteArrayView bytes);

// The extension rule of the writer: the text from the last "." after the last "/", "\" or ":".
bool isPictureFileName(const QString &fileName);
