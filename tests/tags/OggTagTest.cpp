#include "ByteBuilders.h"

#include "tags/OggTag.h"
#include "tags/ReaderResult.h"

#include <gtest/gtest.h>

using namespace bytes;

TEST(OggTag, ReadsHeadersCommentsAndGranule)
{
    TOGGtag tag;
    ASSERT_TRUE(readsOk(tag, oggFile({"TITLE=Song", "artist=Band", "ALBUM=Album", "TRACKNUMBER=3/12", "DATE=2001",
                                      "GENRE=Jazz", "COMMENT=Nice"})));
    EXPECT_EQ(tag.Channels, 2);
    EXPECT_EQ(tag.SampleRate, 44100);
    EXPECT_EQ(tag.BitrateNominal, 128);
    EXPECT_EQ(tag.SampleCount, 441000);
    EXPECT_EQ(tag.GetDuration(), 10.0);
    EXPECT_EQ(tag.Title, u"Song");
    EXPECT_EQ(tag.Artist, u"Band");
    EXPECT_EQ(tag.Album, u"Album");
    EXPECT_EQ(tag.Track, 3);
    EXPECT_EQ(tag.Date, u"2001");
    EXPECT_EQ(tag.Genre, u"Jazz");
    EXPECT_EQ(tag.Comment, u"Nice");
    EXPECT_EQ(tag.Vendor, u"vendor");
}

TEST(OggTag, FallbacksAndRepeats)
{
    TOGGtag tag;
    ASSERT_TRUE(readsOk(tag, oggFile({"ARTIST=", "PERFORMER=Perf", "DESCRIPTION=Desc", "TITLE=One", "TITLE=Two"})));
    EXPECT_EQ(tag.Artist, u"Perf");
    EXPECT_EQ(tag.Comment, u"Desc");
    EXPECT_EQ(tag.Title, u"Two");
    ASSERT_TRUE(readsOk(tag, oggFile({"ARTIST=Real", "PERFORMER=Perf", "COMMENT=C", "DESCRIPTION=D"})));
    EXPECT_EQ(tag.Artist, u"Real");
    EXPECT_EQ(tag.Comment, u"C");
}

TEST(OggTag, TrackFromText)
{
    struct Case { const char *text; int track; };
    const Case cases[] = {{"3/12", 3}, {"300", 44}, {"x", 0}, {"", 0}, {"7", 7}, {"/5", 0}, {"256", 0}};
    for (const Case &c : cases)
        EXPECT_EQ(TOGGtag::TrackFromText(QString::fromLatin1(c.text)), c.track) << c.text;
}

TEST(OggTag, LongCommentIsCutAndTheNextStillRead)
{
    TOGGtag tag;
    const QByteArray longTitle = "TITLE=" + QByteArray(294, 'a'); // 300 bytes
    ASSERT_TRUE(readsOk(tag, oggFile({longTitle, "ARTIST=Next"})));
    EXPECT_EQ(tag.Title, QString(244, u'a'));
    EXPECT_EQ(tag.Artist, u"Next");
}

TEST(OggTag, TextDecodingAndTrimming)
{
    TOGGtag tag;
    ASSERT_TRUE(readsOk(tag, oggFile({"  TITLE= \xC3\xBC" "ber \n", "ARTIST=a\xC3", "ALBUM=\xF0\x9F\x8E\xB5",
                                      "no equals sign"})));
    EXPECT_EQ(tag.Title, QString::fromUtf16(u"über"));
    EXPECT_EQ(tag.Artist, u"a");
    EXPECT_EQ(tag.Album, QString::fromUtf16(u"\U0001F3B5"));
    EXPECT_EQ(tag.Vendor, u"vendor"); // only the first text without "=" becomes the vendor
}

