// The operations on selected songs and on the playing song, the file information window and
// dragging files out of the table, on real files, Qt's clipboard and a stand-in file manager
// on the private session bus.
#include "session/SessionFixture.h"
#include "QtTestApp.h"
#include "TestApp.h"

#include "core/AddingSongs.h"
#include "shell/FileManager.h"
#include "ui/DragOut.h"
#include "session/SongTableModel.h"
#include "ui/Tdateiinfo.h"
#include "ui/Tprog.h"
#include "core/PlaylistUndo.h"

#include <QAction>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QDir>
#include <QDrag>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QUrl>

namespace {

const QString kGnome = QStringLiteral("x-special/gnome-copied-files");

bool waitFor(const std::function<bool()> &done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A file manager on the session bus that records what it was asked, one line a call.
class FileManagerStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList calls;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &) { calls << QStringLiteral("ShowItems ") + uris.join(u' '); }
    void ShowItemProperties(const QStringList &uris, const QString &)
    {
        calls << QStringLiteral("ShowItemProperties ") + uris.join(u' ');
    }
    void ShowFolders(const QStringList &uris, const QString &) { calls << QStringLiteral("ShowFolders ") + uris.join(u' '); }
};

// What QDesktopServices was asked to open.
class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

QString uri(const QString &path)
{
    return QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded());
}

class SelectionTest : public SessionFixture
{
protected:
    void TearDown() override
    {
        if (m_standInBus) {
            m_standInBus->unregisterService(QLatin1String(FreedesktopFileManager::kServiceName));
            m_standInBus->unregisterObject(QLatin1String(FreedesktopFileManager::kObjectPath));
            QDBusConnection::disconnectFromBus(m_standInBus->name());
            m_standInBus.reset();
        }
    }

    // A file in the program folder; returns its path.
    QString file(const QString &name)
    {
        const QString path = programFolder + name;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return path;
    }

    // Songs a, b, c, ... each with an existing file beside the program.
    void songsWithFiles(int count)
    {
        for (int i = 0; i < count; ++i) {
            TSongRecord r = song(QByteArray(1, char('a' + i)).constData(), "t");
            r.Path = file(r.Artist + QLatin1String(".mp3"));
            session->lists.append(r);
        }
        session->list.ShowListStatus();
    }

    bool serveFileManager()
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            return false;
        m_standInBus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("filemanager-standin")));
        return m_standInBus->isConnected()
               && m_standInBus->registerObject(QLatin1String(FreedesktopFileManager::kObjectPath), &standIn,
                                               QDBusConnection::ExportAllSlots)
               && m_standInBus->registerService(QLatin1String(FreedesktopFileManager::kServiceName));
    }

    void play(int row)
    {
        session->playback.lvDblClick(row);
        ASSERT_TRUE(session->playback.songLoaded());
    }

    static const QMimeData *clipboard() { return QGuiApplication::clipboard()->mimeData(); }
    static void setClipboardText(const char *text) { QGuiApplication::clipboard()->setText(QString::fromUtf8(text)); }

    const SongList &songs() { return session->lists.AllSongs(); }
    SelectionOperations &ops() { return session->selection; }

    FileManagerStandIn standIn;
    std::unique_ptr<QDBusConnection> m_standInBus;
};

} // namespace

TEST_F(SelectionTest, DeleteRowsKeepsTheOthersInOrderAndLeavesTheStatusLine)
{
    songsWithFiles(5);
    const QString before = session->list.statusText();
    ops().LVDeleteSelected({3, 1}); // rows 2 and 4, in whatever order the view lists them
    ASSERT_EQ(songs().size(), 3);
    EXPECT_EQ(songs()[0].Artist, u8("a"));
    EXPECT_EQ(songs()[1].Artist, u8("c"));
    EXPECT_EQ(songs()[2].Artist, u8("e"));
    EXPECT_EQ(songs()[1].Path, programFolder + u8("c.mp3"));
    EXPECT_EQ(session->list.model().rowCount(), 3);
    EXPECT_EQ(session->playback.CurrentIndex(), 1);
    EXPECT_EQ(session->list.statusText(), before);

    // Rows the list no longer has, and no rows at all, change nothing; p4 needs a row.
    ops().LVDeleteSelected({7, -1});
    ops().p4Click({});
    EXPECT_EQ(songs().size(), 3);
    ops().p4Click({0});
    EXPECT_EQ(songs().size(), 2);
}

