#include "core/SongSearch.h"
#include "core/TextFold.h"

#include <gtest/gtest.h>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace {

TSongRecord song(const char *artist, const char *title, const char *length = "3:00", const char *album = "",
                 const char *path = "/m/x.mp3")
{
    TSongRecord r;
    r.Artist = QString::fromUtf8(artist);
    r.Title = QString::fromUtf8(title);
    r.Length = QString::fromUtf8(length);
    r.Album = QString::fromUtf8(album);
    r.Path = QString::fromUtf8(path);
    return r;
}

const SongList kSongs = {
    song("Queen", "Bohemian Rhapsody", "5:55", "A Night at the Opera", "/music/queen/bohemian.mp3"),   // 0
    song("queen", "We Will Rock You", "2:02", "News of the World", "/music/queen/rock.mp3"),           // 1
    song("Queen & Friends", "Live", "75:00", "", "/music/live/q.mp3"),                                // 2
    song("Abba", "Waterloo", "2:42", "Waterloo", "/music/abba/waterloo.mp3"),                          // 3
    song("Ärzte", "Schrei nach Liebe", "4:14", "Die Bestie in Menschengestalt", "/music/ärzte/s.mp3"), // 4
    song("Rock Band", "Night Song", "1:15:00", "", "/music/rb/n.mp3"),                                // 5
};

QList<qsizetype> find(const QString &term, SearchOptions o = {}, bool regex = false)
{
    const SearchOutcome r = searchSongs(kSongs, term, o, regex);
    EXPECT_TRUE(r.ok) << term.toStdString();
    return r.matches;
}

using L = QList<qsizetype>;

} // namespace

TEST(SongSearch, PlainModesWithStartOptions)
{
    SearchOptions o;
    EXPECT_EQ(find(QStringLiteral("ROCK"), o), (L{1, 5}));               // artist, title or album, any case
    EXPECT_EQ(find(QStringLiteral("night rock"), o), L{});                // whole term: one sequence
    o.mode = SearchMode::And;
    EXPECT_EQ(find(QStringLiteral("night rock"), o), (L{5}));             // both words, in different fields
    EXPECT_EQ(find(QStringLiteral("night rock "), o), L{});               // the trailing empty word is never found
    o.mode = SearchMode::Or;
    EXPECT_EQ(find(QStringLiteral("night rock"), o), (L{0, 1, 5}));
    EXPECT_EQ(find(QStringLiteral("night rock "), o), (L{0, 1, 5}));
    EXPECT_EQ(find(QStringLiteral("  "), o), L{});                        // only empty words
    o.mode = SearchMode::WholeTerm;
    EXPECT_EQ(find(QString::fromUtf8("ärzte"), o), (L{4}));              // simple upper-casing of non-ASCII
}

TEST(SongSearch, ExactCaseAndInverse)
{
    SearchOptions o;
    o.exact = true;
    EXPECT_EQ(find(QStringLiteral("Queen"), o), (L{0, 1}));               // not "Queen & Friends"
    o.caseSensitive = true;
    EXPECT_EQ(find(QStringLiteral("Queen"), o), (L{0}));
    o = {};
    o.inverse = true;
    EXPECT_EQ(find(QStringLiteral("queen"), o), (L{3, 4, 5}));
    o = {};
    o.columns.fill(false);
    EXPECT_EQ(find(QStringLiteral("queen"), o), L{});                     // no column: nothing found
    o.inverse = true;
    EXPECT_EQ(find(QStringLiteral("queen"), o).size(), kSongs.size());    // ... everything inverted
}

TEST(SongSearch, LengthColumnAndFieldsAsWholes)
{
    SearchOptions o;
    o.columns = {false, false, true, false, false, false, false, false};
    o.exact = true;
    // A 75-minute song is stored as 1:15:00 by the tag reader; 75:00 finds only the hand-made row.
    EXPECT_EQ(find(QStringLiteral("75:00"), o), (L{2}));
    EXPECT_EQ(find(QStringLiteral("1:15:00"), o), (L{5}));
}

