#include "ui/UserDialogs.h"

#include "ui/AppTitle.h"

#include <QFileDialog>
#include <QMessageBox>

QString QtUserDialogs::openFileName(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString QtUserDialogs::saveFileName(QWidget *parent, const QString &filter)
{
    // A playlist save replaces an existing file without asking.
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QStringList QtUserDialogs::openFileNames(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileNames(parent, QString(), QString(), filter);
}

QString QtUserDialogs::existingDirectory(QWidget *parent, const QString &title)
{
    // Only folders of the file system can be chosen.
    return QFileDialog::getExistingDirectory(parent, title, QString(), QFileDialog::ShowDirsOnly);
}

void QtUserDialogs::showMessage(QWidget *parent, const QString &message)
{
    QMessageBox::information(parent, kApplicationTitle(), message);
}

void QtUserDialogs::showError(QWidget *parent, const QString &message)
{
    QMessageBox::critical(parent, kApplicationTitle(), message);
}
