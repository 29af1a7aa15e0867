#include "playback/EqualizerModel.h"

#include <algorithm>

const std::array<int, EqualizerModel::kBands> &EqualizerModel::centreFrequencies()
{
    // The bands of GStreamer's ten-band equalizer, an octave apart.
    static const std::array<int, kBands> hz{29, 59, 119, 237, 474, 947, 1889, 3770, 7523, 15011};
    return hz;
}

const EqualizerModel::Gains &EqualizerModel::presetGains(int preset)
{
    // Flat, Rock, Pop, Jazz, Classical, Bass, Treble, Vocal: the usual shapes of other players.
    static const std::array<Gains, kPresetCount> presets{{
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {5, 4, 3, 1, -1, -1, 1, 3, 4, 5},
        {-1, 1, 3, 4, 3, 0, -1, -1, -1, -1},
        {3, 2, 1, 2, -1, -1, 0, 1, 2, 3},
        {4, 3, 2, 1, -1, -1, 0, 2, 3, 4},
        {7, 6, 5, 3, 1, 0, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 1, 3, 5, 6, 7},
        {-2, -2, -1, 1, 4, 4, 3, 1, 0, -1},
    }};
    return presets[std::size_t(std::clamp(preset, 0, kPresetCount - 1))];
}

void EqualizerModel::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    Q_EMIT changed();
}

void EqualizerModel::setGain(int band, double dB)
{
    if (band < 0 || band >= kBands)
        return;
    const double gain = std::clamp(dB, kMinGain, kMaxGain);
    if (gain == m_gains[std::size_t(band)] && m_preset < 0)
        return;
    m_gains[std::size_t(band)] = gain;
    m_preset = -1;
    Q_EMIT changed();
}

void EqualizerModel::applyPreset(int preset)
{
    if (preset < 0 || preset >= kPresetCount)
        return;
    m_gains = presetGains(preset);
    m_preset = preset;
    Q_EMIT changed();
}

EqualizerModel::Gains EqualizerModel::effectiveGains() const
{
    return m_enabled ? m_gains : Gains{};
}