TEST_F(SelectionTest, DeleteWhileAResultIsShownRemovesFromTheResultOnly)
{
    songsWithFiles(4);
    session->search.setSearchTerm(u8("t"));
    session->search.SuchenClick();
    ASSERT_TRUE(session->lists.ShowingFound());
    const QString before = session->list.statusText();
    ops().LVDeleteSelected({0, 2});
    EXPECT_EQ(session->lists.FoundSongs().size(), 2);
    EXPECT_EQ(session->lists.FoundSongs()[1].Artist, u8("d"));
    EXPECT_EQ(songs().size(), 4);
    EXPECT_EQ(session->list.model().rowCount(), 2);
    EXPECT_EQ(session->list.statusText(), before);
    // The next refresh runs the search again and shows them.
    session->list.ShowListStatus();
    EXPECT_EQ(session->list.model().rowCount(), 4);
}

TEST_F(SelectionTest, ClearingThePlaylistLetsThePlayingSongPlayOn)
{
    session->lang.setCode(u8("de"));
    songsWithFiles(3);
    play(1);
    const quint64 created = session->playback.playersCreated();
    session->lists.showFound({songs()[0]});
    ops().mp7Click();
    EXPECT_TRUE(songs().isEmpty());
    EXPECT_FALSE(session->lists.ShowingFound());
    EXPECT_EQ(session->lists.FoundSongs().size(), 1);
    EXPECT_EQ(session->list.model().rowCount(), 0);
    EXPECT_EQ(session->list.statusText(), u8("0 Dateien geladen "));
    EXPECT_TRUE(session->playback.songLoaded());
    EXPECT_TRUE(session->playback.IsPlaying());
    EXPECT_EQ(session->playback.playersCreated(), created);
    EXPECT_EQ(session->playback.PlayHistory().size(), 1);
    // The next song of an empty table is nothing, and nothing breaks.
    session->playback.weiterClick();
    session->playback.zurueckClick();
}

TEST_F(SelectionTest, CopyPutsFilesOnTheClipboardAsFileManagersPasteThem)
{
    songsWithFiles(2);
    // A name a single-byte code page cannot hold, stored relative to the program folder.
    TSongRecord unicode = song("u", "t");
    unicode.Path = u8("Grüße/東京 #1.mp3");
    file(unicode.Path);
    session->lists.append(unicode);
    TSongRecord missing = song("m", "t");
    missing.Path = u8("gone/missing.mp3");
    session->lists.append(missing);
    missing.Path = u8("/nowhere/also missing.mp3");
    session->lists.append(missing);
    session->list.ShowListStatus();

    setClipboardText("before");
    ops().p_copyfileClick({3}); // one row whose file is missing
    EXPECT_EQ(clipboard()->text(), u8("before"));
    EXPECT_FALSE(clipboard()->hasUrls());
    ops().p_copyfileClick({});
    EXPECT_EQ(clipboard()->text(), u8("before"));

    const QString unicodePath = programFolder + u8("Grüße/東京 #1.mp3");
    ops().p_copyfileClick({2});
    EXPECT_EQ(clipboard()->urls(), QList<QUrl>{QUrl::fromLocalFile(unicodePath)});
    EXPECT_EQ(clipboard()->data(kGnome), QByteArray("copy\n") + uri(unicodePath).toLatin1());
    // What a file manager reads back is the file's own name.
    EXPECT_EQ(fileListFromMimeData(clipboard()), QStringList{unicodePath});
    EXPECT_EQ(clipboard()->text(), unicodePath);

    // Several rows: every path, missing or not, in table order; relative ones beside the program.
    ops().p_copyfileClick({4, 3});
    const QStringList both = {programFolder + u8("gone/missing.mp3"), u8("/nowhere/also missing.mp3")};
    EXPECT_EQ(fileListFromMimeData(clipboard()), both);
    EXPECT_EQ(clipboard()->data(kGnome), "copy\n" + (uri(both[0]) + u8("\n") + uri(both[1])).toLatin1());
    EXPECT_TRUE(clipboard()->data(QStringLiteral("text/uri-list")).startsWith(uri(both[0]).toLatin1() + "\r\n"));
    // Pasted as text: the plain paths, one a line.
    EXPECT_EQ(clipboard()->text(), both.join(QLatin1Char('\n')));

    // The menu item does the same from the window's selection.
    Tprog window(*session, {});
    window.table()->selectRow(0);
    window.findChild<QAction *>(u8("mp10"))->trigger();
    EXPECT_EQ(fileListFromMimeData(clipboard()), QStringList{programFolder + u8("a.mp3")});
}

