#include "tags/TagText.h"

#include "core/Windows1252.h"

namespace TagText {

QString trimControl(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 32)
        ++b;
    while (e > b && text[e - 1].unicode() <= 32)
        --e;
    if (b == 0 && e == text.size())
        return text;
    return text.mid(b, e - b);
}

QByteArrayView trimControl(QByteArrayView bytes)
{
    qsizetype b = 0, e = bytes.size();
    while (b < e && static_cast<unsigned char>(bytes[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(bytes[e - 1]) <= 32)
        --e;
    return bytes.sliced(b, e - b);
}

QString ansi(QByteArrayView bytes)
{
    // No byte of 33 or above maps to a character of 32 or below, so one trim suffices.
    return Windows1252::decode(trimControl(bytes));
}

QString DecodeUtf8(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    auto cont = [&](qsizetype i) { return i < n && (s[i] & 0xC0) == 0x80; };
    qsizetype i = 0;
    while (i < n) {
        const unsigned lead = s[i];
        if (lead < 0x80) {
            out += QChar(char16_t(lead));
            ++i;
        } else if (lead >= 0xF0) {
            // A four-byte form; stored as a surrogate pair so that characters beyond the
            // 16-bit range survive.
            if (!cont(i + 1) || !cont(i + 2) || !cont(i + 3))
                break;
            const char32_t cp = (char32_t(lead & 0x07) << 18) | (char32_t(s[i + 1] & 0x3F) << 12)
                | (char32_t(s[i + 2] & 0x3F) << 6) | char32_t(s[i + 3] & 0x3F);
            if (cp < 0x10000 || cp > 0x10FFFF)
                break;
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
            i += 4;
        } else if (lead & 0x20) {
            if (!cont(i + 1) || !cont(i + 2))
                break;
            out += QChar(char16_t(((lead & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F)));
            i += 3;
        } else {
            if (!cont(i + 1))
                break;
            out += QChar(char16_t(((lead & 0x1F) << 6) | (s[i + 1] & 0x3F)));
            i += 2;
        }
    }
    return out;
}

bool parseDecimal(const QString &text, qint64 &value)
{
    bool ok = false;
    value = text.toLongLong(&ok, 10);
    return ok;
}

} // namespace TagText
