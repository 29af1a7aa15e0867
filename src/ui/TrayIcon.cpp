#include "ui/TrayIcon.h"

#include "core/LanguageCode.h"
#include "session/TrayController.h"
#include "ui/Artwork.h"
#include "ui/LanguageTexts.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

TrayIcon::TrayIcon(TrayController &controller, const LanguageCode &lang, QWidget &window, QObject *parent)
    : QObject(parent), m_controller(controller), m_lang(lang), m_window(window), m_menu(std::make_unique<QMenu>())
{
    auto add = [this](const char *name, auto slot) {
        QAction *a = m_menu->addAction(QString());
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add("trayplaypause", [this] { m_controller.playPause(); });
    add("trayprevious", [this] { m_controller.previous(); });
    add("traynext", [this] { m_controller.next(); });
    m_menu->addSeparator();
    add("trayshowhide", [this] { toggleWindow(); });
    add("trayquit", [this] {
        m_controller.requestQuit();
        m_window.close();
    });
    applyLanguage();
    // The start may set the language after this exists; the menu reads it when it opens.
    connect(m_menu.get(), &QMenu::aboutToShow, this, &TrayIcon::applyLanguage);
}

TrayIcon::~TrayIcon()
{
    m_controller.setTrayShown(false);
}

bool TrayIcon::show()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    m_icon = std::make_unique<QSystemTrayIcon>(Artwork::programIcon());
    m_icon->setContextMenu(m_menu.get());
    m_icon->setToolTip(m_controller.toolTip());
    connect(&m_controller, &TrayController::toolTipChanged, m_icon.get(), &QSystemTrayIcon::setToolTip);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            toggleWindow();
        else if (reason == QSystemTrayIcon::MiddleClick)
            m_controller.playPause();
    });
    m_icon->show();
    m_controller.setTrayShown(true);
    return true;
}

void TrayIcon::applyLanguage()
{
    QString text;
    for (const UiText &t : LanguageTexts::trayMenu())
        if (QAction *a = m_menu->findChild<QAction *>(QLatin1String(t.component)))
            if (LanguageTexts::routineText(t, m_lang, text))
                a->setText(text);
}

void TrayIcon::toggleWindow()
{
    if (m_window.isVisible() && !m_window.isMinimized()) {
        m_window.hide();
        return;
    }
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}
