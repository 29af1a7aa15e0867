#pragma once

#include <QObject>

#include <array>

// The ten-band equalizer: on or off, each band's gain in decibels (-24 to +12), and the preset
// the gains came from. Off, or on with every band at 0 dB, the sound passes unchanged (the
// player's equalizer then passes its buffers through untouched). Window thread only.
class EqualizerModel : public QObject
{
    Q_OBJECT
public:
    static constexpr int kBands = 10;
    static constexpr double kMinGain = -24.0;
    static constexpr double kMaxGain = 12.0;
    using Gains = std::array<double, kBands>;

    // The centre frequency of each band in Hz, lowest first.
    static const std::array<int, kBands> &centreFrequencies();
    // The presets' gains, in the order the window offers them; preset 0 is "Flat".
    static constexpr int kPresetCount = 8;
    static const Gains &presetGains(int preset);

    explicit EqualizerModel(QObject *parent = nullptr) : QObject(parent) {}

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    const Gains &gains() const { return m_gains; }
    // Outside -24..+12 ends at the nearest bound; the preset becomes "none" (-1).
    void setGain(int band, double dB);
    int preset() const { return m_preset; }
    void applyPreset(int preset);
    // What the player applies: the gains while on, 0 dB everywhere while off.
    Gains effectiveGains() const;

Q_SIGNALS:
    void changed();

private:
    bool m_enabled = false;
    Gains m_gains{};
    int m_preset = 0;
};