TEST_F(SelectionTest, PlayingSongItemsDoNothingWithoutASong)
{
    if (!serveFileManager())
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    songsWithFiles(1);
    int information = 0;
    QObject::connect(&ops(), &SelectionOperations::fileInformationRequested, [&] { ++information; });
    setClipboardText("before");
    ops().akp1Click();
    ops().akp2Click();
    ops().akp3Click();
    ops().akp4Click();
    EXPECT_EQ(information, 0);
    EXPECT_EQ(clipboard()->text(), u8("before"));
    EXPECT_TRUE(ops().playingSongPath().isEmpty());

    // With a song: each acts on the playing file (a later call shows the earlier ones were none).
    play(0);
    const QString path = programFolder + u8("a.mp3");
    ops().akp3Click();
    ops().akp2Click();
    ASSERT_TRUE(waitFor([&] { return standIn.calls.size() >= 2; }));
    EXPECT_EQ(standIn.calls, (QStringList{u8("ShowItems ") + uri(path), u8("ShowItemProperties ") + uri(path)}));
    QString shown;
    QObject::connect(&ops(), &SelectionOperations::fileInformationRequested, [&](const QString &p) { shown = p; });
    ops().akp1Click();
    EXPECT_EQ(shown, path);
    ops().akp4Click();
    EXPECT_EQ(fileListFromMimeData(clipboard()), QStringList{path});

    // The playing file gone: properties still ask (the file manager says what is wrong),
    // folder and copy do nothing.
    QFile::remove(path);
    setClipboardText("before");
    ops().akp3Click();
    ops().akp4Click();
    ops().akp2Click();
    ASSERT_TRUE(waitFor([&] { return standIn.calls.size() >= 3; }));
    EXPECT_EQ(standIn.calls.last(), u8("ShowItemProperties ") + uri(path));
    EXPECT_EQ(standIn.calls.size(), 3);
    EXPECT_EQ(clipboard()->text(), u8("before"));
}

TEST_F(SelectionTest, FolderAndPropertiesThroughTheFileManagerService)
{
    if (!serveFileManager())
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    songsWithFiles(3);
    const QString b = programFolder + u8("b.mp3");
    QFile::remove(programFolder + u8("c.mp3"));
    ops().p5Click({2}); // missing: nothing
    ops().p6Click({2});
    EXPECT_EQ(session->playback.CurrentIndex(), 2);
    ops().p5Click({1, 2});
    ops().p6Click({1});
    ASSERT_TRUE(waitFor([&] { return standIn.calls.size() >= 2; }));
    EXPECT_EQ(standIn.calls, (QStringList{u8("ShowItems ") + uri(b), u8("ShowItemProperties ") + uri(b)}));
    EXPECT_EQ(session->playback.CurrentIndex(), 1);

    int information = 0;
    QString shown;
    QObject::connect(&ops(), &SelectionOperations::fileInformationRequested, [&](const QString &p) {
        ++information;
        shown = p;
    });
    ops().p3Click({2});
    ops().p3Click({});
    EXPECT_EQ(information, 0);
    ops().p3Click({0});
    EXPECT_EQ(shown, programFolder + u8("a.mp3"));
    EXPECT_EQ(session->playback.CurrentIndex(), 0);
}

