// The five ways songs enter the main window's playlist, on real files: the open-files dialog,
// paste, drop, arguments and folders.
#include "AudioTree.h"

#include "core/Playlist.h"
#include "core/ListStatus.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QMimeData *uriList(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

class AddingSongsWindow : public AudioWindowTest
{
protected:
    // A tree with the cases a folder walk meets: nesting, hidden folders, letter case of
    // extensions, a link loop, a FIFO named like a song, non-Latin and emoji names.
    void buildTree()
    {
        put("id3v23.mp3", "B.MP3");
        put("Band - Song.mp3", "Band - Song.mp3");
        put("Artist - Song.wav", "Artist - Song.WAV");
        put("vorbis_tags.ogg", ".hidden/h.ogg");
        put("wma_tags.wma", "sub/d.wma");
        put("cbr128_stereo.mp3", "sub/Ünï 日本 🎵.mp3");
        put("vorbis_plain.ogg", "sub/deeper/e.ogg");
        put("tone_mono.wav", "notes.txt");
        ASSERT_EQ(::symlink(QFile::encodeName(music.path()).constData(),
                            QFile::encodeName(musicPath("sub/loop")).constData()),
                  0);
        ASSERT_EQ(::mkfifo(QFile::encodeName(musicPath("x.mp3")).constData(), 0600), 0);
    }

    // What the tree above adds, in found order.
    static QStringList treeRows()
    {
        return {u8("Ogg Artist|Ogg Title|h.ogg"),  u8("|e.ogg|e.ogg"),
                u8("|Ünï 日本 🎵.mp3|Ünï 日本 🎵.mp3"), u8("WMA Artist|WMA Title|d.wma"),
                u8("V23 Artist|V23 Title|B.MP3"),  u8("Band|Song|Band - Song.mp3"),
                u8("Artist|Song|Artist - Song.WAV")};
    }

    void drop(QMimeData *data)
    {
        QWidget *viewport = window->table()->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        // The names are added once the drop has returned.
        QCoreApplication::processEvents();
        delete data;
    }
};

} // namespace

TEST_F(AddingSongsWindow, DropAddsFolderTreePlaylistAndFileInDropOrder)
{
    buildTree();
    TSongRecord listed;
    listed.Artist = u8("Listed");
    listed.Title = u8("Entry");
    listed.Length = u8("1:00");
    // Saving appends ".slp" to a name without it; the capitals come with a rename.
    SavePlaylist({listed}, programFolder() + u8("list.slp"), TTextEncoding::teUtf8, session().output.picture);
    const QString list = programFolder() + u8("list.SLP");
    ASSERT_TRUE(QFile::rename(programFolder() + u8("list.slp"), list));

    drop(uriList({musicPath(), list, audioFixture("tone_mono.wav")}));
    QStringList expected = treeRows();
    expected << u8("Listed|Entry|") << u8("|tone_mono.wav|tone_mono.wav");
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(cell(4, 3), u8("0:05"));
    EXPECT_EQ(cell(4, 4), u8("V23 Album"));
    EXPECT_EQ(cell(0, 8), musicPath(".hidden/h.ogg"));
    EXPECT_EQ(window->statusLabel()->text(), u8("9 Files Loaded ") + TotalPlayingTime(session().lists.AllSongs()));
    // Disabled for every song added, and back afterwards.
    EXPECT_EQ(enabledWhileAdding, QList<bool>(8, false));
    EXPECT_TRUE(window->centralWidget()->isEnabled() && window->menuBar()->isEnabled());
}

