// The playlists of other players: golden files in, records out; refused XSPF; writers read
// back by us and by independent parsers (xmllint with the XSPF rules, totem-pl-parser).
#include "core/Errors.h"
#include "core/PictureStyle.h"
#include "core/Playlist.h"
#include "core/playlists/PlaylistFiles.h"
#include "tags/PlaylistEntryRecord.h"
#include "TempDir.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QString kData = QStringLiteral(SONALO_TEST_DATA "/playlists/");

SongList loadAny(const QString &file)
{
    SongLists lists;
    LoadAnyPlaylist(lists, file, playlistEntryRecorder(QString()));
    return lists.AllSongs();
}

std::string line(const TSongRecord &r)
{
    QStringList fields;
    for (int i = 0; i < TSongRecord::kFieldCount; ++i)
        fields << r.field(i);
    return fields.join(QLatin1Char('|')).toStdString();
}

void expectSameSongs(const SongList &got, const SongList &want, const QString &what)
{
    ASSERT_EQ(got.size(), want.size()) << what.toStdString();
    for (qsizetype i = 0; i < got.size(); ++i)
        EXPECT_EQ(line(got[i]), line(want[i])) << what.toStdString() << " #" << i;
}

// Every golden input beside its NAME.expected.slp; "@DIR@" there stands for the data folder.
QStringList goldenInputs()
{
    QStringList inputs;
    const QStringList names = QDir(kData).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names)
        if (names.contains(name + QStringLiteral(".expected.slp")))
            inputs << name;
    return inputs;
}

SongList expectedFor(const QString &name)
{
    SongLists lists;
    LoadPlaylist(lists, kData + name + QStringLiteral(".expected.slp"));
    SongList songs = lists.AllSongs();
    for (TSongRecord &r : songs)
        r.Path.replace(QStringLiteral("@DIR@"), kData);
    return songs;
}

TSongRecord song(const char *artist, const char *title, const char *length, const QString &path,
                 const char *album = "", const char *track = "")
{
    return TSongRecord{QString::fromUtf8(artist), QString::fromUtf8(title), QString::fromUtf8(length),
                       QString::fromUtf8(album), QString::fromUtf8(track), QString(), QString(), path};
}

// Songs whose files are not there, so every field comes back from the playlist itself.
SongList roundTripSongs()
{
    return {
        song("Queen", "Bohemian Rhapsody", "5:55", QStringLiteral("/nonexistent/Queen/Bohemian Rhapsody.mp3"), "Opera", "11"),
        song("Sigur Rós", "Hoppípolla", "4:28", QString::fromUtf8("/nonexistent/Sigur Rós/04 Hoppípolla #1 100%.ogg")),
        song("宇多田ヒカル", "First Love", "1:02:05", QString::fromUtf8("/nonexistent/日本/first love.mp3")),
        song("", "Radio One", "0:00", QStringLiteral("http://radio.example/live?id=3&x=%20y")),
        song("Windows", "Path", "3:20", QStringLiteral("C:\\Music\\Windows Song.mp3")),
        song("Kept", "Relative", "0:12", QStringLiteral("missing/relative song.mp3")),
        song("Sheet", "Track Two", "1:50", QStringLiteral("/nonexistent/Album #1.cue#2"), "One File", "2"),
    };
}

bool haveProgram(const char *name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

} // namespace

TEST(ForeignPlaylist, GoldenFilesBecomeRecords)
{
    const QStringList inputs = goldenInputs();
    ASSERT_GE(inputs.size(), 6);
    for (const QString &name : inputs) {
        SongLists lists;
        LoadAnyPlaylist(lists, kData + name, playlistEntryRecorder(QString()));
        expectSameSongs(lists.AllSongs(), expectedFor(name), name);
        EXPECT_EQ(lists.SourceFolders(), QStringList{kData}) << name.toStdString();
    }
}

TEST(ForeignPlaylist, EveryLineEndReadsTheSame)
{
    const QByteArray crlf = TempDir::read(kData + QStringLiteral("extended.m3u8"));
    const SongList want = expectedFor(QStringLiteral("extended.m3u8"));
    for (const char *end : {"\n", "\r"}) {
        QByteArray bytes = crlf;
        bytes.replace("\r\n", end);
        // Beside the golden file, so that its relative entries are found the same way.
        const QString copy = kData + QStringLiteral("line-ends.tmp.m3u8");
        QFile f(copy);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const SongList got = loadAny(copy);
        QFile::remove(copy);
        expectSameSongs(got, want, QString::fromLatin1(end == QByteArray("\n") ? "LF" : "CR"));
    }
}

