#include "ByteBuilders.h"

#include "tags/ID3v2Tag.h"
#include "tags/ReaderResult.h"

#include <gtest/gtest.h>

using namespace bytes;

namespace {

QByteArray tailAudio() { return cbrFrames(3); }

} // namespace

TEST(ID3v2Tag, FramesOfEachVersion)
{
    struct Case { int version; const char *ids[6]; };
    const Case cases[] = {
        {2, {"TP1", "TT2", "TAL", "TYE", "TCO", "TRK"}},
        {3, {"TPE1", "TIT2", "TALB", "TYER", "TCON", "TRCK"}},
        {4, {"TPE1", "TIT2", "TALB", "TDRC", "TCON", "TRCK"}},
    };
    for (const Case &c : cases) {
        const QByteArray frames = id3Text(c.version, c.ids[0], "Band") + id3Text(c.version, c.ids[1], "Song")
            + id3Text(c.version, c.ids[2], "Album") + id3Text(c.version, c.ids[3], "2001")
            + id3Text(c.version, c.ids[4], "(17)") + id3Text(c.version, c.ids[5], "3/12");
        TID3v2Tag tag;
        ASSERT_EQ(readInto(tag, id3Tag(c.version, frames, 20) + tailAudio()), ReaderResult::Ok) << c.version;
        EXPECT_TRUE(tag.Exists);
        EXPECT_EQ(tag.Version, c.version);
        EXPECT_EQ(tag.Frames.size(), 6);
        EXPECT_EQ(tag.GetArtist(), u"Band");
        EXPECT_EQ(tag.GetTitle(), u"Song");
        EXPECT_EQ(tag.GetAlbum(), u"Album");
        EXPECT_EQ(tag.GetYear(), u"2001");
        EXPECT_EQ(tag.GetGenre(), u"Rock");
        EXPECT_EQ(tag.GetTrack(), u"3/12");
        EXPECT_EQ(tag.TagSize, quint32(frames.size() + 20 + 10));
        EXPECT_TRUE(tag.PaddingReached);
        EXPECT_EQ(tag.PaddingSize, 20u);
    }
}

TEST(ID3v2Tag, HeaderResults)
{
    TID3v2Tag tag;
    EXPECT_EQ(readInto(tag, "ID3\x03"), ReaderResult::TooShort);
    EXPECT_FALSE(tag.Exists);
    EXPECT_EQ(readInto(tag, tailAudio()), ReaderResult::NoTag);
    EXPECT_EQ(readInto(tag, id3Tag(5, id3Text(4, "TIT2", "x")) + tailAudio()), ReaderResult::UnsupportedVersion);
    EXPECT_FALSE(tag.Exists);
    EXPECT_EQ(tag.Version, 3);
    EXPECT_EQ(readInto(tag, id3Tag(1, QByteArray())), ReaderResult::UnsupportedVersion);
}

TEST(ID3v2Tag, SizeInFrontForReadersOfWhatFollows)
{
    using namespace ReaderResult;
    struct Case { QByteArray bytes; int code; std::uint32_t size; };
    const Case cases[] = {
        {id3Header(4, 0x10, 90) + zeros(100), Ok, 110}, // the footer counts
        {id3Header(5, 0, 100) + zeros(100), Ok, 110},   // a version the tag reader refuses is still skipped
        {id3Header(3, 0, 101) + zeros(100), NoTag, 0},  // would reach past the end
        {QByteArray("ID3\x03"), TooShort, 0},
        // Every size byte with its top bit set: the mask leaves 00 00 01 00, 128 bytes.
        {QByteArray("ID3") + of({3, 0, 0, 0x80, 0x80, 0x81, 0x80}) + zeros(128), Ok, 138},
    };
    for (const Case &c : cases) {
        MemoryDevice dev(c.bytes);
        const ReadResult<std::uint32_t> r = TID3v2Tag::SizeInFront(dev.buffer);
        EXPECT_EQ(r.code, c.code) << c.bytes.left(10).toHex().constData();
        EXPECT_EQ(r.values, c.size) << c.bytes.left(10).toHex().constData();
    }
}

