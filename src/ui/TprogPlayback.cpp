// The main window's play controls, shown from the playback control.
#include "ui/Tprog.h"

#include "ui/Session.h"
#include "ui/TTrackBar.h"

#include <QLabel>
#include <QPushButton>

void Tprog::bindPlayback()
{
    PlaybackControl &playback = m_session.playback;
    connect(BtPlay, &QPushButton::clicked, &playback, &PlaybackControl::BtPlayClick);
    connect(zurueck, &QPushButton::clicked, &playback, &PlaybackControl::zurueckClick);
    connect(weiter, &QPushButton::clicked, &playback, &PlaybackControl::weiterClick);
    // A changed value calls stelleChange back at once, also when playback moved the bar.
    connect(stelle, &QSlider::valueChanged, &playback, &PlaybackControl::stelleChange);
    connect(&playback, &PlaybackControl::barPositionChanged, stelle, &QSlider::setValue);
    connect(stelle, &QSlider::sliderPressed, &playback, &PlaybackControl::stelleGrabbed);
    connect(stelle, &QSlider::sliderReleased, &playback, [this, &playback] { playback.stelleReleased(stelle->value()); });

    connect(&playback, &PlaybackControl::playingChanged, this, [this](bool playing) {
        BtPlay->setText(playing ? QStringLiteral("X") : QStringLiteral(">"));
        BtPlay->setAccessibleName(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
    });
    connect(&playback, &PlaybackControl::positionTextChanged, lblPosition, &QLabel::setText);
    connect(&playback, &PlaybackControl::durationTextChanged, this, [this](const QString &text) {
        lblDuration->setText(text);
        layoutBottomPanel();
    });
    connect(&playback, &PlaybackControl::windowTitleChanged, this, &QWidget::setWindowTitle);
    connect(&playback, &PlaybackControl::errorRaised, this, &Tprog::showError);
}
