#include "ByteBuilders.h"

#include "tags/ReaderResult.h"
#include "tags/WmaTag.h"

#include <gtest/gtest.h>

using namespace bytes;

namespace {

QByteArray text(const QString &s) { return utf16le(s) + le16(0); }

} // namespace

TEST(WmaTag, ContentDescriptionAndDescriptors)
{
    QList<QByteArray> objects = asfPlausible();
    objects << asfContentDescription({text(QStringLiteral("Title")), text(QStringLiteral("Author")),
                                      text(QStringLiteral("Copyright")), text(QStringLiteral("Comment")), QByteArray()})
            << asfExtendedContent({{QStringLiteral("WM/AlbumTitle"), 0, text(QStringLiteral("Album"))},
                                   {QStringLiteral(" wm/year "), 0, text(QStringLiteral("2001"))},
                                   {QStringLiteral("WM/Genre"), 0, text(QStringLiteral("Jazz"))},
                                   {QStringLiteral("WM/Track"), 0, text(QStringLiteral(" 7 "))}});
    const QByteArray file = asfFile(objects);
    TWMATag tag;
    ASSERT_TRUE(readsOk(tag, file));
    ASSERT_TRUE(tag.Valid);
    EXPECT_EQ(tag.Title, u"Title");
    EXPECT_EQ(tag.Artist, u"Author");
    EXPECT_EQ(tag.Comment, u"Comment");
    EXPECT_EQ(tag.Album, u"Album");
    EXPECT_EQ(tag.Year, u"2001");
    EXPECT_EQ(tag.Genre, u"Jazz");
    EXPECT_EQ(tag.Track, 7);
    EXPECT_EQ(tag.Channels, 2);
    EXPECT_EQ(tag.SampleRate, 44100u);
    EXPECT_EQ(tag.Bitrate, 128u); // 16000 bytes/s
    EXPECT_DOUBLE_EQ(tag.Duration, file.size() * 8.0 / 128000);
}

TEST(WmaTag, LaterValuesReplaceEarlierOnes)
{
    QList<QByteArray> objects = asfPlausible();
    objects << asfExtendedContent({{QStringLiteral("WM/Title"), 0, text(QStringLiteral("Early"))}})
            << asfContentDescription({text(QStringLiteral("Late")), QByteArray(), QByteArray(), QByteArray(), QByteArray()});
    TWMATag tag;
    ASSERT_TRUE(readsOk(tag, asfFile(objects)));
    EXPECT_EQ(tag.Title, u"Late");
}

TEST(WmaTag, NonTextDescriptorsChangeNothing)
{
    QList<QByteArray> objects = asfPlausible();
    objects << asfExtendedContent({{QStringLiteral("WM/Track"), 3, le32(5)},
                                   {QStringLiteral("WM/Title"), 2, le32(1)},
                                   {QStringLiteral("WM/Author"), 0, text(QStringLiteral("After"))}});
    TWMATag tag;
    ASSERT_TRUE(readsOk(tag, asfFile(objects)));
    EXPECT_EQ(tag.Track, 0);
    EXPECT_EQ(tag.Title, QString());
    EXPECT_EQ(tag.Artist, u"After");
}

TEST(WmaTag, TrackNumberStandsInForAMissingTrackText)
{
    using D = AsfDescriptor;
    const QString track = QStringLiteral("WM/Track"), number = QStringLiteral("WM/TrackNumber");
    const struct { QList<D> descriptors; std::int32_t track; } cases[] = {
        {{{number, 0, text(QStringLiteral("6/12"))}}, 6},
        {{{QStringLiteral(" wm/tracknumber "), 0, text(QStringLiteral(" 9 "))}}, 9},
        {{{number, 3, le32(11)}}, 11},
        {{{number, 3, le32(0x7FFFFFFFu)}}, 0x7FFFFFFF},
        {{{number, 3, le32(0x80000000u)}}, 0},
        {{{number, 3, le16(7)}}, 0}, // only a 32-bit number is one
        {{{number, 0, text(QStringLiteral("x"))}}, 0},
        {{{number, 3, le32(11)}, {track, 0, text(QStringLiteral("4"))}}, 4},
        {{{track, 0, text(QStringLiteral("4"))}, {number, 0, text(QStringLiteral("5"))}}, 4},
        {{{track, 0, text(QStringLiteral("x"))}, {number, 3, le32(5)}}, 0},
        // A numeric "WM/Track" is not read, so the file has no track text.
        {{{track, 3, le32(2)}, {number, 3, le32(5)}}, 5},
    };
    for (const auto &c : cases) {
        QList<QByteArray> objects = asfPlausible();
        objects << asfExtendedContent(c.descriptors);
        TWMATag tag;
        ASSERT_TRUE(readsOk(tag, asfFile(objects)));
        EXPECT_EQ(tag.Track, c.track) << c.descriptors.first().name.toStdString() << ' ' << c.descriptors.size();
    }
}

TEST(WmaTag, StringsKeepAtMost250Characters)
{
    QList<QByteArray> objects = asfPlausible();
    objects << asfContentDescription({utf16le(QString(300, u'a')), text(QStringLiteral("Next")), QByteArray(),
                                      QByteArray(), QByteArray()});
    TWMATag tag;
    ASSERT_TRUE(readsOk(tag, asfFile(objects)));
    EXPECT_EQ(tag.Title, QString(250, u'a'));
    EXPECT_EQ(tag.Artist, u"Next");
}

