#include "core/TextEncoding.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/Windows1252.h"
#include "core/picture/PictureWriter.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

const unsigned char kSigUtf8[] = {0xEF, 0xBB, 0xBF};
const unsigned char kSigUtf7[] = {'+', '/', 'v', '8'};
const unsigned char kSigUtf32LE[] = {0xFF, 0xFE, 0x00, 0x00};
const unsigned char kSigUtf32BE[] = {0x00, 0x00, 0xFE, 0xFF};
const unsigned char kSigUtf16LE[] = {0xFF, 0xFE};
const unsigned char kSigUtf16BE[] = {0xFE, 0xFF};

// Compares only the bytes the head holds: a two-byte file FF FE matches the UTF-32 LE
// signature as far as it goes, which reads as an empty text either way.
template <size_t N>
bool startsWithSignature(QByteArrayView head, const unsigned char (&sig)[N])
{
    const size_t n = std::min<size_t>(N, size_t(head.size()));
    return std::memcmp(head.data(), sig, n) == 0;
}

inline char16_t swap16(char16_t u) { return char16_t((u >> 8) | (u << 8)); }

} // namespace

QString decodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype units = bytes.size() / 2;
    QString out(units, Qt::Uninitialized);
    if (units == 0)
        return out;
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    // The byte order holds for every unit, also for those after a zero unit.
    for (qsizetype i = 0; i < units; ++i) {
        const unsigned char first = s[2 * i], second = s[2 * i + 1];
        d[i] = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    }
    return out;
}

namespace {

QString decodeUtf32(QByteArrayView bytes, bool bigEndian)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype units = bytes.size() / 4;
    QString out;
    if (units < 2)
        return out;
    out.reserve(units - 1);
    // Unit 0 is the signature; it is dropped as the other encodings drop theirs.
    for (qsizetype i = 1; i < units; ++i) {
        const unsigned char *p = s + i * 4;
        const char32_t c = bigEndian ? (char32_t(p[0]) << 24 | char32_t(p[1]) << 16 | char32_t(p[2]) << 8 | p[3])
                                     : (char32_t(p[3]) << 24 | char32_t(p[2]) << 16 | char32_t(p[1]) << 8 | p[0]);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.append(QLatin1Char('?'));
        } else if (c >= 0x10000) {
            out.append(QChar(char16_t(0xD800 + ((c - 0x10000) >> 10))));
            out.append(QChar(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF))));
        } else {
            out.append(QChar(char16_t(c)));
        }
    }
    return out;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool isBase64Digit(char16_t c) { return c < 128 && base64Value(static_cast<unsigned char>(c)) >= 0; }

// Set D, set O and white space: written as themselves. "+" is handled on its own.
bool isUtf7Direct(char16_t c)
{
    if (c >= 128)
        return false;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    static constexpr char kDirect[] = "'(),-./:? \t\r\n!\"#$%&*;<=>@[]^_`{|}";
    return c != 0 && std::strchr(kDirect, int(c)) != nullptr;
}

[[noreturn]] void invalidUtf7()
{
    throw SonaloError(QStringLiteral("Invalid UTF7"));
}

void appendUtf8Unit(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

void appendUtf32(QByteArray &out, char32_t v, bool bigEndian)
{
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
    if (bigEndian) {
        out.append(b[3]); out.append(b[2]); out.append(b[1]); out.append(b[0]);
    } else {
        out.append(b, 4);
    }
}

QByteArray encodeUtf32(QStringView text, bool bigEndian)
{
    QByteArray out;
    out.reserve(4 + text.size() * 4);
    appendUtf32(out, 0xFEFF, bigEndian);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0xDC00 && u <= 0xDFFF)
            continue; // a low surrogate without its high half
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                appendUtf32(out, QChar::surrogateToUcs4(u, text[i + 1].unicode()), bigEndian);
                ++i;
            } else {
                appendUtf32(out, '?', bigEndian);
            }
            continue;
        }
        appendUtf32(out, u, bigEndian);
    }
    return out;
}

