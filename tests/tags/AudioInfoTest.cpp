#include "ByteBuilders.h"

#include "tags/AddSongFile.h"
#include "core/Playlist.h"
#include "tags/AudioInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace bytes;

namespace {

class AudioInfoFiles : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    TAudioInfo read(const QString &path)
    {
        TAudioInfo info;
        info.ReadFromFile(path);
        return info;
    }
    QTemporaryDir dir;
};

// 4,000,000 bytes of 128 kbit/s frames: 250 seconds.
QByteArray frames250() { return cbrFrames(3) + zeros(4000000 - 3 * kFrame128); }

} // namespace

TEST(FormatSongLength, Boundaries)
{
    struct Case { int seconds; const char *text; };
    const Case cases[] = {{0, "0:00"}, {65, "1:05"}, {3598, "59:58"}, {3599, "0:59:59"}, {3600, "1:00:00"},
                          {36000 + 61, "10:01:01"}, {-5, "0:00"}};
    for (const Case &c : cases)
        EXPECT_EQ(FormatSongLength(c.seconds), QLatin1String(c.text)) << c.seconds;
}

TEST(AudioFileExtension, Rules)
{
    EXPECT_EQ(audioFileExtension(QStringLiteral("/a/b.MP3")), u".mp3");
    EXPECT_EQ(audioFileExtension(QStringLiteral("/a.dir/song")), QString());
    EXPECT_EQ(audioFileExtension(QStringLiteral("song")), QString());
    EXPECT_EQ(audioFileExtension(QStringLiteral("x.Ogg")), u".ogg");
}

TEST_F(AudioInfoFiles, MpegMergesID3v2OverID3v1)
{
    const QByteArray v2 = id3Tag(3, id3Text(3, "TIT2", "V2 Title") + id3Text(3, "TCON", "(8)"), 50);
    const QByteArray v1 = id3v1("V1 Title", "V1 Artist", "V1 Album", "1999", 0, 0, 17);
    const TAudioInfo info = read(write(QStringLiteral("x.MP3"), v2 + frames250() + v1));
    EXPECT_EQ(info.UsedReader, TAudioInfo::Reader::Mpeg);
    EXPECT_EQ(info.Title, u"V2 Title");
    EXPECT_EQ(info.Artist, u"V1 Artist");
    EXPECT_EQ(info.Album, u"V1 Album");
    EXPECT_EQ(info.Year, u"1999");
    EXPECT_EQ(info.Genre, u"Jazz");
    EXPECT_EQ(info.Track, QString()); // ID3v1 track 0 becomes empty
    EXPECT_EQ(info.Seconds, 250);     // 4,000,128 bytes from the first frame
    EXPECT_EQ(info.Mpeg.FirstFramePosition, v2.size());
    EXPECT_EQ(info.ID3v2TagSize, quint32(v2.size()));
}

TEST_F(AudioInfoFiles, MpegWithoutTagsOrFrames)
{
    TAudioInfo info = read(write(QStringLiteral("plain.mp3"), frames250()));
    EXPECT_EQ(info.Title, u"plain.mp3");
    EXPECT_EQ(info.Artist, QString());
    EXPECT_EQ(info.Genre, QString());
    EXPECT_EQ(info.Seconds, 250);
    // No frames: the tags are ignored and the name is used.
    info = read(write(QStringLiteral("Live.mp3"), id3Tag(3, id3Text(3, "TIT2", "Tagged")) + zeros(2000)));
    EXPECT_EQ(info.UsedReader, TAudioInfo::Reader::FileName);
    EXPECT_EQ(info.Title, u"Live.mp3");
    EXPECT_EQ(info.Artist, QString());
}