TEST_F(SelectionTest, WithoutAFileManagerServiceTheFolderOpensAndPropertiesDoNothing)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QLatin1String(FreedesktopFileManager::kServiceName)));
    songsWithFiles(1);
    auto &manager = dynamic_cast<FreedesktopFileManager &>(session->fileManager);
    int finished = 0;
    QObject::connect(&manager, &FreedesktopFileManager::finished, [&](const QString &, bool answered) {
        EXPECT_FALSE(answered);
        ++finished;
    });
    OpenedUrls opened;
    ops().p6Click({0});
    ops().p5Click({0});
    ASSERT_TRUE(waitFor([&] { return finished == 2; }));
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(programFolder)});
}

TEST(DragOut, StartsAtFivePixelsInXOrYWithTheLeftButtonAndASelectedRow)
{
    using M = DragOut::Move;
    struct Case
    {
        QPoint to;
        Qt::MouseButtons held;
        bool rowSelected;
        M move;
    };
    const QPoint from(100, 50);
    const Case cases[] = {
        {{104, 54}, Qt::LeftButton, true, M::Pending}, {{96, 46}, Qt::LeftButton, true, M::Pending},
        {{105, 50}, Qt::LeftButton, true, M::Start},   {{100, 45}, Qt::LeftButton, true, M::Start},
        {{96, 55}, Qt::LeftButton, true, M::Start},    {{110, 50}, Qt::NoButton, true, M::Table},
        {{110, 50}, Qt::LeftButton, false, M::Table},  {{110, 50}, Qt::LeftButton | Qt::RightButton, true, M::Start},
    };
    for (const Case &c : cases) {
        DragOut d;
        d.lvMouseDown(from, Qt::LeftButton);
        EXPECT_EQ(d.lvMouseMove(c.to, c.held, c.rowSelected), c.move) << c.to.x() << "," << c.to.y();
    }
    // Once per press, and a right press arms nothing.
    DragOut d;
    d.lvMouseDown(from, Qt::LeftButton);
    EXPECT_EQ(d.lvMouseMove({120, 50}, Qt::LeftButton, true), M::Start);
    EXPECT_EQ(d.lvMouseMove({130, 50}, Qt::LeftButton, true), M::Table);
    DragOut right;
    right.lvMouseDown(from, Qt::RightButton);
    EXPECT_EQ(right.lvMouseMove({120, 50}, Qt::LeftButton, true), M::Table);

    using S = DragOut::Step;
    EXPECT_EQ(DragOut::queryContinue(Qt::LeftButton, false), S::Continue);
    EXPECT_EQ(DragOut::queryContinue(Qt::NoButton, false), S::Drop);
    EXPECT_EQ(DragOut::queryContinue(Qt::LeftButton, true), S::Cancel);
    EXPECT_EQ(DragOut::queryContinue(Qt::LeftButton | Qt::RightButton, false), S::Cancel);
}

