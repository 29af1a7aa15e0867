// Hostile inputs kept under tests/data/regression/<reader>/, each with what it must give.
// The fuzz replay tests run every one of them through every reader as well.
#include "tags/AudioInfo.h"

#include <gtest/gtest.h>

namespace {

TAudioInfo read(const char *relative)
{
    TAudioInfo info;
    info.ReadFromFile(QStringLiteral(SONALO_TEST_DATA "/regression/") + QString::fromLatin1(relative));
    return info;
}

} // namespace

TEST(TagsRegression, ExtendedHeaderPastTheEndGivesNoFrames)
{
    const TAudioInfo info = read("id3v2/extended-header-past-end.mp3");
    EXPECT_EQ(info.UsedReader, TAudioInfo::Reader::Mpeg);
    EXPECT_TRUE(info.ID3v2Exists);
    EXPECT_EQ(info.Title, u"extended-header-past-end.mp3");
}

TEST(TagsRegression, FrameSizePastTheTagKeepsEarlierFrames)
{
    const TAudioInfo info = read("id3v2/frame-size-past-tag.mp3");
    EXPECT_EQ(info.Title, u"Song");
    EXPECT_EQ(info.Artist, QString());
    EXPECT_EQ(info.Mpeg.FirstFramePosition, info.ID3v2TagSize);
}

TEST(TagsRegression, TagLargerThanTheFileIsNoMpegFile)
{
    const TAudioInfo info = read("id3v2/tag-larger-than-file.mp3");
    EXPECT_EQ(info.UsedReader, TAudioInfo::Reader::FileName);
    EXPECT_EQ(info.Title, u"tag-larger-than-file.mp3");
}

TEST(TagsRegression, XingBitrateBeyond16BitsRejectsThatFrame)
{
    const TAudioInfo info = read("mpeg/xing-bitrate-overflow.mp3");
    ASSERT_EQ(info.UsedReader, TAudioInfo::Reader::Mpeg);
    EXPECT_FALSE(info.Mpeg.IsVbr);
    EXPECT_EQ(info.Mpeg.FirstFramePosition, 417);
}

TEST(TagsRegression, OggCommentCountOfFourBillion)
{
    const TAudioInfo info = read("ogg/comment-count-4-billion.ogg");
    ASSERT_EQ(info.UsedReader, TAudioInfo::Reader::Ogg);
    EXPECT_EQ(info.Title, u"Song");
}

TEST(TagsRegression, ShortOggFile)
{
    const TAudioInfo info = read("ogg/short-file.ogg");
    ASSERT_EQ(info.UsedReader, TAudioInfo::Reader::Ogg);
    EXPECT_EQ(info.Ogg.SampleCount, 4410);
    EXPECT_EQ(info.Seconds, 0);
}

TEST(TagsRegression, ZeroSizeAsfObjectEndsTheLoop)
{
    const TAudioInfo info = read("wma/zero-size-object.wma");
    ASSERT_EQ(info.UsedReader, TAudioInfo::Reader::Wma);
    EXPECT_TRUE(info.Wma.Valid);
    EXPECT_EQ(info.Wma.Channels, 2);
}