TEST_F(AddingSongsWindow, DragsAreAcceptedOnlyWithLocalFiles)
{
    struct Case
    {
        const char *what;
        QMimeData *data;
        bool accepted;
    };
    auto *text = new QMimeData;
    text->setText(u8("/tmp/a.mp3"));
    auto *web = new QMimeData;
    web->setUrls({QUrl(u8("https://example.org/a.mp3"))});
    auto *gnome = new QMimeData;
    gnome->setData(u8("x-special/gnome-copied-files"), "copy\nfile:///tmp/a.mp3\n");
    for (const Case &c : {Case{"text", text, false}, Case{"web", web, false},
                          Case{"files", uriList({u8("/tmp/a.mp3")}), true}, Case{"gnome", gnome, true}}) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, c.data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window->table()->viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.accepted) << c.what;
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, c.data, Qt::LeftButton, Qt::NoModifier);
        if (!c.accepted) {
            QApplication::sendEvent(window->table()->viewport(), &dropped);
            QCoreApplication::processEvents();
            EXPECT_EQ(model().rowCount(), 0) << c.what;
        }
        delete c.data;
    }
}

TEST_F(AddingSongsWindow, PasteAddsEveryNameAsOneSongAndScansFolders)
{
    const QString song = put("Band - Song.mp3", "Band - Song.mp3");
    const QString list = programFolder() + u8("list.slp");
    SavePlaylist({TSongRecord()}, list, TTextEncoding::teUtf8, session().output.picture);
    QClipboard *clipboard = QGuiApplication::clipboard();

    // Text is not a file list: nothing happens, not even a refresh.
    clipboard->setText(song);
    {
        const auto quiet = session().lists.edit(SongLists::Refresh::None);
        session().lists.append(TSongRecord());
    }
    session().playlist.mp11Click(QGuiApplication::clipboard()->mimeData());
    EXPECT_EQ(model().rowCount(), 0);
    session().lists.clear();

    // A playlist is pasted as a song too, a folder is scanned (it holds the one song); the
    // same file twice gives two rows.
    clipboard->setMimeData(uriList({song, list, musicPath(), song}));
    session().playlist.mp11Click(QGuiApplication::clipboard()->mimeData());
    ASSERT_EQ(model().rowCount(), 4);
    EXPECT_EQ(rows()[0], u8("Band|Song|Band - Song.mp3"));
    EXPECT_EQ(cell(1, 8), list);
    EXPECT_EQ(cell(1, 2), u8("list.slp"));
    EXPECT_EQ(rows()[2], rows()[0]);
    EXPECT_EQ(cell(2, 8), song);
    EXPECT_EQ(rows()[3], rows()[0]);

    // The file managers' copy format.
    auto *gnome = new QMimeData;
    gnome->setData(u8("x-special/gnome-copied-files"), "copy\n" + QUrl::fromLocalFile(song).toEncoded() + "\n");
    clipboard->setMimeData(gnome);
    session().playlist.mp11Click(QGuiApplication::clipboard()->mimeData());
    EXPECT_EQ(model().rowCount(), 5);
    EXPECT_EQ(window->statusLabel()->text(), u8("5 Files Loaded ") + TotalPlayingTime(session().lists.AllSongs()));
}

TEST_F(AddingSongsWindow, OpenDialogAddsInDialogOrderWithTheFilterOfTheLanguage)
{
    const QString a = put("id3v23.mp3", "a.mp3");
    const QString b = put("vorbis_tags.ogg", "b.ogg");
    for (const char *code : {"de", "en"}) {
        const bool de = QLatin1String(code) == QLatin1String("de");
        de ? window->Deutsch1Click() : window->English1Click();
        dialogs.filters.clear();
        session().lists.clear();
        dialogs.manyAnswers = {{b, a, b}};
        session().playlist.m_opendateiClick();
        ASSERT_EQ(dialogs.filters.size(), 1);
        EXPECT_EQ(dialogs.filters[0],
                  u8("Audio (*.mp3,*.wav,*.ogg,*.wma,*.flac,*.opus,*.m4a) "
                     "(*.mp3 *.wav *.ogg *.wma *.flac *.opus *.m4a);;Audio (*.mp3) (*.mp3);;"
                     "Audio (*.wav) (*.wav);;Audio (*.ogg) (*.ogg);;Audio (*.wma) (*.wma);;"
                     "Audio (*.flac) (*.flac);;Audio (*.opus) (*.opus);;Audio (*.m4a) (*.m4a);;")
                      + u8(de ? "Alle Dateien" : "All Files") + u8(" (*.*) (*)"));
        EXPECT_EQ(rows(), QStringList({u8("Ogg Artist|Ogg Title|b.ogg"), u8("V23 Artist|V23 Title|a.mp3"),
                                       u8("Ogg Artist|Ogg Title|b.ogg")}));
        EXPECT_EQ(window->statusLabel()->text(),
                  u8(de ? "3 Dateien geladen " : "3 Files Loaded ") + TotalPlayingTime(session().lists.AllSongs()));
    }
    // Cancelled: nothing added, and still the refresh.
    {
        // Quietly, so that only the cancelled command can refresh the table.
        const auto quiet = session().lists.edit(SongLists::Refresh::None);
        session().lists.replaceAll(session().lists.AllSongs().first(2));
    }
    session().playlist.m_opendateiClick();
    EXPECT_EQ(model().rowCount(), 2);
}

