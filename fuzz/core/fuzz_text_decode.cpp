#include "FuzzTarget.h"
// Every text decoder on arbitrary bytes: the signature dispatch, and each decoder on its own.
// Whatever decodes must encode again in each encoding without trouble.
#include "core/Errors.h"
#include "core/TextEncoding.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString text;
    try {
        text = decodeText(bytes);
    } catch (const SonaloError &) {
        // Invalid UTF-7 is reported, not crashed on.
    }
    qsizetype bad = 0;
    const QString utf8 = decodeUtf8(bytes, Utf8Malformed::Replace, &bad);
    if (utf8.size() > bytes.size() * 2)
        __builtin_trap();
    (void)decodeUtf16(bytes, true);
    try {
        (void)decodeUtf7(bytes);
    } catch (const SonaloError &) {
    }
    // Decoded in pieces of the size the first byte gives, the bytes read as they do whole.
    const qsizetype piece = size > 0 ? qsizetype(data[0] % 13 + 1) : 1;
    for (int enc : {65001, 1200, 1201}) {
        TextPieceDecoder decoder(enc);
        QString joined;
        for (qsizetype at = 0; at < bytes.size(); at += piece)
            joined += decoder.decode(bytes.sliced(at, std::min(piece, bytes.size() - at)), false);
        joined += decoder.decode({}, true);
        qsizetype wholeBad = 0;
        const QString whole = enc == 65001 ? decodeUtf8(bytes, Utf8Malformed::Replace, &wholeBad)
                                           : decodeUtf16(bytes, enc == 1201);
        if (joined != whole || decoder.malformed() != wholeBad || decoder.held() != 0)
            __builtin_trap();
    }
    bool loneSurrogate = false;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (utf8[i].isHighSurrogate() && i + 1 < utf8.size() && utf8[i + 1].isLowSurrogate())
            ++i;
        else if (utf8[i].isSurrogate())
            loneSurrogate = true;
    }
    for (TTextEncoding e : kAllTextEncodings) {
        const QByteArray encoded = encodeText(utf8, e);
        // The Unicode forms with a signature give back what they were given (UTF-32 cannot
        // hold a lone surrogate).
        const bool utf32 = e == TTextEncoding::teUtf32LE || e == TTextEncoding::teUtf32BE;
        if (e == TTextEncoding::teAnsi || e == TTextEncoding::teUtf7AsAnsi || (utf32 && loneSurrogate))
            continue;
        // FF FE followed by a zero unit is the UTF-32 LE signature: a UTF-16 LE text that
        // begins with U+0000 reads back as UTF-32.
        if (e == TTextEncoding::teUtf16LE && utf8.startsWith(QChar(0)))
            continue;
        if (decodeText(encoded) != utf8)
            __builtin_trap();
    }
    return 0;
}
