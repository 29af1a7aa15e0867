#include "tags/StreamDetails.h"

#include "tags/AudioInfo.h"

#include <cmath>

namespace {

qint64 toMilliseconds(double seconds)
{
    return seconds > 0 && std::isfinite(seconds) && seconds < 1e12 ? qint64(std::llround(seconds * 1000)) : 0;
}

// The average over the whole file, tags included: what a user sees as "the file's bit rate".
int averageKbps(qint64 bytes, qint64 milliseconds)
{
    return milliseconds > 0 && bytes > 0 ? int(std::llround(double(bytes) * 8 / double(milliseconds))) : 0;
}

} // namespace

StreamDetails StreamDetails::of(const TAudioInfo &info, qint64 fileSize)
{
    StreamDetails d;
    d.fileSize = fileSize;
    switch (info.UsedReader) {
    case TAudioInfo::Reader::Mpeg: {
        const TMpegInfo &m = info.Mpeg;
        const QString version = m.Version == 3 ? QStringLiteral("2.5") : QString::number(m.Version);
        d.codec = QStringLiteral("MPEG-%1 Layer %2").arg(version, QLatin1String(m.Layer == 1 ? "I" : m.Layer == 2 ? "II" : "III"));
        d.sampleRate = m.SampleRate;
        d.channels = m.ChannelMode == TMpegInfo::kSingleChannel ? 1 : 2;
        d.bitrate = m.Bitrate; // a VBR header's frame count makes it the average already
        d.variableBitrate = m.IsVbr;
        const int samples = TMpegInfo::SamplesPerFrame(m.Version, m.Layer);
        d.milliseconds = m.FrameCount > 0 && m.SampleRate > 0 ? qint64(m.FrameCount) * samples * 1000 / m.SampleRate
                                                              : qint64(m.Duration) * 1000;
        return d;
    }
    case TAudioInfo::Reader::Ogg:
        d.codec = QStringLiteral("Vorbis");
        d.sampleRate = info.Ogg.SampleRate;
        d.channels = info.Ogg.Channels;
        d.milliseconds = toMilliseconds(info.Ogg.GetDuration());
        d.variableBitrate = true;
        d.bitrate = d.milliseconds > 0 ? averageKbps(fileSize, d.milliseconds) : info.Ogg.BitrateNominal;
        return d;
    case TAudioInfo::Reader::Opus:
        d.codec = QStringLiteral("Opus");
        d.sampleRate = 48000; // Opus always decodes at 48 kHz
        d.channels = info.Opus.Channels;
        d.milliseconds = toMilliseconds(info.Opus.GetDuration());
        d.variableBitrate = true;
        d.bitrate = averageKbps(fileSize, d.milliseconds);
        return d;
    case TAudioInfo::Reader::Flac:
        d.codec = QStringLiteral("FLAC");
        d.sampleRate = int(info.Flac.SampleRate);
        d.channels = info.Flac.Channels;
        d.bitsPerSample = info.Flac.BitsPerSample;
        d.milliseconds = info.Flac.SampleRate ? qint64(info.Flac.SampleCount * 1000 / info.Flac.SampleRate) : 0;
        d.variableBitrate = true;
        d.bitrate = averageKbps(fileSize, d.milliseconds);
        return d;
    case TAudioInfo::Reader::Mp4: {
        const QString &c = info.Mp4.Codec;
        d.codec = c == QLatin1String("mp4a") ? QStringLiteral("AAC") : c == QLatin1String("alac") ? QStringLiteral("ALAC") : c;
        d.sampleRate = int(info.Mp4.SampleRate);
        d.channels = info.Mp4.Channels;
        d.bitsPerSample = c == QLatin1String("alac") ? info.Mp4.BitsPerSample : 0;
        d.milliseconds = toMilliseconds(info.Mp4.GetDuration());
        d.bitrate = averageKbps(fileSize, d.milliseconds);
        return d;
    }
    case TAudioInfo::Reader::Wma:
        d.codec = QStringLiteral("WMA");
        d.sampleRate = int(info.Wma.SampleRate);
        d.channels = info.Wma.Channels;
        d.bitrate = int(info.Wma.Bitrate);
        d.milliseconds = toMilliseconds(info.Wma.Duration);
        return d;
    case TAudioInfo::Reader::Wav: {
        const TWavTag &w = info.Wav;
        d.codec = w.FormatTag == 1 ? QStringLiteral("PCM") : w.FormatTag == 3 ? QStringLiteral("PCM (float)")
                                                            : QStringLiteral("WAV format 0x%1").arg(w.FormatTag, 4, 16, QLatin1Char('0'));
        d.sampleRate = int(w.SampleRate);
        d.channels = w.Channels;
        d.bitsPerSample = w.BitsPerSample;
        d.bitrate = int(std::llround(double(w.BytesPerSecond) * 8 / 1000));
        d.milliseconds = toMilliseconds(w.GetDuration());
        return d;
    }
    case TAudioInfo::Reader::FileName:
    case TAudioInfo::Reader::None:
        return d;
    }
    return d;
}
