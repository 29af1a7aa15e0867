#include "core/SongSort.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TSongRecord song(const QString &artist, const QString &title, const QString &album = {},
                 const QString &track = {}, const QString &length = QStringLiteral("3:00"))
{
    TSongRecord r;
    r.Artist = artist;
    r.Title = title;
    r.Album = album;
    r.Track = track;
    r.Length = length;
    r.Path = artist + QLatin1Char('-') + title;
    return r;
}

QStringList titles(const SongList &list)
{
    QStringList out;
    for (const TSongRecord &r : list)
        out.append(r.Title);
    return out;
}

QStringList artists(const SongList &list)
{
    QStringList out;
    for (const TSongRecord &r : list)
        out.append(r.Artist);
    return out;
}

QStringList split(const char *words)
{
    return QString::fromUtf8(words).split(QLatin1Char(','), Qt::KeepEmptyParts);
}

} // namespace

struct FoldCase
{
    const char *text;
    int field;
    const char *folded;
};

class FoldSortTextTest : public ::testing::TestWithParam<FoldCase>
{
};

TEST_P(FoldSortTextTest, Folds)
{
    const FoldCase &c = GetParam();
    EXPECT_EQ(FoldSortText(QString::fromUtf8(c.text), c.field), QString::fromUtf8(c.folded))
        << c.text << " field " << c.field;
}

INSTANTIATE_TEST_SUITE_P(Cases, FoldSortTextTest,
                         ::testing::Values(FoldCase{"Äpfel", 0, "AEPFEL"}, FoldCase{"äpfel", 0, "AEPFEL"},
                                           FoldCase{"Aepfel", 0, "AEPFEL"}, FoldCase{"ärger", 0, "AERGER"},
                                           FoldCase{"Öl über Straße", 1, "OEL UEBER STRASSE"},
                                           FoldCase{"Ça va", 1, "CA VA"},
                                           // Only ASCII letters are upper-cased; "ç" has no rule.
                                           FoldCase{"garçon é", 1, "GARçON é"},
                                           FoldCase{"Ωμέγα", 1, "Ωμέγα"},
                                           FoldCase{"3:45", 2, "000000345"}, FoldCase{"1:02:03", 2, "000010203"},
                                           FoldCase{"3/12", 4, "000000312"}, FoldCase{"2", 4, "000000002"},
                                           FoldCase{"", 4, ""}, FoldCase{"n/a", 4, "NA"},
                                           FoldCase{"1999", 5, "000001999"},
                                           FoldCase{"2147483647", 5, "2147483647"},
                                           FoldCase{"99999999999", 5, "99999999999"},
                                           // The numeric step is only for Length, Track and Year.
                                           FoldCase{"3:45", 1, "3:45"}, FoldCase{"12", 6, "12"}));

TEST(SortHelpers, PadNumberAndIsIntegerText)
{
    EXPECT_EQ(PadNumber(QString()), QStringLiteral("000000000"));
    EXPECT_EQ(PadNumber(QStringLiteral("7")), QStringLiteral("000000007"));
    EXPECT_EQ(PadNumber(QStringLiteral("12345678")), QStringLiteral("012345678"));
    EXPECT_EQ(PadNumber(QStringLiteral("123456789")), QStringLiteral("123456789"));
    EXPECT_EQ(PadNumber(QStringLiteral("x")), QStringLiteral("00000000x")); // no numeric test

    for (const char *yes : {"0", "-5", "+5", "2147483647", "-2147483648", "007"})
        EXPECT_TRUE(IsIntegerText(QString::fromLatin1(yes))) << yes;
    for (const char *no : {"", "-", "+", "2147483648", "-2147483649", "1a", " 1", "1 ", "1.5", "99999999999999999999"})
        EXPECT_FALSE(IsIntegerText(QString::fromLatin1(no))) << no;
}

TEST(SortKeys, SuffixHasTheDigitsOfTheListLength)
{
    SongList list;
    for (int i = 0; i < 150; ++i)
        list.append(song(QStringLiteral("a"), QStringLiteral("t%1").arg(i)));
    const QStringList keys = SortKeys(list, 0);
    ASSERT_EQ(keys.size(), 150);
    EXPECT_EQ(keys[0], QStringLiteral("A   T0001"));
    EXPECT_EQ(keys[149], QStringLiteral("A   T149150"));

    SongList one{song(QStringLiteral("Band"), QStringLiteral("Song"), QStringLiteral("Best"), QStringLiteral("4"))};
    EXPECT_EQ(SortKeys(one, 3)[0], QStringLiteral("BEST   000000004   BAND   SONG1"));
    EXPECT_EQ(SortKeys(one, 2)[0], QStringLiteral("0000003001"));
}

