#pragma once

#include "playback/PlaybackControl.h"

#include <QList>
#include <QObject>
#include <QStringList>

// A window without widgets: records what the control's signals show, and moves its "bar" the
// way a slider does (a changed value calls stelleChange back at once).
struct RecordingView
{
    PlaybackControl *control = nullptr;
    bool playing = false;
    QList<bool> playingShown; // every playingChanged, in order
    int bar = 0;
    QString position = QStringLiteral("00:00:00:000"), duration = QStringLiteral("00:00:00:000");
    QString statusLine, windowTitle;
    int statusShowsSong = 0;
    int songChanges = 0;
    QStringList log, errors;
    int refreshes = 0;
    // The connections end with the recorder, whichever of the two goes first.
    QObject receiver;

    void attach(PlaybackControl &c)
    {
        control = &c;
        using P = PlaybackControl;
        QObject::connect(&c, &P::playingChanged, &receiver, [this](bool p) {
            playing = p;
            playingShown << p;
        });
        QObject::connect(&c, &P::songChanged, &receiver, [this] { ++songChanges; });
        QObject::connect(&c, &P::barPositionChanged, &receiver, [this](int p) { moveBar(p); });
        QObject::connect(&c, &P::positionTextChanged, &receiver, [this](const QString &t) { position = t; });
        QObject::connect(&c, &P::durationTextChanged, &receiver, [this](const QString &t) { duration = t; });
        QObject::connect(&c, &P::songShownInStatusLine, &receiver, [this](const QString &t) { statusLine = t; });
        QObject::connect(&c, &P::statusShowsSong, &receiver, [this] { ++statusShowsSong; });
        QObject::connect(&c, &P::windowTitleChanged, &receiver, [this](const QString &t) { windowTitle = t; });
        QObject::connect(&c, &P::historyChanged, &receiver, [this] { ++refreshes; });
        QObject::connect(&c, &P::logLine, &receiver, [this](const QString &line) { log << line; });
        QObject::connect(&c, &P::errorRaised, &receiver, [this](const QString &m) { errors << m; });
    }

    // The bar set by the control or dragged by the user.
    void moveBar(int p)
    {
        if (p == bar)
            return;
        bar = p;
        if (control)
            control->stelleChange(p);
    }
};
