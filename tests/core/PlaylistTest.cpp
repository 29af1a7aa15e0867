#include "core/Errors.h"
#include "core/PictureStyle.h"
#include "core/Playlist.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

TSongRecord song(const QString &artist, const QString &title, const QString &path = QStringLiteral("a.mp3"))
{
    return TSongRecord{artist, title, QStringLiteral("3:05"), QStringLiteral("Album"), QStringLiteral("7"),
                       QStringLiteral("1999"), QStringLiteral("Rock"), path};
}

SongList parse(const QString &text)
{
    SongList out;
    parsePlaylistText(text, out);
    return out;
}

SongList parseDropped(const QByteArray &bytes)
{
    SongList out;
    parseDroppedPlaylist(bytes, out);
    return out;
}

QString u(const char16_t *s) { return QString::fromUtf16(s); }

// A list with every kind of text a field may hold.
SongList sampleList()
{
    return {
        song(u(u"Ärzte"), u(u"Zu spät \U0001F3B5"), u(u"/music/\u00C4rzte/01 Zu sp\u00E4t.mp3")),
        song(QString(), u(u"a|b"), QStringLiteral("rel\\win\\b.mp3")),
        song(u(u"\u4E2D\u6587"), QStringLiteral("a+b ~ c"), QStringLiteral("c.ogg")),
        TSongRecord{},
    };
}

} // namespace

TEST(PlaylistParse, EightFieldsMakeASong)
{
    const SongList songs = parse(QStringLiteral("A|T|1:00|Al|1|2000|Rock|a.mp3\r\n"
                                                "only|six|bars||||\r\n"         // seven fields
                                                "x|x|x|x|x|x|x|x|x\r\n"         // nine fields
                                                "\r\n"
                                                "|||||||\r\n"                   // eight empty fields
                                                "B|T2|2:00|||||b.mp3"));        // last line without a break
    ASSERT_EQ(songs.size(), 3);
    EXPECT_EQ(songs[0], (TSongRecord{QStringLiteral("A"), QStringLiteral("T"), QStringLiteral("1:00"), QStringLiteral("Al"),
                                     QStringLiteral("1"), QStringLiteral("2000"), QStringLiteral("Rock"), QStringLiteral("a.mp3")}));
    EXPECT_EQ(songs[1], TSongRecord{});
    EXPECT_EQ(songs[2].Artist, QStringLiteral("B"));
    EXPECT_EQ(songs[2].Path, QStringLiteral("b.mp3"));
    EXPECT_TRUE(parse(QString()).isEmpty());
}

TEST(PlaylistParse, LineBreakQuirksOfTheLoader)
{
    // CR alone: every line after the first loses its first character.
    SongList songs = parse(QStringLiteral("Abc|t||||||p\rXyz|t||||||p\r|t||||||p\rQ"));
    ASSERT_EQ(songs.size(), 2);
    EXPECT_EQ(songs[0].Artist, QStringLiteral("Abc"));
    EXPECT_EQ(songs[1].Artist, QStringLiteral("yz")); // the empty-artist line lost its first "|"
    // LF alone: the whole file is one line; two songs give fifteen "|" and load nothing.
    EXPECT_TRUE(parse(QStringLiteral("A|t||||||p\nB|t||||||p\n")).isEmpty());
    // One song with LF endings loads (the LF stays in the path).
    songs = parse(QStringLiteral("A|t||||||p\n"));
    ASSERT_EQ(songs.size(), 1);
    EXPECT_EQ(songs[0].Path, QStringLiteral("p\n"));
}

