#pragma once

#include "session/UserDialogs.h"

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
    void showFailure(const QString &message) override { failures.append(message); }
    void showMessage(QWidget *, const QString &message) override { messages.append(message); }
    QStringList failures;
    // Yes/no questions: answered from askAnswers, yes once they run out.
    QStringList questions;
    QList<bool> askAnswers;
    bool ask(QWidget *, const QString &question) override
    {
        questions.append(question);
        return askAnswers.isEmpty() || askAnswers.takeFirst();
    }

    // The export and output settings dialogs: the save dialog takes its answer from answers.
    QStringList presetNames;
    std::optional<QFont> fontAnswer;
    std::optional<QColor> colorAnswer;
    QList<QFont> fontsShown;
    QList<QColor> colorsShown;
    QString saveFileNameAs(QWidget *, const QString &filter, const QString &presetName) override
    {
        presetNames.append(presetName);
        return next(filter);
    }
    std::optional<QFont> chooseFont(QWidget *, const QFont &current) override
    {
        fontsShown.append(current);
        return fontAnswer;
    }
    std::optional<QColor> chooseColor(QWidget *, const QColor &current) override
    {
        colorsShown.append(current);
        return colorAnswer;
    }

private:
    QString next(const QString &filter)
    {
        filters.append(filter);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};
