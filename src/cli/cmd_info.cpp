#include "cli/CliCommand.h"

#include "tags/AddSongFile.h"
#include "tags/AudioInfo.h"
#include "tags/ReaderFailureHook.h"
#include "tags/ReplayGainRead.h"
#include "tags/SongDetails.h"
#include "tags/StreamDetails.h"

#include "core/FileSystem.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char *const kFieldNames[TSongRecord::kFieldCount] = {
    "artist", "title", "length", "album", "track", "year", "genre", "path",
};

QJsonObject readerValues(const TAudioInfo &info)
{
    QJsonObject o;
    switch (info.UsedReader) {
    case TAudioInfo::Reader::Mpeg: {
        o[QLatin1String("reader")] = QStringLiteral("mpeg");
        const TMpegInfo &m = info.Mpeg;
        QJsonObject mpeg;
        mpeg[QLatin1String("version")] = m.Version == 3 ? QStringLiteral("2.5") : QString::number(m.Version);
        mpeg[QLatin1String("layer")] = m.Layer;
        mpeg[QLatin1String("bitrate")] = m.Bitrate;
        mpeg[QLatin1String("sampleRate")] = m.SampleRate;
        mpeg[QLatin1String("channelMode")] = m.ChannelMode;
        mpeg[QLatin1String("frameCount")] = qint64(m.FrameCount);
        mpeg[QLatin1String("vbr")] = m.IsVbr;
        mpeg[QLatin1String("firstFramePosition")] = m.FirstFramePosition;
        mpeg[QLatin1String("duration")] = m.Duration;
        o[QLatin1String("mpeg")] = mpeg;
        QJsonObject v2;
        v2[QLatin1String("exists")] = info.ID3v2Exists;
        v2[QLatin1String("version")] = info.ID3v2Version;
        v2[QLatin1String("tagSize")] = qint64(info.ID3v2TagSize);
        o[QLatin1String("id3v2")] = v2;
        o[QLatin1String("id3v1")] = QJsonObject{{QLatin1String("exists"), info.ID3v1Exists}};
        break;
    }
    case TAudioInfo::Reader::Ogg: {
        o[QLatin1String("reader")] = QStringLiteral("ogg");
        const TOGGtag &g = info.Ogg;
        o[QLatin1String("ogg")] = QJsonObject{
            {QLatin1String("channels"), g.Channels},
            {QLatin1String("sampleRate"), g.SampleRate},
            {QLatin1String("nominalBitrate"), g.BitrateNominal},
            {QLatin1String("sampleCount"), g.SampleCount},
            {QLatin1String("id3v2Size"), qint64(g.ID3v2Size)},
            {QLatin1String("vendor"), g.Vendor},
            {QLatin1String("duration"), g.GetDuration()},
        };
        break;
    }
    case TAudioInfo::Reader::Wma: {
        o[QLatin1String("reader")] = QStringLiteral("wma");
        const TWMATag &w = info.Wma;
        o[QLatin1String("wma")] = QJsonObject{
            {QLatin1String("valid"), w.Valid},
            {QLatin1String("bitrate"), qint64(w.Bitrate)},
            {QLatin1String("channels"), w.Channels},
            {QLatin1String("sampleRate"), qint64(w.SampleRate)},
            {QLatin1String("duration"), w.Duration},
        };
        break;
    }
    case TAudioInfo::Reader::Flac: {
        o[QLatin1String("reader")] = QStringLiteral("flac");
        const TFlacTag &f = info.Flac;
        o[QLatin1String("flac")] = QJsonObject{
            {QLatin1String("channels"), f.Channels},
            {QLatin1String("sampleRate"), qint64(f.SampleRate)},
            {QLatin1String("bitsPerSample"), f.BitsPerSample},
            {QLatin1String("sampleCount"), qint64(f.SampleCount)},
            {QLatin1String("id3v2Size"), qint64(f.ID3v2Size)},
            {QLatin1String("vendor"), f.Vendor},
            {QLatin1String("duration"), f.GetDuration()},
        };
        break;
    }
    case TAudioInfo::Reader::Opus: {
        o[QLatin1String("reader")] = QStringLiteral("opus");
        const TOpusTag &g = info.Opus;
        o[QLatin1String("opus")] = QJsonObject{
            {QLatin1String("version"), g.Version},
            {QLatin1String("channels"), g.Channels},
            {QLatin1String("preSkip"), g.PreSkip},
            {QLatin1String("inputSampleRate"), qint64(g.InputSampleRate)},
            {QLatin1String("granulePosition"), qint64(g.GranulePosition)},
            {QLatin1String("vendor"), g.Vendor},
            {QLatin1String("duration"), g.GetDuration()},
        };
        break;
    }
    case TAudioInfo::Reader::Mp4: {
        o[QLatin1String("reader")] = QStringLiteral("mp4");
        const TMp4Tag &m = info.Mp4;
        o[QLatin1String("mp4")] = QJsonObject{
            {QLatin1String("brand"), m.Brand},
            {QLatin1String("codec"), m.Codec},
            {QLatin1String("channels"), m.Channels},
            {QLatin1String("bitsPerSample"), m.BitsPerSample},
            {QLatin1String("sampleRate"), qint64(m.SampleRate)},
            {QLatin1String("movieTimeScale"), qint64(m.MovieTimeScale)},
            {QLatin1String("movieDuration"), qint64(m.MovieDuration)},
            {QLatin1String("mediaTimeScale"), qint64(m.MediaTimeScale)},
            {QLatin1String("mediaDuration"), qint64(m.MediaDuration)},
            {QLatin1String("duration"), m.GetDuration()},
        };
        break;
    }
    case TAudioInfo::Reader::Wav: {
        o[QLatin1String("reader")] = QStringLiteral("wav");
        const TWavTag &w = info.Wav;
        o[QLatin1String("wav")] = QJsonObject{
            {QLatin1String("formatTag"), w.FormatTag},
            {QLatin1String("channels"), w.Channels},
            {QLatin1String("sampleRate"), qint64(w.SampleRate)},
            {QLatin1String("bytesPerSecond"), qint64(w.BytesPerSecond)},
            {QLatin1String("bitsPerSample"), w.BitsPerSample},
            {QLatin1String("dataSize"), qint64(w.DataSize)},
            {QLatin1String("info"), w.InfoFound},
            {QLatin1String("id3v2"), w.ID3v2Found},
            {QLatin1String("duration"), w.GetDuration()},
        };
        break;
    }
    case TAudioInfo::Reader::FileName:
        o[QLatin1String("reader")] = QStringLiteral("filename");
        break;
    case TAudioInfo::Reader::None:
        o[QLatin1String("reader")] = QStringLiteral("none");
        break;
    }
    return o;
}

