#pragma once

#include <QString>

class QWidget;

// The dialogs the main window's commands ask through, so that a test can script the answers.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;
    // An empty name means the dialog was cancelled.
    virtual QString openFileName(QWidget *parent, const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &filter) = 0;
    // The program's error message box.
    virtual void showError(QWidget *parent, const QString &message) = 0;
};

// The real dialogs.
class QtUserDialogs : public UserDialogs
{
public:
    QString openFileName(QWidget *parent, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &filter) override;
    void showError(QWidget *parent, const QString &message) override;
};
