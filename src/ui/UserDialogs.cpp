#include "ui/UserDialogs.h"

#include "ui/AppTitle.h"

#include <QApplication>
#include <QFileDialog>
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