TEST_F(SelectionTest, DraggingRowsOutCarriesTheirExistingFilesForCopying)
{
    songsWithFiles(3);
    QFile::remove(programFolder + u8("b.mp3"));
    Tprog window(*session, {});
    window.resize(800, 600);
    window.show();
    QTableView *lv = window.table();
    QWidget *viewport = lv->viewport();
    auto mouse = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
                     Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, at, viewport->mapToGlobal(at), button, held, mods);
        QCoreApplication::sendEvent(viewport, &e);
    };
    const QPoint row0 = lv->visualRect(session->list.model().index(0, 1)).center();
    const QPoint row2 = lv->visualRect(session->list.model().index(2, 1)).center();
    // Rows 1 to 3 selected (Ctrl-clicks); the press on an already selected row keeps them.
    mouse(QEvent::MouseButtonPress, row0, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, row0, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseButtonPress, row2, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, row2, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    ASSERT_EQ(window.selectedRows(), (QList<int>{0, 1, 2}));

    mouse(QEvent::MouseButtonPress, row0, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, row0 + QPoint(4, 4), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(lv->findChild<QDrag *>(), nullptr);
    mouse(QEvent::MouseMove, row0 + QPoint(5, 0), Qt::NoButton, Qt::LeftButton);
    // The offscreen platform ends a drag at once; Qt deletes the drag object later.
    const QDrag *drag = lv->findChild<QDrag *>();
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->supportedActions(), Qt::CopyAction);
    const QStringList existing = {programFolder + u8("a.mp3"), programFolder + u8("c.mp3")};
    EXPECT_EQ(fileListFromMimeData(drag->mimeData()), existing);
    EXPECT_TRUE(drag->mimeData()->data(kGnome).startsWith("copy\n"));
    EXPECT_EQ(window.selectedRows(), (QList<int>{0, 1, 2}));

    // A second press starts the next drag.
    mouse(QEvent::MouseButtonPress, row0, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, row0 + QPoint(-4, 4), Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, row0 + QPoint(0, -5), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(lv->findChildren<QDrag *>().size(), 2);
}

TEST_F(SelectionTest, MenusOpenOnlyWhenTheyCanActAndEveryItemIsOn)
{
    songsWithFiles(2);
    Tprog window(*session, {});
    window.show();
    for (const char *name : {"mp7", "mp8", "mp9", "mp10", "mw6", "p3", "p4", "p5", "p6", "p_copyfile", "akp1", "akp2",
                             "akp3", "akp4"})
        EXPECT_TRUE(window.findChild<QAction *>(u8(name))->isEnabled()) << name;
    EXPECT_FALSE(window.popupTable(QPoint(5, 5)));
    EXPECT_FALSE(window.popupSongPanel(QPoint(5, 5)));
    window.findChild<QAction *>(u8("mp9"))->trigger();
    EXPECT_EQ(window.selectedRows(), (QList<int>{0, 1}));
    EXPECT_TRUE(window.popupTable(QPoint(5, 5)));
    window.findChild<QMenu *>(u8("popup"))->hide();
    play(0);
    EXPECT_TRUE(window.popupSongPanel(QPoint(5, 5)));
    window.findChild<QMenu *>(u8("akpopup"))->hide();

    // Del from the main menu deletes the selection; Ctrl+Del empties the list.
    window.table()->selectRow(1);
    window.findChild<QAction *>(u8("mp8"))->trigger();
    ASSERT_EQ(songs().size(), 1);
    EXPECT_EQ(songs()[0].Artist, u8("a"));
    window.findChild<QAction *>(u8("mp7"))->trigger();
    EXPECT_TRUE(songs().isEmpty());
    // Ctrl+Q acts from the window, not only from the shown menu.
    EXPECT_TRUE(window.actions().contains(window.findChild<QAction *>(u8("p5"))));
}

TEST_F(SelectionTest, FileInformationWindow)
{
    Tdateiinfo info(session->lang, ops());
    struct Texts
    {
        const char *code, *title, *box, *labels[3], *buttons[4];
    };
    const Texts texts[] = {
        {"de", "Datei Informationen", "Datei Informationen", {"Dateiname", "Ordner", "Pfad und Dateiname"},
         {"Ordner Öffnen", "Kopieren", "Auslesen", "Schließen"}},
        {"en", "File Information", "File Information", {"File Name", "Path", "Path and File Name"},
         {"Open Folder", "Copy", "Read Info", "Close"}},
    };
    for (const Texts &t : texts) {
        session->lang.setCode(u8(t.code));
        info.LocalSpr();
        EXPECT_EQ(info.windowTitle(), u8(t.title));
        EXPECT_EQ(info.GroupBox1->title(), u8(t.box));
        const QLabel *labels[] = {info.Label1, info.Label2, info.Label3};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(labels[i]->text(), u8(t.labels[i])) << t.code;
        const QPushButton *buttons[] = {info.Button1, info.clipbrd, info.Auslesenbt, info.Schliessen};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(buttons[i]->text(), u8(t.buttons[i])) << t.code;
    }
    session->lang.setCode(u8("fr"));
    info.LocalSpr();
    EXPECT_EQ(info.Schliessen->text(), u8("Close"));
    EXPECT_TRUE(info.windowFlags() & Qt::WindowStaysOnTopHint);

    const struct
    {
        const char *path, *name, *folder;
    } splits[] = {
        {"/musik/Grüße/東京 #1.mp3", "東京 #1.mp3", "/musik/Grüße/"},
        {"C:\\Musik\\Alt\\a.mp3", "a.mp3", "C:\\Musik\\Alt\\"},
        {"a:b.mp3", "a:b.mp3", ""},
    };
    for (const auto &s : splits) {
        info.DateiAuslesen(u8(s.path));
        EXPECT_EQ(info.ed_dateiname->text(), u8(s.path));
        EXPECT_EQ(info.ed_datei->text(), u8(s.name));
        EXPECT_EQ(info.ed_ordner->text(), u8(s.folder));
    }

    // Read Info without a song keeps the fields; with one fills them from its file.
    info.Auslesenbt->click();
    EXPECT_EQ(info.ed_dateiname->text(), u8("a:b.mp3"));
    songsWithFiles(1);
    play(0);
    const QString path = programFolder + u8("a.mp3");
    info.Auslesenbt->click();
    EXPECT_EQ(info.ed_dateiname->text(), path);

    OpenedUrls opened;
    info.Button1->click();
    info.clipbrd->click();
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(programFolder)});
    EXPECT_EQ(fileListFromMimeData(clipboard()), QStringList{path});
    // A field edited to a file that is not there copies nothing; a folder that is not there
    // opens nothing.
    setClipboardText("before");
    info.ed_dateiname->setText(programFolder + u8("none.mp3"));
    info.ed_ordner->setText(programFolder + u8("none/"));
    info.clipbrd->click();
    info.Button1->click();
    EXPECT_EQ(clipboard()->text(), u8("before"));
    EXPECT_EQ(opened.urls.size(), 1);

    info.show();
    info.Schliessen->click();
    EXPECT_FALSE(info.isVisible());
}