TEST(ID3v2Tag, SynchsafeSizeAndFooter)
{
    // 0x01 0x7F in synchsafe form is 255.
    TID3v2Tag tag;
    const QByteArray tag4 = QByteArray("ID3") + of({4, 0, 0x10, 0, 0, 1, 0x7F}) + zeros(255) + QByteArray("3DI")
        + of({4, 0, 0x10, 0, 0, 1, 0x7F});
    ASSERT_EQ(readInto(tag, tag4 + tailAudio()), ReaderResult::Ok);
    EXPECT_TRUE(tag.Footer);
    EXPECT_EQ(tag.TagSize, 255u + 20u);
    // The footer flag means nothing before version 4.
    ASSERT_EQ(readInto(tag, QByteArray("ID3") + of({3, 0, 0x10, 0, 0, 1, 0x7F}) + zeros(255) + tailAudio()),
              ReaderResult::Ok);
    EXPECT_FALSE(tag.Footer);
    EXPECT_EQ(tag.TagSize, 265u);
}

TEST(ID3v2Tag, Version4FrameSizesAreSynchsafe)
{
    const QByteArray text = of({0}) + QByteArray(200, 'a');
    TID3v2Tag tag;
    ASSERT_EQ(readInto(tag, id3Tag(4, id3Frame(4, "TIT2", text)) + tailAudio()), ReaderResult::Ok);
    ASSERT_EQ(tag.Frames.size(), 1);
    EXPECT_EQ(tag.Frames[0].Header.mid(4, 4), synchsafe(201));
    EXPECT_EQ(tag.GetTitle(), QString(200, u'a'));
    // A frame size whose bytes carry the top bit reads through the 7-bit mask: 00 00 01 00 is 128.
    const QByteArray masked = QByteArray("TIT2") + of({0x80, 0x80, 0x81, 0x80, 0, 0}) + of({0}) + QByteArray(127, 'b');
    ASSERT_EQ(readInto(tag, id3Tag(4, masked) + tailAudio()), ReaderResult::Ok);
    EXPECT_EQ(tag.GetTitle(), QString(127, u'b'));
}

TEST(ID3v2Tag, NulEndsATextBeforeVersion4AndSeparatesValuesIn4)
{
    const QByteArray twoArtists = QByteArray("ArtistOne\0ArtistTwo", 19);
    const QByteArray bom = of({0xFF, 0xFE});
    const struct { int version; QByteArray text; int encoding; const char16_t *read; } cases[] = {
        {2, twoArtists, 0, u"ArtistOne"},
        {3, twoArtists, 0, u"ArtistOne"},
        {3, QByteArray("Song \0garbage\0", 14), 0, u"Song"},
        {3, bom + utf16le(QStringLiteral("Eins")) + le16(0) + utf16le(QStringLiteral("Rest")), 1, u"Eins"},
        {4, twoArtists, 0, u"ArtistOne / ArtistTwo"},
        {4, QByteArray("\0One\0\0 Two \0", 12), 3, u"One / Two"},
        {4, bom + utf16le(QStringLiteral("Eins")) + le16(0) + bom + utf16le(QStringLiteral("Zwei")) + le16(0), 1, u"Eins / Zwei"},
        {4, QByteArray("\0\0", 2), 0, u""},
    };
    for (const auto &c : cases) {
        TID3v2Tag tag;
        ASSERT_EQ(readInto(tag, id3Tag(c.version, id3Text(c.version, c.version == 2 ? "TP1" : "TPE1", c.text, c.encoding))),
                  ReaderResult::Ok);
        EXPECT_EQ(tag.GetArtist(), QStringView(c.read)) << c.version << ' ' << c.text.toHex().constData();
    }
}

TEST(ID3v2Tag, LastOfTwoFramesWins)
{
    TID3v2Tag tag;
    ASSERT_EQ(readInto(tag, id3Tag(3, id3Text(3, "TIT2", "First") + id3Text(3, "TIT2", "Second"))), ReaderResult::Ok);
    EXPECT_EQ(tag.GetTitle(), u"Second");
    EXPECT_EQ(tag.FindFrame(TID3v2Tag::Title), 1);
    EXPECT_EQ(tag.FindFrame(TID3v2Tag::Artist), -1);
}

TEST(ID3v2Tag, EmptyAndZeroSizeFrames)
{
    TID3v2Tag tag;
    ASSERT_EQ(readInto(tag, id3Tag(3, id3Frame(3, "TIT2", QByteArray()) + id3Text(3, "TPE1", ""))), ReaderResult::Ok);
    EXPECT_EQ(tag.Frames.size(), 2);
    EXPECT_EQ(tag.GetTitle(), QString());
    EXPECT_EQ(tag.GetArtist(), QString());
}

