// The UTF-8 and UTF-16 decoder the tag readers share with the text files: the same bytes under
// the tag rule (stop at the first bad sequence) and the text-file rule (one U+FFFD each).
#include "core/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

QString u(const char16_t *s) { return QString::fromUtf16(s); }

} // namespace

TEST(SharedTextDecoding, Utf8UnderBothRules)
{
    struct Case { QByteArray bytes; QString stop; qsizetype stopBad; QString replace; qsizetype replaceBad; };
    const Case cases[] = {
        {"plain", u(u"plain"), 0, u(u"plain"), 0},
        {"\xC3\xBC" "ber", u(u"über"), 0, u(u"über"), 0},
        {"\xF0\x9F\x8E\xB5!", u(u"\U0001F3B5!"), 0, u(u"\U0001F3B5!"), 0},
        {"\xED\xA0\xBD\xED\xB8\x80", u(u"\U0001F600"), 0, u(u"\U0001F600"), 0}, // the old surrogate form
        {"ab\xC3", u(u"ab"), 1, u(u"ab\uFFFD"), 1},                               // cut off at the end
        {"a\xC3(b", u(u"a"), 1, u(u"a\uFFFD(b"), 1},                              // wrong continuation
        {"ok\xFFrest", u(u"ok"), 1, u(u"ok\uFFFDrest"), 1},
        {"x\xF4\x90\x80\x80y", u(u"x"), 1, u(u"x\uFFFDy"), 1},                    // above U+10FFFF
        {"\x80x", QString(), 1, u(u"\uFFFDx"), 1},                                 // stray continuation
        // Overlong forms: the tag rule reads them by their bits, the file rule rejects each byte.
        {"\xC0\xAF", u(u"/"), 0, u(u"\uFFFD\uFFFD"), 2},
        {"\xE0\x80\x80", QString(QChar(u'\0')), 0, u(u"\uFFFD\uFFFD\uFFFD"), 3},
        {"", QString(), 0, QString(), 0},
    };
    for (const Case &c : cases) {
        qsizetype bad = 0;
        EXPECT_EQ(decodeUtf8(c.bytes, Utf8Malformed::Stop, &bad), c.stop) << c.bytes.toHex().constData();
        EXPECT_EQ(bad, c.stopBad) << c.bytes.toHex().constData();
        bad = 0;
        EXPECT_EQ(decodeUtf8(c.bytes, Utf8Malformed::Replace, &bad), c.replace) << c.bytes.toHex().constData();
        EXPECT_EQ(bad, c.replaceBad) << c.bytes.toHex().constData();
    }
}

TEST(SharedTextDecoding, Utf16KeepsEveryUnitInEitherByteOrder)
{
    const QString withNul = QStringLiteral("A") + QChar(u'\0') + QStringLiteral("B");
    struct Case { QByteArray bytes; bool bigEndian; QString text; };
    const Case cases[] = {
        {QByteArray("A\0B\0", 4), false, u(u"AB")},
        {QByteArray("\0A\0B", 4), true, u(u"AB")},
        {QByteArray("A\0\0\0B\0", 6), false, withNul},  // an embedded NUL stays, and so does what follows
        {QByteArray("\0A\0\0\0B", 6), true, withNul},   // swapping goes on past a zero unit
        {QByteArray("\x3D\xD8\x00\xDE", 4), false, u(u"\U0001F600")},
        {QByteArray("A\0B", 3), false, u(u"A")},        // an odd last byte is dropped
        {QByteArray("A", 1), true, QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeUtf16(c.bytes, c.bigEndian), c.text) << c.bytes.toHex().constData() << ' ' << c.bigEndian;
}
