#pragma once

#include "tags/ReplayGain.h"

#include <QObject>
#include <QString>

// How songs are levelled by their ReplayGain values: the mode, a pre-amp added to every
// tagged gain, the gain of songs without values, and whether a song's peak may lower its gain
// so that it does not clip. A change is heard from the next song on. Window thread only.
class ReplayGainModel : public QObject
{
    Q_OBJECT
public:
    // Automatic: the album's gain while the table plays in order, the song's at random.
    enum class Mode { Off = 0, Track, Album, Automatic };
    static constexpr int kModeCount = 4;
    // Pre-amp and default gain, in decibels.
    static constexpr double kMinDb = -15.0;
    static constexpr double kMaxDb = 15.0;

    explicit ReplayGainModel(QObject *parent = nullptr) : QObject(parent) {}

    Mode mode() const { return m_mode; }
    void setMode(Mode mode);
    double preampDb() const { return m_preampDb; }
    // Outside -15..+15 ends at the nearest bound; not a number is ignored (as all setters here).
    void setPreampDb(double dB);
    double defaultDb() const { return m_defaultDb; }
    void setDefaultDb(double dB);
    bool preventClipping() const { return m_preventClipping; }
    void setPreventClipping(bool on);

    // The linear factor a song with these values plays at. Off: 1. Otherwise the chosen gain
    // (album or track, the other one where it is missing) plus the pre-amp, or the default
    // gain alone for a song without either; then, with clipping prevention, at most 1 / peak
    // (the peak that belongs to the gain used, else the other one).
    double factor(const ReplayGainValues &values, bool randomOrder) const;
    // The same for a file, its values read from it now. Nothing is read while off.
    double factorForFile(const QString &path, bool randomOrder) const;

Q_SIGNALS:
    void changed();

private:
    void setDb(double &member, double dB);

    Mode m_mode = Mode::Off;
    double m_preampDb = 0.0;
    double m_defaultDb = 0.0;
    bool m_preventClipping = true;
};