TEST(ID3v2Tag, DecodeText)
{
    struct Case { int encoding; QByteArray bytes; QString text; };
    const Case cases[] = {
        {0, " Caf\xE9\x80\0 ", QString::fromUtf16(u"Café€")},
        {1, of({0xFF, 0xFE, 0x41, 0, 0x42, 0, 0, 0}), QStringLiteral("AB")},
        {1, of({0xFE, 0xFF, 0, 0x41, 0, 0x42}), QStringLiteral("AB")},
        {1, of({0x41, 0, 0x42, 0, 0x43, 0}), QStringLiteral("BC")}, // no BOM: the first character is lost
        {1, of({0xFF, 0xFE, 0x41, 0, 0, 0, 0x42, 0}), QStringLiteral("A") + QChar(u'\0') + QStringLiteral("B")},
        {1, of({0xFF}), QString()},
        {2, of({0, 0x41, 0, 0x42, 0, 0}), QStringLiteral("AB")},
        {3, "\xC3\xBC" "ber", QString::fromUtf16(u"über")},
        {3, "ab\xC3", QStringLiteral("ab")},         // cut-off sequence: decoding stops
        {3, "a\xC3(b", QStringLiteral("a")},         // wrong continuation byte
        {3, "\xF0\x9F\x8E\xB5", QString::fromUtf16(u"\U0001F3B5")},
        {4, "abc", QString()},
        {0, "", QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TID3v2Tag::DecodeText(std::uint8_t(c.encoding), c.bytes), c.text) << c.encoding << ' ' << c.bytes.toHex().constData();
}

TEST(ID3v2Tag, GenreFromText)
{
    struct Case { const char *in; const char16_t *out; };
    const Case cases[] = {
        {"(17)Rock", u"Rock"}, {"(17)", u"Rock"}, {"(12)", u""}, {"(RX)", u"(RX)"}, {"(255)", u"(255)"},
        {"Jazz", u"Jazz"}, {")17(", u")17("}, {"(0)", u"Blues"}, {"(256)", u"Blues"}, {"(126)", u"(126)"},
        {"Pop (13)", u"Pop"}, {"(13", u"(13"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TID3v2Tag::GenreFromText(QString::fromLatin1(c.in)), QString::fromUtf16(c.out)) << c.in;
}

TEST(ID3v2Tag, PaddingStopsTheFrameList)
{
    TID3v2Tag tag;
    const QByteArray frames = id3Text(3, "TIT2", "Song");
    ASSERT_EQ(readInto(tag, id3Tag(3, frames, 100) + tailAudio()), ReaderResult::Ok);
    EXPECT_TRUE(tag.PaddingReached);
    EXPECT_EQ(tag.PaddingSize, 100u);
    EXPECT_EQ(tag.Frames.size(), 1);
    // A lower-case identifier is padding too.
    ASSERT_EQ(readInto(tag, id3Tag(3, frames + id3Text(3, "tit2", "x"))), ReaderResult::Ok);
    EXPECT_EQ(tag.Frames.size(), 1);
    EXPECT_TRUE(tag.PaddingReached);
}

TEST(ID3v2Tag, ExtendedHeaderIsSkipped)
{
    // Version 3: the size excludes its own four bytes; version 4: it counts the whole header.
    const QByteArray v3 = be32(6) + zeros(6);
    const QByteArray v4 = synchsafe(6) + of({1, 0});
    TID3v2Tag tag;
    ASSERT_EQ(readInto(tag, id3Tag(3, v3 + id3Text(3, "TIT2", "Three"), 0, 0x40)), ReaderResult::Ok);
    EXPECT_TRUE(tag.ExtendedHeader);
    EXPECT_EQ(tag.GetTitle(), u"Three");
    ASSERT_EQ(readInto(tag, id3Tag(4, v4 + id3Text(4, "TIT2", "Four"), 0, 0x40)), ReaderResult::Ok);
    EXPECT_EQ(tag.GetTitle(), u"Four");
    // An extended header pointing past the tag: no frames, no crash.
    ASSERT_EQ(readInto(tag, id3Tag(3, be32(0x7FFFFFF0) + zeros(6) + id3Text(3, "TIT2", "x"), 0, 0x40)),
              ReaderResult::Ok);
    EXPECT_TRUE(tag.Exists);
    EXPECT_TRUE(tag.Frames.isEmpty());
    // One cut off by the end of the file.
    EXPECT_EQ(readInto(tag, id3Header(3, 0x40, 100) + of({0, 0})), ReaderResult::TooShort);
}

TEST(ID3v2Tag, FrameSizesAreBoundedByTheTag)
{
    TID3v2Tag tag;
    // A frame claiming more than the tag holds ends the list; the frames before it stay.
    const QByteArray big = QByteArray("TPE1") + be32(5000) + of({0, 0, 0}) + "Band";
    ASSERT_EQ(readInto(tag, id3Tag(3, id3Text(3, "TIT2", "Song") + big) + tailAudio()), ReaderResult::TooShort);
    EXPECT_EQ(tag.Frames.size(), 1);
    EXPECT_EQ(tag.GetTitle(), u"Song");
    EXPECT_EQ(tag.GetArtist(), QString());
    // A negative version-3 size.
    const QByteArray negative = QByteArray("TPE1") + be32(0xFFFFFFF0u) + of({0, 0, 0});
    EXPECT_EQ(readInto(tag, id3Tag(3, negative + zeros(20)) + tailAudio()), ReaderResult::TooShort);
    // A tag larger than the file: ends inside a frame.
    const QByteArray full = id3Tag(3, id3Text(3, "TIT2", "Song") + id3Text(3, "TPE1", "Band"));
    EXPECT_EQ(readInto(tag, full.left(full.size() - 2)), ReaderResult::TooShort);
    EXPECT_EQ(tag.GetTitle(), u"Song");
    // The file ends inside a frame header.
    EXPECT_EQ(readInto(tag, full.left(full.size() - 12)), ReaderResult::TooShort);
}

TEST(ID3v2Tag, UnsynchronisationIsReversed)
{
    // "\xFF\x00" in the stored frame stands for a single FF byte: encoding 1, BOM FF FE, "ÿA".
    const QByteArray stored = of({1, 0xFF, 0x00, 0xFE, 0xFF, 0x00, 0x00, 0x41, 0x00});
    TID3v2Tag tag;
    // Before version 4 the frame size counts the bytes after reversal.
    const QByteArray frame3 = QByteArray("TIT2") + be32(7) + of({0, 0}) + stored;
    ASSERT_EQ(readInto(tag, id3Tag(3, frame3, 0, 0x80)), ReaderResult::Ok);
    EXPECT_TRUE(tag.Unsynchronisation);
    EXPECT_EQ(tag.GetTitle(), QString::fromUtf16(u"\u00FFA"));
    // Version 4 marks it per frame, with a data length indicator in front of the data.
    ASSERT_EQ(readInto(tag, id3Tag(4, id3Frame(4, "TIT2", synchsafe(7) + stored, 0x03))), ReaderResult::Ok);
    EXPECT_EQ(tag.GetTitle(), QString::fromUtf16(u"\u00FFA"));
    // Without the flag the bytes are taken as stored.
    ASSERT_EQ(readInto(tag, id3Tag(3, id3Frame(3, "TIT2", of({0, 'a', 0xFF, 0x00, 'b'})))), ReaderResult::Ok);
    EXPECT_EQ(tag.Frames[0].Data.size(), 5);
    EXPECT_EQ(TID3v2Tag::ReverseUnsynchronisation(of({0xFF, 0, 0, 0xFF, 0, 0xFF})), of({0xFF, 0, 0xFF, 0xFF}));
}

TEST(ID3v2Tag, PicturesAreSteppedOverNotRead)
{
    // A picture between the text frames: the frames after it still count, and the table's read
    // keeps the picture's header and size but none of its bytes.
    for (int version : {2, 3, 4}) {
        SCOPED_TRACE(version);
        const QByteArray picture(100000, '\xAB');
        const QByteArray apic = version == 2 ? id3Frame(2, "PIC", of({0}) + "PNG" + of({3, 0}) + picture)
                                             : id3Frame(version, "APIC", of({0}) + "image/png" + of({0, 3, 0}) + picture);
        const char *title = version == 2 ? "TT2" : "TIT2";
        const char *artist = version == 2 ? "TP1" : "TPE1";
        TID3v2Tag tag;
        ASSERT_TRUE(readsOk(tag, id3Tag(version, id3Text(version, title, "Song") + apic + id3Text(version, artist, "Band"), 50)
                                     + cbrFrames(3)));
        EXPECT_EQ(tag.GetTitle(), u"Song");
        EXPECT_EQ(tag.GetArtist(), u"Band");
        ASSERT_EQ(tag.Frames.size(), 3);
        EXPECT_EQ(tag.Frames[1].Size, picture.size() + (version == 2 ? 6 : 13));
        EXPECT_TRUE(tag.Frames[1].Data.isEmpty());
        EXPECT_EQ(tag.PaddingSize, 50u);
    }
}
