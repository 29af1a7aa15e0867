#pragma once

#include "session/SplashClock.h"
#include "core/LanguageCode.h"

#include <QWidget>

class QLabel;
class QTimer;

// The splash window: borderless, on top, centred; shows the main window after about 2.8 s and
// hides itself after about 3.85 s, or both at once on a click.
class Tstart : public QWidget
{
    Q_OBJECT
public:
    // FormCreate: chooses the start language from the marker files in workingFolder.
    Tstart(LanguageCode &lang, const QString &workingFolder, QWidget *parent = nullptr);

    // The window the splash shows when it is done.
    void setMainWindow(QWidget *window) { m_main = window; }

    void startsprache();
    void Timer1Timer();
    void FormClick();

    const SplashClock &clock() const { return m_clock; }
    QTimer *timer() const { return Timer1; }
    QLabel *image2() const { return Image2; }
    QLabel *languageLabel() const { return spr; }

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void showMain();
    void finish();

    LanguageCode &m_lang;
    SplashClock m_clock;
    QWidget *m_main = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;
    QLabel *spr = nullptr; // the language code ("Sprache")
    QTimer *Timer1 = nullptr;
};