TEST(WmaTag, PlausibilityLimits)
{
    struct Case { std::uint32_t maxBitrate; int channels; std::uint32_t rate; std::uint32_t bps; bool valid; };
    const Case cases[] = {
        {128000, 2, 44100, 16000, true},  {319999, 1, 8000, 39999, true}, {1, 2, 96000, 1, true},
        {320000, 2, 44100, 40000, true}, {320001, 2, 44100, 16000, false}, {0, 2, 44100, 16000, false},    {128000, 6, 44100, 16000, false},
        {128000, 0, 44100, 16000, false}, {128000, 2, 7999, 16000, false}, {128000, 2, 96001, 16000, false},
        {128000, 2, 44100, 0, false},     {128000, 2, 44100, 40001, false},
    };
    for (const Case &c : cases) {
        TWMATag tag;
        ASSERT_TRUE(readsOk(tag, asfFile({asfFileProperties(c.maxBitrate), asfStreamProperties(c.channels, c.rate, c.bps),
                                          asfContentDescription({text(QStringLiteral("T")), {}, {}, {}, {}})})));
        EXPECT_EQ(tag.Valid, c.valid) << c.maxBitrate << ' ' << c.channels << ' ' << c.rate << ' ' << c.bps;
        EXPECT_EQ(tag.Title.isEmpty(), !c.valid);
        if (!c.valid) {
            EXPECT_EQ(tag.SampleRate, 0u);
        }
    }
}

TEST(WmaTag, NotAsfAndBrokenHeaders)
{
    TWMATag tag;
    EXPECT_TRUE(readsOk(tag, QByteArray(100, 'x')));
    EXPECT_FALSE(tag.Valid);
    EXPECT_EQ(readInto(tag, QByteArray()), ReaderResult::TooShort);
    EXPECT_EQ(readInto(tag, guid(kAsfHeader) + of({1, 2})), ReaderResult::TooShort);
    // An object cut off by the end of the header.
    const QByteArray good = asfFile(asfPlausible(), 0);
    EXPECT_EQ(readInto(tag, good.left(good.size() - 10)), ReaderResult::TooShort);
    // A descriptor count larger than the object holds.
    QByteArray ecd = asfExtendedContent({{QStringLiteral("WM/Title"), 0, text(QStringLiteral("x"))}});
    ecd.replace(24, 2, le16(500));
    EXPECT_EQ(readInto(tag, asfFile(QList<QByteArray>(asfPlausible()) << ecd)), ReaderResult::TooShort);
    EXPECT_FALSE(tag.Valid);
}

TEST(WmaTag, ObjectSizesThatWouldNotAdvance)
{
    // A zero-size (or smaller than its own header) object ends the object loop; what came
    // before it still counts.
    for (std::uint64_t size : {0ull, 1ull, 23ull}) {
        QByteArray stuck = guid(kAsfOther) + le64(size);
        QList<QByteArray> objects = asfPlausible();
        objects << stuck << asfContentDescription({text(QStringLiteral("Never")), {}, {}, {}, {}});
        QByteArray file = asfFile(objects);
        file.replace(24, 4, le32(0xFFFFFFFFu)); // four billion objects promised
        TWMATag tag;
        ASSERT_TRUE(readsOk(tag, file)) << size;
        EXPECT_TRUE(tag.Valid);
        EXPECT_EQ(tag.Title, QString());
    }
    // A header object size beyond the file is bounded by the file.
    QByteArray file = asfFile(asfPlausible(), 0);
    file.replace(16, 8, le64(~0ull));
    TWMATag tag;
    EXPECT_TRUE(readsOk(tag, file));
    EXPECT_TRUE(tag.Valid);
}

TEST(WmaTag, DurationIsThePlayDurationWithoutThePreroll)
{
    // 12.5 s played, 3.1 s of it preroll; a broadcast header's durations do not count.
    auto withTimes = [](std::uint64_t play, std::uint64_t preroll, std::uint32_t flags) {
        QByteArray fp = asfFileProperties(128000);
        fp.replace(64, 8, le64(play)).replace(80, 8, le64(preroll)).replace(88, 4, le32(flags));
        return asfFile({fp, asfStreamProperties(2, 44100, 16000)});
    };
    struct Case { std::uint64_t play, preroll; std::uint32_t flags; bool estimate; double seconds; };
    const Case cases[] = {
        {125000000, 3100, 2, false, 9.4},
        {125000000, 0, 0, false, 12.5},
        {125000000, 3100, 1, true, 0},
        {0, 3100, 2, true, 0},
        {10000000, 5000, 2, true, 0}, // a preroll longer than the play: the estimate
    };
    for (const Case &c : cases) {
        const QByteArray file = withTimes(c.play, c.preroll, c.flags);
        TWMATag tag;
        ASSERT_TRUE(readsOk(tag, file));
        ASSERT_TRUE(tag.Valid);
        EXPECT_NEAR(tag.Duration, c.estimate ? file.size() * 8.0 / 128000 : c.seconds, 1e-9) << c.play << ' ' << c.flags;
    }
}
