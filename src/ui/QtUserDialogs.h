#pragma once

#include "session/UserDialogs.h"

class QFileDialog;
class QMessageBox;

// Room a window manager takes beside a caption: the icon and the close, minimize and
// maximize buttons.
constexpr int kCaptionExtras = 120;
// Widens a message box so that its caption is not cut.
void fitCaption(QMessageBox &box);

// Sets the program's filter (names that hold their patterns) on an open or save dialog.
void prepareFileDialog(QFileDialog &dialog, const QString &filter);

// The real dialogs.
class QtUserDialogs : public UserDialogs
{
public:
    QString openFileName(QWidget *parent, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &filter) override;
    QStringList openFileNames(QWidget *parent, const QString &filter) override;
    QString existingDirectory(QWidget *parent, const QString &title) override;
    void showError(QWidget *parent, const QString &message) override;
    void showFailure(const QString &message) override;
    void showMessage(QWidget *parent, const QString &message) override;
    bool ask(QWidget *parent, const QString &question) override;

    QString saveFileNameAs(QWidget *parent, const QString &filter, const QString &presetName) override;
    std::optional<QFont> chooseFont(QWidget *parent, const QFont &current) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &current) override;
};