// Only the values the file holds; gains in dB against the ReplayGain reference, peaks linear.
QJsonObject replayGainValues(const ReplayGainValues &v)
{
    QJsonObject o;
    auto put = [&o](const char *name, const std::optional<double> &value) {
        if (value)
            o[QLatin1String(name)] = *value;
    };
    put("trackGain", v.trackGain);
    put("trackPeak", v.trackPeak);
    put("albumGain", v.albumGain);
    put("albumPeak", v.albumPeak);
    put("opusHeaderGain", v.opusHeaderGain);
    return o;
}

// The stream details, every tag field and the embedded pictures (where they lie, not their bytes).
void addDetails(QJsonObject &o, const QString &path, const TAudioInfo &info)
{
    const StreamDetails s = StreamDetails::of(info, QFileInfo(path).size());
    o[QLatin1String("stream")] = QJsonObject{
        {QLatin1String("codec"), s.codec},
        {QLatin1String("bitrate"), s.bitrate},
        {QLatin1String("variableBitrate"), s.variableBitrate},
        {QLatin1String("sampleRate"), s.sampleRate},
        {QLatin1String("channels"), s.channels},
        {QLatin1String("bitsPerSample"), s.bitsPerSample},
        {QLatin1String("milliseconds"), s.milliseconds},
        {QLatin1String("fileSize"), s.fileSize},
    };
    const SongDetails details = SongDetails::readFile(path);
    QJsonArray fields;
    for (const TagField &f : details.fields)
        fields.append(QJsonObject{{QLatin1String("name"), f.name}, {QLatin1String("value"), f.value}});
    o[QLatin1String("fields")] = fields;
    QJsonArray pictures;
    const int preferred = details.preferredPicture();
    for (int i = 0; i < details.pictures.size(); ++i) {
        const PictureEntry &e = details.pictures[i];
        static const char *const codings[] = {"plain", "unsynchronised", "base64"};
        pictures.append(QJsonObject{
            {QLatin1String("type"), e.type},
            {QLatin1String("typeName"), e.typeName()},
            {QLatin1String("mime"), e.mime},
            {QLatin1String("description"), e.description},
            {QLatin1String("length"), e.length},
            {QLatin1String("width"), qint64(e.width)},
            {QLatin1String("height"), qint64(e.height)},
            {QLatin1String("coding"), QLatin1String(codings[int(e.coding)])},
            {QLatin1String("offset"), e.codedOffset},
            {QLatin1String("complete"), e.complete},
            {QLatin1String("shown"), i == preferred},
        });
    }
    o[QLatin1String("pictures")] = pictures;
}

