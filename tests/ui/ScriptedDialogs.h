#pragma once

#include "ui/UserDialogs.h"

#include <QList>
#include <QStringList>

// Answers the dialogs from a script and records what was asked.
class ScriptedDialogs : public UserDialogs
{
public:
    QStringList answers;
    QStringList filters;
    QStringList errors;
    QList<QStringList> manyAnswers;
    QStringList messages;

    QString openFileName(QWidget *, const QString &filter) override { return next(filter); }
    QString saveFileName(QWidget *, const QString &filter) override { return next(filter); }
    QStringList openFileNames(QWidget *, const QString &filter) override
    {
        filters.append(filter);
        return manyAnswers.isEmpty() ? QStringList() : manyAnswers.takeFirst();
    }
    QString existingDirectory(QWidget *, const QString &title) override { return next(title); }
    void showError(QWidget *, const QString &message) override { errors.append(message); }
    void showMessage(QWidget *, const QString &message) override { messages.append(message); }

private:
    QString next(const QString &filter)
    {
        filters.append(filter);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};
