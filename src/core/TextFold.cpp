#include "core/TextFold.h"

#include <memory>

QString FoldForSort(const QString &text)
{
    QString key = text.toUpper();
    key.replace(QChar(0x00C4), QStringLiteral("AE"));
    key.replace(QChar(0x00D6), QStringLiteral("OE"));
    key.replace(QChar(0x00DC), QStringLiteral("UE"));
    key.replace(QChar(0x00DF), QStringLiteral("SS")); // toUpper already turns ß into SS
    key.replace(QChar(0x00C7), QStringLiteral("C"));
    return key;
}

// Writes the folded form of text at out and returns the end; out has room for twice the text.
// Folding works character by character, so the pieces of a composed key fold one by one.
QChar *foldSortInto(QChar *out, QStringView text)
{
    // The code-page round trip keeps every character here: Windows-1252 characters come back as
    // they were, and characters outside it keep their own code so non-Latin titles still sort.
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            *out++ = (c >= u'a' && c <= u'z') ? QChar(c - u'a' + u'A') : ch;
            continue;
        }
        switch (c) {
        case u'Ä': case u'ä': *out++ = QLatin1Char('A'); *out++ = QLatin1Char('E'); break;
        case u'Ö': case u'ö': *out++ = QLatin1Char('O'); *out++ = QLatin1Char('E'); break;
        case u'Ü': case u'ü': *out++ = QLatin1Char('U'); *out++ = QLatin1Char('E'); break;
        case u'ß': *out++ = QLatin1Char('S'); *out++ = QLatin1Char('S'); break;
        case u'Ç': *out++ = QLatin1Char('C'); break;
        default: *out++ = ch;
        }
    }
    return out;
}

// The length of the folded text (umlauts and sharp s become two letters).
qsizetype foldedSortSize(QStringView text)
{
    qsizetype size = text.size();
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= 0xC4)
            size += c == u'Ä' || c == u'ä' || c == u'Ö' || c == u'ö' || c == u'Ü' || c == u'ü' || c == u'ß';
    }
    return size;
}

namespace {

// The simple upper-case mapping of every BMP unit, built once.
const char16_t *upperTable()
{
    static const std::unique_ptr<char16_t[]> table = [] {
        auto t = std::make_unique<char16_t[]>(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c)
            t[c] = (c >= 0xD800 && c <= 0xDFFF) ? char16_t(c) : char16_t(QChar::toUpper(c));
        return t;
    }();
    return table.get();
}

} // namespace

void appendSimpleUpper(QString &out, QStringView text)
{
    const char16_t *table = upperTable();
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char16_t *d = reinterpret_cast<char16_t *>(out.data()) + at;
    const char16_t *s = reinterpret_cast<const char16_t *>(text.data());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            const char32_t upper = QChar::toUpper(QChar::surrogateToUcs4(c, s[i + 1]));
            // Supplementary letters map to supplementary letters: still two units.
            d[i] = QChar::highSurrogate(upper);
            d[i + 1] = QChar::lowSurrogate(upper);
            ++i;
        } else {
            d[i] = table[c];
        }
    }
}

// The haystack of one song: CR LF, then each searched field followed by CR LF.

QString simpleUpper(QStringView text)
{
    QString out;
    out.reserve(text.size());
    appendSimpleUpper(out, text);
    return out;
}
