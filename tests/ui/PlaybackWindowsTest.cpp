// The windows around playback: the position bar's click rule, the recently played window, the
// error log and the main window's play controls, on the scripted fake player.
#include "ui/TTrackBar.h"
#include "ui/Tfehler.h"
#include "ui/Tlastfiles.h"
#include "ui/Tprog.h"
#include "ui/MiddleElideDelegate.h"
#include "session/SongTableModel.h"

#include "QtTestApp.h"
#include "TempDir.h"
#include "support/FakeAudioPlayer.h"
#include "playback/PlaybackControl.h"
#include "session/ScriptedDialogs.h"
#include "TestApp.h"
#include "app/SonaloApp.h"
#include "playback/DisplayOptionsModel.h"
#include "session/Session.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

void mouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void key(QWidget *w, int k, QString text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    if (k == Qt::Key_Return)
        text = QStringLiteral("\r");
    QKeyEvent press(QEvent::KeyPress, k, modifiers, text);
    QApplication::sendEvent(w, &press);
}

} // namespace

TEST(TrackBarPress, ChannelThumbAndElsewhere)
{
    const QRect thumb(150, 2, 11, 20); // half = 5
    const QRect channel(8, 10, 200, 4); // [8, 208) -> adjusted [13, 203)
    struct Case
    {
        QPoint press;
        TrackBarPress::Where where;
        int position;
    };
    const Case cases[] = {
        {{13, 12}, TrackBarPress::Channel, 0},     // the adjusted left edge
        {{203, 12}, TrackBarPress::Channel, 1000}, // the adjusted right edge
        {{9, 12}, TrackBarPress::Channel, 0},      // left of it: limited to the range
        {{207, 3}, TrackBarPress::Channel, 1000},  // the channel has the thumb's height
        {{108, 12}, TrackBarPress::Channel, 500},
        {{155, 12}, TrackBarPress::Thumb, 0},
        {{150, 2}, TrackBarPress::Thumb, 0},
        {{161, 12}, TrackBarPress::Channel, 779}, // the thumb's right edge is outside it
        {{50, 22}, TrackBarPress::Elsewhere, 0},  // below the thumb's extent
        {{7, 12}, TrackBarPress::Elsewhere, 0},
        {{208, 12}, TrackBarPress::Elsewhere, 0},
    };
    for (const Case &c : cases) {
        const TrackBarPress p = trackBarPress(thumb, channel, c.press, 0, 1000, Qt::Horizontal);
        EXPECT_EQ(p.where, c.where) << c.press.x() << "," << c.press.y();
        EXPECT_EQ(p.position, c.position) << c.press.x() << "," << c.press.y();
    }
    // Halves go to the even neighbour: a span of 16 gives 62.5 -> 62 and 187.5 -> 188.
    const QRect smallThumb(40, 0, 10, 10), smallChannel(0, 4, 26, 2); // adjusted [5, 21)
    EXPECT_EQ(trackBarPress(smallThumb, smallChannel, {6, 5}, 0, 1000, Qt::Horizontal).position, 62);
    EXPECT_EQ(trackBarPress(smallThumb, smallChannel, {8, 5}, 0, 1000, Qt::Horizontal).position, 188);
    // Vertical: the same with x and y exchanged.
    const TrackBarPress v = trackBarPress(QRect(2, 150, 20, 11), QRect(10, 8, 4, 200), {12, 108}, 0, 1000, Qt::Vertical);
    EXPECT_EQ(v.where, TrackBarPress::Channel);
    EXPECT_EQ(v.position, 500);
}

