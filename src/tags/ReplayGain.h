#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// The loudness values a song carries: gains in decibels against the ReplayGain reference
// (-18 LUFS), peaks as linear sample amplitudes (1.0 is full scale). Absent values are empty.
struct ReplayGainValues
{
    std::optional<double> trackGain, trackPeak, albumGain, albumPeak;
    // Opus only: the output gain of the stream header in decibels. The decoder applies it
    // itself, so it is shown, never added.
    std::optional<double> opusHeaderGain;

    bool hasGain() const { return trackGain || albumGain; }
    bool empty() const { return !trackGain && !trackPeak && !albumGain && !albumPeak && !opusHeaderGain; }

    // One tag field, its name in upper case: REPLAYGAIN_TRACK_GAIN/PEAK, REPLAYGAIN_ALBUM_GAIN/
    // PEAK, or Opus's R128_TRACK_GAIN/R128_ALBUM_GAIN. R128 gains win over ReplayGain texts in
    // the same tag, whichever comes first. False when the name is none of them.
    bool take(QByteArrayView upperName, QByteArrayView value);

private:
    bool m_trackFromR128 = false;
    bool m_albumFromR128 = false;
};

namespace ReplayGainText {
// "-6.00 dB", "+1.5 dB", "3": decibels. Garbage, non-finite values and gains beyond ±60 dB are
// no value.
std::optional<double> gain(QByteArrayView text);
// "0.988553": a linear peak above 0 and at most 64 (peaks of float sources pass 1.0).
std::optional<double> peak(QByteArrayView text);
// An R128 gain: a signed Q7.8 integer against -23 LUFS, given against the ReplayGain
// reference (5 dB louder) as other players read it.
std::optional<double> r128(QByteArrayView text);
} // namespace ReplayGainText
