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

void QtUserDialogs::showError(QWidget *parent, const QString &message)
{
    QMessageBox::critical(parent, kApplicationTitle(), message);
}