TEST(TTrackBar, ClickJumpsAndTheThumbStillDrags)
{
    qtTestApp();
    TTrackBar bar(Qt::Horizontal);
    bar.setRange(0, 1000);
    bar.setGeometry(0, 0, 400, 25);
    bar.show();
    QList<int> changes;
    QObject::connect(&bar, &QSlider::valueChanged, [&](int v) { changes << v; });

    const QRect thumb = bar.thumbRect(), channel = bar.channelRect();
    ASSERT_GT(channel.width(), thumb.width() * 4);
    const QPoint at(channel.x() + channel.width() * 3 / 4, thumb.center().y());
    const TrackBarPress expected = trackBarPress(thumb, channel, at, 0, 1000, Qt::Horizontal);
    ASSERT_EQ(expected.where, TrackBarPress::Channel);
    mouse(&bar, QEvent::MouseButtonPress, at);
    mouse(&bar, QEvent::MouseButtonRelease, at, Qt::NoButton);
    EXPECT_EQ(bar.value(), expected.position);
    EXPECT_GT(bar.value(), 650);
    EXPECT_LT(bar.value(), 850);
    EXPECT_EQ(changes, QList<int>{expected.position});

    // Dragging the thumb back to the left end.
    const QPoint grip = bar.thumbRect().center();
    mouse(&bar, QEvent::MouseButtonPress, grip);
    mouse(&bar, QEvent::MouseMove, QPoint(grip.x() - 1000, grip.y()));
    mouse(&bar, QEvent::MouseButtonRelease, QPoint(grip.x() - 1000, grip.y()), Qt::NoButton);
    EXPECT_EQ(bar.value(), 0);
}

namespace {

class TlastfilesTest : public ::testing::Test
{
protected:
    TlastfilesTest() : lists(dir.path())
    {
        qtTestApp();
        display.setRandomOrder(false);
        control = std::make_unique<PlaybackControl>(lists, script.factory(), display, lang);
        QObject::connect(control.get(), &PlaybackControl::logLine, [this](const QString &l) { log << l; });
        window = std::make_unique<Tlastfiles>(lang, *control);
        for (const char *name : {"b song.mp3", "A song.mp3", "c song.mp3", "D song.mp3"}) {
            TSongRecord r;
            r.Path = dir.write(QString::fromLatin1(name), QByteArray());
            lists.append(r);
        }
    }
    ~TlastfilesTest() override { window->hide(); }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int i = 0; i < window->lf->topLevelItemCount(); ++i)
            texts << window->lf->topLevelItem(i)->text(c);
        return texts;
    }
    QString path(const char *name) const { return dir.path(QString::fromLatin1(name)); }

    TempDir dir;
    SongLists lists;
    LanguageCode lang;
    DisplayOptionsModel display;
    FakeAudioScript script;
    QStringList log;
    std::unique_ptr<PlaybackControl> control;
    std::unique_ptr<Tlastfiles> window;
};

} // namespace

TEST_F(TlastfilesTest, FollowsTheHistoryNewestFirstWhileShown)
{
    control->lvDblClick(0);
    window->show();
    EXPECT_TRUE(control->RecentWindowVisible());
    window->Aktualisieren();
    control->weiterClick();
    EXPECT_EQ(column(1), (QStringList{path("A song.mp3"), path("b song.mp3")}));
    EXPECT_EQ(column(0).first(), control->PlayHistory().last().DisplayText);
    control->zurueckClick(); // going back drops the top row
    EXPECT_EQ(column(1), QStringList{path("b song.mp3")});
    window->hide();
    EXPECT_FALSE(control->RecentWindowVisible());
    control->weiterClick();
    EXPECT_EQ(window->lf->topLevelItemCount(), 1); // not kept current while hidden
}

TEST_F(TlastfilesTest, DelRemovesRowsOnlyFromTheWindow)
{
    window->show();
    for (int row : {0, 1, 2})
        control->lvDblClick(row);
    window->lf->topLevelItem(0)->setSelected(true);
    window->lf->topLevelItem(2)->setSelected(true);
    key(window->lf, Qt::Key_Delete);
    EXPECT_EQ(column(1), QStringList{path("A song.mp3")});
    EXPECT_EQ(control->PlayHistory().size(), 3);
    control->lvDblClick(3);
    EXPECT_EQ(column(1), (QStringList{path("D song.mp3"), path("c song.mp3"), path("A song.mp3"), path("b song.mp3")}));
}

