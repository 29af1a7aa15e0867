#include "ui/Tstart.h"

#include "ui/Artwork.h"
#include "session/StartLanguage.h"
#include "session/AppTitle.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

Tstart::Tstart(LanguageCode &lang, const QString &workingFolder, QWidget *parent)
    // A splash-screen window has no taskbar entry of its own.
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_lang(lang)
{
    setObjectName(QStringLiteral("start"));
    setWindowTitle(kApplicationTitle());
    setFixedSize(400, 300);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(Artwork::splashPicture());
    Image1->setGeometry(0, 0, 400, 300);
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(Artwork::englishOverlay());
    Image2->setGeometry(206, 226, 194, 74);
    spr = new QLabel(this);
    spr->setObjectName(QStringLiteral("spr"));
    spr->hide();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(350);
    connect(Timer1, &QTimer::timeout, this, &Tstart::Timer1Timer);
    Timer1->start();

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    m_lang.setCode(StartLanguage(workingFolder));
    startsprache();
    m_clock.SplashTicks = 0;
}

void Tstart::startsprache()
{
    spr->setText(m_lang.code());
    if (m_lang.isDe())
        Image2->hide();
    else if (m_lang.isEn())
        Image2->show();
}

void Tstart::showMain()
{
    if (m_main && !m_main->isVisible())
        m_main->show();
}

void Tstart::finish()
{
    hide();
    Timer1->stop();
}

void Tstart::Timer1Timer()
{
    const SplashClock::Step step = m_clock.tick();
    if (step.showMain)
        showMain();
    if (step.hideSplash)
        finish();
}

void Tstart::FormClick()
{
    showMain();
    finish();
}

void Tstart::mousePressEvent(QMouseEvent *event)
{
    // The pictures do not take the click; it reaches the window.
    QWidget::mousePressEvent(event);
    FormClick();
}