TEST_F(AudioInfoFiles, FileNameFallback)
{
    struct Case { const char *name; const char16_t *artist; const char16_t *title; };
    const Case cases[] = {
        {"Artist - Song.wav", u"Artist", u"Song"},
        {"a.mp3 - b.mp3", u"a", u"b"},
        {"No Separator.wav", u"", u"No Separator.wav"},
        {"A - B - C.ogg", u"A", u"B - C"},
        {"noext - x", u"noext", u"x"},
    };
    for (const Case &c : cases) {
        const TAudioInfo info = read(write(QString::fromUtf8(c.name), QByteArray("not audio")));
        EXPECT_EQ(info.Artist, QString::fromUtf16(c.artist)) << c.name;
        EXPECT_EQ(info.Title, QString::fromUtf16(c.title)) << c.name;
        EXPECT_EQ(info.Seconds, 0);
        EXPECT_EQ(info.Album, QString());
    }
}

TEST_F(AudioInfoFiles, MissingFilesFoldersAndFifos)
{
    for (const QString &path : {dir.filePath(QStringLiteral("missing.mp3")), dir.filePath(QStringLiteral("Band - Song.ogg")),
                                dir.filePath(QStringLiteral("gone.wma")), dir.filePath(QStringLiteral("gone.wav"))}) {
        const TAudioInfo info = read(path);
        EXPECT_EQ(info.Title, QString()) << path.toStdString();
        EXPECT_EQ(info.Artist, QString());
        EXPECT_EQ(info.Seconds, 0);
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.mp3")));
    EXPECT_EQ(read(dir.filePath(QStringLiteral("folder.mp3"))).Title, QString());
    // A FIFO is a missing file: it must not be opened (that would block).
    const QString fifo = dir.filePath(QStringLiteral("Band - Pipe.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const TAudioInfo info = read(fifo);
    EXPECT_EQ(info.Title, QString());
    EXPECT_EQ(info.Artist, QString());
    const TSongRecord r = makeSongRecord(fifo, false, QString());
    EXPECT_EQ(r.Length, u"0:00");
    EXPECT_EQ(r.Path, fifo);
}

TEST_F(AudioInfoFiles, OggAndWmaDispatch)
{
    TAudioInfo info = read(write(QStringLiteral("song.Ogg"),
                                 oggFile({"TITLE=T", "ARTIST=A", "ALBUM=Al", "DATE=2000", "TRACKNUMBER=0", "GENRE=Rock"}, 110250)));
    EXPECT_EQ(info.UsedReader, TAudioInfo::Reader::Ogg);
    EXPECT_EQ(info.Title, u"T");
    EXPECT_EQ(info.Year, u"2000");
    EXPECT_EQ(info.Track, QString());
    EXPECT_EQ(info.Genre, u"Rock");
    EXPECT_EQ(info.Seconds, 2);       // 2.5 rounds to even
    info = read(write(QStringLiteral("untitled.ogg"), oggFile({"TRACKNUMBER=4"}, 154350)));
    EXPECT_EQ(info.Title, u"untitled.ogg");
    EXPECT_EQ(info.Track, u"4");
    EXPECT_EQ(info.Seconds, 4); // 3.5 rounds to even

    QList<QByteArray> objects = {asfFileProperties(8000), asfStreamProperties(1, 8000, 1000),
                                 asfExtendedContent({{QStringLiteral("WM/Genre"), 0, utf16le(QStringLiteral("Jazz"))},
                                                     {QStringLiteral("WM/Track"), 0, utf16le(QStringLiteral("9"))}})};
    QByteArray wma = asfFile(objects, 0);
    wma += zeros(3000 - wma.size()); // 3000 * 8 / 8000 = 3 seconds
    info = read(write(QStringLiteral("x.wma"), wma));
    EXPECT_EQ(info.UsedReader, TAudioInfo::Reader::Wma);
    EXPECT_EQ(info.Title, u"x.wma");
    EXPECT_EQ(info.Track, u"9");
    EXPECT_EQ(info.Genre, u"Jazz");
    EXPECT_EQ(info.Seconds, 3);
    // Not an Ogg Vorbis file: the name.
    info = read(write(QStringLiteral("Band - Song.ogg"), QByteArray("junk")));
    EXPECT_EQ(info.Artist, u"Band");
    EXPECT_EQ(info.Title, u"Song");
}

TEST_F(AudioInfoFiles, NewerFormatsDispatch)
{
    using R = TAudioInfo::Reader;
    const QByteArray flac = flacFile({"TITLE=T", "GENRE=Folk", "TRACKNUMBER=2/5"}, 44100 * 5 / 2);
    const QByteArray opus = opusFile({"TITLE=T", "GENRE=Folk", "TRACKNUMBER=2"}, 48000 * 7 / 2 + 312);
    const QByteArray mp4 = mp4File(mp4Item("\xA9" "nam", "T") + mp4Item("\xA9" "gen", "Folk")
                                       + mp4Item("trkn", zeros(2) + be32(0x00020000) + zeros(2), 0),
                                   1000, 2500);
    const QByteArray wav = wavFile({wavFormat(1, 1000, 8), riffChunk("LIST", QByteArray("INFO") + riffChunk("INAM", "T")
                                                                                 + riffChunk("IGNR", "Folk")
                                                                                 + riffChunk("ITRK", "2")),
                                    riffChunk("data", zeros(3500))});
    struct Case { const char *name; QByteArray bytes; R reader; int seconds; };
    const Case cases[] = {
        {"a.FLAC", flac, R::Flac, 2}, {"a.opus", opus, R::Opus, 4}, {"a.m4a", mp4, R::Mp4, 2},
        {"a.M4B", mp4, R::Mp4, 2},    {"a.mp4", mp4, R::Mp4, 2},    {"a.aac", mp4, R::Mp4, 2},
        {"a.wav", wav, R::Wav, 4},
    };
    for (const Case &c : cases) {
        const TAudioInfo info = read(write(QString::fromLatin1(c.name), c.bytes));
        EXPECT_EQ(info.UsedReader, c.reader) << c.name;
        EXPECT_EQ(info.Title, u"T") << c.name;
        EXPECT_EQ(info.Genre, u"Folk") << c.name;
        EXPECT_EQ(info.Track, u"2") << c.name;
        EXPECT_EQ(info.Seconds, c.seconds) << c.name; // halves to even
    }
    // Raw ADTS frames or junk: the file name, split at " - " with the extension taken out.
    for (const char *name : {"Band - Song.aac", "Band - Song.flac", "Band - Song.opus", "Band - Song.m4a", "Band - Song.wav"}) {
        const TSongRecord r = makeSongRecord(write(QString::fromLatin1(name), QByteArray("\xFF\xF1junk")), false, QString());
        EXPECT_EQ(r.Artist, u"Band") << name;
        EXPECT_EQ(r.Title, u"Song") << name;
    }
    // A reader's file without artist and title: its values, the name split the same way, its
    // extension removed in any letter case.
    TSongRecord r = makeSongRecord(write(QStringLiteral("Band - Song.FLAC"), flacFile({"GENRE=Folk"})), false, QString());
    EXPECT_EQ(r.Artist, u"Band");
    EXPECT_EQ(r.Title, u"Song");
    EXPECT_EQ(r.Genre, u"Folk");
    EXPECT_EQ(r.Length, u"0:10");
    // With an artist but no title, the title is the whole name.
    r = makeSongRecord(write(QStringLiteral("Band - Song.flac"), flacFile({"ARTIST=A"})), false, QString());
    EXPECT_EQ(r.Artist, u"A");
    EXPECT_EQ(r.Title, u"Band - Song.flac");
}

TEST_F(AudioInfoFiles, MakeSongRecordSplitsTitles)
{
    TSongRecord r = makeSongRecord(write(QStringLiteral("Band - Song.mp3"), QByteArray("x")), false, QString());
    EXPECT_EQ(r.Artist, u"Band");
    EXPECT_EQ(r.Title, u"Song");
    EXPECT_EQ(r.Length, u"0:00");
    // A title tag "Band - Song.mp3" without an artist tag.
    const QByteArray tagged = id3Tag(3, id3Text(3, "TIT2", "Band - Song.mp3") + id3Text(3, "TRCK", "5")) + frames250();
    r = makeSongRecord(write(QStringLiteral("tagged.mp3"), tagged), false, QString());
    EXPECT_EQ(r.Artist, u"Band");
    EXPECT_EQ(r.Title, u"Song");
    EXPECT_EQ(r.Length, u"4:10");
    EXPECT_EQ(r.Track, u"5");
    // Every occurrence of "Band - " goes.
    const QByteArray twice = id3Tag(3, id3Text(3, "TIT2", "Band - Band - Live")) + frames250();
    r = makeSongRecord(write(QStringLiteral("twice.mp3"), twice), false, QString());
    EXPECT_EQ(r.Artist, u"Band");
    EXPECT_EQ(r.Title, u"Live");
}

TEST_F(AudioInfoFiles, NoNulReachesTheRecordOrAPlaylist)
{
    const QList<QByteArray> wmaObjects = asfPlausible()
        << asfExtendedContent({{QStringLiteral("WM/AlbumTitle"), 0, utf16le(QStringLiteral("One")) + le16(0) + utf16le(QStringLiteral("Two"))}});
    const struct { const char *name; QByteArray bytes; int field; const char16_t *text; } cases[] = {
        {"v24.mp3", id3Tag(4, id3Text(4, "TPE1", QByteArray("ArtistOne\0ArtistTwo", 19))) + frames250(), 0, u"ArtistOne / ArtistTwo"},
        {"v23.mp3", id3Tag(3, id3Text(3, "TIT2", QByteArray("Song\0left over", 14))) + frames250(), 1, u"Song"},
        // ID3v1 keeps the text after an embedded NUL.
        {"v1.mp3", frames250() + id3v1(QByteArray("Song\0Extra", 10), "A", "", "", 0, 0, 0), 1, u"Song / Extra"},
        {"desc.wma", asfFile(wmaObjects), 3, u"One / Two"},
    };
    SongList songs;
    for (const auto &c : cases) {
        const TSongRecord r = makeSongRecord(write(QLatin1String(c.name), c.bytes), false, QString());
        EXPECT_EQ(r.field(c.field), QStringView(c.text)) << c.name;
        songs.append(r);
    }
    EXPECT_FALSE(playlistText(songs).contains(QChar(u'\0')));
}

TEST(MakeSongRecord, RelativePaths)
{
    const QString prog = QStringLiteral("/opt/prog/");
    struct Case { const char *path; bool relative; const char *stored; };
    const Case cases[] = {
        {"/opt/prog/Music/a.mp3", true, "Music/a.mp3"},
        {"/srv/Music/a.mp3", true, "/srv/Music/a.mp3"},
        {"/OPT/prog/Music/a.mp3", true, "/OPT/prog/Music/a.mp3"},
        {"/opt/prog/Music/a.mp3", false, "/opt/prog/Music/a.mp3"},
    };
    for (const Case &c : cases) {
        const TSongRecord r = makeSongRecord(QString::fromUtf8(c.path), c.relative, prog);
        EXPECT_EQ(r.Path, QString::fromUtf8(c.stored)) << c.path;
        EXPECT_EQ(r.Length, u"0:00");
        EXPECT_EQ(r.Title, QString());
    }
}

TEST_F(AudioInfoFiles, AddSongFileAppendsEveryTime)
{
    SongLists lists(dir.path() + QLatin1Char('/'));
    const QString path = write(QStringLiteral("A - B.wav"), QByteArray("RIFF"));
    AddSongFile(lists, path, true);
    AddSongFile(lists, path, true);
    ASSERT_EQ(lists.AllSongs().size(), 2);
    EXPECT_EQ(lists.AllSongs()[0], lists.AllSongs()[1]);
    EXPECT_EQ(lists.AllSongs()[0].Path, u"A - B.wav");
    EXPECT_EQ(lists.AllSongs()[0].Artist, u"A");
}
