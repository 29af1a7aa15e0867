#include "ByteBuilders.h"

#include "tags/GenreNames.h"
#include "tags/ID3v1Tag.h"
#include "tags/ReaderResult.h"

#include <gtest/gtest.h>

using namespace bytes;

namespace {

QByteArray audio() { return QByteArray(300, 'x'); }

} // namespace

TEST(ID3v1Tag, ReadsAllFieldsOfAVersion11Tag)
{
    TID3v1Tag tag;
    ASSERT_EQ(readInto(tag, audio() + id3v1("Song", "Band", "Album", "1999", 0, 7, 17)), ReaderResult::Ok);
    EXPECT_TRUE(tag.Exists);
    EXPECT_TRUE(tag.Version11);
    EXPECT_EQ(tag.GetTitle(), u"Song");
    EXPECT_EQ(tag.GetArtist(), u"Band");
    EXPECT_EQ(tag.GetAlbum(), u"Album");
    EXPECT_EQ(tag.GetYear(), u"1999");
    EXPECT_EQ(tag.GetTrack(), u"7");
    EXPECT_EQ(tag.GetGenre(), u"Rock");
}

TEST(ID3v1Tag, ResultCodesLeaveTheResetState)
{
    TID3v1Tag tag;
    EXPECT_EQ(readInto(tag, QByteArray(127, 'T')), ReaderResult::TooShort);
    EXPECT_EQ(readInto(tag, QByteArray()), ReaderResult::TooShort);
    EXPECT_EQ(readInto(tag, audio() + QByteArray(128, 'x')), ReaderResult::NoTag);
    EXPECT_FALSE(tag.Exists);
    EXPECT_EQ(tag.GetTitle(), QString());
    EXPECT_EQ(tag.GetArtist(), QString());
    EXPECT_EQ(tag.GetAlbum(), QString());
    EXPECT_EQ(tag.GetYear(), QString());
    EXPECT_EQ(tag.GetGenre(), QString());
    EXPECT_EQ(tag.GetTrack(), u"0");
    EXPECT_EQ(tag.Title.size(), 30);
    // A tag exactly 128 bytes long is a whole file's worth.
    EXPECT_EQ(readInto(tag, id3v1("T", "", "", "", 0, 0, 0)), ReaderResult::Ok);
}

TEST(ID3v1Tag, TrackByteRules)
{
    struct Case { int b125, b126; bool v11; const char16_t *track; };
    const Case cases[] = {
        {0, 7, true, u"7"},
        {0, 0, false, u"0"},   // version 1.0, comment 30 bytes long
        {'x', 9, false, u"0"}, // byte 125 non-zero: version 1.0
        {0, 255, true, u"255"},
    };
    for (const Case &c : cases) {
        TID3v1Tag tag;
        ASSERT_EQ(readInto(tag, id3v1("", "", "", "", c.b125, c.b126, 0)), ReaderResult::Ok);
        EXPECT_EQ(tag.Version11, c.v11) << c.b125 << ' ' << c.b126;
        EXPECT_EQ(tag.GetTrack(), QString::fromUtf16(c.track));
    }
}

TEST(ID3v1Tag, GenreBytes)
{
    struct Case { int genre; const char16_t *name; };
    const Case cases[] = {{0, u"Blues"}, {12, u""}, {125, u"Dance Hall"}, {126, u""}, {255, u""}, {40, u"AlternRock"}};
    for (const Case &c : cases) {
        TID3v1Tag tag;
        ASSERT_EQ(readInto(tag, id3v1("", "", "", "", 0, 0, c.genre)), ReaderResult::Ok);
        EXPECT_EQ(tag.GetGenre(), QString::fromUtf16(c.name)) << c.genre;
    }
}

TEST(ID3v1Tag, TextTrimmingAndCodePage)
{
    TID3v1Tag tag;
    QByteArray title = "Song" + QByteArray(26, ' ');
    QByteArray artist = QByteArray("A\0B", 3);
    ASSERT_EQ(readInto(tag, id3v1(title, artist, "Caf\xE9 \x80", "99  ", 0, 0, 0)), ReaderResult::Ok);
    EXPECT_EQ(tag.GetTitle(), u"Song");
    // Text after an embedded NUL is kept.
    EXPECT_EQ(tag.GetArtist(), QString(QStringLiteral("A") + QChar(u'\0') + QStringLiteral("B")));
    EXPECT_EQ(tag.GetAlbum(), QString::fromUtf16(u"Café €"));
    EXPECT_EQ(tag.GetYear(), u"99");
    EXPECT_EQ(tag.Year, u"99");
}

TEST(GenreNames, TableAsShown)
{
    EXPECT_EQ(GenreName(0), u"Blues");
    EXPECT_EQ(GenreName(12), QString());
    EXPECT_EQ(GenreName(67), u"Psychadelic");
    EXPECT_EQ(GenreName(85), u"Bebob");
    EXPECT_EQ(GenreName(92), u"Progessive Rock");
    EXPECT_EQ(GenreName(123), u"A capella");
    EXPECT_EQ(GenreName(125), u"Dance Hall");
    EXPECT_EQ(GenreName(126), QString());
    EXPECT_EQ(GenreName(-1), QString());
    for (int i = 0; i < kGenreCount; ++i)
        EXPECT_EQ(GenreName(i).isEmpty(), i == 12) << i;
}
