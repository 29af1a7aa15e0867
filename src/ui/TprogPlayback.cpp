// The main window's play controls, shown from the playback control.
#include "ui/Tprog.h"

#include "ui/MediaIcons.h"
#include "ui/Mnemonics.h"
#include "session/Session.h"
#include "ui/TTrackBar.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

void Tprog::bindPlayback()
{
    PlaybackControl &playback = m_session.playback;
    connect(BtPlay, &QPushButton::clicked, &playback, &PlaybackControl::BtPlayClick);
    connect(zurueck, &QPushButton::clicked, &playback, &PlaybackControl::zurueckClick);
    connect(weiter, &QPushButton::clicked, &playback, &PlaybackControl::weiterClick);
    // A changed value calls stelleChange back at once, also when playback moved the bar.
    connect(stelle, &QSlider::valueChanged, &playback, &PlaybackControl::stelleChange);
    connect(&playback, &PlaybackControl::barPositionChanged, stelle, &QSlider::setValue);
    connect(&playback, &PlaybackControl::seekableChanged, stelle, &QWidget::setEnabled);
    connect(stelle, &QSlider::sliderPressed, &playback, &PlaybackControl::stelleGrabbed);
    connect(stelle, &QSlider::sliderReleased, &playback, [this, &playback] { playback.stelleReleased(stelle->value()); });

    // The buttons show the desktop's media icons; their captions stay as tooltip and name.
    using MediaIcons::Icon;
    for (auto [button, icon, caption] : {std::tuple{zurueck, Icon::Previous, "<<"}, std::tuple{weiter, Icon::Next, ">>"}}) {
        button->setText(QString());
        button->setIcon(MediaIcons::icon(icon, button));
        button->setToolTip(QLatin1String(caption));
        button->setAccessibleName(QLatin1String(caption));
    }
    showPlayingState(playback.IsPlaying());
    connect(&playback, &PlaybackControl::playingChanged, this, &Tprog::showPlayingState);

    // The volume: the slider and mute set the playback's level, which every player gets; a
    // change from elsewhere (keys, the desktop, the settings) moves them.
    auto showVolume = [this](int percent, bool muted) {
        const QSignalBlocker blockSlider(lautstaerke), blockMute(stumm);
        lautstaerke->setValue(percent);
        stumm->setChecked(muted);
        stumm->setIcon(MediaIcons::icon(muted ? MediaIcons::Icon::Muted : MediaIcons::Icon::Volume, stumm));
    };
    showVolume(playback.volumePercent(), playback.muted());
    connect(&playback, &PlaybackControl::volumeChanged, this, showVolume);
    connect(lautstaerke, &QSlider::valueChanged, &playback, &PlaybackControl::setVolumePercent);
    connect(stumm, &QToolButton::toggled, &playback, &PlaybackControl::setMuted);

    connect(&playback, &PlaybackControl::positionTextChanged, lblPosition, &QLabel::setText);
    connect(&playback, &PlaybackControl::durationTextChanged, this, [this](const QString &text) {
        lblDuration->setText(text);
        layoutBottomPanel();
    });
    connect(&playback, &PlaybackControl::windowTitleChanged, this, &QWidget::setWindowTitle);
}

void Tprog::showPlayingState(bool playing)
{
    // BtPlay: "X" while playing, ">" otherwise, as tooltip and name beside the icon.
    const QString caption = playing ? QStringLiteral("X") : QStringLiteral(">");
    BtPlay->setText(QString());
    BtPlay->setIcon(MediaIcons::icon(playing ? MediaIcons::Icon::Pause : MediaIcons::Icon::Play, BtPlay));
    BtPlay->setToolTip(caption);
    BtPlay->setAccessibleName(caption);
    if (QAction *command = action(playing ? "mw2" : "mw1"))
        BtPlay->setAccessibleDescription(Mnemonics::visibleText(command->text()));
}
