#pragma once

#include <QWidget>

class LanguageCode;
class LongStepProgress;
class QLabel;
class QProgressBar;
class QPushButton;

// The strip that shows a long step running: its text, a bar (moving while the length is not
// known) and Cancel when the step can stop. While a step runs the program takes no input but
// Cancel and Esc, and what goes to a message box the step raises.
class ProgressStrip : public QWidget
{
    Q_OBJECT
public:
    ProgressStrip(LongStepProgress &progress, const LanguageCode &lang, QWidget *parent = nullptr);
    // The language routine's part.
    void sprache();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showStep();
    void started();
    void finished();
    QString text(const char *component) const;

    LongStepProgress &m_progress;
    const LanguageCode &m_lang;
    QLabel *m_text = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
};