QByteArray encodeUtf16(QStringView text, bool bigEndian)
{
    QByteArray out((text.size() + 1) * 2, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    d[0] = 0xFEFF;
    std::memcpy(d + 1, text.data(), size_t(text.size()) * 2);
    if (bigEndian)
        for (qsizetype i = 0; i <= text.size(); ++i)
            d[i] = swap16(d[i]);
    // The buffer is built in host order, which is little endian on every platform we build for.
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN);
    return out;
}

} // namespace

bool isTextEncodingNumber(int number)
{
    for (TTextEncoding e : kAllTextEncodings)
        if (int(e) == number)
            return true;
    return false;
}

int detectTextEncoding(QByteArrayView head)
{
    if (head.size() <= 1)
        return 0;
    head = head.first(std::min<qsizetype>(head.size(), 4));
    if (startsWithSignature(head, kSigUtf8)) return 65001;
    if (startsWithSignature(head, kSigUtf7)) return 65000;
    if (startsWithSignature(head, kSigUtf32LE)) return 65005;
    if (startsWithSignature(head, kSigUtf32BE)) return 65006;
    if (startsWithSignature(head, kSigUtf16LE)) return 1200;
    if (startsWithSignature(head, kSigUtf16BE)) return 1201;
    return 0;
}

QString decodeUtf8(QByteArrayView bytes, Utf8Malformed rule, qsizetype *malformed)
{
    const bool strict = rule == Utf8Malformed::Replace;
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    QString out(n, Qt::Uninitialized); // never more units than bytes
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    qsizetype o = 0, bad = 0;
    auto cont = [&](qsizetype at) { return at < n && (s[at] & 0xC0) == 0x80; };
    for (qsizetype i = 0; i < n;) {
        // Runs of ASCII, eight bytes at a time: most of a playlist.
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, s + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            for (int k = 0; k < 8; ++k)
                d[o + k] = s[i + k];
            i += 8;
            o += 8;
        }
        if (i >= n)
            break;
        const unsigned char b = s[i];
        char32_t c = 0;
        int length = 0;     // of the sequence; 0 when it is malformed from its lead byte on
        bool good = false;
        if (b < 0x80) {
            c = b;
            length = 1;
            good = true;
        } else if (strict ? (b >= 0xF0 && b < 0xF5) : b >= 0xF0) {
            if (cont(i + 1) && cont(i + 2) && cont(i + 3)) {
                c = (char32_t(b & 0x07) << 18) | (char32_t(s[i + 1] & 0x3F) << 12)
                    | (char32_t(s[i + 2] & 0x3F) << 6) | char32_t(s[i + 3] & 0x3F);
                length = 4;
                good = c >= 0x10000 && c <= 0x10FFFF;
            }
        } else if (strict ? (b >= 0xE0 && b < 0xF0) : (b & 0x20) != 0) {
            // Encoded surrogates (ED A0..BF xx) are kept: older files wrote pairs that way.
            if (cont(i + 1) && cont(i + 2) && !(strict && b == 0xE0 && s[i + 1] < 0xA0)) {
                c = char32_t(((b & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
                length = 3;
                good = true;
            }
        } else if (!strict || (b >= 0xC2 && b < 0xE0)) {
            if (cont(i + 1)) {
                c = char32_t(((b & 0x1F) << 6) | (s[i + 1] & 0x3F));
                length = 2;
                good = true;
            }
        }
        if (!good) {
            ++bad;
            if (!strict)
                break;
            // A malformed lead or stray continuation byte costs one replacement character; a
            // whole four-byte form outside the code space costs one too.
            d[o++] = 0xFFFD;
            i += length > 0 ? length : 1;
            continue;
        }
        if (c >= 0x10000) {
            d[o++] = QChar::highSurrogate(c);
            d[o++] = QChar::lowSurrogate(c);
        } else {
            d[o++] = char16_t(c);
        }
        i += length;
    }
    out.truncate(o);
    if (malformed)
        *malformed += bad;
    return out;
}

QString decodeUtf7(QByteArrayView body)
{
    const auto *s = reinterpret_cast<const unsigned char *>(body.data());
    const qsizetype n = body.size();
    QString out;
    out.reserve(n);
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        if (b > 127)
            invalidUtf7();
        if (b != '+') {
            out.append(QChar(char16_t(b)));
            ++i;
            continue;
        }
        ++i;
        if (i < n && s[i] == '-') { // "+-" is a plus sign
            out.append(QLatin1Char('+'));
            ++i;
            continue;
        }
        quint32 bits = 0;
        int nbits = 0;
        bool produced = false;
        while (i < n) {
            const int v = base64Value(s[i]);
            if (v < 0)
                break;
            bits = (bits << 6) | quint32(v);
            nbits += 6;
            if (nbits >= 16) {
                nbits -= 16;
                out.append(QChar(char16_t((bits >> nbits) & 0xFFFF)));
                produced = true;
            }
            bits &= (1u << nbits) - 1;
            ++i;
        }
        if (!produced || bits != 0)
            invalidUtf7();
        if (i < n && s[i] == '-')
            ++i; // the "-" that closes a run is absorbed
    }
    return out;
}

QByteArray encodeUtf7(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() + 8);
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const char16_t c = text[i].unicode();
        if (c == '+') {
            out.append("+-");
            ++i;
            continue;
        }
        if (isUtf7Direct(c)) {
            out.append(char(c));
            ++i;
            continue;
        }
        out.append('+');
        quint32 bits = 0;
        int nbits = 0;
        while (i < n && text[i].unicode() != '+' && !isUtf7Direct(text[i].unicode())) {
            bits = (bits << 16) | text[i].unicode();
            nbits += 16;
            while (nbits >= 6) {
                nbits -= 6;
                out.append(kBase64[(bits >> nbits) & 0x3F]);
            }
            bits &= (1u << nbits) - 1;
            ++i;
        }
        if (nbits > 0)
            out.append(kBase64[(bits << (6 - nbits)) & 0x3F]);
        if (i < n && (isBase64Digit(text[i].unicode()) || text[i].unicode() == '-'))
            out.append('-');
    }
    return out;
}

