#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

class LanguageCode;
class QWidget;

// The dialogs the main window's commands ask through, so that a test can script the answers.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;
    // parent: the window the dialog belongs to; nullptr for the active window. An empty name
    // means the dialog was cancelled.
    virtual QString openFileName(QWidget *parent, const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &filter) = 0;
    // Several files at once, in the dialog's order; empty when cancelled.
    virtual QStringList openFileNames(QWidget *parent, const QString &filter) = 0;
    // The folder browser; empty when cancelled.
    virtual QString existingDirectory(QWidget *parent, const QString &title) = 0;
    // The program's error message box.
    virtual void showError(QWidget *parent, const QString &message) = 0;
    // An unexpected failure (a tag reader's read error): the box captioned "Error", over every
    // window; the reader carries on afterwards.
    virtual void showFailure(const QString &message) = 0;
    // A plain notice with an OK button.
    virtual void showMessage(QWidget *parent, const QString &message) = 0;
    // A yes/no question; true for yes. "No" is the default button.
    virtual bool ask(QWidget *parent, const QString &question) = 0;

    // The export and output settings dialogs.
    // A save dialog preset to a file name; empty when cancelled.
    virtual QString saveFileNameAs(QWidget *parent, const QString &filter, const QString &presetName) = 0;
    // The font dialog preset to a font; nothing when cancelled.
    virtual std::optional<QFont> chooseFont(QWidget *parent, const QFont &current) = 0;
    // The colour dialog preset to a colour; nothing when cancelled.
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &current) = 0;
};

// Before a save replaces a file: true when path does not exist yet or the user agrees to
// replace it. The save dialogs themselves do not ask, so this is the one question.
bool confirmOverwrite(UserDialogs &dialogs, QWidget *parent, const LanguageCode &lang, const QString &path);
