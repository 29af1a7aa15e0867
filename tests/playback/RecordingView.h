#pragma once

#include "playback/PlaybackControl.h"

#include <QStringList>

// A window without widgets: records what the control shows, and moves its "bar" the way a
// slider does (a changed value calls stelleChange back at once).
struct RecordingView : PlaybackView
{
    PlaybackControl *control = nullptr;
    bool playing = false;
    int bar = 0;
    QString position = QStringLiteral("00:00:00:000"), duration = QStringLiteral("00:00:00:000");
    SongDisplayOptions options;
    QString statusLine, windowTitle;
    int statusShowsSong = 0;
    QStringList log, errors;
    int refreshes = 0;
    bool german = false;

    void showPlaying(bool p) override { playing = p; }
    void showBarPosition(int p) override
    {
        if (p == bar)
            return;
        bar = p;
        if (control)
            control->stelleChange(p);
    }
    void showPositionText(const QString &t) override { position = t; }
    void showDurationText(const QString &t) override { duration = t; }
    SongDisplayOptions songDisplayOptions() const override { return options; }
    void showSongInStatusLine(const QString &t) override { statusLine = t; }
    void showWindowTitle(const QString &t) override { windowTitle = t; }
    void setStatusShowsSong() override { ++statusShowsSong; }
    void appendLog(const QString &line) override { log << line; }
    void Aktualisieren() override { ++refreshes; }
    void showError(const QString &message) override { errors << message; }
    bool germanTexts() const override { return german; }
};