TEST(SortState, TitleTwiceThenArtistAscendsAgain)
{
    SongList list{song(QStringLiteral("b"), QStringLiteral("Beta")), song(QStringLiteral("c"), QStringLiteral("alpha")),
                  song(QStringLiteral("a"), QStringLiteral("Gamma"))};
    SortState s;
    ASSERT_TRUE(s.lvColumnClick(2, list.size(), list));
    EXPECT_EQ(titles(list), split("alpha,Beta,Gamma"));
    EXPECT_EQ(s.SortColumn, 2);
    EXPECT_FALSE(s.SortDescending);
    s.lvColumnClick(2, list.size(), list);
    EXPECT_EQ(titles(list), split("Gamma,Beta,alpha"));
    EXPECT_TRUE(s.SortDescending);
    s.lvColumnClick(1, list.size(), list);
    EXPECT_EQ(artists(list), split("a,b,c"));
    EXPECT_FALSE(s.SortDescending);
}

TEST(SortState, EqualTextsKeepOrderAscendingAndReverseDescending)
{
    SongList list{song(QStringLiteral("first"), QStringLiteral("Same")), song(QStringLiteral("x"), QStringLiteral("Other")),
                  song(QStringLiteral("second"), QStringLiteral("same"))};
    SortSongs(list, 1, false);
    EXPECT_EQ(artists(list), split("x,first,second"));
    SongList again{song(QStringLiteral("first"), QStringLiteral("Same")), song(QStringLiteral("x"), QStringLiteral("Other")),
                   song(QStringLiteral("second"), QStringLiteral("same"))};
    SortSongs(again, 1, true);
    EXPECT_EQ(artists(again), split("second,first,x"));
}

TEST(SortState, UmlautsFoldAndKeepStartingOrder)
{
    SongList list{song(QStringLiteral("Banane"), QStringLiteral("1")), song(QStringLiteral("Äpfel"), QStringLiteral("")),
                  song(QStringLiteral("ärger"), QStringLiteral("")), song(QStringLiteral("Aepfel"), QStringLiteral("")),
                  song(QStringLiteral("Ada"), QStringLiteral(""))};
    SortSongs(list, 0, false);
    EXPECT_EQ(artists(list), split("Ada,Äpfel,Aepfel,ärger,Banane"));
}

TEST(SortState, NonLatinTitlesSortByTheirOwnCharacters)
{
    // Equal lengths within each script: a fold to "?" would make each pair equal and keep the
    // starting order, which is the wrong one here.
    SongList list;
    for (const char *title : {"Ζήτα", "Βήτα", "Дом", "Бор", "東京", "大阪", "Zed", "Abc"})
        list.append(song(QString(), QString::fromUtf8(title)));
    SortSongs(list, 1, false);
    QStringList titles;
    for (const TSongRecord &s : list)
        titles.append(s.Title);
    EXPECT_EQ(titles.join(QLatin1Char(',')), QString::fromUtf8("Abc,Zed,Βήτα,Ζήτα,Бор,Дом,大阪,東京"));
}

TEST(SortState, TrackNumbersSortByValueAndEmptyTracksLast)
{
    SongList list{song(QStringLiteral("a"), QStringLiteral("none"), {}, QString()),
                  song(QStringLiteral("b"), QStringLiteral("of12"), {}, QStringLiteral("1/12")),
                  song(QStringLiteral("c"), QStringLiteral("ten"), {}, QStringLiteral("10")),
                  song(QStringLiteral("d"), QStringLiteral("two"), {}, QStringLiteral("2"))};
    SortSongs(list, 4, false);
    EXPECT_EQ(titles(list), split("two,ten,of12,none"));
}

TEST(SortState, AlbumOrdersByAlbumTrackArtistTitle)
{
    SongList list{song(QStringLiteral("Zed"), QStringLiteral("b"), QStringLiteral("Blue"), QStringLiteral("1")),
                  song(QStringLiteral("Amy"), QStringLiteral("z"), QStringLiteral("Blue"), QStringLiteral("2")),
                  song(QStringLiteral("Amy"), QStringLiteral("y"), QStringLiteral("Blue"), QStringLiteral("1")),
                  song(QStringLiteral("Amy"), QStringLiteral("x"), QStringLiteral("Blue"), QStringLiteral("1")),
                  song(QStringLiteral("Bob"), QStringLiteral("a"), QStringLiteral("Azure"), QStringLiteral("9"))};
    SortSongs(list, 3, false);
    EXPECT_EQ(titles(list), split("a,x,y,b,z"));
}