TEST(PlaylistParse, DroppedFilesSplitAtAnyLineBreak)
{
    const QByteArray lf = "A|t||||||p\nB|t||||||p\r\nC|t||||||p\rD|t||||||q";
    const SongList songs = parseDropped(lf);
    ASSERT_EQ(songs.size(), 4);
    EXPECT_EQ(songs[1].Artist, QStringLiteral("B"));
    EXPECT_EQ(songs[3].Path, QStringLiteral("q"));
    EXPECT_EQ(parseDropped("\xEF\xBB\xBF\xC3\x84|t||||||p\r\n")[0].Artist, u(u"\u00C4"));
    EXPECT_EQ(parseDropped("\xC4|t||||||p")[0].Artist, u(u"\u00C4")); // no signature: ANSI
    EXPECT_EQ(parseDropped(encodeText(QStringLiteral("X|t||||||p\r\n"), TTextEncoding::teUtf16BE))[0].Artist, QStringLiteral("X"));
    EXPECT_EQ(parseDropped(encodeText(QStringLiteral("X|t||||||p\r\n"), TTextEncoding::teUtf16LE))[0].Artist, QStringLiteral("X"));
    EXPECT_TRUE(parseDropped("x|y\n").isEmpty());
}

TEST(PlaylistParse, PiecesOfAnySizeFindTheSameSongs)
{
    // CR LF, a CR before another character (skipped), a CR at the very end, a lone LF inside a
    // field, lines that fail by one bar either way, empty fields.
    const QString text = u(u"A|T|3:05|Al|1|1999|Rock|/a.mp3\r\nB|t\n2||||||p\rXC|||||||\r\r\n|||||||\r\n"
                           u"x|y\r\nD|1|2|3|4|5|6|7|8\r\nE\u00C4|T\U0001F3B5|||||| z \r");
    const SongList expected = parse(text);
    const SongList expectedDropped = parseDropped(encodeText(text, TTextEncoding::teUtf8));
    ASSERT_EQ(expected.size(), 5);
    ASSERT_EQ(expectedDropped.size(), 4);
    for (qsizetype piece = 1; piece <= 9; ++piece) {
        SongList out, dropped;
        PlaylistTextParser parser(out), anyBreak(dropped, {}, PlaylistTextParser::LineRule::AnyBreak);
        for (qsizetype at = 0; at < text.size(); at += piece) {
            parser.feed(QStringView(text).sliced(at, std::min(piece, text.size() - at)));
            anyBreak.feed(QStringView(text).sliced(at, std::min(piece, text.size() - at)));
        }
        parser.finish();
        anyBreak.finish();
        EXPECT_EQ(out, expected) << "piece " << piece;
        EXPECT_EQ(dropped, expectedDropped) << "piece " << piece;
    }
}

TEST(SongRecordBlock, FieldsShareOneBlockAndBehaveAsOwnTexts)
{
    const QString line = u(u"Ärzte|Zu spät \U0001F3B5||Album|7|1999|Rock|/m/a.mp3");
    std::array<QStringView, TSongRecord::kFieldCount> views;
    const QList<QStringView> parts = QStringView(line).split(QLatin1Char('|'));
    std::copy(parts.begin(), parts.end(), views.begin());
    TSongRecord r = TSongRecord::fromFields(views);
    for (int i = 0; i < TSongRecord::kFieldCount; ++i) {
        EXPECT_EQ(r.field(i), views[size_t(i)].toString());
        EXPECT_EQ(r.field(i).utf16()[r.field(i).size()], u'\0'); // what C-style callers read up to
    }
    EXPECT_FALSE(r.Length.isNull()); // an empty view's text is empty, as QString makes it
    EXPECT_TRUE(TSongRecord::fromFields({}).Artist.isNull());

    // A text taken out lives on without the record; writing to a field leaves the others.
    QString title = r.Title;
    TSongRecord copy = r;
    r = TSongRecord();
    EXPECT_EQ(title, u(u"Zu spät \U0001F3B5"));
    copy.Artist += QStringLiteral(" & Freunde");
    copy.Album.replace(0, 1, QStringLiteral("X"));
    EXPECT_EQ(copy.Artist, u(u"Ärzte & Freunde"));
    EXPECT_EQ(copy.Title, title);
    EXPECT_EQ(copy.Album, QStringLiteral("Xlbum"));
    EXPECT_EQ(copy.Track, QStringLiteral("7"));
    // The last holder of the block may grow its field over the room the others left.
    TSongRecord last = TSongRecord::fromFields(views);
    QString track = last.Track;
    last = TSongRecord();
    track.append(QString(300, QLatin1Char('9')));
    EXPECT_EQ(track, QStringLiteral("7") + QString(300, QLatin1Char('9')));

    TSongRecord set{QStringLiteral("a"), QStringLiteral("b"), {}, QStringLiteral("d"), {}, {}, {}, QStringLiteral("p")};
    const TSongRecord before = set;
    set.pack();
    EXPECT_EQ(set, before);
}

