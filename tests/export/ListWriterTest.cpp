// The list writer against golden files: each case's saved bytes (UTF-8) lie in
// tests/data/golden/export/CASE.txt. After a deliberate change of the output, regenerate them
// with SONALO_REGENERATE_GOLDEN=1 in the environment and review the diff.
#include "core/PictureStyle.h"
#include "core/TextEncoding.h"
#include "export/ExportTemplate.h"
#include "export/ListWriter.h"
#include "TempDir.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString u(const char16_t *s) { return QString::fromUtf16(s); }

TSongRecord song(const QString &artist, const QString &title, const QString &album = QStringLiteral("Album"),
                 const QString &genre = QStringLiteral("Pop"), const QString &path = QStringLiteral("/m/a.mp3"))
{
    return TSongRecord{artist, title, QStringLiteral("3:05"), album, QStringLiteral("7"), QStringLiteral("1999"), genre, path};
}

SongList numberedSongs(int n)
{
    SongList list;
    for (int i = n; i >= 1; --i)
        list.append(song(QStringLiteral("Artist"), QStringLiteral("Song %1").arg(i, 3, 10, QLatin1Char('0'))));
    return list;
}

// Songs with the texts the rules are about: letter case, umlauts, markup, empty fields.
SongList sampleSongs()
{
    return {
        song(u(u"Ärzte"), u(u"Zu spät"), QStringLiteral("Debil"), QStringLiteral("Punk"), u(u"Music\\Punk\\zu spät.mp3")),
        song(QStringLiteral("abba"), QStringLiteral("Waterloo"), QString(), QStringLiteral("Pop"), QStringLiteral("/home/u/Music/waterloo.ogg")),
        song(QStringLiteral("ABBA"), QStringLiteral("waterloo"), QStringLiteral("Arrival"), QStringLiteral("Hard Rock"), QStringLiteral("plain.wav")),
        song(QStringLiteral("Tom & Jerry"), QStringLiteral("<b>\"Hi\"</b>"), QStringLiteral("A>B"), QStringLiteral("Rock"), QStringLiteral("/rock/t&j.mp3")),
        song(QStringLiteral("Zed"), QString(), QString(), QStringLiteral("Jazz"), QStringLiteral("C:\\Jazz\\zed.wma")),
    };
}

const QLocale kGerman(QLocale::German, QLocale::Germany);

// One write as the window does it, from an empty output box unless given one.
QStringList write(const SongList &songs, const ExportOptions &o, const QStringList &before = {}, bool replaceOld = true)
{
    return exportOutput(before, buildExportLines(songs, o, kGerman), o.html, replaceOld);
}

ExportOptions withTemplate(const QString &t)
{
    ExportOptions o;
    o.templateText = t;
    return o;
}

struct GoldenCase
{
    const char *name;
    std::function<QStringList()> output;
};

