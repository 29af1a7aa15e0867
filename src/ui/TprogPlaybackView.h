#pragma once

#include "playback/PlaybackControl.h"

class Tprog;

// The main window as the playback control sees it: the play button, the position bar and
// labels, the status line and title, the error log and the recently played window.
class TprogPlaybackView : public PlaybackView
{
public:
    explicit TprogPlaybackView(Tprog &window) : w(window) {}

    void showPlaying(bool playing) override;
    void showBarPosition(int position) override;
    void showPositionText(const QString &text) override;
    void showDurationText(const QString &text) override;
    SongDisplayOptions songDisplayOptions() const override;
    void showSongInStatusLine(const QString &text) override;
    void showWindowTitle(const QString &title) override;
    void setStatusShowsSong() override;
    void appendLog(const QString &line) override;
    void Aktualisieren() override;
    void showError(const QString &message) override;
    bool germanTexts() const override;

private:
    Tprog &w;
};
