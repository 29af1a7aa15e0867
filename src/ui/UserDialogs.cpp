#include "ui/UserDialogs.h"

#include "ui/AppTitle.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

namespace {

// Controllers ask without a window of their own: the dialog then goes over the active window
// (the main window, or the dialog that issued the command).
QWidget *owner(QWidget *parent)
{
    return parent ? parent : QApplication::activeWindow();
}

} // namespace

QString QtUserDialogs::openFileName(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileName(owner(parent), QString(), QString(), filter);
}

QString QtUserDialogs::saveFileName(QWidget *parent, const QString &filter)
{
    // A playlist save replaces an existing file without asking.
    return QFileDialog::getSaveFileName(owner(parent), QString(), QString(), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QStringList QtUserDialogs::openFileNames(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileNames(owner(parent), QString(), QString(), filter);
}

QString QtUserDialogs::existingDirectory(QWidget *parent, const QString &title)
{
    // Only folders of the file system can be chosen.
    return QFileDialog::getExistingDirectory(owner(parent), title, QString(), QFileDialog::ShowDirsOnly);
}

void QtUserDialogs::showMessage(QWidget *parent, const QString &message)
{
    QMessageBox::information(parent, kApplicationTitle(), message);
}

void QtUserDialogs::showError(QWidget *parent, const QString &message)
{
    QMessageBox::critical(parent, kApplicationTitle(), message);
}

QString QtUserDialogs::saveFileNameAs(QWidget *parent, const QString &filter, const QString &presetName)
{
    // An exported list replaces an existing file without asking, as a playlist save does.
    return QFileDialog::getSaveFileName(owner(parent), QString(), presetName, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

std::optional<QFont> QtUserDialogs::chooseFont(QWidget *parent, const QFont &current)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, owner(parent));
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> QtUserDialogs::chooseColor(QWidget *parent, const QColor &current)
{
    const QColor colour = QColorDialog::getColor(current, owner(parent));
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}