const GoldenCase kGoldenCases[] = {
    {"every-placeholder", [] {
         // Mixed languages, an unknown capitalised placeholder, a lone "%" and "%tab%".
         return write(sampleSongs(), withTemplate(u(u"%123%. %interpret%|%title%|%länge%|%album%|%track%|%jahr%|"
                                                    u"%year%|%genre%|%pfad%|%filename%%tab%%Artist% 100%")));
     }},
    {"numbered-9", [] { return write(numberedSongs(9), withTemplate(QStringLiteral("%123%. %titel%"))); }},
    {"numbered-12", [] { return write(numberedSongs(12), withTemplate(QStringLiteral("%123%. %titel%"))); }},
    {"numbered-150", [] { return write(numberedSongs(150), withTemplate(QStringLiteral("%123% %title% (%123%)"))); }},
    {"numbered-12-no-zeros", [] {
         ExportOptions o = withTemplate(QStringLiteral("%123%. %titel%"));
         o.leadingZeros = false;
         return write(numberedSongs(12), o);
     }},
    {"numbers-replaced-away", [] {
         // Find and replace comes before numbering.
         ExportOptions o = withTemplate(QStringLiteral("%123%. %titel%"));
         o.findReplace = true;
         o.findText = QStringLiteral("%123%");
         return write(numberedSongs(3), o);
     }},
    {"file-names", [] { return write(sampleSongs(), withTemplate(QStringLiteral("%dateiname%"))); }},
    {"unique-before-replace", [] {
         // abba and ABBA are one line; Zed becomes Tom & Jerry only through the replacement, so
         // both of those stay. Unsorted: the duplicate-free list comes out sorted anyway.
         ExportOptions o = withTemplate(QStringLiteral("%artist%"));
         o.unique = true;
         o.sort = false;
         o.findReplace = true;
         o.findText = QStringLiteral("Zed");
         o.replaceText = QStringLiteral("Tom & Jerry");
         return write(sampleSongs(), o);
     }},
    {"unsorted-keeps-playlist-order", [] {
         ExportOptions o = withTemplate(QStringLiteral("%artist%"));
         o.sort = false;
         return write(sampleSongs(), o);
     }},
    {"empty-kept", [] {
         ExportOptions o = withTemplate(QStringLiteral("%album%"));
         o.removeEmpty = false;
         return write(sampleSongs(), o);
     }},
    {"empty-removed", [] { return write(sampleSongs(), withTemplate(QStringLiteral("%album%"))); }},
    {"html-escaped-fields", [] {
         ExportOptions o = withTemplate(QStringLiteral("<i>%interpret%</i>%tab%%titel%%tab%%dateiname%"));
         o.html = true;
         return write(sampleSongs(), o);
     }},
    {"html-appended", [] {
         ExportOptions o = withTemplate(QStringLiteral("%artist%%tab%%title%"));
         o.html = true;
         QStringList out = write(sampleSongs().mid(0, 2), o, {QStringLiteral("typed by hand")}, false);
         return write(sampleSongs().mid(3), o, out, false);
     }},
    {"html-empty-list", [] {
         ExportOptions o = withTemplate(QStringLiteral("%artist%"));
         o.html = true;
         return write({}, o);
     }},
    {"plain-tab", [] { return write(sampleSongs(), withTemplate(QStringLiteral("%artist%%tab%%title%%tab%%year%"))); }},
    {"filter-genre", [] {
         ExportOptions o = withTemplate(QStringLiteral("%artist% (%genre%)"));
         o.useFilter = true;
         o.filterText = QStringLiteral("rock");
         o.filterColumns = {false, false, false, false, false, false, true, false};
         return write(sampleSongs(), o);
     }},
    {"filter-path", [] {
         ExportOptions o = withTemplate(QStringLiteral("%artist% (%path%)"));
         o.useFilter = true;
         o.filterText = QStringLiteral("music");
         o.filterColumns = {false, false, false, false, false, false, false, true};
         return write(sampleSongs(), o);
     }},
};

QByteArray goldenBytes(const QString &path, const QByteArray &actual)
{
    if (qEnvironmentVariableIsSet("SONALO_REGENERATE_GOLDEN")) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(actual);
    }
    return TempDir::read(path);
}

const QString kGoldenDir = QStringLiteral(SONALO_TEST_DATA "/golden/export/");

TEST(ListWriterTest, GoldenOutputsByteForByte)
{
    for (const GoldenCase &c : kGoldenCases) {
        const QByteArray actual = encodeText(exportFileText(c.output()), TTextEncoding::teUtf8);
        const QString golden = kGoldenDir + QLatin1String(c.name) + QLatin1String(".txt");
        EXPECT_EQ(actual, goldenBytes(golden, actual)) << c.name;
    }
}

TEST(ListWriterTest, GoldenFileInEveryEncoding)
{
    TempDir tmp;
    const QString text = exportFileText(write(sampleSongs(), withTemplate(QStringLiteral("%artist% - %title% \u266B"))));
    for (TTextEncoding e : kAllTextEncodings) {
        const QString name = tmp.path(QStringLiteral("list-%1.txt").arg(int(e)));
        WriteTextFile(text, name, e, PictureStyle{});
        const QByteArray actual = TempDir::read(name);
        EXPECT_EQ(actual, goldenBytes(kGoldenDir + QStringLiteral("encoding-%1.txt").arg(int(e)), actual)) << int(e);
    }
}

TEST(ListWriterTest, GermanAndEnglishPlaceholdersAreTheSame)
{
    const SongList songs{song(QStringLiteral("A"), QStringLiteral("B"))};
    EXPECT_EQ(write(songs, withTemplate(QStringLiteral("%interpret% - %titel%"))), QStringList{QStringLiteral("A - B")});
    EXPECT_EQ(ExportTemplate::compile(u(u"%interpret%%titel%%länge%%jahr%%pfad%%dateiname%")).tokens().size(), 6);
    const auto de = ExportTemplate::compile(u(u"%interpret%%titel%%länge%%jahr%%pfad%%dateiname%"));
    const auto en = ExportTemplate::compile(u(u"%artist%%title%%length%%year%%path%%filename%"));
    for (qsizetype i = 0; i < de.tokens().size(); ++i) {
        EXPECT_EQ(de.tokens()[i].kind, en.tokens()[i].kind) << i;
        EXPECT_EQ(de.tokens()[i].index, en.tokens()[i].index) << i;
    }
    EXPECT_TRUE(en.literals().isEmpty());
}

