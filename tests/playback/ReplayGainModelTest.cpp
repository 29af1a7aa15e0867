// Which gain and peak a song plays at, for values that are partly missing.
#include "playback/ReplayGainModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Mode = ReplayGainModel::Mode;
using Opt = std::optional<double>;

ReplayGainValues values(Opt trackGain, Opt trackPeak, Opt albumGain, Opt albumPeak)
{
    ReplayGainValues v;
    v.trackGain = trackGain;
    v.trackPeak = trackPeak;
    v.albumGain = albumGain;
    v.albumPeak = albumPeak;
    return v;
}

double dB(double factor)
{
    return 20 * std::log10(factor);
}

} // namespace

TEST(ReplayGainModel, ChoosesTheGainAndPeakThatBelongTogether)
{
    const Opt none;
    struct Case
    {
        const char *name;
        Mode mode;
        bool random;
        ReplayGainValues v;
        double expectedDb;
    };
    const Case cases[] = {
        {"album missing: track", Mode::Album, false, values(-4, none, none, none), -4},
        {"track missing: album", Mode::Track, false, values(none, none, -2, none), -2},
        // The album's peak limits the album gain, the track's the track gain.
        {"album gain, album peak", Mode::Album, false, values(9, 0.25, 8, 0.5), dB(2.0)},
        {"track gain, track peak", Mode::Track, false, values(9, 0.25, 8, 0.5), 9},
        {"album gain, only a track peak", Mode::Album, false, values(9, 0.5, 8, none), dB(2.0)},
        {"automatic in order", Mode::Automatic, false, values(-6, none, -3, none), -3},
        {"automatic at random", Mode::Automatic, true, values(-6, none, -3, none), -6},
        {"off", Mode::Off, false, values(-6, none, -3, none), 0},
    };
    for (const Case &c : cases) {
        ReplayGainModel m;
        m.setMode(c.mode);
        EXPECT_NEAR(dB(m.factor(c.v, c.random)), c.expectedDb, 1e-9) << c.name;
    }
}

TEST(ReplayGainModel, SettingsStayInsideTheirRange)
{
    ReplayGainModel m;
    int changes = 0;
    QObject::connect(&m, &ReplayGainModel::changed, [&changes] { ++changes; });
    m.setPreampDb(40);
    EXPECT_EQ(m.preampDb(), ReplayGainModel::kMaxDb);
    m.setDefaultDb(-40);
    EXPECT_EQ(m.defaultDb(), ReplayGainModel::kMinDb);
    m.setPreampDb(std::nan(""));
    EXPECT_EQ(m.preampDb(), ReplayGainModel::kMaxDb);
    m.setMode(Mode(7));
    EXPECT_EQ(m.mode(), Mode::Off);
    m.setDefaultDb(-40); // no change, no signal
    EXPECT_EQ(changes, 2);
}
