// The UTF-8 decoder the tag readers share with the text files: the same bytes under the tag
// rule (stop at the first bad sequence) and the text-file rule (one U+FFFD each).
#include "core/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

QString u(const char16_t *s) { return QString::fromUtf16(s); }

} // namespace

TEST(SharedUtf8Decoder, TagRuleAndTextFileRule)
{
    struct Case { QByteArray bytes; QString stop; qsizetype stopBad; QString replace; qsizetype replaceBad; };
    const Case cases[] = {
        {"\xC3\xBC" "ber", u(u"über"), 0, u(u"über"), 0},
        {"\xF0\x9F\x8E\xB5!", u(u"\U0001F3B5!"), 0, u(u"\U0001F3B5!"), 0},
        {"\xED\xA0\xBD\xED\xB8\x80", u(u"\U0001F600"), 0, u(u"\U0001F600"), 0}, // the old surrogate form
        {"ab\xC3", u(u"ab"), 1, u(u"ab\uFFFD"), 1},                               // cut off at the end
        {"a\xC3(b", u(u"a"), 1, u(u"a\uFFFD(b"), 1},                              // wrong continuation
        {"x\xF4\x90\x80\x80y", u(u"x"), 1, u(u"x\uFFFDy"), 1},                    // above U+10FFFF
        {"\x80x", QString(), 1, u(u"\uFFFDx"), 1},                                 // stray continuation
        // Overlong forms: the tag rule reads them by their bits, the file rule rejects each byte.
        {"\xC0\xAF", u(u"/"), 0, u(u"\uFFFD\uFFFD"), 2},
        {"\xE0\x80\x80", QString(QChar(u'\0')), 0, u(u"\uFFFD\uFFFD\uFFFD"), 3},
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
