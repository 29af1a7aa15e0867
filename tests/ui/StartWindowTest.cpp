#include "QtTestApp.h"
#include "session/ScriptedDialogs.h"
#include "TestApp.h"
#include "app/SonaloApp.h"
#include "session/StartWindowController.h"
#include "ui/Tstart.h"
#include "ui/Tstartfenster.h"
#include "core/PictureStyle.h"
#include "core/Playlist.h"
#include "support/FakeAudioPlayer.h"
#include "session/Session.h"
#include "ui/Taddordner.h"
#include "ui/Tprog.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include "support/TestSongs.h"

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void click(QWidget *target, QPoint at, bool doubleClick = false)
{
    const QPointF local(at);
    const QPointF global(target->mapToGlobal(at));
    auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        QMouseEvent e(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    if (doubleClick) {
        send(QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
}

// The program started over a temporary program folder that holds the playlists, through the
// real start-up: the splash, then the main window's first showing.
class StartWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qtTestApp();
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override { QLocale::setDefault(savedLocale); }

    // A playlist of songs whose artists are the given names.
    QString writePlaylist(const char *name, std::initializer_list<const char *> artists)
    {
        SongList songs;
        for (const char *a : artists) {
            TSongRecord r;
            r.Artist = u8(a);
            r.Title = u8("t");
            r.Length = u8("1:00");
            r.Path = u8(a) + u8(".mp3");
            songs.append(r);
        }
        return SavePlaylist(songs, folder.filePath(u8(name)), TTextEncoding::teUtf8, PictureStyle());
    }
    QString writeBytes(const char *name, const QByteArray &bytes)
    {
        QFile f(folder.filePath(u8(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    void startApp(QStringList arguments = {})
    {
        SonaloApp::Options o = testAppOptions(folder.path(), dialogs, players.factory());
        o.arguments = std::move(arguments);
        app.reset();
        app = std::make_unique<SonaloApp>(o);
        app->showSplash();
        app->start()->FormClick();
        settle();
    }

    Tstartfenster *window() const { return app->startfenster(); }
    StartWindowController &controller() const { return app->startWindow(); }
    QStringList shownNames() const
    {
        QStringList names;
        for (int i = 0; i < window()->stammordner->topLevelItemCount(); ++i)
            names.append(window()->stammordner->topLevelItem(i)->text(0));
        return names;
    }
    QStringList loadedArtists() const
    {
        QStringList artists;
        for (const TSongRecord &r : app->session().lists.AllSongs())
            artists.append(r.Artist);
        return artists;
    }
    void clickHeader(int column) const
    {
        QHeaderView *header = window()->stammordner->header();
        click(header->viewport(), QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    QPoint rowCentre(int row) const
    {
        QTreeWidget *list = window()->stammordner;
        return list->visualItemRect(list->topLevelItem(row)).center();
    }
    QString statusLine() const { return app->prog()->statusLabel()->text(); }

    QLocale savedLocale;
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    FakeAudioScript players;
    std::unique_ptr<SonaloApp> app;
};

} // namespace

TEST(StartWindowSizes, KilobytesWithThreeDecimalsInTheUsersLocale)
{
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    struct Case
    {
        qint64 bytes;
        const QLocale &locale;
        const char *shown;
    } cases[] = {
        {2048, en, "2.000 KB"},
        {2048, de, "2,000 KB"},
        {0, de, "0,000 KB"},
        {1, en, "0.001 KB"},
        {1536, en, "1.500 KB"},
        // The value for a size that cannot be found.
        {-1, en, "-0.001 KB"},
        {-1, de, "-0,001 KB"},
        // No thousands separator; eight significant digits at most.
        {1024 * 1234 + 512, de, "1234,500 KB"},
        {qint64(123456789) * 1024 / 1000, en, "123456.790 KB"},
        {qint64(12345678) * 1024 + 1000, en, "12345679.000 KB"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StartWindowController::sizeText(c.bytes, c.locale), u8(c.shown)) << c.bytes;

    QTemporaryDir dir;
    EXPECT_EQ(StartWindowController::fileSize(dir.filePath(u8("gone.slp"))), -1);
}

TEST_F(StartWindowTest, ThreePlaylistsAreOfferedAndLoadAllLoadsThemInTheOrderShown)
{
    writePlaylist("b.slp", {"b1"});
    writePlaylist("A.slp", {"a1", "a2", "a3"});
    writePlaylist("c.slp", {"c1", "c2"});
    startApp();

    Tstartfenster *w = window();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), u8("Open Playlist"));
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w->Image1->geometry(), QRect(8, 8, 48, 48));
    EXPECT_EQ(w->Image1->pixmap().size(), QSize(48, 48));
    EXPECT_EQ(w->geometry().center(), app->start()->geometry().center());
    // Rows in the order of the folder's listing: by name without regard to case.
    EXPECT_EQ(shownNames(), QStringList({u8("A.slp"), u8("b.slp"), u8("c.slp")}));
    QTreeWidgetItem *first = w->stammordner->topLevelItem(0);
    EXPECT_EQ(first->text(1), folder.filePath(u8("A.slp")));
    EXPECT_EQ(first->text(2), StartWindowController::sizeText(QFileInfo(first->text(1)).size(), QLocale()));
    EXPECT_TRUE(first->textAlignment(2) & Qt::AlignRight);
    EXPECT_EQ(w->stammordner->columnWidth(0), 150);
    EXPECT_EQ(w->stammordner->columnWidth(1), 250);
    EXPECT_EQ(w->stammordner->columnWidth(2), 80);
    // The buttons in tab order, after the list.
    QStringList chain;
    for (QWidget *f = w->stammordner->nextInFocusChain(); f != w->stammordner && chain.size() < 10;
         f = f->nextInFocusChain())
        if (auto *b = qobject_cast<QPushButton *>(f))
            chain.append(b->text());
    EXPECT_EQ(chain, QStringList({u8("Load All"), u8("Load Selected"), u8("Other Playlist.."), u8("Open Folder.."),
                                  u8("Close Window")}));
    EXPECT_TRUE(loadedArtists().isEmpty());

    // Loading follows the list as sorted now: by size, largest first.
    clickHeader(2);
    clickHeader(2);
    EXPECT_EQ(shownNames(), QStringList({u8("A.slp"), u8("c.slp"), u8("b.slp")}));
    w->Button5->click();
    EXPECT_EQ(loadedArtists(), QStringList({u8("a1"), u8("a2"), u8("a3"), u8("c1"), u8("c2"), u8("b1")}));
    EXPECT_TRUE(statusLine().startsWith(u8("6 Files Loaded"))) << statusLine().toStdString();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(app->session().playlist.PlaylistFolderList().isEmpty());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(StartWindowTest, ColumnClicksSortAndTheSameColumnAgainReverses)
{
    // Names and sizes in different orders; the paths differ only in the names.
    writePlaylist("b.slp", {"x"});
    writePlaylist("a.slp", {"x", "y", "z"});
    writePlaylist("C.slp", {"x", "y"});
    startApp();
    ASSERT_TRUE(window()->isVisible());
    struct Step
    {
        int column;
        bool descending;
        QStringList names;
    } steps[] = {
        {2, false, {u8("b.slp"), u8("C.slp"), u8("a.slp")}},
        {2, true, {u8("a.slp"), u8("C.slp"), u8("b.slp")}},
        {0, false, {u8("a.slp"), u8("b.slp"), u8("C.slp")}},
        {0, true, {u8("C.slp"), u8("b.slp"), u8("a.slp")}},
        {1, false, {u8("a.slp"), u8("b.slp"), u8("C.slp")}},
        {2, false, {u8("b.slp"), u8("C.slp"), u8("a.slp")}},
    };
    for (const Step &s : steps) {
        clickHeader(s.column);
        EXPECT_EQ(controller().StartSortColumn, s.column);
        EXPECT_EQ(controller().StartSortDescending, s.descending) << s.column;
        EXPECT_EQ(shownNames(), s.names) << s.column << " " << s.descending;
    }
}

TEST_F(StartWindowTest, LoadSelectedNeedsASelectionAndADoubleClickLoadsOneRow)
{
    writePlaylist("a.slp", {"a"});
    writePlaylist("b.slp", {"b"});
    writePlaylist("c.slp", {"c"});
    startApp();
    Tstartfenster *w = window();
    ASSERT_TRUE(w->isVisible());

    // Nothing chosen: the button is off and a double click on empty space does nothing.
    EXPECT_FALSE(w->Button1->isEnabled());
    click(w->stammordner->viewport(), QPoint(5, w->stammordner->viewport()->height() - 5), true);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(loadedArtists().isEmpty());

    // Choosing rows enables it; choosing none again disables it. Selected rows load in the
    // list's order, however they were chosen.
    w->stammordner->topLevelItem(2)->setSelected(true);
    EXPECT_TRUE(w->Button1->isEnabled());
    w->stammordner->clearSelection();
    EXPECT_FALSE(w->Button1->isEnabled());
    w->stammordner->topLevelItem(2)->setSelected(true);
    w->stammordner->topLevelItem(0)->setSelected(true);
    // A sort keeps the choice.
    clickHeader(0);
    clickHeader(0);
    EXPECT_EQ(shownNames(), QStringList({u8("c.slp"), u8("b.slp"), u8("a.slp")}));
    EXPECT_EQ(w->selectedRows(), QList<int>({0, 2}));
    EXPECT_TRUE(w->Button1->isEnabled());
    // The double click: only the row clicked.
    click(w->stammordner->viewport(), rowCentre(1), true);
    EXPECT_EQ(loadedArtists(), QStringList({u8("b")}));
    EXPECT_FALSE(w->isVisible());
}

TEST_F(StartWindowTest, LoadSelectedLoadsTheChosenRowsInListOrder)
{
    writePlaylist("a.slp", {"a"});
    writePlaylist("b.slp", {"b"});
    writePlaylist("c.slp", {"c"});
    startApp();
    Tstartfenster *w = window();
    w->stammordner->topLevelItem(2)->setSelected(true);
    w->stammordner->topLevelItem(0)->setSelected(true);
    w->Button1->click();
    EXPECT_EQ(loadedArtists(), QStringList({u8("a"), u8("c")}));
    EXPECT_FALSE(w->isVisible());
}

TEST_F(StartWindowTest, ThePlayerButtonLoadsNothingAndEndsTheFocusHandBack)
{
    writePlaylist("a.slp", {"a"});
    writePlaylist("b.slp", {"b"});
    startApp();
    Tstartfenster *w = window();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), w);
    // While it is open, activating the main window hands the focus back.
    app->prog()->activateWindow();
    settle();
    EXPECT_EQ(QApplication::activeWindow(), w);

    w->Button2->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(loadedArtists().isEmpty());
    EXPECT_EQ(statusLine(), u8("No Files Loaded"));
    app->prog()->activateWindow();
    settle();
    EXPECT_EQ(QApplication::activeWindow(), app->prog());
    EXPECT_FALSE(w->isVisible());
}

TEST_F(StartWindowTest, ClosingByTheFrameEndsTheOfferToo)
{
    writePlaylist("a.slp", {"a"});
    writePlaylist("b.slp", {"b"});
    startApp();
    window()->close();
    EXPECT_FALSE(controller().isOpen());
    app->prog()->activateWindow();
    settle();
    EXPECT_EQ(QApplication::activeWindow(), app->prog());
}

TEST_F(StartWindowTest, OtherPlaylistAndOpenFolderCloseAndRunTheMainWindowsCommands)
{
    writePlaylist("a.slp", {"a"});
    writePlaylist("b.slp", {"b"});
    const QString elsewhere = writePlaylist("other.slp.txt", {"o1", "o2"});
    startApp();
    ASSERT_TRUE(window()->isVisible());
    // "Playlist Laden": the playlist dialog, then the list is replaced by the file chosen.
    dialogs.answers = {elsewhere};
    window()->Button4->click();
    EXPECT_FALSE(window()->isVisible());
    EXPECT_FALSE(controller().isOpen());
    EXPECT_EQ(dialogs.filters, QStringList({PlaylistController::playlistOpenFilter()}));
    EXPECT_EQ(loadedArtists(), QStringList({u8("o1"), u8("o2")}));

    startApp();
    ASSERT_TRUE(window()->isVisible());
    window()->Button3->click();
    EXPECT_FALSE(window()->isVisible());
    EXPECT_TRUE(app->addordner()->isVisible());
    EXPECT_TRUE(loadedArtists().isEmpty());
}

TEST_F(StartWindowTest, APlaylistThatCannotBeReadStopsTheRestAndKeepsTheWindowOpen)
{
    writePlaylist("a.slp", {"a"});
    // Garbage lines are skipped without a message.
    static const char garbage[] = "\x00\xff\x01 no song here\r\n|||\r\n";
    writeBytes("b.slp", QByteArray(garbage, sizeof garbage - 1));
    const QString vanishing = writePlaylist("c.slp", {"c"});
    writePlaylist("d.slp", {"d"});
    startApp();
    ASSERT_EQ(window()->stammordner->topLevelItemCount(), 4);
    // Gone between the offer and the choice.
    ASSERT_TRUE(QFile::remove(vanishing));
    window()->Button5->click();
    EXPECT_EQ(loadedArtists(), QStringList({u8("a")}));
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(u8("Cannot open file \"") + vanishing + u8("\"."))) << dialogs.errors[0].toStdString();
    // The table counts what was loaded; the window stays for another choice.
    EXPECT_TRUE(statusLine().startsWith(u8("1 Files Loaded"))) << statusLine().toStdString();
    EXPECT_TRUE(window()->isVisible());
    EXPECT_TRUE(controller().isOpen());
    window()->stammordner->topLevelItem(3)->setSelected(true);
    window()->Button1->click();
    EXPECT_EQ(loadedArtists(), QStringList({u8("a"), u8("d")}));
    EXPECT_FALSE(window()->isVisible());
}

TEST_F(StartWindowTest, OnePlaylistIsLoadedWithoutTheWindowAndArgumentsWin)
{
    writePlaylist("only.slp", {"o"});
    startApp();
    EXPECT_FALSE(window()->isVisible());
    EXPECT_EQ(loadedArtists(), QStringList({u8("o")}));

    writePlaylist("second.slp", {"s"});
    const QString song = writeBytes("song.wav", "not audio");
    startApp({song});
    EXPECT_FALSE(window()->isVisible());
    EXPECT_FALSE(controller().isOpen());
    EXPECT_EQ(loadedArtists().size(), 1);
}

TEST_F(StartWindowTest, GermanTextsAndTheLocalesSeparator)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    writeBytes("de", {});
    writePlaylist("a.slp", {"a"});
    // Exactly 2048 bytes.
    const QByteArray line = "Artist|Title|1:00|||||x.mp3\r\n";
    writeBytes("b.slp", line + QByteArray(2048 - line.size() - 2, 'x') + "\r\n");
    startApp();
    Tstartfenster *w = window();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), u8("Playlist Öffnen"));
    EXPECT_EQ(w->stammordner->headerItem()->text(0), u8("Playlist"));
    EXPECT_EQ(w->stammordner->headerItem()->text(1), u8("Dateipfad"));
    EXPECT_EQ(w->stammordner->headerItem()->text(2), u8("Größe"));
    EXPECT_EQ(w->Button5->text(), u8("Alle Laden"));
    EXPECT_EQ(w->Button1->text(), u8("Gewählte Laden"));
    EXPECT_EQ(w->Button4->text(), u8("Andere Playlist.."));
    EXPECT_EQ(w->Button3->text(), u8("Ordner Öffnen.."));
    EXPECT_EQ(w->Button2->text(), u8("Zum Player"));
    EXPECT_EQ(w->stammordner->topLevelItem(1)->text(2), u8("2,000 KB"));
    // The menu's language switch reaches this window too.
    app->prog()->English1Click();
    EXPECT_EQ(w->windowTitle(), u8("Open Playlist"));
    EXPECT_EQ(w->stammordner->headerItem()->text(2), u8("Size"));
    EXPECT_EQ(w->Button2->text(), u8("Close Window"));
}
