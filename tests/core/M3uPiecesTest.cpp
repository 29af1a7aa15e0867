// An M3U read a piece of lines at a time gives the entries of the whole file read at once.
#include "core/playlists/M3uPieces.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> described(const PlaylistEntries &entries)
{
    std::vector<std::string> out;
    for (const PlaylistEntry &e : entries)
        out.push_back((e.location + u'|' + e.artist + u'|' + e.title + u'|' + QString::number(e.seconds)).toStdString());
    return out;
}

TEST(M3uPieces, GiveTheEntriesOfTheWholeFile)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        PlaylistFormat format;
    } cases[] = {
        {"ascii, #EXTINF before a piece break", "#EXTM3U\n#EXTINF:61,A - B\na.mp3\n#EXTINF:5,C - D\r\nc.mp3\r\nd.mp3", PlaylistFormat::M3u},
        {"UTF-8 in an .m3u", "#EXTINF:1,K\xC3\xBCnstler - T\n\xC3\xBC.mp3\nx.mp3\n", PlaylistFormat::M3u},
        {"Windows-1252", "#EXTINF:1,K\xFCnstler - T\n\xFC.mp3\n", PlaylistFormat::M3u},
        {"UTF-8 first, a malformed byte in a later piece", "\xC3\xBC.mp3\nb.mp3\nc.mp3\nd\xFC.mp3\n", PlaylistFormat::M3u},
        {"a lead byte before a line feed", "a\xE0\nb.mp3\n\xE0\n\xC3\xBC\n", PlaylistFormat::M3u},
        {"the same in an .m3u8", "a\xE0\nb.mp3\n\xE0\n\xC3\xBC\n", PlaylistFormat::M3u8},
        {"CR alone ends lines", "#EXTINF:3,X - Y\ra.mp3\rb.mp3\r", PlaylistFormat::M3u},
        {"empty lines and spaces", "\n\n  a.mp3  \n\n#EXTINF:2,Z\n\n b.mp3\n", PlaylistFormat::M3u8},
        {"nothing", "", PlaylistFormat::M3u},
    };
    for (const auto &c : cases)
        for (const qsizetype pieceBytes : {qsizetype(1), qsizetype(7), qsizetype(16), kM3uPieceBytes}) {
            PlaylistEntries pieces;
            ASSERT_TRUE(readM3uInPieces(c.bytes, c.format, [&](PlaylistEntry &e) { pieces.append(e); }, {}, pieceBytes))
                << c.name;
            EXPECT_EQ(described(pieces), described(parsePlaylistEntries(c.bytes, c.format))) << c.name << ", pieces of " << pieceBytes;
        }
    // A signature decides the encoding: read whole by the caller.
    EXPECT_FALSE(readM3uInPieces("\xEF\xBB\xBF" "a.mp3\n", PlaylistFormat::M3u, [](PlaylistEntry &) {}, {}));
    EXPECT_FALSE(readM3uInPieces("<playlist/>", PlaylistFormat::Xspf, [](PlaylistEntry &) {}, {}));
}

} // namespace
