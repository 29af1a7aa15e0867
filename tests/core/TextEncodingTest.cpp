#include "core/Errors.h"
#include "core/PictureStyle.h"
#include "core/TextEncoding.h"
#include "core/Windows1252.h"
#include "TempDir.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

QString u(const char16_t *s) { return QString::fromUtf16(s); }

} // namespace

TEST(DetectTextEncoding, SignaturesInOrderComparingOnlyPresentBytes)
{
    struct Case { QByteArray head; int expected; } cases[] = {
        {{}, 0},
        {bytes({0xFF}), 0},                       // one byte: ANSI
        {bytes({0xEF, 0xBB, 0xBF, 0x41}), 65001},
        {QByteArray("+/v8-abc"), 65000},
        {QByteArray("+/v9"), 0},                  // other UTF-7 signature forms are not recognised
        {bytes({0xFF, 0xFE, 0x00, 0x00, 0x41, 0, 0, 0}), 65005},
        {bytes({0x00, 0x00, 0xFE, 0xFF}), 65006},
        {bytes({0xFF, 0xFE, 0x41, 0x00}), 1200},
        {bytes({0xFE, 0xFF, 0x00, 0x41}), 1201},
        {bytes({0xFF, 0xFE}), 65005},             // as far as it goes, FF FE is the UTF-32 LE signature
        {QByteArray("Artist|Title"), 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(detectTextEncoding(c.head), c.expected) << c.head.toHex().constData();
}

TEST(ReadText, DecodesEachEncodingAndDropsTheSignature)
{
    EXPECT_EQ(decodeText(bytes({0xFF, 0xFE})), QString());
    EXPECT_EQ(decodeText(bytes({0xFF, 0xFE, 0x41, 0x00, 0x42, 0x00})), QStringLiteral("AB"));
    EXPECT_EQ(decodeText(bytes({0xFF, 0xFE, 0x41, 0x00, 0x42})), QStringLiteral("A")); // odd byte dropped
    EXPECT_EQ(decodeText(bytes({0xFE, 0xFF, 0x00, 0x41, 0x00, 0x00, 0x00, 0x42})),
              QString(QStringLiteral("A")) + QChar(0) + QLatin1Char('B')); // swapped past a zero unit
    EXPECT_EQ(decodeText(bytes({0xFF, 0xFE, 0, 0, 0x41, 0, 0, 0})), QStringLiteral("A"));
    EXPECT_EQ(decodeText(bytes({0, 0, 0xFE, 0xFF, 0, 0x01, 0xF6, 0x00, 0, 0, 0, 0x41, 0x42})),
              u(u"\U0001F600A")); // trailing remainder ignored
    EXPECT_EQ(decodeText(bytes({0xFF, 0xFE, 0, 0})), QString());
    EXPECT_EQ(decodeText(bytes({0xFF, 0xFE, 0, 0, 0x00, 0xD8, 0, 0, 0x00, 0x00, 0x11, 0})), QStringLiteral("??"));
    EXPECT_EQ(decodeText(QByteArray("\x80\x9f\xe4 x")), u(u"\u20AC\u0178\u00E4 x"));
    EXPECT_EQ(decodeText(bytes({0x41})), QStringLiteral("A"));
}

TEST(ReadText, Utf8ReadsFourByteFormsAndTheOldSurrogateForm)
{
    // Standard four-byte form.
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF" "a\xF0\x9F\x8E\xB5z")), u(u"a\U0001F3B5z"));
    // Two three-byte surrogates, as older writers produced.
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF" "\xED\xA0\xBC\xED\xBE\xB5")), u(u"\U0001F3B5"));
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF" "\xC3\xA4\xE2\x82\xAC")), u(u"\u00E4\u20AC"));
}

TEST(ReadText, Utf8BadByteCostsOneCharacterAndIsCounted)
{
    struct Case { QByteArray body; QString expected; qsizetype bad; } cases[] = {
        {QByteArray("\xC3" "A"), u(u"\uFFFDA"), 1},
        {QByteArray("ok\xC3"), u(u"ok\uFFFD"), 1},          // lead byte at the end
        {QByteArray("\x80x"), u(u"\uFFFDx"), 1},            // stray continuation
        {QByteArray("\xC0\xAF"), u(u"\uFFFD\uFFFD"), 2},    // overlong
        {QByteArray("\xF4\x90\x80\x80"), u(u"\uFFFD"), 1},  // above U+10FFFF
        {QByteArray("\xE0\x80\x80"), u(u"\uFFFD\uFFFD\uFFFD"), 3},
    };
    for (const Case &c : cases) {
        TextReadReport report;
        EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF") + c.body, &report), c.expected) << c.body.toHex().constData();
        EXPECT_EQ(report.malformed, c.bad);
        EXPECT_EQ(report.encoding, 65001);
    }
}

TEST(Utf7, EncodesAsTheWriterRules)
{
    struct Case { QString text; QByteArray expected; } cases[] = {
        {QStringLiteral("a+b"), "a+-b"},
        {u(u"\u00E4"), "+AOQ"},                  // no closing "-" at the end
        {u(u"\u00E4x"), "+AOQ-x"},               // "-" before a base64 digit
        {u(u"\u00E4 x"), "+AOQ x"},
        {u(u"\u00E4-"), "+AOQ--"},
        {QStringLiteral("|x"), "|x"},
        {QStringLiteral("a~b\\c"), "a+AH4-b+AFw-c"},
        {u(u"\U0001F600"), "+2D3eAA"},
        {QString(), ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(encodeUtf7(c.text), c.expected) << c.expected.constData();
}

TEST(Utf7, DecodesAndRejectsBrokenRuns)
{
    EXPECT_EQ(decodeUtf7("a+-b"), QStringLiteral("a+b"));
    EXPECT_EQ(decodeUtf7("+AOQ-x"), u(u"\u00E4x"));
    EXPECT_EQ(decodeUtf7("+AOQ"), u(u"\u00E4"));
    EXPECT_EQ(decodeUtf7("+2D3eAA"), u(u"\U0001F600"));
    for (const char *bad : {"+AOR", "+A-", "+", "a\xE4", "+-\xFF"})
        EXPECT_THROW(decodeUtf7(QByteArrayView(bad)), SonaloError) << bad;
    try {
        decodeText(QByteArray("+/v8-+A-"));
        FAIL();
    } catch (const SonaloError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid UTF7"));
    }
}

TEST(EncodeText, SignaturesAndByteOrders)
{
    const QString ab = QStringLiteral("AB");
    EXPECT_EQ(encodeText(ab, TTextEncoding::teUtf16LE), bytes({0xFF, 0xFE, 0x41, 0, 0x42, 0}));
    EXPECT_EQ(encodeText(ab, TTextEncoding::teUtf16BE), bytes({0xFE, 0xFF, 0, 0x41, 0, 0x42}));
    EXPECT_EQ(encodeText(QString(QChar(0)) + ab, TTextEncoding::teUtf16BE), bytes({0xFE, 0xFF, 0, 0, 0, 0x41, 0, 0x42}));
    EXPECT_EQ(encodeText(QStringLiteral("A"), TTextEncoding::teUtf32LE), bytes({0xFF, 0xFE, 0, 0, 0x41, 0, 0, 0}));
    EXPECT_EQ(encodeText(QStringLiteral("A"), TTextEncoding::teUtf32BE), bytes({0, 0, 0xFE, 0xFF, 0, 0, 0, 0x41}));
    // A lone high surrogate is "?", a lone low one is left out.
    EXPECT_EQ(encodeText(u(u"\xD800" "A\xDC00"), TTextEncoding::teUtf32LE), bytes({0xFF, 0xFE, 0, 0, 0x3F, 0, 0, 0, 0x41, 0, 0, 0}));
    EXPECT_EQ(encodeText(u(u"\U0001F600"), TTextEncoding::teUtf32BE), bytes({0, 0, 0xFE, 0xFF, 0, 0x01, 0xF6, 0x00}));
    EXPECT_EQ(encodeText(u(u"\U0001F3B5"), TTextEncoding::teUtf8), QByteArray("\xEF\xBB\xBF\xF0\x9F\x8E\xB5"));
    EXPECT_EQ(encodeText(QStringLiteral("|x"), TTextEncoding::teUtf7), QByteArray("+/v8-|x"));
    EXPECT_EQ(encodeText(QStringLiteral("a+b"), TTextEncoding::teUtf7AsAnsi), QByteArray("a+-b"));
    EXPECT_EQ(encodeText(u(u"\u20AC\u00E4\u4E2D"), TTextEncoding::teAnsi), QByteArray("\x80\xE4?"));
    EXPECT_EQ(encodeText(QString(), TTextEncoding::teUtf8), QByteArray("\xEF\xBB\xBF"));
}

TEST(EncodeText, EveryUnicodeEncodingRoundTrips)
{
    const QString text = u(u"Ärger | \U0001F3B5 caf\u00E9 \u4E2D\u6587 a+b ~\\ \r\n\tend\u20AC");
    for (TTextEncoding e : kAllTextEncodings) {
        if (e == TTextEncoding::teAnsi || e == TTextEncoding::teUtf7AsAnsi)
            continue; // no signature: read back as ANSI
        EXPECT_EQ(decodeText(encodeText(text, e)), text) << int(e);
    }
    // Without a signature the UTF-7 form reads back as ANSI text, escapes and all.
    EXPECT_EQ(decodeText(encodeText(u(u"\u00E4"), TTextEncoding::teUtf7AsAnsi)), QStringLiteral("+AOQ"));
    const QString latin = u(u"Caf\u00E9 \u20AC \u0152uvre");
    EXPECT_EQ(decodeText(encodeText(latin, TTextEncoding::teAnsi)), latin);
}

TEST(Windows1252, MapsTheWholeByteRange)
{
    for (int b = 0; b < 256; ++b) {
        const QChar c = Windows1252::toUnicode(uchar(b));
        EXPECT_EQ(Windows1252::fromUnicode(c.unicode()), b) << b;
    }
    EXPECT_EQ(Windows1252::toUnicode(0x81).unicode(), 0x81); // undefined bytes keep their value
    EXPECT_EQ(Windows1252::toUnicode(0x8A).unicode(), 0x0160);
    EXPECT_EQ(Windows1252::fromUnicode(0x0100), -1);
}

class TextFileTest : public ::testing::Test
{
protected:
    TempDir tmp;
    PictureStyle style;
};

TEST_F(TextFileTest, WritesThroughTheSignatureAndReadsBack)
{
    const QString name = tmp.path(QStringLiteral("list.txt"));
    WriteTextFile(QStringLiteral("AB"), name, TTextEncoding::teUtf16BE, style);
    EXPECT_EQ(TempDir::read(name), bytes({0xFE, 0xFF, 0, 0x41, 0, 0x42}));
    EXPECT_EQ(DetectTextEncoding(name), 1201);
    EXPECT_EQ(ReadTextFile(name), QStringLiteral("AB"));
}

TEST_F(TextFileTest, PiecesJoinToTheWholeReadAtAnySize)
{
    // Each case is cut at every small piece size: multi-byte forms and malformed bytes meet
    // every cut, a UTF-8 stretch holds no ASCII byte at all, UTF-16 ends on an odd byte; the
    // files without a UTF-8 or UTF-16 signature come whole.
    const QByteArray utf8 = QByteArray("\xEF\xBB\xBF") + "A\xC3\xA4|\xF0\x9F\x8E\xB5\xC3\r\n\xE2\x82" + "B\xED\xA0\x80\x80\xBF"
                            + QByteArray(40, '\xC3').replace("\xC3\xC3", "\xC3\xA4") + "z\xF4\x90\x80\x80\xE2\x82";
    const QByteArray utf16 = bytes({0xFF, 0xFE, 'A', 0, 0x3D, 0xD8, 0xB5, 0xDF, '\r', 0, '\n', 0, 0xE4, 0, 'x'});
    const QByteArray cases[] = {utf8, utf16, bytes({0xFE, 0xFF, 0, 'A', 0xD8, 0x3D, 0xDF, 0xB5, 0}),
                                QByteArray("\xEF\xBB\xBF"), bytes({0xFF, 0xFE}), QByteArray("plain \xE4 ANSI"),
                                QByteArray("+/v8-+AMQ-x"), bytes({0xFF, 0xFE, 0, 0, 'A', 0, 0, 0}), QByteArray()};
    int n = 0;
    for (const QByteArray &content : cases) {
        const QString name = tmp.write(QStringLiteral("p%1.txt").arg(n++), content);
        TextReadReport whole;
        const QString expected = ReadTextFile(name, &whole);
        for (qsizetype piece : {1, 2, 3, 5, 7, 64}) {
            QString joined;
            qint64 lastDone = 0;
            TextReadReport report;
            readTextFileInPieces(name, piece, [&](QStringView text, qint64 done, qint64 total) {
                EXPECT_GE(done, lastDone);
                EXPECT_EQ(total, content.size());
                lastDone = done;
                joined += text;
            }, &report);
            EXPECT_EQ(joined, expected) << n << " piece " << piece;
            EXPECT_EQ(lastDone, content.size());
            EXPECT_EQ(report.encoding, whole.encoding);
            EXPECT_EQ(report.malformed, whole.malformed) << n << " piece " << piece;
        }
    }
    EXPECT_THROW(readTextFileInPieces(tmp.path(QStringLiteral("missing")), 8, [](QStringView, qint64, qint64) {}),
                 SonaloError);
}

TEST_F(TextFileTest, MissingFileFailsWithTheOpenMessage)
{
    const QString name = tmp.path(QStringLiteral("missing.slp"));
    try {
        ReadTextFile(name);
        FAIL();
    } catch (const SonaloError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(name))) << e.what();
    }
    EXPECT_THROW(DetectTextEncoding(name), SonaloError);
}

TEST_F(TextFileTest, FolderOrFifoIsNotReadAsAFile)
{
    EXPECT_THROW(ReadTextFile(tmp.path()), SonaloError);
    const QString fifo = tmp.path(QStringLiteral("x.slp"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_THROW(ReadTextFile(fifo), SonaloError); // must not block
}

TEST_F(TextFileTest, FailedWriteKeepsThePreviousFile)
{
    const QString name = tmp.path(QStringLiteral("keep.slp"));
    WriteTextFile(QStringLiteral("old"), name, TTextEncoding::teUtf8, style);
    // A folder without write permission cannot take the temporary file.
    QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (::geteuid() != 0) {
        EXPECT_THROW(WriteTextFile(QStringLiteral("new"), name, TTextEncoding::teUtf8, style), SonaloError);
        EXPECT_EQ(ReadTextFile(name), QStringLiteral("old"));
    }
    QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Also as root: a target inside a missing folder fails with the create message.
    try {
        WriteTextFile(QStringLiteral("x"), tmp.path(QStringLiteral("no/such/list.slp")), TTextEncoding::teUtf8, style);
        FAIL();
    } catch (const SonaloError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot create file \""))) << e.what();
    }
    EXPECT_EQ(ReadTextFile(name), QStringLiteral("old"));
}

TEST(PictureName, ExtensionRule)
{
    for (const char *yes : {"list.jpeg", "a.JPG", "x.slp.gif", "b.Bmp", "dir.txt/x.jpg"})
        EXPECT_TRUE(isPictureFileName(QString::fromLatin1(yes))) << yes;
    for (const char *no : {"list.txt", "jpg", "dir.jpg/list", "list.jpgx", "c:x", "a.png"})
        EXPECT_FALSE(isPictureFileName(QString::fromLatin1(no))) << no;
}

class PictureTest : public TextFileTest
{
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char arg0[] = "core_tests";
        static char *argv[] = {arg0, nullptr};
        if (!QGuiApplication::instance())
            app = new QGuiApplication(argc, argv);
    }
    static inline QGuiApplication *app = nullptr;
};