QString decodeUnsignedText(QByteArrayView bytes)
{
    // Files written on Linux carry no signature. Windows-1252 text almost never forms valid
    // UTF-8 multi-byte sequences (a lead byte must be followed by exactly the right number of
    // bytes 80-BF), so such a file is taken as UTF-8; plain ASCII reads the same either way.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        qsizetype bad = 0;
        QString text = decodeUtf8(bytes, Utf8Malformed::Replace, &bad);
        if (bad == 0)
            return text;
    }
    return Windows1252::decode(bytes);
}

QString decodeText(QByteArrayView bytes, TextReadReport *report)
{
    const int enc = detectTextEncoding(bytes);
    if (report)
        report->encoding = enc;
    switch (enc) {
    case 1200:
        return decodeUtf16(bytes.sliced(2), false);
    case 1201:
        return decodeUtf16(bytes.sliced(2), true);
    case 65001: {
        qsizetype bad = 0;
        QString text = decodeUtf8(bytes.sliced(std::min<qsizetype>(3, bytes.size())), Utf8Malformed::Replace, &bad);
        if (report)
            report->malformed = bad;
        return text;
    }
    case 65000:
        return decodeUtf7(bytes.sliced(std::min<qsizetype>(5, bytes.size())));
    case 65005:
        return decodeUtf32(bytes, false);
    case 65006:
        return decodeUtf32(bytes, true);
    default:
        return decodeUnsignedText(bytes);
    }
}

QString decodeLineReaderText(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return decodeUtf16(bytes.sliced(2), false);
    if (bytes.startsWith("\xFE\xFF"))
        return decodeUtf16(bytes.sliced(2), true);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeUtf8(bytes.sliced(3), Utf8Malformed::Replace);
    return decodeUnsignedText(bytes);
}