TEST(OggTag, NotVorbis)
{
    TOGGtag tag;
    EXPECT_EQ(readInto(tag, QByteArray()), ReaderResult::TooShort);
    EXPECT_EQ(readInto(tag, QByteArray("OggS")), ReaderResult::TooShort);
    EXPECT_EQ(readInto(tag, oggFile({}).left(27 + 1 + 29)), ReaderResult::TooShort); // identification cut
    EXPECT_EQ(readInto(tag, zeros(500)), ReaderResult::NoTag);
    QByteArray notVorbis = oggFile({});
    notVorbis.replace(28, 7, "\x01opus  ");
    EXPECT_EQ(readInto(tag, notVorbis), ReaderResult::NoTag);
    EXPECT_EQ(tag.SampleRate, 0);
    EXPECT_EQ(tag.Title, QString());
}

TEST(OggTag, ID3v2InFront)
{
    const QByteArray id3 = id3Tag(3, id3Text(3, "TIT2", "Ignored"), 10);
    TOGGtag tag;
    ASSERT_TRUE(readsOk(tag, id3 + oggFile({"TITLE=Behind"})));
    EXPECT_EQ(tag.ID3v2Size, quint32(id3.size()));
    EXPECT_EQ(tag.Title, u"Behind");
    // A tag size beyond the file counts as no tag.
    QByteArray huge = id3Header(3, 0, 0x0FFFFFFF) + oggFile({"TITLE=x"});
    EXPECT_EQ(readInto(tag, huge), ReaderResult::NoTag);
}

TEST(OggTag, CommentCountIsBoundedByTheFile)
{
    // Four billion comments promised, two present: the end of the file stops the loop.
    const QByteArray file = oggPage(vorbisIdentification(2, 44100, 128000), 0, 2)
        + oggPage(vorbisComments("v", {"TITLE=Only", "ARTIST=Two"}, 0xFFFFFFFFu - 1));
    TOGGtag tag;
    ASSERT_TRUE(readsOk(tag, file));
    EXPECT_EQ(tag.Title, u"Only");
    // A comment length beyond the file: what is there is read, then reading stops.
    const QByteArray cut = oggPage(vorbisIdentification(2, 44100, 128000), 0, 2)
        + oggPage(QByteArray("\x03vorbis") + le32(1) + "v" + le32(3) + le32(10) + "TITLE=Only" + le32(0x7FFFFFFF)
                  + "ARTIST=x");
    ASSERT_TRUE(readsOk(tag, cut));
    EXPECT_EQ(tag.Title, u"Only");
    EXPECT_EQ(tag.Artist, u"x");
}

TEST(OggTag, DurationRules)
{
    TOGGtag tag;
    // No page with a granule in reach: the nominal bitrate gives the length (all channels).
    QByteArray noLast = oggPage(vorbisIdentification(1, 44100, 64000), 0, 2) + oggPage(vorbisComments("v", {}));
    noLast += zeros(80000 - noLast.size());
    ASSERT_TRUE(readsOk(tag, noLast));
    EXPECT_EQ(tag.SampleCount, 0);
    EXPECT_DOUBLE_EQ(tag.GetDuration(), 10.0); // 80000 bytes * 8 / 64000
    // Only the last roughly 12 KB are searched.
    QByteArray far = oggFile({}, 441000) + zeros(13000);
    ASSERT_TRUE(readsOk(tag, far));
    EXPECT_EQ(tag.SampleCount, 0);
    // A sample rate of 0 gives 0 even with samples.
    ASSERT_TRUE(readsOk(tag, oggFile({}, 1000, 2, 0)));
    EXPECT_EQ(tag.GetDuration(), 0.0);
    // A very short file: windows that would start before byte 0 still find the page.
    const QByteArray tiny = oggPage(vorbisIdentification(2, 8000, 0), 16000, 2);
    ASSERT_TRUE(readsOk(tag, tiny));
    EXPECT_EQ(tag.SampleCount, 16000);
    EXPECT_EQ(tag.GetDuration(), 2.0);
}