TEST_F(PictureTest, PictureNamesGetPicturesOfTheText)
{
    style.background = 0xFFFFFF00;
    const QString text = QStringLiteral("first line\r\nsecond, a longer line\r\n");
    for (const char *ext : {"jpeg", "JPG", "bmp", "gif"}) {
        const QString name = tmp.path(QStringLiteral("list.") + QLatin1String(ext));
        WriteTextFile(text, name, TTextEncoding::teUtf8, style);
        QImage img(name);
        ASSERT_FALSE(img.isNull()) << ext;
        const QFontMetrics fm(QFont{});
        EXPECT_EQ(img.width(), fm.horizontalAdvance(QStringLiteral("second, a longer line")) + 20);
        // Three lines: the text ends with CR LF, which yields a last, empty line.
        EXPECT_EQ(img.height(), 3 * fm.boundingRect(QStringLiteral("Wg")).height() + 20);
        const QColor corner = img.pixelColor(1, 1);
        EXPECT_NEAR(corner.red(), 255, 12) << ext;
        EXPECT_NEAR(corner.blue(), 0, 12) << ext;
        // Something was drawn: some pixel of the first line is dark.
        bool dark = false;
        for (int x = 10; x < img.width() - 10 && !dark; ++x)
            for (int y = 10; y < 10 + fm.height() && !dark; ++y)
                dark = qGray(img.pixel(x, y)) < 100;
        EXPECT_TRUE(dark) << ext;
    }
    const QString txt = tmp.path(QStringLiteral("list.txt"));
    WriteTextFile(QStringLiteral("x"), txt, TTextEncoding::teUtf8, style);
    EXPECT_EQ(TempDir::read(txt), QByteArray("\xEF\xBB\xBFx"));
}