TEST_F(AddingSongsWindow, AddingScrollsToTheLastRowAndDoubleClickOnAnEmptyTableOpensTheDialog)
{
    window->show();
    const QString a = put("Band - Song.mp3", "a.mp3");
    dialogs.manyAnswers = {QStringList(200, a)};
    // A double click with no row selected asks for files.
    QWidget *viewport = window->table()->viewport();
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(20, 10), viewport->mapToGlobal(QPointF(20, 10)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &dbl);
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.filters.size(), 1);
    ASSERT_EQ(model().rowCount(), 200);
    QCoreApplication::processEvents();
    QScrollBar *bar = window->table()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    // With a row selected the double click is the row's, not the dialog's.
    window->table()->selectRow(199);
    QApplication::sendEvent(viewport, &dbl);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.filters.size(), 1);
}

TEST_F(AddingSongsWindow, WindowStaysAliveWhileAFolderIsAdded)
{
    for (int i = 0; i < 12; ++i)
        put("Band - Song.mp3", QStringLiteral("many/%1.mp3").arg(i, 2, 10, QLatin1Char('0')).toUtf8().constData());
    // A slow disk: each song takes 30 ms to read.
    onAdd = [&](const QString &path, bool relative) {
        QThread::msleep(30);
        read(path, relative);
    };
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    session().playlist.OpenArgument(musicPath("many"));
    // 360 ms of adding: pending events ran several times meanwhile (at least every 100 ms).
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(model().rowCount(), 12);
    EXPECT_TRUE(window->centralWidget()->isEnabled() && window->menuBar()->isEnabled());
}

TEST_F(AddingSongsWindow, ClosingWhileAddingStopsTheAddingAndKeepsTheWindow)
{
    for (const char *name : {"f/1.mp3", "f/2.mp3", "f/3.mp3"})
        put("Band - Song.mp3", name);
    window->show();
    onAdd = [&](const QString &path, bool relative) {
        read(path, relative);
        window->close();
    };
    session().playlist.OpenArgument(musicPath("f"));
    EXPECT_EQ(model().rowCount(), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(session().scan.ScanCancelled);
}

TEST_F(AddingSongsWindow, ArgumentsByExtensionOnRealFiles)
{
    buildTree();
    const QString list = programFolder() + u8("x.slp");
    TSongRecord listed;
    listed.Artist = u8("Listed");
    SavePlaylist({listed}, list, TTextEncoding::teUtf8, session().output.picture);
    QFile::copy(list, programFolder() + u8("X.SLP"));
    for (const QString &arg : {musicPath(), list, programFolder() + u8("X.SLP"), musicPath("B.MP3"), musicPath("x.mp3")})
        session().playlist.OpenArgument(arg);
    QStringList expected = treeRows();
    // ".SLP" in capitals is a song; so is a FIFO named by an argument (its record is empty).
    expected << u8("Listed||") << u8("|X.SLP|X.SLP") << u8("V23 Artist|V23 Title|B.MP3") << u8("||x.mp3");
    EXPECT_EQ(rows(), expected);
}