QByteArray encodeText(QStringView text, TTextEncoding encoding)
{
    switch (encoding) {
    case TTextEncoding::teUtf16LE:
        return encodeUtf16(text, false);
    case TTextEncoding::teUtf16BE:
        return encodeUtf16(text, true);
    case TTextEncoding::teUtf32LE:
        return encodeUtf32(text, false);
    case TTextEncoding::teUtf32BE:
        return encodeUtf32(text, true);
    case TTextEncoding::teUtf8: {
        QByteArray out;
        out.reserve(3 + text.size() * 3);
        out.append(reinterpret_cast<const char *>(kSigUtf8), 3);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            // A pair becomes the four-byte form other programs expect; a lone surrogate keeps
            // its three-byte form so that it reads back as it was.
            if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                appendUtf8Unit(out, QChar::surrogateToUcs4(u, text[i + 1].unicode()));
                ++i;
            } else {
                appendUtf8Unit(out, u);
            }
        }
        return out;
    }
    case TTextEncoding::teUtf7:
        return QByteArray("+/v8-") + encodeUtf7(text);
    case TTextEncoding::teUtf7AsAnsi:
        return encodeUtf7(text);
    case TTextEncoding::teAnsi:
        break;
    }
    return Windows1252::encode(text);
}

namespace {

[[noreturn]] void failToOpen(const QString &fileName, const QString &reason)
{
    throw SonaloError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason));
}

// Opens a file for reading; only regular files, since opening a FIFO would block the window
// thread. Fails for a file larger than limit when failOverLimit is set.
void openForReading(QFile &f, qint64 limit, bool failOverLimit)
{
    const QString fileName = f.fileName();
    if (FileSystem::exists(fileName) && !FileSystem::isRegularFile(fileName))
        failToOpen(fileName, QStringLiteral("Not a regular file"));
    if (!f.open(QIODevice::ReadOnly))
        failToOpen(fileName, f.errorString());
    if (failOverLimit && f.size() > limit)
        failToOpen(fileName, QStringLiteral("File too large"));
}

// Reads at most limit bytes and fails for a larger file when failOverLimit is set.
QByteArray readFileHead(const QString &fileName, qint64 limit, bool failOverLimit)
{
    QFile f(fileName);
    openForReading(f, limit, failOverLimit);
    // QIODevice::read(n) reserves n bytes up front: ask for no more than the file holds.
    QByteArray bytes = f.read(std::min(limit, std::max<qint64>(f.size(), 0)));
    if (f.error() != QFileDevice::NoError)
        failToOpen(fileName, f.errorString());
    return bytes;
}

} // namespace

int DetectTextEncoding(const QString &fileName)
{
    return detectTextEncoding(readFileHead(fileName, 4, false));
}

QByteArray readTextFileBytes(const QString &fileName)
{
    return readFileHead(fileName, kMaxTextFileSize, true);
}

QString ReadTextFile(const QString &fileName, TextReadReport *report)
{
    return decodeText(readTextFileBytes(fileName), report);
}

QString TextPieceDecoder::decode(QByteArrayView bytes, bool last)
{
    m_held.append(bytes.data(), bytes.size());
    // Where the decoded part ends: UTF-16 at a whole unit; UTF-8 after a byte below 80 hex,
    // which no sequence runs across, so that the parts decode as the whole would.
    qsizetype cut = m_held.size();
    if (!last) {
        if (m_encoding == 65001) {
            while (cut > 0 && static_cast<unsigned char>(m_held[cut - 1]) >= 0x80)
                --cut;
        } else {
            cut &= ~qsizetype(1);
        }
    }
    const QByteArrayView part = QByteArrayView(m_held).first(cut);
    QString text = m_encoding == 65001 ? decodeUtf8(part, Utf8Malformed::Replace, &m_malformed)
                                       : decodeUtf16(part, m_encoding == 1201);
    m_held.remove(0, cut);
    return text;
}