TEST_F(PictureTest, SetFontAndColoursAreDrawnWith)
{
    PictureFont font;
    font.pixelSize = 40;
    font.weight = 700;
    style.font = font;
    style.textColor = 0xFFFFFFFF;
    style.background = 0xFF000000;
    const QString text = QStringLiteral("Wide text");
    const QString name = tmp.path(QStringLiteral("big.bmp"));
    WriteTextFile(text, name, TTextEncoding::teUtf8, style);
    const QImage img(name);
    ASSERT_FALSE(img.isNull());
    QFont expected;
    expected.setPixelSize(40);
    expected.setWeight(QFont::Bold);
    const QFontMetrics fm(expected);
    EXPECT_EQ(img.width(), fm.horizontalAdvance(text) + 20);
    EXPECT_EQ(img.height(), fm.boundingRect(QStringLiteral("Wg")).height() + 20);
    EXPECT_GT(img.height(), QFontMetrics(QFont{}).boundingRect(QStringLiteral("Wg")).height() + 20);
    EXPECT_EQ(qGray(img.pixel(1, 1)), 0);
    bool light = false;
    for (int x = 10; x < img.width() - 10 && !light; ++x)
        for (int y = 10; y < img.height() - 10 && !light; ++y)
            light = qGray(img.pixel(x, y)) > 200;
    EXPECT_TRUE(light);
}

