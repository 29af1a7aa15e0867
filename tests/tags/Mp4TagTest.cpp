#include "ByteBuilders.h"

#include "tags/Mp4Tag.h"

#include <gtest/gtest.h>

using namespace bytes;

namespace {

QByteArray allItems()
{
    return mp4Item("\xA9" "ART", "Band") + mp4Item("\xA9" "nam", "Song") + mp4Item("\xA9" "alb", "Album")
        + mp4Item("\xA9" "day", "2003") + mp4Item("trkn", zeros(2) + be32(0x00050009) + zeros(2), 0)
        + mp4Item("gnre", of({0, 9}), 0) + mp4Item("covr", QByteArray(2000, 'p'), 13);
}

} // namespace

TEST(Mp4Tag, MovieHeaderAndItems)
{
    TMp4Tag tag;
    ASSERT_TRUE(readsOk(tag, mp4File(allItems(), 600, 600 * 42 + 300)));
    EXPECT_EQ(tag.Brand, u"M4A ");
    EXPECT_DOUBLE_EQ(tag.GetDuration(), 42.5);
    EXPECT_EQ(tag.Artist, u"Band");
    EXPECT_EQ(tag.Title, u"Song");
    EXPECT_EQ(tag.Album, u"Album");
    EXPECT_EQ(tag.Year, u"2003");
    EXPECT_EQ(tag.Track, 5);
    EXPECT_EQ(tag.Genre, u"Jazz"); // gnre stores the ID3v1 number plus one: 9 is 8, Jazz
    // A text genre wins over the number; UTF-16 texts (type 2) are read too.
    ASSERT_TRUE(readsOk(tag, mp4File(mp4Item("gnre", of({0, 9}), 0) + mp4Item("\xA9" "gen", "Own Genre")
                                     + mp4Item("\xA9" "nam", of({0, 0xDC, 0, 'x'}), 2))));
    EXPECT_EQ(tag.Genre, u"Own Genre");
    EXPECT_EQ(tag.Title, u"Üx");
}

TEST(Mp4Tag, AtomSizes)
{
    const QByteArray ftyp = atom("ftyp", QByteArray("M4A ") + zeros(4));
    struct Case { const char *name; QByteArray bytes; int code; const char16_t *title; double seconds; };
    const Case cases[] = {
        {"moov first", ftyp + mp4Moov(mp4Item("\xA9" "nam", "A")) + atom("mdat", zeros(50)), 0, u"A", 10},
        {"64-bit mdat", ftyp + atom64("mdat", zeros(40)) + mp4Moov(mp4Item("\xA9" "nam", "B")), 0, u"B", 10},
        {"64-bit moov", ftyp + atom64("moov", mp4TimeHeader("mvhd", 10, 55)), 0, u"", 5.5},
        // Size 0: the atom runs to the end of the file; "moov" after it is never reached.
        {"size 0 mdat", ftyp + be32(0) + QByteArray("mdat") + zeros(30) + mp4Moov({}), 6, u"", 0},
        {"size 0 moov", ftyp + be32(0) + QByteArray("moov") + mp4TimeHeader("mvhd", 10, 20), 0, u"", 2},
        // An atom larger than its parent is read only within the parent.
        {"item larger than ilst", ftyp + mp4Moov(be32(5000) + QByteArray("\xA9" "nam") + atom("data", be32(1) + be32(0) + "C")),
         0, u"C", 10},
        {"moov past the file end", ftyp + be32(1 << 30) + QByteArray("moov") + mp4TimeHeader("mvhd", 10, 30), 0, u"", 3},
        {"size smaller than a header", ftyp + be32(3) + QByteArray("moov") + zeros(40), 6, u"", 0},
        {"no moov", ftyp + atom("mdat", zeros(100)), 6, u"", 0},
        {"no ftyp", atom("moov", {}) + zeros(10), 9, u"", 0},
    };
    for (const Case &c : cases) {
        TMp4Tag tag;
        EXPECT_EQ(readInto(tag, c.bytes), c.code) << c.name;
        EXPECT_EQ(tag.Title, c.title) << c.name;
        EXPECT_DOUBLE_EQ(tag.GetDuration(), c.seconds) << c.name;
    }
}

TEST(Mp4Tag, MoovNestedThousandDeep)
{
    QByteArray nested = mp4TimeHeader("mvhd", 1, 7);
    for (int i = 0; i < 1000; ++i)
        nested = atom("moov", nested);
    TMp4Tag tag;
    // Only the outer "moov" is a movie; the ones inside it are unknown children.
    EXPECT_EQ(readInto(tag, atom("ftyp", QByteArray("M4A ") + zeros(4)) + nested), ReaderResult::Ok);
    EXPECT_EQ(tag.GetDuration(), 0.0);
}

TEST(Mp4Tag, SoundTrackSampleEntryAndMediaTime)
{
    // mvhd without a duration: the sound track's mdhd gives the length.
    const QByteArray entry = be32(36) + QByteArray("alac") + zeros(6) + of({0, 1}) + zeros(8) + of({0, 2, 0, 24})
        + zeros(4) + be32(44100u << 16);
    const QByteArray stsd = atom("stsd", zeros(4) + be32(1) + entry);
    const QByteArray mdia = atom("mdia", mp4TimeHeader("mdhd", 44100, 44100 * 3)
                                             + atom("hdlr", zeros(8) + QByteArray("soun") + zeros(12))
                                             + atom("minf", atom("stbl", stsd)));
    TMp4Tag tag;
    ASSERT_TRUE(readsOk(tag, atom("ftyp", QByteArray("M4A ") + zeros(4))
                                 + atom("moov", mp4TimeHeader("mvhd", 1000, 0) + atom("trak", mdia))));
    EXPECT_EQ(tag.Codec, u"alac");
    EXPECT_EQ(tag.Channels, 2);
    EXPECT_EQ(tag.BitsPerSample, 24);
    EXPECT_EQ(tag.SampleRate, 44100u);
    EXPECT_DOUBLE_EQ(tag.GetDuration(), 3.0);
}
