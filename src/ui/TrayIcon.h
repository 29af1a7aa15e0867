#pragma once

#include <QObject>

#include <memory>

class LanguageCode;
class QMenu;
class QSystemTrayIcon;
class QWidget;
class TrayController;

// The icon in the desktop's tray (the StatusNotifierItem or XEmbed tray Qt finds), where there
// is one: play/pause, previous, next, show/hide the main window and quit in its menu, the
// playing song as its tooltip, a click showing or hiding the window. What the items do is the
// controller's; this only shows it.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    TrayIcon(TrayController &controller, const LanguageCode &lang, QWidget &window, QObject *parent = nullptr);
    ~TrayIcon() override;

    // Shows the icon when the desktop has a tray; false (and no icon) otherwise.
    bool show();
    // The menu's texts in the current language.
    void applyLanguage();
    QMenu *menu() const { return m_menu.get(); }

    // Show/Hide: a hidden or minimised window comes back to the front, a visible one hides.
    void toggleWindow();

private:
    TrayController &m_controller;
    const LanguageCode &m_lang;
    QWidget &m_window;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_icon;
};
