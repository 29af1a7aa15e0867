// Saves and exports that run on a worker while the window's thread waits: what they write equals
// what the plain writers write, the window's list is untouched at every tick, Cancel and failures
// leave the file on disk as it was and say so, and a picture over the bounds is refused.
#include "session/SessionFixture.h"
#include "TempDir.h"

#include "core/Errors.h"
#include "core/Playlist.h"
#include "core/playlists/PlaylistFiles.h"
#include "session/SaveTexts.h"

#include <QDir>
#include <QImage>

namespace {

// Enough songs for the work to outlast a few of the watch's 20 ms steps, also under ASan.
constexpr int kSongs = 12000;

void put(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

class SaveWorkTest : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        SongList list;
        list.reserve(kSongs);
        for (int i = 0; i < kSongs; ++i) {
            TSongRecord r = song("Motörhead", "Ace | Spades", "2:49");
            r.Title += QString::number(i);
            r.Path = QStringLiteral("/music/Künstler %1/日本 %2.mp3").arg(i % 97).arg(i);
            list.append(r);
        }
        session->lists.replaceAll(list);
        first = list.first();
        session->playlist.setSaveWatches(watches());
        session->txtExport.setWorkWatches(watches());
    }

    // A watch that counts its ticks, checks at each that the window's list is as it was, and
    // cancels at tick cancelAt (0: never).
    WorkWatchMaker watches()
    {
        return [this](const QString &what) -> WorkWatch {
            steps.append(what);
            return [this](double done) {
                ++ticks;
                EXPECT_LE(done, 1.0);
                const SongList &all = session->lists.AllSongs();
                if (all.size() != kSongs || all.first().Title != first.Title)
                    listChanged = true;
                return cancelAt == 0 || ticks < cancelAt;
            };
        };
    }

    QString path(const char *name) const { return programFolder + QString::fromUtf8(name); }
    // The folder holds nothing but these files: no temporary file was left behind.
    QStringList filesBeside() const
    {
        return QDir(programFolder).entryList({QStringLiteral("*.*")}, QDir::Files, QDir::Name);
    }

    TSongRecord first;
    QStringList steps;
    int ticks = 0;
    int cancelAt = 0;
    bool listChanged = false;
};

TEST_F(SaveWorkTest, EverySaveWritesWhatThePlainWriterWritesWhileTheWindowTicks)
{
    struct Case
    {
        const char *name;
        TTextEncoding encoding;
    };
    const Case cases[] = {
        {"list.slp", TTextEncoding::teUtf8},     {"list.slp", TTextEncoding::teAnsi},
        {"list.slp", TTextEncoding::teUtf16LE},  {"list.slp", TTextEncoding::teUtf16BE},
        {"list.slp", TTextEncoding::teUtf32LE},  {"list.slp", TTextEncoding::teUtf32BE},
        {"list.slp", TTextEncoding::teUtf7},     {"list.slp", TTextEncoding::teUtf7AsAnsi},
        {"list.m3u", TTextEncoding::teAnsi},     {"list.m3u8", TTextEncoding::teUtf8},
        {"list.pls", TTextEncoding::teUtf16LE},  {"list.xspf", TTextEncoding::teUtf8},
    };
    const SongList &list = session->lists.AllSongs();
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(int(c.encoding)));
        ticks = 0;
        session->output.OutputEncoding = c.encoding;
        dialogs.answers = {path(c.name)};
        session->playlist.mp2Click();
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.value(0).toStdString();
        EXPECT_GT(ticks, 1); // not only the one at the start
        EXPECT_EQ(TempDir::read(path(c.name)), playlistSaveBytes(list, path(c.name), c.encoding, PictureStyle{}));
        QFile::remove(path(c.name));
    }
    // The last playlist at close: UTF-8 whatever the output encoding.
    ticks = 0;
    session->playlist.setLastPlaylistPath(path("last/Sonalo.slp"));
    EXPECT_TRUE(session->playlist.keepLastPlaylist());
    EXPECT_GT(ticks, 1); // not only the one at the start
    EXPECT_EQ(TempDir::read(path("last/Sonalo.slp")),
              playlistSaveBytes(list, path("Sonalo.slp"), TTextEncoding::teUtf8, PictureStyle{}));
    EXPECT_FALSE(listChanged);
    EXPECT_EQ(steps.size(), 13);
    EXPECT_EQ(steps.last(), SaveTexts::saving(session->lang, path("last/Sonalo.slp")));
}

TEST_F(SaveWorkTest, ExportLinesAndTheirFileAreThoseOfThePlainWriters)
{
    TxtExportController &exporter = session->txtExport;
    exporter.setWorkWatches({});
    exporter.SchreibenClick();
    const QStringList plain = exporter.outputLines();
    ASSERT_EQ(plain.size(), kSongs);

    exporter.setWorkWatches(watches());
    exporter.DelOutputClick();
    exporter.SchreibenClick();
    EXPECT_GT(ticks, 1); // not only the one at the start
    EXPECT_EQ(exporter.outputLines(), plain);

    // Cancelled (here also the auto updates of the two changes): the output box keeps what it showed.
    cancelAt = 1;
    exporter.setFilterText(QStringLiteral("nothing matches this"));
    exporter.setPanel(TxtExportController::Panel::Filter, true);
    exporter.SchreibenClick();
    EXPECT_EQ(exporter.outputLines(), plain);
    cancelAt = 0;
    exporter.setPanel(TxtExportController::Panel::Filter, false);
    exporter.setTemplateText(QStringLiteral("%artist% - %title% - %path%"));
    const QStringList withPaths = exporter.outputLines();
    ticks = 0;
    dialogs.answers = {path("Music List.txt")};
    exporter.SpeichernClick();
    EXPECT_GT(ticks, 1); // not only the one at the start
    EXPECT_EQ(TempDir::read(path("Music List.txt")), encodeText(exportFileText(withPaths), TTextEncoding::teUtf8));
    EXPECT_FALSE(listChanged);
}