TEST_F(PictureTest, PointSizeCountsWhenNoPixelSizeIsSet)
{
    PictureFont font;
    font.pointSize = 30;
    style.font = font;
    const QString name = tmp.path(QStringLiteral("points.bmp"));
    WriteTextFile(QStringLiteral("x"), name, TTextEncoding::teUtf8, style);
    QFont expected;
    expected.setPointSizeF(30);
    EXPECT_EQ(QImage(name).height(), QFontMetrics(expected).boundingRect(QStringLiteral("Wg")).height() + 20);
}

TEST_F(PictureTest, PictureTooLargeIsReportedNotSwallowed)
{
    QString text;
    for (int i = 0; i < 10000; ++i)
        text += QStringLiteral("line\r\n");
    const QString name = tmp.path(QStringLiteral("huge.gif"));
    try {
        WriteTextFile(text, name, TTextEncoding::teUtf8, style);
        FAIL();
    } catch (const SonaloError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Unable to write to ") + name)) << e.what();
    }
    EXPECT_FALSE(QFile::exists(name));
}

TEST(ReadText, UnsignedUtf8IsTakenOnlyWhenItIsValidAndNotPlainAscii)
{
    // Valid UTF-8 with a multi-byte sequence, without a signature: UTF-8; still reported as 0.
    const QByteArray utf8("Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5|x");
    EXPECT_EQ(decodeText(utf8), u(u"Café 日本 \U0001F3B5|x"));
    EXPECT_EQ(decodeLineReaderText(utf8), decodeText(utf8));
    TempDir t;
    const QString file = t.write(QStringLiteral("linux.slp"), utf8);
    EXPECT_EQ(DetectTextEncoding(file), 0);
    TextReadReport report;
    EXPECT_EQ(ReadTextFile(file, &report), decodeText(utf8));
    EXPECT_EQ(report.encoding, 0);
    // One malformed sequence anywhere: the whole file is the code page's, as before.
    EXPECT_EQ(decodeText("Caf\xC3\xA9 \xE9"), u(u"CafÃ© é"));
    // Overlong forms do not count as UTF-8 either.
    EXPECT_EQ(decodeText("\xC0\xAF"), Windows1252::decode("\xC0\xAF"));
}

TEST(ReadText, NoWindows1252ByteInATypicalContextIsTakenForUtf8)
{
    // Every byte 80-FF where 8-bit text puts it: inside and at the ends of words, beside
    // spaces, separators and line ends, doubled, and in a line beside other accented words.
    // (Two accented letters in a row, "\xC3\xA9", are valid UTF-8 by nature; 8-bit text
    // rarely has them.)
    const char *contexts[] = {"Caf%1", "%1lan", "M%1ller - Song", "a%1|b", "x %1\r\n", "%1%1", "Ni%1o \xE9t\xE9",
                              "\xE9t\xE9 %1t", "1%1 2"};
    for (int b = 0x80; b <= 0xFF; ++b) {
        for (const char *context : contexts) {
            QByteArray text(context);
            text.replace("%1", QByteArray(1, char(b)));
            EXPECT_EQ(decodeText(text), Windows1252::decode(text)) << text.toHex().constData();
        }
    }
}