TEST(SelectionInTheProgram, InformationItemsShowTheFileInformationWindow)
{
    qtTestApp();
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    FakeAudioScript players;
    SonaloApp app(testAppOptions(dir.path(), dialogs, players.factory()));
    Session &s = app.session();
    auto *info = app.prog()->findChild<Tdateiinfo *>();
    for (QWidget *w : app.windows())
        if (!info)
            info = qobject_cast<Tdateiinfo *>(w);
    ASSERT_NE(info, nullptr);
    const QString path = dir.path() + QStringLiteral("/song.mp3");
    QFile(path).open(QIODevice::WriteOnly);
    TSongRecord r;
    r.Path = path;
    s.lists.replaceAll({r});
    s.list.ShowListStatus();

    app.prog()->table()->selectRow(0);
    app.prog()->findChild<QAction *>(QStringLiteral("p3"))->trigger();
    EXPECT_TRUE(info->isVisible());
    EXPECT_EQ(info->ed_dateiname->text(), path);
    info->close();
    info->ed_dateiname->clear();
    // The menu item shows the window with nothing loaded too, and fills it once a song plays.
    app.prog()->findChild<QAction *>(QStringLiteral("mw6"))->trigger();
    EXPECT_TRUE(info->isVisible());
    EXPECT_TRUE(info->ed_dateiname->text().isEmpty());
    s.playback.lvDblClick(0);
    info->close();
    app.prog()->findChild<QAction *>(QStringLiteral("mw6"))->trigger();
    EXPECT_EQ(info->ed_dateiname->text(), path);
    // The language menu re-captions it.
    app.prog()->Deutsch1Click();
    EXPECT_EQ(info->Auslesenbt->text(), QStringLiteral("Auslesen"));
}

