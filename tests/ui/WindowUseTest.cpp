// The main window as a user meets it: a small screen, the keyboard, where other windows open,
// the dialogs' texts.
#include "ui/Tprog.h"

#include "QtTestApp.h"
#include "session/ScriptedDialogs.h"
#include "TestApp.h"
#include "app/SonaloApp.h"
#include "ui/Tinfo.h"
#include "support/FakeAudioPlayer.h"
#include "session/Session.h"
#include "ui/Tfehler.h"
#include "ui/Tsuchopt.h"
#include "ui/Mnemonics.h"
#include "session/UserDialogs.h"
#include "ui/QtUserDialogs.h"
#include "ui/WindowPlacement.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>
#include "support/TestSongs.h"

namespace {

void key(QWidget *w, int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, k, modifiers);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, k, modifiers);
    QApplication::sendEvent(w, &release);
}

class WindowUseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qtTestApp();
        app = std::make_unique<SonaloApp>(testAppOptions(folder.path(), dialogs, players.factory()));
        window = app->prog();
        for (int i = 0; i < 30; ++i) {
            TSongRecord r;
            r.Artist = u8("Band");
            r.Title = QStringLiteral("Song %1").arg(i);
            r.Length = u8("3:00");
            r.Path = folder.filePath(QStringLiteral("%1.mp3").arg(i));
            QFile file(r.Path);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            session().lists.append(r);
        }
        session().list.ShowListStatus();
    }
    void TearDown() override { window->hide(); }

    Session &session() { return app->session(); }
    template <typename T> T *in(const char *name) const { return window->findChild<T *>(u8(name)); }
    QAction *item(const char *name) const { return in<QAction>(name); }
    // Every panel open, the window as large as a screen of 800 x 600 lets it be (without the
    // title bar and a desktop panel).
    void openEverythingAt800x600()
    {
        item("msuche")->trigger();
        item("suchoptpanel")->trigger();
        window->show();
        QCoreApplication::processEvents(); // the window maximizes itself on a small screen
        window->setWindowState(Qt::WindowNoState);
        window->resize(800, 560);
        QCoreApplication::processEvents();
    }
    bool fullyInWindow(const QWidget *w) const
    {
        const QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
        return w->isVisible() && !w->size().isEmpty() && window->rect().contains(at);
    }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    FakeAudioScript players;
    std::unique_ptr<SonaloApp> app;
    Tprog *window = nullptr;
};

} // namespace

TEST_F(WindowUseTest, EveryPanelFitsA800x600ScreenInBothLanguages)
{
    for (const char *code : {"de", "en"}) {
        window->switchLanguage(u8(code));
        openEverythingAt800x600();
        // A title bar and a desktop panel take their share of the 600 pixels.
        EXPECT_LE(window->minimumSizeHint().height(), 540) << code;
        EXPECT_LE(window->minimumSizeHint().width(), 800) << code;
        EXPECT_EQ(window->height(), 560) << code;
        for (const char *name : {"BtPlay", "zurueck", "weiter", "stelle", "status", "suchwort", "lv"})
            EXPECT_TRUE(fullyInWindow(in<QWidget>(name))) << code << " " << name;
        EXPECT_GT(in<QWidget>("stelle")->width(), 300) << code;
        // No option's text is cut.
        QWidget *panel = in<QWidget>("pa_suchopt_inhalt");
        for (QAbstractButton *b : panel->findChildren<QAbstractButton *>())
            EXPECT_GE(b->width(), b->sizeHint().width()) << code << " " << b->text().toStdString();
        item("msuche")->trigger();
        item("suchoptpanel")->trigger();
    }
}