TEST(SongRecordBlock, LoadedSongsShareBlocksYetStandAlone)
{
    // Enough songs for several shared blocks, one line longer than a block.
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral("Artist %1|Title %1||Album|7|1999|Rock|/m/%1.mp3\r\n").arg(i);
    text += QStringLiteral("Long|") + QString(40000, QLatin1Char('t')) + QStringLiteral("||||||/long.mp3\r\n");
    SongList songs = parse(text);
    ASSERT_EQ(songs.size(), 2001);
    EXPECT_EQ(songs[1234].Artist.utf16()[songs[1234].Artist.size()], u'\0');
    EXPECT_EQ(songs[1234].Path.utf16()[songs[1234].Path.size()], u'\0');
    // Writing to one song's field leaves its neighbours in the block as they were.
    songs[10].Title.append(QStringLiteral(" (live)"));
    songs[11].Title.replace(0, 5, QStringLiteral("Name"));
    EXPECT_EQ(songs[10].Title, QStringLiteral("Title 10 (live)"));
    EXPECT_EQ(songs[11].Title, QStringLiteral("Name 11"));
    EXPECT_EQ(songs[9].Title, QStringLiteral("Title 9"));
    EXPECT_EQ(songs[12].Artist, QStringLiteral("Artist 12"));
    // Texts and songs taken out outlive the list; the last holder of a block may grow in it.
    const TSongRecord kept = songs[1500];
    QString title = songs[700].Title;
    const QString longTitle = songs[2000].Title;
    songs = SongList();
    title.append(QString(100, QLatin1Char('!')));
    EXPECT_EQ(title, QStringLiteral("Title 700") + QString(100, QLatin1Char('!')));
    EXPECT_EQ(kept.Path, QStringLiteral("/m/1500.mp3"));
    EXPECT_EQ(longTitle, QString(40000, QLatin1Char('t')));
}

TEST(PlaylistText, BarsBecomeLAndEveryLineEndsWithCrLf)
{
    const SongList list = {song(QStringLiteral("A|B"), QStringLiteral("a|b"))};
    EXPECT_EQ(playlistText(list), QStringLiteral("AlB|alb|3:05|Album|7|1999|Rock|a.mp3\r\n"));
    EXPECT_EQ(playlistText({}), QString());
}

TEST(PlaylistFileName, SlpRule)
{
    EXPECT_EQ(playlistFileName(QStringLiteral("party")), QStringLiteral("party.slp"));
    EXPECT_EQ(playlistFileName(QStringLiteral("party.SLP")), QStringLiteral("party.SLP.slp"));
    EXPECT_EQ(playlistFileName(QStringLiteral("my.slp.txt")), QStringLiteral("my.slp.txt"));
    EXPECT_EQ(playlistFileName(QStringLiteral("list.slp.jpg")), QStringLiteral("list.slp.jpg"));
}

class PlaylistFileTest : public ::testing::Test
{
protected:
    TempDir tmp;
    PictureStyle style;
    SongLists lists{QStringLiteral("/nonexistent-program-folder/")};
};

