#include "app/TOneInstanceCheck.h"

#include "core/Errors.h"
#include "core/InstanceMessage.h"

#include <QWidget>

namespace {

TOneInstanceCheck *s_instance = nullptr;

} // namespace

TOneInstanceCheck::TOneInstanceCheck(QObject *parent)
    : QObject(parent)
{
    if (s_instance)
        throw SonaloError(QString::fromUtf8("Nur ein %1-Objekt möglich").arg(QStringLiteral("TOneInstanceCheck")));
    s_instance = this;
}

TOneInstanceCheck::~TOneInstanceCheck()
{
    s_instance = nullptr;
}

void TOneInstanceCheck::setMainWindow(QWidget *window)
{
    m_mainWindow = window;
}

TOneInstanceCheck *TOneInstanceCheck::instance()
{
    return s_instance;
}

bool TOneInstanceCheck::received(quint32 processId, const QString &commandLine)
{
    bool allow = true;
    if (s_instance) {
        allow = false;
        s_instance->handle(processId, commandLine, allow);
    }
    return allow;
}

void TOneInstanceCheck::handle(quint32 processId, const QString &commandLine, bool &allow)
{
    // Without a handler the hand-over is still taken, and nothing else happens.
    if (!OnNewInstance)
        return;
    OnNewInstance(this, processId, ParseInstanceParams(commandLine), allow);
    if (!allow)
        bringToForeground();
}

void TOneInstanceCheck::bringToForeground()
{
    // The window the user works in comes up, restored if it was minimised. While the splash
    // still runs the main window is not shown yet and stays so.
    QWidget *window = m_mainWindow;
    if (!window || !window->isVisible())
        return;
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->raise();
    window->activateWindow();
}