TEST_F(WindowUseTest, TabLeavesTheTableAndTheArrowKeysMoveTheBar)
{
    openEverythingAt800x600();
    item("suchoptpanel")->trigger();
    window->activateWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->isActiveWindow());
    QTableView *lv = window->table();
    lv->setFocus();
    QStringList visited;
    for (int i = 0; i < 13; ++i) {
        key(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, (QStringList{u8("suchwort"), u8("regexsuche"), u8("Suchen"), u8("Opt"), u8("Alle"), u8("BtPlay"),
                                    u8("zurueck"), u8("weiter"), u8("stelle"), u8("stumm"), u8("lautstaerke"), u8("lv"),
                                    u8("suchwort")}));
    key(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), lv);

    // The bar: 1 % a step, 10 % a page, and each move seeks.
    session().playback.lvDblClick(0);
    auto *stelle = in<QSlider>("stelle");
    stelle->setFocus();
    key(stelle, Qt::Key_Right);
    EXPECT_EQ(stelle->value(), 10);
    EXPECT_EQ(players.calls.last(), QStringLiteral("seek %1 18000000 1").arg(players.current->FileName()));
    key(stelle, Qt::Key_PageUp);
    EXPECT_EQ(stelle->value(), 110);
    key(stelle, Qt::Key_Left);
    EXPECT_EQ(stelle->value(), 100);
}

TEST_F(WindowUseTest, QtsOwnTextsFollowTheLanguageMenu)
{
    const QKeySequence deleteAll(Qt::CTRL | Qt::Key_Delete);
    struct Case { const char *item; const char *keys; const char *cancel; } cases[] = {
        {"Deutsch1", "Strg+Entf", "Abbrechen"},
        {"English1", "Ctrl+Del", "Cancel"},
    };
    for (const Case &c : cases) {
        item(c.item)->trigger();
        EXPECT_EQ(deleteAll.toString(QKeySequence::NativeText), u8(c.keys)) << c.item;
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), u8(c.cancel)) << c.item;
    }
}

TEST(Mnemonics, OneFreeLetterPerCaptionAndTheTextStays)
{
    struct Case { QStringList captions, expected; } cases[] = {
        {{u8("Datei"), u8("Daten"), u8("Suche")}, {u8("&Datei"), u8("D&aten"), u8("&Suche")}},
        {{u8("Play"), u8("Playlist")}, {u8("&Play"), u8("P&laylist")}},             // any free letter
        {{u8("Alle Laden"), u8("Andere")}, {u8("&Alle Laden"), u8("A&ndere")}},
        {{u8("Export als Text"), u8("Ende")}, {u8("&Export als Text"), u8("E&nde")}},
        {{u8("Rock && Roll"), u8("R")}, {u8("&Rock && Roll"), u8("R")}},           // a shown "&" stays
        {{u8("&Datei"), u8("Datei")}, {u8("&Datei"), u8("D&atei")}},               // marked afresh
        {{u8("<<"), u8("12 Songs")}, {u8("<<"), u8("&12 Songs")}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Mnemonics::assign(c.captions), c.expected) << c.captions.join(u8("|")).toStdString();
        const QStringList marked = Mnemonics::assign(c.captions);
        for (qsizetype i = 0; i < marked.size(); ++i)
            EXPECT_EQ(Mnemonics::visibleText(marked[i]), Mnemonics::visibleText(c.captions[i]));
    }
    EXPECT_EQ(Mnemonics::visibleText(u8("&Rock && Roll")), u8("Rock & Roll"));
}

TEST_F(WindowUseTest, EveryMenuAndItemHasItsOwnAccessKeyInBothLanguages)
{
    for (const char *code : {"de", "en"}) {
        window->switchLanguage(u8(code));
        std::function<void(const QList<QAction *> &, const QString &)> check = [&](const QList<QAction *> &level,
                                                                                  const QString &where) {
            QSet<int> keys;
            for (QAction *a : level) {
                if (a->isSeparator())
                    continue;
                const QKeySequence key = QKeySequence::mnemonic(a->text());
                EXPECT_FALSE(key.isEmpty()) << code << " " << where.toStdString() << " > " << a->text().toStdString();
                EXPECT_FALSE(keys.contains(key[0].toCombined()) && !key.isEmpty())
                    << code << " twice in " << where.toStdString() << ": " << a->text().toStdString();
                keys.insert(key[0].toCombined());
                if (a->menu())
                    check(a->menu()->actions(), Mnemonics::visibleText(a->text()));
            }
        };
        check(window->menuBar()->actions(), u8("menu bar"));
    }
    // The letter picks the item in the open menu; screen readers still read the caption.
    window->switchLanguage(u8("en"));
    window->show();
    QAction *playlistMenu = item("mp0");
    QMenu *menu = playlistMenu->menu();
    ASSERT_NE(menu, nullptr);
    menu->popup(QPoint(10, 10));
    QCoreApplication::processEvents();
    QAction *hide = item("mp6");
    const QString letter = hide->text().mid(hide->text().indexOf(QLatin1Char('&')) + 1, 1);
    int triggered = 0;
    QObject::connect(hide, &QAction::triggered, [&] { ++triggered; });
    QKeyEvent press(QEvent::KeyPress, QKeySequence(letter)[0].key(), Qt::NoModifier, letter.toLower());
    QApplication::sendEvent(menu, &press);
    QCoreApplication::processEvents();
    EXPECT_EQ(triggered, 1) << hide->text().toStdString();
    EXPECT_FALSE(menu->isVisible());
}

