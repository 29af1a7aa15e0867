#include "tags/ReplayGain.h"

#include <QByteArray>

#include <cmath>

namespace {

constexpr double kMaxGainDb = 60.0;
constexpr double kMaxPeak = 64.0;
// R128 gains are against -23 LUFS, ReplayGain's against -18.
constexpr double kR128ToReplayGainDb = 5.0;
// Longer texts are no number a tagger writes.
constexpr qsizetype kMaxNumberText = 40;

// The number at the start of text (surrounding blanks allowed), with an optional "dB" after it
// when allowUnit; empty for anything else.
std::optional<double> number(QByteArrayView text, bool allowUnit)
{
    QByteArray t = text.trimmed().toByteArray();
    if (t.isEmpty() || t.size() > kMaxNumberText)
        return std::nullopt;
    if (allowUnit && t.size() >= 2 && t.right(2).toLower() == "db")
        t = t.chopped(2).trimmed();
    if (t.startsWith('+'))
        t.remove(0, 1);
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

namespace ReplayGainText {

std::optional<double> gain(QByteArrayView text)
{
    const std::optional<double> v = number(text, true);
    if (!v || std::abs(*v) > kMaxGainDb)
        return std::nullopt;
    return v;
}

std::optional<double> peak(QByteArrayView text)
{
    const std::optional<double> v = number(text, false);
    if (!v || !(*v > 0.0) || *v > kMaxPeak)
        return std::nullopt;
    return v;
}

std::optional<double> r128(QByteArrayView text)
{
    bool ok = false;
    const QByteArray t = text.trimmed().toByteArray();
    const int q78 = t.size() <= kMaxNumberText ? t.toInt(&ok) : 0;
    if (!ok || q78 < -32768 || q78 > 32767)
        return std::nullopt;
    return q78 / 256.0 + kR128ToReplayGainDb;
}

} // namespace ReplayGainText

bool ReplayGainValues::take(QByteArrayView name, QByteArrayView value)
{
    if (!name.startsWith("REPLAYGAIN_") && !name.startsWith("R128_"))
        return false;
    if (name == "R128_TRACK_GAIN") {
        if (const auto g = ReplayGainText::r128(value)) {
            trackGain = g;
            m_trackFromR128 = true;
        }
    } else if (name == "R128_ALBUM_GAIN") {
        if (const auto g = ReplayGainText::r128(value)) {
            albumGain = g;
            m_albumFromR128 = true;
        }
    } else if (name == "REPLAYGAIN_TRACK_GAIN") {
        if (!m_trackFromR128)
            trackGain = ReplayGainText::gain(value);
    } else if (name == "REPLAYGAIN_ALBUM_GAIN") {
        if (!m_albumFromR128)
            albumGain = ReplayGainText::gain(value);
    } else if (name == "REPLAYGAIN_TRACK_PEAK") {
        trackPeak = ReplayGainText::peak(value);
    } else if (name == "REPLAYGAIN_ALBUM_PEAK") {
        albumPeak = ReplayGainText::peak(value);
    } else {
        return false;
    }
    return true;
}
