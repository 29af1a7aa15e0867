#pragma once

#include <QRect>
#include <QString>

// What the settings file needs of the main window beyond the models: its placement, the widths
// of the table's columns and the language menu's switch. The window implements it; tests may
// give their own.
class SettingsWindow
{
public:
    virtual ~SettingsWindow() = default;

    virtual bool settingsMaximized() const = 0;
    // The outer frame: left, top, width and height.
    virtual QRect settingsPlacement() const = 0;
    virtual void settingsMaximize() = 0;
    // Back to normal size (from maximized), then the outer frame as given.
    virtual void settingsRestoreNormal() = 0;
    virtual void setSettingsPlacement(const QRect &outer) = 0;
    virtual int settingsColumnWidth(int column) const = 0;
    virtual void setSettingsColumnWidth(int column, int width) = 0;
    // Switches the interface language as the language menu does: every window follows.
    virtual void switchLanguage(const QString &code) = 0;
};
