#include "ByteBuilders.h"

#include "tags/OpusTag.h"

#include <gtest/gtest.h>

using namespace bytes;

TEST(OpusTag, HeadTagsAndLastGranule)
{
    TOpusTag tag;
    ASSERT_TRUE(readsOk(tag, opusFile({"TITLE=Song", "ARTIST=Band", "ALBUM=Album", "TRACKNUMBER=4", "DATE=2002",
                                       "GENRE=Rock"},
                                      48000 * 7 + 312 + 24000)));
    EXPECT_EQ(tag.Channels, 2);
    EXPECT_EQ(tag.PreSkip, 312);
    EXPECT_EQ(tag.InputSampleRate, 48000u);
    EXPECT_DOUBLE_EQ(tag.GetDuration(), 7.5);
    EXPECT_EQ(tag.Title, u"Song");
    EXPECT_EQ(tag.Artist, u"Band");
    EXPECT_EQ(tag.Album, u"Album");
    EXPECT_EQ(tag.Track, 4);
    EXPECT_EQ(tag.Date, u"2002");
    EXPECT_EQ(tag.Genre, u"Rock");
}

TEST(OpusTag, CommentPacketAcrossPages)
{
    // A 600-byte picture comment before the title: the packet spans three pages, the first two
    // ending in full segments and the next ones marked as continuing it.
    const QByteArray packet = QByteArray("OpusTags")
        + commentBlock("vendor", {QByteArray("METADATA_BLOCK_PICTURE=") + QByteArray(600, 'x'), "TITLE=After"});
    auto page = [](const QByteArray &body, QByteArray lacing, int type) {
        return QByteArray("OggS") + of({0, type}) + le64(~0ULL) + le32(1) + le32(0) + le32(0)
            + of({int(lacing.size())}) + lacing + body;
    };
    const QByteArray full(1, char(255));
    const QByteArray pages = oggPage(opusHead(1, 0), 0, 2) + page(packet.left(255), full, 0)
        + page(packet.mid(255, 255), full, 1) + page(packet.mid(510), of({int(packet.size() - 510)}), 1);
    TOpusTag tag;
    ASSERT_TRUE(readsOk(tag, pages + oggPage(zeros(10), 96000, 4)));
    EXPECT_EQ(tag.Title, u"After");
    EXPECT_EQ(tag.Vendor, u"vendor");
    EXPECT_DOUBLE_EQ(tag.GetDuration(), 2.0);
    // A page that does not continue the packet ends it: the title is never reached.
    const QByteArray broken = oggPage(opusHead(1, 0), 0, 2) + page(packet.left(255), full, 0)
        + page(packet.mid(255, 255), full, 0) + page(packet.mid(510), of({int(packet.size() - 510)}), 1);
    ASSERT_TRUE(readsOk(tag, broken));
    EXPECT_EQ(tag.Title, QString());
}

TEST(OpusTag, MalformedStreams)
{
    struct Case { const char *name; QByteArray bytes; int code; double seconds; };
    const QByteArray head = oggPage(opusHead(2, 312), 0, 2);
    const Case cases[] = {
        // -1: no packet ends on the page; the page before it holds the length.
        {"granule of -1 last", opusFile({}, 48312) + oggPage(zeros(10), -1), 0, 1.0},
        {"only granules of -1", head + oggPage(QByteArray("OpusTags") + commentBlock("v", {}), -1), 0, 0},
        {"granule below the pre-skip", opusFile({}, 100), 0, 0},
        {"no tags packet", head + oggPage(zeros(50), 96312, 4), 0, 2.0},
        {"huge comment count", head + oggPage(QByteArray("OpusTags") + commentBlock("v", {"TITLE=A"}, 0xFFFFFFFE))
             + oggPage(zeros(10), 48312, 4), 0, 1.0},
        {"major version 1", oggPage(opusHead(2, 0, 0x10), 0, 2), 10, 0},
        {"cut in OpusHead", head.left(40), 6, 0},
        {"Vorbis, not Opus", oggFile({"TITLE=x"}), 9, 0},
    };
    for (const Case &c : cases) {
        TOpusTag tag;
        EXPECT_EQ(readInto(tag, c.bytes), c.code) << c.name;
        EXPECT_DOUBLE_EQ(tag.GetDuration(), c.seconds) << c.name;
    }
}