TEST(ForeignPlaylist, XspfWithEntitiesOrBrokenXmlIsRefused)
{
    for (const char *name : {"refused-external-entity.xspf", "refused-billion-laughs.xspf", "refused-truncated.xspf"}) {
        SongLists lists;
        lists.append(song("kept", "kept", "0:01", QStringLiteral("/k.mp3")));
        const QString file = kData + QString::fromLatin1(name);
        try {
            LoadForeignPlaylist(lists, file, {});
            ADD_FAILURE() << name << " was read";
        } catch (const SonaloError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot read playlist \"%1\". Invalid XSPF: ").arg(file)))
                << e.message().toStdString();
        }
        EXPECT_EQ(lists.AllSongs().size(), 1) << name;
        EXPECT_TRUE(lists.SourceFolders().isEmpty()) << name;
    }
    EXPECT_THROW(readXspf("<html><body/></html>"), SonaloError);
    EXPECT_THROW(readXspf(""), SonaloError);
    // A playlist without a track list is a valid empty playlist.
    EXPECT_TRUE(readXspf("<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"/>").isEmpty());
}

TEST(ForeignPlaylist, AFileOfMoreEntriesThanMemoryCanHoldIsRefusedBeforeParsing)
{
    TempDir dir;
    struct Case
    {
        const char *name;
        QByteArray bytes;
        qsizetype bound;
    };
    QByteArray pls = "[playlist]\n";
    for (int i = 1; i <= 5000; ++i)
        pls += "File" + QByteArray::number(i) + "=a\n";
    const Case cases[] = {
        {"tiny.m3u", QByteArray("a\n").repeated(10000), 10001},
        {"tiny.pls", pls, 5002},
        {"tiny.xspf", "<playlist><trackList>" + QByteArray("<track><location>a</location></track>").repeated(3000)
                          + "</trackList></playlist>", 3000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir.path(QString::fromLatin1(c.name));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        EXPECT_EQ(foreignEntryBound(c.bytes, playlistFormatOf(file)), c.bound);
        SongLists lists;
        lists.append(song("kept", "kept", "0:01", QStringLiteral("/k.mp3")));
        // One entry short of fitting: refused, what was loaded stays.
        const qint64 tooLittle = qint64(c.bound) * kForeignEntryLoadBytes - 1;
        try {
            LoadForeignPlaylist(lists, file, {}, tooLittle);
            ADD_FAILURE() << "read";
        } catch (const SonaloError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Cannot read playlist \"%1\". It has up to %2 entries, more than the "
                                                  "%3 MB of memory left can hold.")
                                       .arg(file)
                                       .arg(c.bound)
                                       .arg(tooLittle >> 20));
        }
        EXPECT_EQ(lists.AllSongs().size(), 1);
        // Just enough: read.
        LoadForeignPlaylist(lists, file, {}, qint64(c.bound) * kForeignEntryLoadBytes);
        EXPECT_GT(lists.AllSongs().size(), 1000);
    }
    EXPECT_GT(availableMemoryBytes(), 0);
}

TEST(ForeignPlaylist, AnExistingFileGivesItsOwnRecordAndAMissingOneThePlaylists)
{
    // The same entry text twice: once its file is there, once it is not.
    TempDir t;
    t.write(QStringLiteral("Band - Song.wav"), "not audio");
    const QString m3u = t.write(QStringLiteral("l.m3u"), "#EXTINF:99,Other - Names\nBand - Song.wav\n"
                                                         "#EXTINF:99,Other - Names\nGone - Song.wav\n");
    const SongList got = loadAny(m3u);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(line(got[0]), "Band|Song|0:00|||||" + t.path(QStringLiteral("Band - Song.wav")).toStdString());
    EXPECT_EQ(line(got[1]), "Other|Names|1:39|||||Gone - Song.wav");
    // A missing playlist fails like a missing ".slp" and adds nothing.
    SongLists lists;
    EXPECT_THROW(LoadAnyPlaylist(lists, t.path(QStringLiteral("none.pls")), {}), SonaloError);
    EXPECT_TRUE(lists.SourceFolders().isEmpty());
}

TEST(ForeignPlaylist, FormatIsToldByTheExtensionInAnyCase)
{
    const std::pair<const char *, PlaylistFormat> cases[] = {
        {"a.m3u", PlaylistFormat::M3u},   {"a.M3U8", PlaylistFormat::M3u8}, {"a.Pls", PlaylistFormat::Pls},
        {"a.XSPF", PlaylistFormat::Xspf}, {"a.slp", PlaylistFormat::Slp},   {"a.m3u.txt", PlaylistFormat::Slp},
        {"m3u", PlaylistFormat::Slp},     {"dir.pls/x", PlaylistFormat::Slp},   {"a.Cue", PlaylistFormat::Cue},
    };
    for (const auto &[name, format] : cases)
        EXPECT_EQ(playlistFormatOf(QString::fromLatin1(name)), format) << name;
}

TEST(ForeignPlaylist, RoundTripThroughEveryFormatKeepsTheSongs)
{
    TempDir t;
    const SongList songs = roundTripSongs();
    const QString slp = SavePlaylist(songs, t.path(QStringLiteral("start.slp")), TTextEncoding::teUtf16LE, PictureStyle{});
    for (const char *ext : {"m3u", "m3u8", "pls", "xspf"}) {
        const QString name = t.path(QStringLiteral("list.") + QString::fromLatin1(ext));
        EXPECT_EQ(SaveAnyPlaylist(loadAny(slp), name, TTextEncoding::teUtf8, PictureStyle{}), name);
        const QString back = SaveAnyPlaylist(loadAny(name), t.path(QStringLiteral("back-") + QString::fromLatin1(ext)),
                                             TTextEncoding::teUtf8, PictureStyle{});
        SongList want = songs;
        if (QByteArray(ext) != "xspf") {
            for (TSongRecord &r : want) { // M3U and PLS have no place for these
                r.Album.clear();
                r.Track.clear();
            }
        }
        expectSameSongs(loadAny(back), want, QString::fromLatin1(ext));
    }
}

