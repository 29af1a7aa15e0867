#include "playback/DisplayOptionsModel.h"

void DisplayOptionsModel::setMode(SongDisplayMode mode)
{
    if (m_display.mode == mode)
        return;
    m_display.mode = mode;
    Q_EMIT songDisplayChanged();
}

void DisplayOptionsModel::setInTitle(bool on)
{
    if (m_display.inTitle == on)
        return;
    m_display.inTitle = on;
    Q_EMIT songDisplayChanged();
}

void DisplayOptionsModel::setInStatus(bool on)
{
    if (m_display.inStatus == on)
        return;
    m_display.inStatus = on;
    Q_EMIT songDisplayChanged();
}

void DisplayOptionsModel::setRepeat(bool on)
{
    if (m_repeat == on)
        return;
    m_repeat = on;
    Q_EMIT repeatChanged(on);
}

void DisplayOptionsModel::setRandomOrder(bool on)
{
    if (m_random == on)
        return;
    m_random = on;
    if (on)
        setShuffleOnce(false);
    Q_EMIT randomOrderChanged(on);
}

void DisplayOptionsModel::setShuffleOnce(bool on)
{
    if (m_shuffleOnce == on)
        return;
    m_shuffleOnce = on;
    if (on)
        setRandomOrder(false);
    Q_EMIT shuffleOnceChanged(on);
}

void DisplayOptionsModel::setGapless(bool on)
{
    if (m_gapless == on)
        return;
    m_gapless = on;
    Q_EMIT gaplessChanged(on);
}
