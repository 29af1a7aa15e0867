#pragma once

#include "playback/SongDisplay.h"

#include <QObject>

// The ticks of the playback and display menus: how the playing song is shown (mode, in the
// window title, in the status line), repeat, random order and gapless play. The one place these options
// live: the menus show it and set it, the playback control reads it, the settings file mirrors
// it. Every change is announced, also when it comes from outside the menus.
class DisplayOptionsModel : public QObject
{
    Q_OBJECT
public:
    explicit DisplayOptionsModel(QObject *parent = nullptr) : QObject(parent) {}

    SongDisplayOptions songDisplay() const { return m_display; }
    SongDisplayMode mode() const { return m_display.mode; }
    bool inTitle() const { return m_display.inTitle; }
    bool inStatus() const { return m_display.inStatus; }
    bool repeat() const { return m_repeat; }
    bool randomOrder() const { return m_random; }
    // Every song of the shown list once per round in a random order. Random order and this
    // exclude each other: switching one on switches the other off.
    bool shuffleOnce() const { return m_shuffleOnce; }
    // One long-lived pipeline that joins the songs without a gap (on), or one per song (off).
    bool gapless() const { return m_gapless; }

    void setMode(SongDisplayMode mode);
    void setInTitle(bool on);
    void setInStatus(bool on);
    void setRepeat(bool on);
    void setRandomOrder(bool on);
    void setShuffleOnce(bool on);
    void setGapless(bool on);

Q_SIGNALS:
    // Mode, title or status display changed.
    void songDisplayChanged();
    void repeatChanged(bool on);
    void randomOrderChanged(bool on);
    void shuffleOnceChanged(bool on);
    void gaplessChanged(bool on);

private:
    SongDisplayOptions m_display;
    bool m_repeat = false;
    bool m_random = true;
    bool m_shuffleOnce = false;
    bool m_gapless = true;
};