TEST_F(TlastfilesTest, DoubleClickStartsAgainUnlessTheFileIsGone)
{
    window->show();
    control->lvDblClick(0);
    control->lvDblClick(1);
    control->setCurrentIndex(3);
    window->lf->topLevelItem(1)->setSelected(true); // "b song"
    window->lfDblClick();
    EXPECT_EQ(control->CurrentIndex(), 0);
    EXPECT_EQ(script.current->FileName(), path("b song.mp3"));
    EXPECT_EQ(column(1).first(), path("b song.mp3"));

    ASSERT_TRUE(QFile::remove(path("A song.mp3")));
    window->lf->clearSelection();
    window->lf->topLevelItem(1)->setSelected(true); // "A song", now deleted
    const QStringList before = script.calls;
    window->lfDblClick();
    EXPECT_EQ(script.calls, before);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(TlastfilesTest, DeleteEmptiesTheHistoryAndPreviousDoesNothing)
{
    window->show();
    control->lvDblClick(0);
    control->lvDblClick(1);
    window->Delete->click();
    EXPECT_EQ(window->lf->topLevelItemCount(), 0);
    EXPECT_TRUE(control->PlayHistory().isEmpty());
    const QStringList before = script.calls;
    control->zurueckClick();
    EXPECT_EQ(script.calls, before);
}

TEST_F(TlastfilesTest, SortingOrdersTheViewOnly)
{
    window->show();
    for (int row : {0, 1, 2, 3})
        control->lvDblClick(row);
    window->lf->header()->sectionClicked(1);
    EXPECT_EQ(column(1), (QStringList{path("A song.mp3"), path("b song.mp3"), path("c song.mp3"), path("D song.mp3")}));
    window->lfColumnClick(1);
    EXPECT_EQ(column(1), (QStringList{path("D song.mp3"), path("c song.mp3"), path("b song.mp3"), path("A song.mp3")}));
    window->lfColumnClick(0); // another column starts ascending
    EXPECT_EQ(window->SortDirection, 0);
    EXPECT_EQ(control->PlayHistory().first().Path, path("b song.mp3"));
    window->hide();
    window->show();
    window->Aktualisieren(); // what the menu item does after showing
    EXPECT_EQ(column(1), (QStringList{path("D song.mp3"), path("c song.mp3"), path("A song.mp3"), path("b song.mp3")}));
}

TEST_F(TlastfilesTest, TheFirstClickOnTheSongColumnSortsAscending)
{
    window->show();
    for (int row : {2, 0, 3, 1})
        control->lvDblClick(row);
    window->lf->header()->sectionClicked(0);
    QStringList ascending = column(0);
    std::sort(ascending.begin(), ascending.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(column(0), ascending);
    EXPECT_EQ(window->SortDirection, 0);
    window->lfColumnClick(0);
    std::reverse(ascending.begin(), ascending.end());
    EXPECT_EQ(column(0), ascending);
}

TEST_F(TlastfilesTest, Texts)
{
    const struct
    {
        const char *code, *title, *file, *del, *close;
    } cases[] = {{"de", "Letzte Songs", "Dateipfad", "Löschen", "Schließen"}, {"en", "Last Songs", "File", "Delete", "Close"}};
    for (const auto &c : cases) {
        lang.setCode(QString::fromLatin1(c.code));
        window->LocalSpr();
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(window->lf->headerItem()->text(0), QStringLiteral("Song"));
        EXPECT_EQ(window->lf->headerItem()->text(1), QString::fromUtf8(c.file));
        EXPECT_EQ(window->Delete->text(), QString::fromUtf8(c.del));
        EXPECT_EQ(window->Button1->text(), QString::fromUtf8(c.close));
    }
    EXPECT_EQ(window->size(), QSize(405, 335));
}

namespace {

class TprogPlaybackTest : public ::testing::Test
{
protected:
    TprogPlaybackTest()
    {
        qtTestApp();
        app = std::make_unique<SonaloApp>(testAppOptions(dir.path(), dialogs, script.factory()));
        prog = app->prog();
        for (const char *name : {"Band - One.mp3", "Band - Two.mp3"}) {
            TSongRecord r;
            r.Title = QString::fromLatin1(name);
            r.Path = dir.write(QString::fromLatin1(name), QByteArray());
            session().lists.append(r);
        }
        session().list.ShowListStatus();
        action("zufall")->trigger();
    }
    Session &session() { return app->session(); }
    PlaybackControl &playback() { return session().playback; }
    QAction *action(const char *name) const { return prog->findChild<QAction *>(QLatin1String(name)); }
    QPushButton *button(const char *name) const { return prog->findChild<QPushButton *>(QLatin1String(name)); }
    QLabel *label(const char *name) const { return prog->findChild<QLabel *>(QLatin1String(name)); }
    QString playing() const { return script.current ? script.current->FileName() : QString(); }

    TempDir dir;
    ScriptedDialogs dialogs;
    FakeAudioScript script;
    std::unique_ptr<SonaloApp> app;
    Tprog *prog = nullptr;
};

} // namespace

TEST_F(TprogPlaybackTest, ControlsAndMenuItemsDriveThePlayback)
{
    for (const char *on : {"mw1", "mw2", "mw3", "mw4", "mw5", "m_fehler", "Wiederholen", "zufall", "p1", "pop_title_next"})
        EXPECT_TRUE(action(on)->isEnabled()) << on;
    EXPECT_FALSE(session().display.randomOrder()); // the check mark sets the model

    button("BtPlay")->click();
    EXPECT_EQ(playing(), dir.path(QStringLiteral("Band - One.mp3")));
    EXPECT_EQ(button("BtPlay")->toolTip(), QStringLiteral("X"));
    EXPECT_EQ(prog->statusLabel()->text(), QStringLiteral("Band - One"));
    EXPECT_TRUE(session().list.StatusShowsSong());
    EXPECT_EQ(label("lblDuration")->text(), QStringLiteral("00:03:00:000"));

    button("weiter")->click();
    EXPECT_EQ(playing(), dir.path(QStringLiteral("Band - Two.mp3")));
    action("mw2")->trigger();
    EXPECT_EQ(button("BtPlay")->toolTip(), QStringLiteral(">"));
    EXPECT_EQ(script.current->State(), kStatePaused);
    action("mw1")->trigger();
    EXPECT_EQ(script.current->State(), kStateRunning);
    action("Wiederholen")->trigger();
    EXPECT_TRUE(script.current->Loop());
    button("zurueck")->click(); // restarts the current song
    EXPECT_EQ(playing(), dir.path(QStringLiteral("Band - Two.mp3")));
    EXPECT_TRUE(script.current->Loop());

    // The status line switches between the song and the count.
    session().list.statusClick();
    EXPECT_TRUE(prog->statusLabel()->text().startsWith(QStringLiteral("2 Files Loaded")));
    session().list.statusClick();
    EXPECT_EQ(prog->statusLabel()->text(), QStringLiteral("Band - Two"));

    // The display menu.
    action("saheader")->trigger();
    EXPECT_EQ(prog->windowTitle(), QStringLiteral("Band - Two - Orvel Media Sonalo"));
    action("saatg")->trigger();
    EXPECT_EQ(prog->statusLabel()->text(), QStringLiteral("Band - Two (?\?)"));
    action("saf")->trigger();
    EXPECT_EQ(prog->statusLabel()->text(), dir.path(QStringLiteral("Band - Two.mp3")));

    // Closing the window unloads the song and zeroes the display.
    prog->close();
    EXPECT_EQ(script.alive, 0);
    EXPECT_EQ(button("BtPlay")->toolTip(), QStringLiteral(">"));
    EXPECT_EQ(label("lblDuration")->text(), QStringLiteral("00:00:00:000"));
}

TEST_F(TprogPlaybackTest, EnterAndDoubleClickStartTheSelectedRow)
{
    QTableView *lv = prog->table();
    prog->show();
    lv->selectRow(1);
    key(lv, Qt::Key_Return);
    EXPECT_EQ(playing(), dir.path(QStringLiteral("Band - Two.mp3")));
    EXPECT_EQ(playback().CurrentIndex(), 1);

    lv->selectRow(0);
    const QPoint cell = lv->visualRect(lv->model()->index(0, 2)).center();
    mouse(lv->viewport(), QEvent::MouseButtonDblClick, cell);
    QCoreApplication::processEvents();
    EXPECT_EQ(playing(), dir.path(QStringLiteral("Band - One.mp3")));
    EXPECT_EQ(playback().PlayHistory().size(), 2);
    prog->hide();
}

TEST_F(TprogPlaybackTest, FailedStartsGoToTheErrorLog)
{
    SongList songs = session().lists.AllSongs();
    songs[0].Path = dir.path(QStringLiteral("gone.mp3"));
    session().lists.replaceAll(songs);
    action("Deutsch1")->trigger();
    action("mw4")->trigger();
    prog->table()->selectRow(0);
    action("p1")->trigger(); // a missing file: nothing, not even a log line
    playback().lvDblClick(0);
    EXPECT_EQ(app->fehler()->Memo1->toPlainText(),
              QStringLiteral("\"%1\"\n  Datei existiert nicht.\n> Nächste Datei wird geladen...")
                  .arg(dir.path(QStringLiteral("gone.mp3"))));
    EXPECT_EQ(app->fehler()->windowTitle(), QStringLiteral("Fehlermeldungen"));
    action("m_fehler")->trigger();
    EXPECT_TRUE(app->fehler()->isVisible());
    // The log is read and copied, not typed into.
    QPlainTextEdit *memo = app->fehler()->Memo1;
    const QString logged = memo->toPlainText();
    memo->setFocus();
    key(memo, Qt::Key_X, QStringLiteral("x"));
    key(memo, Qt::Key_Backspace);
    EXPECT_EQ(memo->toPlainText(), logged);
    key(memo, Qt::Key_A, QString(), Qt::ControlModifier);
    key(memo, Qt::Key_C, QString(), Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), logged);
    app->fehler()->hide();
    action("mw5")->trigger();
    EXPECT_TRUE(app->lastfiles()->isVisible());
    EXPECT_EQ(app->lastfiles()->lf->topLevelItemCount(), 2);
    app->lastfiles()->hide();
}

TEST_F(TprogPlaybackTest, PlayingRowIsBoldWhereverItStandsAndCtrlJSelectsIt)
{
    const SongTableModel &model = session().list.model();
    auto boldRows = [&] {
        QList<int> rows;
        for (int r = 0; r < model.rowCount(); ++r)
            if (model.data(model.index(r, 2), Qt::FontRole).value<QFont>().bold())
                rows << r;
        return rows;
    };
    EXPECT_TRUE(boldRows().isEmpty());
    EXPECT_EQ(model.data(model.index(0, 2), Qt::FontRole), QVariant());
    playback().lvDblClick(0); // "Band - One"
    EXPECT_EQ(boldRows(), QList<int>{0});
    QHeaderView *header = prog->table()->horizontalHeader();
    EXPECT_FALSE(header->isSortIndicatorShown());
    session().list.lvColumnClick(2);
    session().list.lvColumnClick(2); // descending: "Band - One" moves to the end
    EXPECT_EQ(boldRows(), QList<int>{1});
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    action("mw_laufend")->trigger();
    EXPECT_EQ(prog->selectedRows(), QList<int>{1});
    EXPECT_EQ(prog->table()->currentIndex().row(), 1);

    // A search result shows the playing song at its own place; without it nothing is selected.
    session().search.setSearchTerm(QStringLiteral("One"));
    session().search.SuchenClick();
    EXPECT_EQ(boldRows(), QList<int>{0});
    session().search.setSearchTerm(QStringLiteral("Two"));
    session().search.SuchenClick();
    EXPECT_TRUE(boldRows().isEmpty());
    prog->table()->clearSelection();
    action("mw_laufend")->trigger();
    EXPECT_TRUE(prog->selectedRows().isEmpty());

    // The path column keeps the file name: it elides in the middle, the others at the end.
    auto *paths = dynamic_cast<MiddleElideDelegate *>(prog->table()->itemDelegateForColumn(SongTableModel::kColumnCount - 1));
    ASSERT_NE(paths, nullptr);
    EXPECT_EQ(prog->table()->itemDelegateForColumn(1), nullptr);
    QStyleOptionViewItem option;
    paths->initStyleOption(&option, model.index(0, SongTableModel::kColumnCount - 1));
    EXPECT_EQ(option.textElideMode, Qt::ElideMiddle);
    playback().stop();
    EXPECT_TRUE(boldRows().isEmpty());
    session().list.ShowListStatus(); // the refresh after a change: no known order any more
    EXPECT_FALSE(header->isSortIndicatorShown());
}