TEST(ForeignPlaylist, M3uTakesTheCodePageOnlyWhenEveryCharacterFits)
{
    const SongList latin = {song("Müller", "Café", "1:00", QStringLiteral("/m/é.mp3"))};
    const SongList wide = {song("Müller", "日本", "1:00", QStringLiteral("/m/é.mp3"))};
    const QByteArray latinUtf8 = foreignPlaylistBytes(latin, PlaylistFormat::M3u, TTextEncoding::teUtf8);
    EXPECT_EQ(latinUtf8, QByteArray("#EXTM3U\n#EXTINF:60,M\xC3\xBCller - Caf\xC3\xA9\n/m/\xC3\xA9.mp3\n"));
    EXPECT_EQ(foreignPlaylistBytes(latin, PlaylistFormat::M3u, TTextEncoding::teAnsi),
              QByteArray("#EXTM3U\n#EXTINF:60,M\xFCller - Caf\xE9\n/m/\xE9.mp3\n"));
    EXPECT_EQ(foreignPlaylistBytes(wide, PlaylistFormat::M3u, TTextEncoding::teAnsi),
              foreignPlaylistBytes(wide, PlaylistFormat::M3u, TTextEncoding::teUtf8));
    // Never a signature, whatever the output encoding is.
    for (const PlaylistFormat f : {PlaylistFormat::M3u, PlaylistFormat::M3u8, PlaylistFormat::Pls})
        EXPECT_EQ(foreignPlaylistBytes(latin, f, TTextEncoding::teUtf16LE), foreignPlaylistBytes(latin, f, TTextEncoding::teUtf8));
    EXPECT_EQ(foreignPlaylistBytes(latin, PlaylistFormat::M3u8, TTextEncoding::teAnsi), latinUtf8);
}

TEST(ForeignPlaylist, WrittenXspfFollowsTheXspfRules)
{
    if (!haveProgram("xmllint"))
        GTEST_SKIP() << "xmllint (libxml2-utils) is not installed";
    TempDir t;
    const QString file = t.path(QStringLiteral("check.xspf"));
    SaveAnyPlaylist(roundTripSongs(), file, TTextEncoding::teUtf8, PictureStyle{});
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--schema"), kData + QStringLiteral("xspf-1.xsd"), file});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    // The schema does refuse what breaks the rules (the golden input holds a trackNum of 0).
    p.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--schema"), kData + QStringLiteral("xspf-1.xsd"), kData + QStringLiteral("full.xspf")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_NE(p.exitCode(), 0);
}

TEST(ForeignPlaylist, WrittenFilesReadRightInTotemPlParser)
{
    const QString driver = QStringLiteral(SONALO_SOURCE_DIR "/tests/support/totem-playlist-entries");
    QProcess probe;
    probe.start(driver, {kData + QStringLiteral("plain.m3u")});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        GTEST_SKIP() << "totem-pl-parser (gir1.2-totemplparser-1.0, python3-gi) is not usable: "
                     << probe.readAllStandardError().toStdString();
    TempDir t;
    // Absolute local paths and a stream: the forms another player meets.
    SongList songs = roundTripSongs();
    songs.removeIf([](const TSongRecord &r) { return !r.Path.startsWith(QLatin1Char('/')) && !r.Path.startsWith(QLatin1String("http")); });
    ASSERT_EQ(songs.size(), 5);
    for (const char *ext : {"m3u", "m3u8", "pls", "xspf"}) {
        const QString file = t.path(QStringLiteral("totem.") + QString::fromLatin1(ext));
        SaveAnyPlaylist(songs, file, TTextEncoding::teAnsi, PictureStyle{});
        QProcess p;
        p.start(driver, {file});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << ext << p.readAllStandardError().toStdString();
        const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), songs.size()) << ext;
        for (qsizetype i = 0; i < songs.size(); ++i) {
            const QStringList parts = lines[i].split(QLatin1Char('\t'));
            const QUrl uri(parts[0]);
            const QString location = uri.isLocalFile() ? uri.toLocalFile() : parts[0];
            EXPECT_EQ(location, songs[i].Path) << ext << " #" << i;
            const bool xspf = QByteArray(ext) == "xspf";
            const QString title = xspf || songs[i].Artist.isEmpty() ? songs[i].Title : songs[i].Artist + QStringLiteral(" - ") + songs[i].Title;
            EXPECT_TRUE(parts.contains(QStringLiteral("title=") + title)) << ext << " #" << i << ' ' << lines[i].toStdString();
            if (xspf && !songs[i].Artist.isEmpty()) {
                EXPECT_TRUE(parts.contains(QStringLiteral("author=") + songs[i].Artist)) << lines[i].toStdString();
            }
        }
    }
}