TEST(ListWriterTest, TemplateKeepsUnknownPlaceholdersAsLiterals)
{
    const ExportTemplate t = ExportTemplate::compile(u"%Titel% 50%%tab");
    EXPECT_EQ(t.literals().join(QLatin1Char('|')), QStringLiteral("%|Titel|%| 50|%|%|tab"));
    for (const ExportTemplate::Token &token : t.tokens())
        EXPECT_EQ(token.kind, ExportTemplate::Kind::Literal);
}

TEST(ListWriterTest, NumberWidthChangesAtTenAndAHundredLines)
{
    // The first and last number at each side of the boundaries where the count gains a digit.
    const struct { int lines; const char *first; const char *last; } cases[] = {
        {9, "1", "9"}, {10, "01", "10"}, {99, "01", "99"}, {100, "001", "100"}, {101, "001", "101"},
    };
    for (const auto &c : cases) {
        ExportOptions o = withTemplate(QStringLiteral("%123%"));
        o.removeEmpty = false;
        const QStringList lines = write(numberedSongs(c.lines), o);
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_EQ(lines.first(), QLatin1String(c.first)) << c.lines;
        EXPECT_EQ(lines.last(), QLatin1String(c.last)) << c.lines;
    }
}

TEST(ListWriterTest, NumberAloneIsAnEmptyList)
{
    EXPECT_TRUE(write(numberedSongs(4), withTemplate(QStringLiteral("%123%"))).isEmpty());
    ExportOptions o = withTemplate(QStringLiteral("%123%"));
    o.removeEmpty = false;
    EXPECT_EQ(write(numberedSongs(2), o), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
}

TEST(ListWriterTest, ExportFileNameSuffixRules)
{
    const struct
    {
        const char *name;
        bool html;
        const char *written;
    } cases[] = {
        {"liste", true, "liste.htm"},      {"liste.html", true, "liste.html"}, {"liste", false, "liste.txt"},
        {"liste.TXT", false, "liste.TXT.txt"}, {"a.txt.bak", false, "a.txt.bak"}, {"liste.htm", false, "liste.htm.txt"},
        {"liste.gif", false, "liste.gif.txt"}, {"liste.JPEG", true, "liste.JPEG.htm"}, {"liste.bmp", true, "liste.bmp.htm"},
        {"liste.txt.jpeg", false, "liste.txt.jpeg"}, {"liste.htm.bmp", true, "liste.htm.bmp"}, {"liste.txt.gif", true, "liste.txt.gif.htm"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(exportFileName(QLatin1String(c.name), c.html), QLatin1String(c.written)) << c.name;
}

TEST(ListWriterTest, OutputBoxLinesAsAMultiLineEditCountsThem)
{
    EXPECT_TRUE(outputLinesOf(QString()).isEmpty());
    EXPECT_EQ(outputLinesOf(QStringLiteral("a\nb\n")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(outputLinesOf(QStringLiteral("a\n\nb")), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_EQ(exportFileText(outputLinesOf(QStringLiteral("a\nb"))), QStringLiteral("a\r\nb\r\n"));
}

TEST(ListWriterTest, PictureInEachFormatShowsTheText)
{
    static int argc = 1;
    static char name[] = "export-test";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = new QGuiApplication(argc, argv);
    (void)app;
    TempDir tmp;
    const QString text = exportFileText(write(sampleSongs(), withTemplate(QStringLiteral("%artist% - %title%"))));
    PictureStyle style;
    style.background = 0xFF00FF80;
    for (const char *ext : {"bmp", "jpg", "gif"}) {
        const QString file = tmp.path(QStringLiteral("liste.") + QLatin1String(ext));
        WriteTextFile(text, file, TTextEncoding::teUtf8, style);
        QImage image(file);
        ASSERT_FALSE(image.isNull()) << ext;
        // Five lines and the empty one after the last break, 10 pixels of margin all round.
        EXPECT_GT(image.width(), 60) << ext;
        EXPECT_GT(image.height(), 6 * 8 + 20) << ext;
        const QColor corner = image.pixelColor(0, 0);
        EXPECT_LT(std::abs(corner.green() - 255) + std::abs(corner.red()) + std::abs(corner.blue() - 128), 40) << ext;
        int inked = 0;
        for (int y = 10; y < image.height() - 10; ++y)
            for (int x = 10; x < image.width() - 10; ++x)
                if (qGray(image.pixel(x, y)) < 100)
                    ++inked;
        EXPECT_GT(inked, 100) << ext << " shows no text";
    }
}

} // namespace