TEST_F(PlaylistFileTest, RoundTripsThroughEveryEncoding)
{
    SongList expected = sampleList();
    expected[1].Title = QStringLiteral("alb");
    for (TTextEncoding e : kAllTextEncodings) {
        const QString name = SavePlaylist(sampleList(), tmp.path(QStringLiteral("rt%1").arg(int(e))), e, style);
        EXPECT_TRUE(name.endsWith(QStringLiteral(".slp")));
        SongLists loaded;
        LoadPlaylist(loaded, name);
        if (e == TTextEncoding::teAnsi) {
            ASSERT_EQ(loaded.AllSongs().size(), expected.size());
            EXPECT_EQ(loaded.AllSongs()[0].Artist, expected[0].Artist); // Ä is in the code page
            EXPECT_EQ(loaded.AllSongs()[2].Artist, QStringLiteral("??"));
        } else if (e == TTextEncoding::teUtf7AsAnsi) {
            // Without a signature it reads back as ANSI: the escapes stay in the text.
            ASSERT_EQ(loaded.AllSongs().size(), expected.size());
            EXPECT_EQ(loaded.AllSongs()[0].Artist, QStringLiteral("+AMQ-rzte"));
        } else {
            EXPECT_EQ(loaded.AllSongs(), expected) << int(e);
        }
        EXPECT_EQ(loaded.SourceFolders(), QStringList{tmp.path()});
    }
}

TEST_F(PlaylistFileTest, GoldenFilesByteForByte)
{
    // Regenerate with SONALO_REGENERATE_GOLDEN=1 after a deliberate format change.
    const bool regenerate = qEnvironmentVariableIsSet("SONALO_REGENERATE_GOLDEN");
    const QString goldenDir = QStringLiteral(SONALO_TEST_DATA "/golden/");
    for (TTextEncoding e : kAllTextEncodings) {
        const QString name = SavePlaylist(sampleList(), tmp.path(QStringLiteral("g%1").arg(int(e))), e, style);
        const QString golden = goldenDir + QStringLiteral("sample-%1.slp").arg(int(e));
        if (regenerate) {
            QDir().mkpath(goldenDir);
            QFile f(golden);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(TempDir::read(name));
        }
        EXPECT_EQ(TempDir::read(name), TempDir::read(golden)) << golden.toStdString();
    }
}

TEST_F(PlaylistFileTest, EmptyListWritesOnlyTheSignature)
{
    const QString name = SavePlaylist({}, tmp.path(QStringLiteral("empty")), TTextEncoding::teUtf16LE, style);
    EXPECT_EQ(TempDir::read(name), QByteArray("\xFF\xFE"));
    LoadPlaylist(lists, name);
    EXPECT_TRUE(lists.AllSongs().isEmpty());
    EXPECT_EQ(lists.SourceFolders().size(), 1); // the folder is added even without songs
}

TEST_F(PlaylistFileTest, LoadingAppendsAndRecordsTheFolderEachTime)
{
    QDir().mkpath(tmp.path(QStringLiteral("sub")));
    const QString name = SavePlaylist({song(QStringLiteral("A"), QStringLiteral("T"))}, tmp.path(QStringLiteral("sub/x.slp")),
                                      TTextEncoding::teUtf8, style);
    LoadPlaylist(lists, name);
    LoadPlaylist(lists, name);
    EXPECT_EQ(lists.AllSongs().size(), 2);
    EXPECT_EQ(lists.SourceFolders(), (QStringList{tmp.path(QStringLiteral("sub/")), tmp.path(QStringLiteral("sub/"))}));
}

TEST_F(PlaylistFileTest, FailuresAddNothing)
{
    EXPECT_THROW(LoadPlaylist(lists, tmp.path(QStringLiteral("missing.slp"))), SonaloError);
    EXPECT_THROW(LoadDroppedPlaylist(lists, tmp.path(QStringLiteral("missing.slp"))), SonaloError);
    const QString badUtf7 = tmp.write(QStringLiteral("bad.slp"), "+/v8-A|t||||||+A-\r\n");
    try {
        LoadPlaylist(lists, badUtf7);
        FAIL();
    } catch (const SonaloError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid UTF7"));
    }
    EXPECT_TRUE(lists.AllSongs().isEmpty());
    EXPECT_TRUE(lists.SourceFolders().isEmpty());
}