namespace {

// Which signatures a reader knows: the text files' or the plain line reader's.
enum class SignatureRule { TextFile, LineReader };

void readFileInPieces(const QString &fileName, qsizetype pieceBytes, const TextPieceSink &f, TextReadReport *report,
                      SignatureRule rule)
{
    QFile file(fileName);
    openForReading(file, kMaxTextFileSize, true);
    // As much as the whole reader would take: what the file held when it was opened.
    const qint64 total = std::max<qint64>(file.size(), 0);
    qint64 left = total;
    QByteArray bytes;
    // Appends up to n more bytes.
    auto read = [&](qint64 n) {
        n = std::min(n, left);
        const qsizetype had = bytes.size();
        bytes.resize(had + n);
        const qint64 got = n > 0 ? file.read(bytes.data() + had, n) : 0;
        if (got < 0 || file.error() != QFileDevice::NoError)
            failToOpen(fileName, file.errorString());
        bytes.resize(had + got);
        left = got < n ? 0 : left - got; // a file that shrank ends where it ends
    };
    read(4);
    int enc = 0;
    if (rule == SignatureRule::TextFile)
        enc = detectTextEncoding(bytes);
    else if (bytes.startsWith("\xFF\xFE"))
        enc = 1200;
    else if (bytes.startsWith("\xFE\xFF"))
        enc = 1201;
    else if (bytes.startsWith("\xEF\xBB\xBF"))
        enc = 65001;
    if (enc != 1200 && enc != 1201 && enc != 65001) {
        read(left);
        f(rule == SignatureRule::TextFile ? decodeText(bytes, report) : decodeLineReaderText(bytes), total, total);
        return;
    }
    if (report)
        report->encoding = enc;
    TextPieceDecoder decoder(enc);
    bytes.remove(0, enc == 65001 ? 3 : 2);
    while (true) {
        const bool last = left == 0;
        const QString text = decoder.decode(bytes, last);
        if (!text.isEmpty() || last)
            f(text, total - left - decoder.held(), total);
        if (last)
            break;
        bytes.resize(0); // keeps its room for the next piece
        read(std::max<qsizetype>(pieceBytes, 1));
    }
    if (report)
        report->malformed = decoder.malformed();
}

} // namespace

void readTextFileInPieces(const QString &fileName, qsizetype pieceBytes, const TextPieceSink &f,
                          TextReadReport *report)
{
    readFileInPieces(fileName, pieceBytes, f, report, SignatureRule::TextFile);
}

void readLineReaderFileInPieces(const QString &fileName, qsizetype pieceBytes, const TextPieceSink &f)
{
    readFileInPieces(fileName, pieceBytes, f, nullptr, SignatureRule::LineReader);
}

bool isPictureFileName(const QString &fileName)
{
    const QString ext = FileSystem::extensionOf(fileName).toUpper();
    return ext == QLatin1String(".BMP") || ext == QLatin1String(".GIF") || ext == QLatin1String(".JPG")
        || ext == QLatin1String(".JPEG");
}

void writeFileAtomically(const QString &fileName, QByteArrayView bytes)
{
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        throw SonaloError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f.errorString()));
    if (f.write(bytes.data(), bytes.size()) != bytes.size() || !f.commit())
        throw SonaloError(QStringLiteral("Unable to write to %1").arg(fileName) + QStringLiteral(". ")
                          + f.errorString());
}

QByteArray textFileBytes(const QString &text, const QString &fileName, TTextEncoding encoding,
                         const PictureStyle &style)
{
    return isPictureFileName(fileName) ? renderTextPicture(text, fileName, style) : encodeText(text, encoding);
}

void WriteTextFile(const QString &text, const QString &fileName, TTextEncoding encoding,
                   const PictureStyle &style)
{
    writeFileAtomically(fileName, textFileBytes(text, fileName, encoding, style));
}