TEST(CentredOver, KeptOnTheScreen)
{
    const QRect screen(0, 0, 800, 600);
    struct Case { QSize size; QRect over; QPoint expected; } cases[] = {
        {{200, 100}, {100, 100, 400, 300}, {200, 200}},  // inside
        {{200, 100}, {-300, 0, 400, 300}, {0, 100}},     // over a main window half off the left
        {{200, 100}, {600, 500, 400, 300}, {600, 500}},  // half off the bottom right
        {{900, 700}, {0, 0, 800, 600}, {0, 0}},          // larger than the screen
    };
    for (const Case &c : cases)
        EXPECT_EQ(centredOver(c.size, c.over, screen), c.expected) << c.over.x() << "," << c.over.y();
}

TEST_F(WindowUseTest, LogOptionsAndAboutOpenCentredOverTheMainWindow)
{
    window->resize(500, 400);
    window->move(40, 60);
    window->show();
    const QRect main = window->frameGeometry();
    const QPoint centre = main.topLeft() + QPoint(main.width() / 2, main.height() / 2);
    struct Case { const char *what; std::function<void()> open; QWidget *opened; } cases[] = {
        {"log", [&] { item("m_fehler")->trigger(); }, app->fehler()},
        {"options", [&] { session().search.Suchoptionen1Click(); }, app->suchopt()},
        {"about", [&] { Q_EMIT window->infoRequested(); }, app->info()},
    };
    for (const Case &c : cases) {
        c.open();
        ASSERT_TRUE(c.opened->isVisible()) << c.what;
        const QPoint middle = c.opened->frameGeometry().topLeft()
                              + QPoint(c.opened->frameGeometry().width() / 2, c.opened->frameGeometry().height() / 2);
        EXPECT_LE((middle - centre).manhattanLength(), 2) << c.what;
        c.opened->hide();
    }
}

TEST(FileDialogs, FilterNamesStandOnce)
{
    qtTestApp();
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    prepareFileDialog(dialog, u8("Audio (*.mp3,*.ogg) (*.mp3 *.ogg);;Audio (*.mp3) (*.mp3);;Alle Dateien (*.*)"));
    auto *types = dialog.findChild<QComboBox *>(u8("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    QStringList shown;
    for (int i = 0; i < types->count(); ++i)
        shown << types->itemText(i);
    EXPECT_EQ(shown, (QStringList{u8("Audio (*.mp3,*.ogg)"), u8("Audio (*.mp3)"), u8("Alle Dateien")}));
    // The patterns still filter.
    EXPECT_EQ(dialog.nameFilters().value(1), u8("Audio (*.mp3) (*.mp3)"));
}

TEST(MessageBoxes, AShortMessageKeepsTheCaption)
{
    qtTestApp();
    QMessageBox box(QMessageBox::Critical, u8("ORV Media Sonalo"), u8("Unmatched ()"), QMessageBox::Ok);
    const int before = box.sizeHint().width();
    fitCaption(box);
    box.show();
    QFont caption = box.font();
    caption.setBold(true);
    EXPECT_GE(box.width(), QFontMetrics(caption).horizontalAdvance(box.windowTitle()) + kCaptionExtras);
    EXPECT_GT(box.width(), before);
    box.hide();
}
