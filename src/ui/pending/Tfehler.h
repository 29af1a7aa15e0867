#pragma once

#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QWidget>

// The error log: one multi-line text field filling the window. Its title is written by the main
// window's language routine.
class Tfehler : public QWidget
{
public:
    explicit Tfehler(QWidget *parent = nullptr)
        : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    {
        setObjectName(QStringLiteral("Tfehler"));
        resize(514, 366);
        Memo1 = new QPlainTextEdit(this);
        Memo1->setObjectName(QStringLiteral("Memo1"));
        Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(Memo1);
    }

    QPlainTextEdit *Memo1;
};