TEST(SongSearch, RegularExpressions)
{
    SearchOptions o;
    EXPECT_EQ(find(QStringLiteral("^queen$"), o, true), (L{0, 1}));       // anchors at every field
    o.caseSensitive = true;
    EXPECT_EQ(find(QStringLiteral("^queen$"), o, true), (L{1}));
    o = {};
    o.exact = true;
    EXPECT_EQ(find(QStringLiteral("w.*"), o, true), (L{1, 3}));           // a whole field matches
    o = {};
    EXPECT_EQ(find(QStringLiteral("rhapsody\r\na night"), o, true), (L{0})); // across fields
    EXPECT_EQ(find(QStringLiteral("(?-i)ROCK"), o, true), L{});
    EXPECT_EQ(find(QString::fromUtf8("^ÄRZTE$"), o, true), (L{4}));       // Unicode case folding
    o.inverse = true;
    EXPECT_EQ(find(QStringLiteral("queen"), o, true), (L{3, 4, 5}));
}

TEST(SongSearch, RejectedPatternsMapToTheirTexts)
{
    struct Case { const char *pattern; int code; const char *de; const char *en; } cases[] = {
        {"(abc", 103, "Fehlende Klammer ()", "Unmatched ()"},
        {"abc)", 104, "Fehlende Klammer ()", "Unmatched ()"},
        {"[abc", 113, "Fehlende Klammer []", "Unmatched []"},
        {"*a", 115, "?+*{ folgt nichts", "?+*{ Follows Nothing"},
        {"a{3,2}", 124, "Min-Quantor größer als Max-Quantor", "Brace Min Param Greater then Max"},
        {"a{99999999}", 122, "Quantor {} zu groß", "Braces Argument Too Big"},
        {"[z-a]", 109, "Invalide Menge []", "Invalid [] Range"},
        {"abc\\", 110, "Abschließendes \\", "Trailing \\"},
        {"(?#abc", 125, "Ungeschlossener (?#Kommentar)", "Unclosed (?#Comment)"},
        {"(?z)", 127, "Unbekannter Modifikator", "Urecognized Modifier"},
        {"\\x{110000}", 112, "HEX Code nach \\x zu groß", "Hex Code After \\x Too Big"},
        {"\\k", -1, "Unbekannter Fehler", "Unknown Error"},
    };
    for (const Case &c : cases) {
        const SearchOutcome r = searchSongs(kSongs, QString::fromUtf8(c.pattern), {}, true);
        EXPECT_FALSE(r.ok) << c.pattern;
        EXPECT_TRUE(r.matches.isEmpty());
        EXPECT_EQ(r.errorCode, c.code) << c.pattern;
        EXPECT_EQ(RegexErrorText(r.errorCode, LanguageCode(QStringLiteral("de"))), QString::fromUtf8(c.de)) << c.pattern;
        EXPECT_EQ(RegexErrorText(r.errorCode, LanguageCode(QStringLiteral("en"))), QString::fromUtf8(c.en)) << c.pattern;
    }
    // German for every code but "en".
    EXPECT_EQ(RegexErrorText(103, LanguageCode(QStringLiteral("fr"))), QStringLiteral("Fehlende Klammer ()"));
    EXPECT_EQ(RegexErrorText(0, LanguageCode(QStringLiteral("en"))), QStringLiteral("No Errors"));
    EXPECT_EQ(RegexErrorText(128, LanguageCode(QStringLiteral("en"))),
              QStringLiteral("LinePairedSeparator must countain two different chars or no chars at all"));
}

TEST(SongSearch, RunawayPatternEndsInAnErrorNotAHang)
{
    // Exponential backtracking: without the match limit this would run for ages.
    SongList songs = {song((std::string(40, 'x') + "z").c_str(), "x")};
    const SearchOutcome r = searchSongs(songs, QStringLiteral("^(x+x+)+$"), {}, true);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorCode, 101);
}

TEST(SongSearch, LoneSurrogatesDoNotBreakMatching)
{
    TSongRecord odd;
    odd.Artist = QString(QChar(0xD800)) + QStringLiteral("Queen");
    const SongList songs = {odd};
    EXPECT_EQ(searchSongs(songs, QStringLiteral("queen"), {}, true).matches, (L{0}));
    EXPECT_EQ(searchSongs(songs, QStringLiteral("queen"), {}, false).matches, (L{0}));
}

TEST(SimpleUpper, OneCharacterStaysOne)
{
    EXPECT_EQ(simpleUpper(QString::fromUtf8("straße äö")), QString::fromUtf8("STRAßE ÄÖ"));
    EXPECT_EQ(simpleUpper(QString::fromUtf8("\xF0\x90\x90\xA8")), QString::fromUtf8("\xF0\x90\x90\x80")); // Deseret
}
