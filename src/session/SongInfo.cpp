#include "session/SongInfo.h"

#include "playback/SongSource.h"
#include "tags/AudioInfo.h"
#include "tags/EmbeddedCueSheet.h"

#include <QFileInfo>

namespace {

SongInfo readWholeFile(const QString &path)
{
    SongInfo info;
    TAudioInfo audio;
    audio.ReadFromFile(path);
    const QFileInfo file(path);
    info.stream = StreamDetails::of(audio, file.isFile() ? file.size() : 0);
    info.details = SongDetails::readFile(path);
    return info;
}

// A track of a sheet is a song of its own: its length, and the sheet's fields for it instead of
// the whole file's tags (its pictures stay: an album's cover is the track's).
void narrowToTrack(SongInfo &info, const QString &path, const SongSource &source)
{
    const qint64 stopNs = source.stopNs >= 0 ? source.stopNs : info.stream.milliseconds * 1000000;
    info.stream.milliseconds = std::max<qint64>(0, (stopNs - source.startNs) / 1000000);
    const std::optional<PlaylistEntry> e = sheetTrackEntry(path);
    if (!e)
        return;
    info.details.fields.clear();
    const std::pair<const char *, QString> named[] = {{"PERFORMER", e->artist}, {"TITLE", e->title}, {"ALBUM", e->album},
                                                      {"TRACK", e->track},      {"DATE", e->year},   {"GENRE", e->genre}};
    for (const auto &[name, value] : named)
        if (!value.isEmpty())
            info.details.fields.append({QLatin1String(name), value});
}

} // namespace

SongInfo SongInfo::read(const QString &path)
{
    const std::optional<SongSource> source = songSourceOf(path);
    if (!source || source->file.isEmpty() || !source->isPart())
        return readWholeFile(path);
    SongInfo info = readWholeFile(source->file);
    narrowToTrack(info, path, *source);
    return info;
}

QString SongInfo::lengthText(qint64 ms)
{
    const qint64 hours = ms / 3600000;
    const int minutes = int(ms / 60000 % 60);
    const int seconds = int(ms / 1000 % 60);
    const int rest = int(ms % 1000);
    const QString tail = QStringLiteral("%1.%2").arg(seconds, 2, 10, QLatin1Char('0')).arg(rest, 3, 10, QLatin1Char('0'));
    if (hours > 0)
        return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes, 2, 10, QLatin1Char('0')).arg(tail);
    return QStringLiteral("%1:%2").arg(minutes).arg(tail);
}

QList<SongInfo::Row> SongInfo::rows() const
{
    QList<Row> out;
    auto add = [&out](const char *key, const QString &value) { out.append({QLatin1String(key), QString(), value}); };
    const StreamDetails &s = stream;
    if (!s.codec.isEmpty())
        add("codec", s.codec);
    if (s.bitrate > 0)
        add("bitrate", s.variableBitrate ? QStringLiteral("%1 kbit/s (VBR)").arg(s.bitrate) : QStringLiteral("%1 kbit/s").arg(s.bitrate));
    if (s.sampleRate > 0)
        add("samplerate", QStringLiteral("%1 Hz").arg(s.sampleRate));
    if (s.channels > 0)
        add("channels", QString::number(s.channels));
    if (s.bitsPerSample > 0)
        add("bits", QString::number(s.bitsPerSample));
    if (s.milliseconds > 0)
        add("length", lengthText(s.milliseconds));
    if (s.fileSize > 0)
        add("filesize", QString::number(s.fileSize));
    for (const TagField &f : details.fields)
        out.append({QString(), f.name, f.value});
    return out;
}
