// The secondary windows under a real window manager (tests/ui/with_window_manager.sh runs this
// on Xvfb with openbox): closed and opened again, a window comes back exactly where it was,
// also after the user moved it. Positions are the X server's, read with xdotool.
#include "QtTestApp.h"
#include "session/ScriptedDialogs.h"
#include "TestApp.h"
#include "support/FakeAudioPlayer.h"
#include "ui/Teinstshortcuts.h"
#include "ui/Tprog.h"
#include "ui/Ttxtexport.h"

#include <QAction>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <gtest/gtest.h>

void PrintTo(const QPoint &p, std::ostream *os); // gtest's printer of positions
void PrintTo(const QPoint &p, std::ostream *os)
{
    *os << '(' << p.x() << ", " << p.y() << ')';
}

namespace {

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

QString xdotool(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    p.waitForFinished(5000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// Where the window's contents stand on the screen (the frame's title bar above them).
QPoint onScreen(const QWidget *w)
{
    QPoint at(-1, -1);
    const QString shell = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::number(w->winId())});
    for (const QString &line : shell.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("X=")))
            at.setX(line.mid(2).toInt());
        else if (line.startsWith(QLatin1String("Y=")))
            at.setY(line.mid(2).toInt());
    }
    return at;
}

// The place once the window manager has stopped moving the window (two readings agree).
QPoint restingPlace(const QWidget *w)
{
    QElapsedTimer t;
    t.start();
    QPoint before = onScreen(w);
    while (t.elapsed() < 5000) {
        settle(150);
        const QPoint now = onScreen(w);
        if (now == before)
            return now;
        before = now;
    }
    return before;
}

// Shown, framed by the window manager and at rest.
void showFramed(QWidget *w, QAction *item)
{
    if (item)
        item->trigger();
    else
        w->show();
    QElapsedTimer t;
    t.start();
    while ((!w->windowHandle() || !w->windowHandle()->isExposed() || w->frameGeometry() == w->geometry()) &&
           t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    settle(400);
}

void closeAndSettle(QWidget *w)
{
    w->close();
    settle(300);
}

} // namespace

TEST(WindowManager, SecondaryWindowsComeBackWhereTheyWere)
{
    qtTestApp();
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    FakeAudioScript players;
    SonaloApp app(testAppOptions(folder.path(), dialogs, players.factory()));
    QWidget *fileInformation = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String("Tdateiinfo"))
            fileInformation = top;
    ASSERT_TRUE(fileInformation);
    // Through their menu items where these open the window alone (the file information needs a song).
    const struct { QWidget *w; const char *itemName; const char *name; } windows[] = {
        {app.txtexport(), "mtxtexport", "export"}, {app.einstshortcuts(), "m_einstshortcuts", "shortcuts"},
        {fileInformation, nullptr, "file information"}};
    for (const auto &[w, itemName, name] : windows) {
        QAction *item = itemName ? app.prog()->findChild<QAction *>(QLatin1String(itemName)) : nullptr;
        ASSERT_TRUE(item || !itemName) << name;
        showFramed(w, item);
        const QPoint first = restingPlace(w);
        ASSERT_NE(first, QPoint(-1, -1)) << name;
        for (int round = 1; round <= 3; ++round) {
            closeAndSettle(w);
            showFramed(w, item);
            EXPECT_EQ(restingPlace(w), first) << name << " shown again, time " << round;
        }
        // Moved by the user, it comes back where it was put.
        xdotool({QStringLiteral("windowmove"), QString::number(w->winId()), QStringLiteral("40"), QStringLiteral("60")});
        QElapsedTimer t;
        t.start();
        while (onScreen(w) == first && t.elapsed() < 5000)
            settle(50);
        const QPoint moved = restingPlace(w);
        EXPECT_NE(moved, first) << name;
        closeAndSettle(w);
        showFramed(w, item);
        EXPECT_EQ(restingPlace(w), moved) << name << " after a move";
        closeAndSettle(w);
    }
}
