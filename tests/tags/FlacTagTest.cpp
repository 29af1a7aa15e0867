#include "ByteBuilders.h"

#include "tags/FlacTag.h"

#include <gtest/gtest.h>

using namespace bytes;

TEST(FlacTag, StreamInfoAndComments)
{
    TFlacTag tag;
    ASSERT_TRUE(readsOk(tag, flacFile({"TITLE=Song", "artist=Band", "ALBUM=Album", "TRACKNUMBER=3/12", "DATE=2001",
                                       "GENRE=Jazz", "COMMENT=Nice"},
                                      441000 * 3 + 22050)));
    EXPECT_EQ(tag.SampleRate, 44100u);
    EXPECT_EQ(tag.Channels, 2);
    EXPECT_EQ(tag.BitsPerSample, 16);
    EXPECT_DOUBLE_EQ(tag.GetDuration(), 30.5);
    const QString got[] = {tag.Title, tag.Artist, tag.Album, tag.Date, tag.Genre, tag.Comment, tag.Vendor};
    const char16_t *want[] = {u"Song", u"Band", u"Album", u"2001", u"Jazz", u"Nice", u"vendor"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(got[i], want[i]) << i;
    EXPECT_EQ(tag.Track, 3);
}

TEST(FlacTag, Id3v2InFrontIsSkipped)
{
    TFlacTag tag;
    ASSERT_TRUE(readsOk(tag, id3Tag(3, id3Text(3, "TIT2", "Ignored"), 20) + flacFile({"TITLE=Song"})));
    EXPECT_EQ(tag.Title, u"Song");
    EXPECT_GT(tag.ID3v2Size, 0u);
}

TEST(FlacTag, MalformedBlocks)
{
    const QByteArray head = QByteArray("fLaC") + flacBlock(0, flacStreamInfo(48000, 1, 24, 48000));
    struct Case { const char *name; QByteArray bytes; int code; const char16_t *title; double seconds; };
    const Case cases[] = {
        // A comment block that claims more than the file holds is read as far as it goes.
        {"block past the end", head + flacBlock(4, commentBlock("v", {"TITLE=Cut"}), true, 0xFFFFFF), 0, u"Cut", 1.0},
        // Four billion comments announced, two there: the two count, the rest costs nothing.
        {"huge count", head + flacBlock(4, commentBlock("v", {"TITLE=A", "ARTIST=B"}, 0xFFFFFFFF - 1), true), 0, u"A", 1.0},
        {"padding block past the end", head + flacBlock(1, zeros(4), false, 0xFFFFFF), 0, u"", 1.0},
        {"no STREAMINFO first", QByteArray("fLaC") + flacBlock(4, commentBlock("v", {"TITLE=X"}), true), 9, u"", 0},
        {"STREAMINFO too short", QByteArray("fLaC") + flacBlock(0, zeros(20)) + zeros(30), 9, u"", 0},
        {"cut in STREAMINFO", head.left(20), 6, u"", 0},
        {"unknown samples", QByteArray("fLaC") + flacBlock(0, flacStreamInfo(44100, 2, 16, 0), true), 0, u"", 0},
        {"other format", QByteArray("OggS") + zeros(60), 9, u"", 0},
    };
    for (const Case &c : cases) {
        TFlacTag tag;
        EXPECT_EQ(readInto(tag, c.bytes), c.code) << c.name;
        EXPECT_EQ(tag.Title, c.title) << c.name;
        EXPECT_DOUBLE_EQ(tag.GetDuration(), c.seconds) << c.name;
    }
}