TEST_F(PlaylistFileTest, LargeFilesLoadPieceByPieceAsWhole)
{
    // Over two read pieces in UTF-8 and UTF-16: lines of every length, one longer than a piece,
    // and line ends shifted across the piece ends by the varying lengths.
    QString text;
    for (int i = 0; text.size() < (3 << 20); ++i) {
        const QString title = QString(i * 37 % 300, QChar(i % 3 ? u'\u00E4' : u'x'));
        text += QStringLiteral("A%1|%2|3:05|||||/p/%1.mp3").arg(i).arg(title) + (i % 7 ? QStringLiteral("\r\n") : QStringLiteral("\r|"));
        if (i == 500)
            text += QStringLiteral("L|") + QString(3 << 19, QLatin1Char('l')) + QStringLiteral("||||||\r\n");
    }
    for (TTextEncoding e : {TTextEncoding::teUtf8, TTextEncoding::teUtf16LE}) {
        const QString name = tmp.path(QStringLiteral("large%1.slp").arg(int(e)));
        WriteTextFile(text, name, e, style);
        SongLists loaded, dropped;
        LoadPlaylist(loaded, name, [] {});
        const SongList expected = parse(ReadTextFile(name));
        ASSERT_GT(expected.size(), 1000);
        EXPECT_EQ(loaded.AllSongs(), expected) << int(e);
        // Room reserved from a sample of the file's start, not from its first character (the
        // long line, half the file, is not in the sample).
        EXPECT_LT(loaded.AllSongs().capacity(), expected.size() * 4) << int(e);
        LoadDroppedPlaylist(dropped, name, [] {});
        EXPECT_EQ(dropped.AllSongs(), parseDropped(readTextFileBytes(name))) << int(e);
    }
}

TEST_F(PlaylistFileTest, OneBadUtf8ByteCostsOneCharacterNotTheFile)
{
    const QString name = tmp.write(QStringLiteral("bad8.slp"), "\xEF\xBB\xBF" "A\xC3|t||||||p\r\nB|t||||||q\r\n");
    LoadPlaylist(lists, name);
    ASSERT_EQ(lists.AllSongs().size(), 2);
    EXPECT_EQ(lists.AllSongs()[0].Artist, u(u"A\uFFFD"));
    EXPECT_EQ(lists.AllSongs()[1].Path, QStringLiteral("q"));
}

TEST_F(PlaylistFileTest, DroppedPlaylistLoadsLfFileTheLoaderCannot)
{
    const QString name = tmp.write(QStringLiteral("lf.slp"), "A|t||||||p\nB|t||||||q\n");
    LoadPlaylist(lists, name);
    EXPECT_TRUE(lists.AllSongs().isEmpty());
    LoadDroppedPlaylist(lists, name);
    EXPECT_EQ(lists.AllSongs().size(), 2);
    EXPECT_EQ(lists.SourceFolders().size(), 2);
}

TEST_F(PlaylistFileTest, SavingReplacesAnExistingFile)
{
    const QString target = tmp.path(QStringLiteral("same.slp"));
    SavePlaylist({song(QStringLiteral("Old"), QStringLiteral("1")), song(QStringLiteral("Old"), QStringLiteral("2"))}, target,
                 TTextEncoding::teUtf8, style);
    SavePlaylist({song(QStringLiteral("New"), QStringLiteral("1"))}, target, TTextEncoding::teUtf8, style);
    LoadPlaylist(lists, target);
    ASSERT_EQ(lists.AllSongs().size(), 1);
    EXPECT_EQ(lists.AllSongs()[0].Artist, QStringLiteral("New"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("same.slp")}); // no temporary left
}
