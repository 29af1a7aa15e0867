#include "playback/ReplayGainModel.h"

#include "tags/ReplayGainRead.h"

#include <algorithm>
#include <cmath>

namespace {

double linear(double dB)
{
    return std::pow(10.0, dB / 20.0);
}

} // namespace

void ReplayGainModel::setMode(Mode mode)
{
    if (mode == m_mode || int(mode) < 0 || int(mode) >= kModeCount)
        return;
    m_mode = mode;
    Q_EMIT changed();
}

void ReplayGainModel::setDb(double &member, double dB)
{
    if (std::isnan(dB))
        return;
    dB = std::clamp(dB, kMinDb, kMaxDb);
    if (dB == member)
        return;
    member = dB;
    Q_EMIT changed();
}

void ReplayGainModel::setPreampDb(double dB)
{
    setDb(m_preampDb, dB);
}

void ReplayGainModel::setDefaultDb(double dB)
{
    setDb(m_defaultDb, dB);
}

void ReplayGainModel::setPreventClipping(bool on)
{
    if (on == m_preventClipping)
        return;
    m_preventClipping = on;
    Q_EMIT changed();
}

double ReplayGainModel::factor(const ReplayGainValues &v, bool randomOrder) const
{
    if (m_mode == Mode::Off)
        return 1.0;
    if (!v.hasGain())
        return linear(m_defaultDb);
    const bool albumWanted = m_mode == Mode::Album || (m_mode == Mode::Automatic && !randomOrder);
    // The wanted gain, or the other one where the song lacks it.
    const bool useAlbum = albumWanted ? v.albumGain.has_value() : !v.trackGain;
    const std::optional<double> gain = useAlbum ? v.albumGain : v.trackGain;
    const std::optional<double> peak = useAlbum ? (v.albumPeak ? v.albumPeak : v.trackPeak)
                                                : (v.trackPeak ? v.trackPeak : v.albumPeak);
    double f = linear(*gain + m_preampDb);
    if (m_preventClipping && peak && *peak > 0 && f * *peak > 1.0)
        f = 1.0 / *peak;
    return f;
}

double ReplayGainModel::factorForFile(const QString &path, bool randomOrder) const
{
    if (m_mode == Mode::Off)
        return 1.0;
    return factor(ReplayGainRead::fromFile(path), randomOrder);
}
