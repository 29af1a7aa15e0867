#include "ByteBuilders.h"

#include "core/Playlist.h"
#include "tags/WavTag.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace bytes;

namespace {

QByteArray info(const QList<std::pair<const char *, QByteArray>> &texts)
{
    QByteArray body = "INFO";
    for (const auto &[id, text] : texts)
        body += riffChunk(id, text + of({0}));
    return riffChunk("LIST", body);
}

} // namespace

TEST(WavTag, FormatDataAndInfo)
{
    TWavTag tag;
    ASSERT_TRUE(readsOk(tag, wavFile({wavFormat(2, 8000, 16), riffChunk("data", zeros(8000 * 4 * 2 + 16000)),
                                      info({{"IART", "Band"}, {"INAM", "Song"}, {"IPRD", "Album"}, {"ITRK", "6"},
                                            {"ICRD", "2004"}, {"IGNR", "Pop"}, {"ICMT", "Nice"}})})));
    EXPECT_EQ(tag.FormatTag, 1);
    EXPECT_EQ(tag.Channels, 2);
    EXPECT_EQ(tag.SampleRate, 8000u);
    EXPECT_EQ(tag.BitsPerSample, 16);
    EXPECT_DOUBLE_EQ(tag.GetDuration(), 2.5);
    const QString got[] = {tag.Artist, tag.Title, tag.Album, tag.Year, tag.Genre, tag.Comment};
    const char16_t *want[] = {u"Band", u"Song", u"Album", u"2004", u"Pop", u"Nice"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(got[i], want[i]) << i;
    EXPECT_EQ(tag.Track, 6);
    // IPRT is the other track name; texts that are no UTF-8 are the 8-bit code page.
    ASSERT_TRUE(readsOk(tag, wavFile({wavFormat(1, 8000, 8), info({{"IPRT", "2/9"}, {"INAM", "Caf\xE9"}})})));
    EXPECT_EQ(tag.Track, 2);
    EXPECT_EQ(tag.Title, u"Café");
}

TEST(WavTag, Id3ChunkWinsOverInfo)
{
    TWavTag tag;
    const QByteArray id3 = riffChunk("id3 ", id3Tag(3, id3Text(3, "TIT2", "Id3 Song") + id3Text(3, "TCON", "(8)")));
    ASSERT_TRUE(readsOk(tag, wavFile({wavFormat(1, 8000, 8), info({{"INAM", "Info Song"}, {"IART", "Band"}}), id3})));
    EXPECT_TRUE(tag.ID3v2Found);
    EXPECT_EQ(tag.Title, u"Id3 Song");
    EXPECT_EQ(tag.Artist, u"Band");
    EXPECT_EQ(tag.Genre, u"Jazz");
}

TEST(WavTag, ChunkSizes)
{
    const QByteArray fmt = wavFormat(1, 1000, 8);
    struct Case { const char *name; QByteArray bytes; int code; const char16_t *title; double seconds; };
    const Case cases[] = {
        // An odd chunk is followed by a pad byte; the chunk after it must still be found.
        {"odd chunk and pad byte", wavFile({fmt, riffChunk("junk", zeros(3)), info({{"INAM", "Odd"}}),
                                            riffChunk("data", zeros(1500))}), 0, u"Odd", 1.5},
        {"data past the end", wavFile({fmt, riffChunk("data", zeros(2000), 0xFFFFFFF0)}), 0, u"", 2.0},
        {"LIST past the end", wavFile({fmt, riffChunk("LIST", QByteArray("INFO") + riffChunk("INAM", "Cut"), 99999)}),
         0, u"Cut", 0},
        {"INFO text past its list", wavFile({fmt, riffChunk("LIST", QByteArray("INFO") + riffChunk("INAM", "Ab", 5000))}),
         0, u"Ab", 0},
        {"fmt after data", wavFile({riffChunk("data", zeros(3000)), fmt}), 0, u"", 3.0},
        {"no fmt", wavFile({riffChunk("data", zeros(100))}), 6, u"", 0},
        {"fmt too small", wavFile({riffChunk("fmt ", zeros(8)), riffChunk("data", zeros(100))}), 9, u"", 0},
        {"not WAVE", QByteArray("RIFF") + le32(4) + QByteArray("AVI ") + zeros(20), 9, u"", 0},
        {"cut in fmt", wavFile({fmt}).left(24), 6, u"", 0},
    };
    for (const Case &c : cases) {
        TWavTag tag;
        EXPECT_EQ(readInto(tag, c.bytes), c.code) << c.name;
        EXPECT_EQ(tag.Title, c.title) << c.name;
        EXPECT_DOUBLE_EQ(tag.GetDuration(), c.seconds) << c.name;
    }
}

// The build's demo playlist: its files carry the tags the playlist shows, so a first start
// reads the same artist and title from the files.
TEST(WavTag, DemoFilesCarryThePlaylistsTags)
{
    const QString folder = QStringLiteral(SONALO_BINARY_DIR "/src/app/");
    SongLists lists;
    LoadPlaylist(lists, folder + QStringLiteral("Sonalo-Demo.slp"));
    ASSERT_EQ(lists.AllSongs().size(), 6);
    for (const TSongRecord &row : lists.AllSongs()) {
        SCOPED_TRACE(row.Path.toStdString());
        QFile file(folder + row.Path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto read = TWavTag::Read(file);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.values.Artist, row.Artist);
        EXPECT_EQ(read.values.Title, row.Title);
        EXPECT_EQ(read.values.Album, row.Album);
        EXPECT_EQ(read.values.Genre, row.Genre);
        EXPECT_EQ(read.values.Year, row.Year);
        EXPECT_EQ(read.values.Track, row.Track.toUInt());
    }
}