TEST_F(SaveWorkTest, CancelOrAFailedWriteLeavesTheOldFileAndSaysSo)
{
    struct Case
    {
        const char *what;
        std::function<void()> save;
        const char *file;
    };
    TxtExportController &exporter = session->txtExport;
    exporter.setWorkWatches({});
    exporter.setTemplateText(QStringLiteral("%artist% - %title% - %path%"));
    const Case cases[] = {
        {"playlist", [&] { dialogs.answers = {path("old.slp")}; session->playlist.mp2Click(); }, "old.slp"},
        {"search result", [&] { dialogs.answers = {path("old.xspf")}; session->playlist.ergalsempClick(); }, "old.xspf"},
        // A last playlist not kept keeps the window open.
        {"last playlist", [&] { EXPECT_FALSE(session->playlist.keepLastPlaylist()); }, "old.slp"},
        {"export", [&] { dialogs.answers = {path("old.txt")}; exporter.SpeichernClick(); }, "old.txt"},
    };
    session->playlist.setLastPlaylistPath(path("old.slp"));
    session->lists.showFound(session->lists.AllSongs());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray old("what was there before\r\n");
        put(path(c.file), old);
        exporter.setWorkWatches(watches());
        ticks = 0;
        cancelAt = 1;
        dialogs.messages.clear();
        c.save();
        EXPECT_EQ(TempDir::read(path(c.file)), old);
        EXPECT_EQ(dialogs.messages, QStringList{SaveTexts::notSaved(session->lang, path(c.file))});
        EXPECT_EQ(filesBeside(), QStringList{QString::fromUtf8(c.file)});
        QFile::remove(path(c.file));
    }
    cancelAt = 0;
    EXPECT_TRUE(dialogs.errors.isEmpty());
    dialogs.messages.clear();

    // A write that fails on the worker is reported, and nothing is said to be saved.
    QDir(programFolder).mkpath(QStringLiteral("taken.slp"));
    session->playlist.setLastPlaylistPath(path("taken.slp"));
    EXPECT_FALSE(session->playlist.keepLastPlaylist());
    dialogs.answers = {path("no/such/folder/list.m3u8")};
    session->playlist.mp2Click();
    dialogs.answers = {path("no/such/folder/list.txt")};
    exporter.SpeichernClick();
    ASSERT_EQ(dialogs.errors.size(), 3);
    for (const QString &e : dialogs.errors)
        EXPECT_TRUE(e.startsWith(QStringLiteral("Cannot create file"))) << e.toStdString();
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(SaveWorkTest, APictureOverTheBoundsIsRefusedBeforeItIsDrawn)
{
    struct Case
    {
        const char *what;
        int lines;
        int lineLength;
        int pixelSize;
        bool refused;
    };
    // A line is about 1.2 times the pixel size high; "W" about as wide as the size.
    const Case cases[] = {
        {"a few short lines", 12, 20, 12, false},
        {"more rows than a picture file holds", 40000, 5, 12, true},
        {"a line wider than a picture file holds", 2, 2000, 40, true},
        {"within both sides but too many pixels", 400, 200, 100, true},
    };
    TxtExportController &exporter = session->txtExport;
    exporter.setWorkWatches({});
    for (const char *language : {"de", "en"}) {
        session->lang.setCode(QString::fromLatin1(language));
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.what) + " " + language);
            PictureFont font;
            font.pixelSize = c.pixelSize;
            session->output.picture.font = font;
            exporter.setOutputText(QStringList(c.lines, QString(c.lineLength, QLatin1Char('W'))).join(QLatin1Char('\n')));
            const PictureSize size = textPictureSize(exportFileText(exporter.outputLines()), session->output.picture);
            EXPECT_EQ(size.fits(), !c.refused) << size.width << " x " << size.height;
            const QString name = path("list.txt.bmp");
            put(name, "old");
            dialogs.errors.clear();
            dialogs.answers = {name};
            exporter.SpeichernClick();
            if (c.refused) {
                ASSERT_EQ(dialogs.errors.size(), 1);
                EXPECT_EQ(dialogs.errors[0], SaveTexts::pictureTooLarge(session->lang, size));
                EXPECT_TRUE(dialogs.errors[0].startsWith(session->lang.isDe() ? QStringLiteral("Das Bild wäre ")
                                                                              : QStringLiteral("The picture would be ")));
                EXPECT_EQ(TempDir::read(name), QByteArray("old"));
            } else {
                EXPECT_TRUE(dialogs.errors.isEmpty());
                EXPECT_EQ(QImage(name).size(), QSize(int(size.width), int(size.height)));
            }
        }
    }
    // The refusal by height comes before any line is measured.
    EXPECT_EQ(textPictureSize(QStringList(100000, QStringLiteral("x")).join(QStringLiteral("\r\n")), PictureStyle{}).width, 0);
    // The playlist save under a picture name takes the same bound.
    session->output.picture.font.reset();
    dialogs.errors.clear();
    dialogs.answers = {path("list.slp.gif")};
    session->playlist.mp2Click();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("The picture would be "))) << dialogs.errors[0].toStdString();
    EXPECT_FALSE(QFile::exists(path("list.slp.gif")));
}

} // namespace