int info(const QStringList &argsIn)
{
    QStringList args = argsIn;
    const bool json = takeFlag(args, QStringLiteral("--json"));
    args.removeAll(QStringLiteral("--"));
    if (args.isEmpty())
        return usageError(QStringLiteral("expected at least one FILE"));
    setReaderFailureHook([](const QString &message) {
        cliErr() << "sonalo-cli: " << message << '\n';
        cliErr().flush();
    });
    const QString programFolder = FileSystem::programFolder();
    QTextStream &out = cliOut();
    QJsonArray all;
    for (const QString &path : args) {
        const TSongRecord r = makeSongRecord(path, false, programFolder);
        if (!json) {
            printSong(r);
            continue;
        }
        QJsonObject o;
        for (int i = 0; i < TSongRecord::kFieldCount; ++i)
            o[QLatin1String(kFieldNames[i])] = r.field(i);
        // The readers' own values, from a second reading of the file.
        TAudioInfo info;
        info.ReadFromFile(path);
        o[QLatin1String("seconds")] = info.Seconds;
        o[QLatin1String("readers")] = readerValues(info);
        o[QLatin1String("replayGain")] = replayGainValues(ReplayGainRead::fromFile(path));
        addDetails(o, path, info);
        all.append(o);
    }
    if (json)
        out << QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented));
    return kExitOk;
}

const CliRegistration infoCommand{{
    {QStringLiteral("info")},
    QStringLiteral("[--json] FILE..."),
    QStringLiteral("Print the song record that adding each file would append, one line a file."),
    QStringLiteral("Fields, tab-separated with the escaping of \"playlist cat\": artist, title, length,\n"
                   "album, track, year, genre, path. --json prints an array with those fields, the\n"
                   "playing time in seconds and what the format readers found (MPEG version,\n"
                   "layer, bitrate, frame count, VBR, first frame position; ID3v2 version and tag\n"
                   "size; Ogg channels, sample rate, sample count; WMA validity, bitrate, duration;\n"
                   "FLAC sample rate and count; Opus pre-skip and granule position; MP4 brand,\n"
                   "codec and time scales; WAV format, data size and which tags were found), the\n"
                   "ReplayGain values the file holds (trackGain, trackPeak, albumGain, albumPeak in\n"
                   "dB and linear peaks; R128 gains given against ReplayGain's reference; the Opus\n"
                   "header's own gain as opusHeaderGain), the stream (codec, bit rate in kbit/s, the\n"
                   "average for a variable one, sample rate, channels, length in milliseconds, file\n"
                   "size), every tag field and the embedded pictures (type, MIME type, length, where\n"
                   "they lie, whether they are whole, and which one the player shows)."),
    false,
    info,
}};

} // namespace