TEST(SortState, PositionSuffixDecidesPrefixes)
{
    // Ten songs: suffixes have two digits. "A" + "01" sorts after "A0" + "02", because the
    // suffix follows the text without a separator.
    SongList list{song(QStringLiteral("x"), QStringLiteral("A")), song(QStringLiteral("y"), QStringLiteral("A0"))};
    for (int i = 0; i < 8; ++i)
        list.append(song(QStringLiteral("z"), QStringLiteral("Z%1").arg(i)));
    SortSongs(list, 1, false);
    EXPECT_EQ(list[0].Title, QStringLiteral("A0"));
    EXPECT_EQ(list[1].Title, QStringLiteral("A"));
}

TEST(SortState, FewerThanTwoRowsIgnoredAndNumberColumnOnlyUpdatesState)
{
    SongList list{song(QStringLiteral("b"), QStringLiteral("1")), song(QStringLiteral("a"), QStringLiteral("2"))};
    SortState s;
    EXPECT_FALSE(s.lvColumnClick(1, 1, list));
    EXPECT_EQ(s.SortColumn, 0);
    EXPECT_FALSE(s.SortDescending);
    EXPECT_EQ(artists(list), split("b,a"));

    EXPECT_TRUE(s.lvColumnClick(0, 2, list)); // same column as the state: flips
    EXPECT_TRUE(s.SortDescending);
    EXPECT_EQ(artists(list), split("b,a"));
    // The row count decides, not the list: a table of 2 rows over an empty list is not sorted.
    SongList empty;
    EXPECT_TRUE(s.lvColumnClick(1, 2, empty));
    EXPECT_EQ(s.SortColumn, 1);
}

TEST(SortSongs, ManySongsMatchTheirKeyOrderInBothDirections)
{
    // Long permutation cycles and repeated texts: the in-place reordering must put every song
    // where its key says, and lose none.
    SongList list;
    quint32 seed = 7;
    for (int i = 0; i < 1234; ++i) {
        seed = seed * 1103515245u + 12345u;
        list.append(song(QStringLiteral("a%1").arg((seed >> 8) % 37), QStringLiteral("t%1").arg((seed >> 16) % 101),
                         QStringLiteral("Ä%1").arg(i % 5), QString::number((seed >> 4) % 13)));
        list.last().Path = QString::number(i); // tells equal-looking songs apart
    }
    for (int field = 0; field < 8; ++field) {
        for (bool descending : {false, true}) {
            const QStringList keys = SortKeys(list, field);
            std::vector<std::pair<QString, TSongRecord>> expected;
            for (qsizetype i = 0; i < list.size(); ++i)
                expected.emplace_back(keys[i], list[i]);
            std::sort(expected.begin(), expected.end(), [&](const auto &x, const auto &y) {
                return descending ? y.first < x.first : x.first < y.first;
            });
            SongList sorted = list;
            SortSongs(sorted, field, descending);
            ASSERT_EQ(sorted.size(), list.size());
            for (qsizetype j = 0; j < sorted.size(); ++j)
                ASSERT_EQ(sorted[j], expected[size_t(j)].second) << "field " << field << " row " << j;
        }
    }
}

TEST(SortSongs, ALongListSortedInStepsGivesTheOrderOfOneSort)
{
    // Several runs and merges of the stepwise sort, with many equal titles, both directions.
    SongList list;
    for (int i = 0; i < 3 * 32768 + 17; ++i)
        list.append(song(QStringLiteral("a%1").arg(i % 7), QStringLiteral("t%1").arg((i * 7919) % 5003)));
    QStringList keys = SortKeys(list, 1);
    std::sort(keys.begin(), keys.end());
    for (const bool descending : {false, true}) {
        SongList sorted = list;
        SortSongs(sorted, 1, descending, [] {});
        ASSERT_EQ(sorted.size(), list.size());
        const qsizetype n = list.size();
        const qsizetype digits = QString::number(n).size();
        for (qsizetype j = 0; j < n; ++j) {
            const QString &key = keys[descending ? n - 1 - j : j];
            const qsizetype from = key.right(digits).toLongLong() - 1;
            ASSERT_EQ(sorted[j], list[from]) << "at " << j << (descending ? " descending" : " ascending");
        }
    }
}