#include "SelectionOperationsTest.moc"

TEST_F(SelectionTest, UndoAndRedoOverDeleteClearAndALoadThatReplaces)
{
    songsWithFiles(4); // a b c d
    auto artists = [&] {
        QString s;
        for (const TSongRecord &r : session->lists.shown())
            s += QFileInfo(r.Path).baseName();
        return s;
    };
    ops().LVDeleteSelected({1, 2});
    EXPECT_EQ(artists(), u8("ad"));
    ops().mp7Click();
    EXPECT_EQ(artists(), QString());
    // A load that replaces the list; a load that is cancelled changes nothing and keeps no step.
    const QString list = programFolder + u8("one.m3u8");
    {
        QFile f(list);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#EXTM3U\n" + (programFolder + u8("b.mp3")).toUtf8() + "\n"));
    }
    songsWithFiles(3); // a b c
    dialogs.answers = {QString()};
    session->playlist.mp1Click();
    EXPECT_EQ(session->undo.steps(), 2);
    dialogs.answers = {list};
    session->playlist.mp1Click();
    EXPECT_EQ(artists(), u8("b"));
    EXPECT_EQ(session->undo.steps(), 3);

    ops().undoClick();
    EXPECT_EQ(artists(), u8("abc"));
    EXPECT_EQ(session->list.model().rowCount(), 3); // the table follows
    ops().undoClick();
    EXPECT_EQ(artists(), u8("ad"));
    ops().undoClick();
    EXPECT_EQ(artists(), u8("abcd"));
    ops().undoClick(); // nothing more to undo
    EXPECT_EQ(artists(), u8("abcd"));
    ops().redoClick();
    EXPECT_EQ(artists(), u8("ad"));
    ops().LVDeleteSelected({0}); // a new change forgets what could be redone
    ops().redoClick();
    EXPECT_EQ(artists(), u8("d"));
    ops().undoClick();
    EXPECT_EQ(artists(), u8("ad"));
}

TEST(PlaylistUndo, BoundedInStepsAndInSongs)
{
    SongLists lists(QStringLiteral("/tmp/"));
    PlaylistUndo undo;
    for (int i = 0; i < PlaylistUndo::kMaxSteps + 5; ++i) {
        lists.replaceAll(SongList(i + 1));
        undo.remember(lists);
    }
    EXPECT_EQ(undo.steps(), PlaylistUndo::kMaxSteps);
    int undone = 0;
    while (undo.undo(lists))
        ++undone;
    EXPECT_EQ(undone, PlaylistUndo::kMaxSteps);
    EXPECT_EQ(lists.AllSongs().size(), 6); // the oldest steps went first
    // A huge list is not kept twice over the bound: older steps make room for it.
    lists.replaceAll(SongList(PlaylistUndo::kMaxSongs / 2 + 1));
    undo.remember(lists);
    undo.remember(lists);
    EXPECT_EQ(undo.steps(), 1);
    // One over the bound on its own can still be taken back, and brought back again.
    const qsizetype huge = PlaylistUndo::kMaxSongs + 1;
    lists.replaceAll(SongList(huge));
    undo.remember(lists);
    lists.clear();
    ASSERT_TRUE(undo.undo(lists));
    EXPECT_EQ(lists.AllSongs().size(), huge);
    ASSERT_TRUE(undo.redo(lists));
    EXPECT_TRUE(lists.AllSongs().isEmpty());
}
