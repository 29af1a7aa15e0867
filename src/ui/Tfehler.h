#pragma once

#include <QPlainTextEdit>
#include <QWidget>

// The error log: one multi-line text field filling the window. Its lines are the log of
// songs that failed to start; it lasts while the program runs. The title is written by the
// main window's language routine.
class Tfehler : public QWidget
{
    Q_OBJECT
public:
    explicit Tfehler(QWidget *parent = nullptr);

    // Adds one line at the end.
    void appendLine(const QString &line);

    QPlainTextEdit *Memo1;
};
