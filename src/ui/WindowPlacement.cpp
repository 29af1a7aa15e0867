#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QPoint centredOver(QSize size, const QRect &over, const QRect &available)
{
    // QRect::center() rounds towards the top left: the middle from the sizes instead.
    QPoint at(over.x() + (over.width() - size.width()) / 2, over.y() + (over.height() - size.height()) / 2);
    at.setX(std::max(available.left(), std::min(at.x(), available.right() + 1 - size.width())));
    at.setY(std::max(available.top(), std::min(at.y(), available.bottom() + 1 - size.height())));
    return at;
}

void centreOver(QWidget &window, const QWidget &over)
{
    // A window never shown has no frame yet: it will get one like the main window's.
    QSize size = window.frameGeometry().size();
    if (!window.testAttribute(Qt::WA_WState_Created) || size == window.size())
        size = window.size() + (over.frameGeometry().size() - over.size());
    const QScreen *screen = over.screen();
    const QRect available = screen ? screen->availableGeometry() : over.frameGeometry();
    window.move(centredOver(size, over.frameGeometry(), available));
}

void centreOnScreenOnce(QWidget &window, bool &placed)
{
    if (placed)
        return;
    placed = true;
    if (const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}
