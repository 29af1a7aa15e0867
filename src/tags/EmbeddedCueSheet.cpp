#include "tags/EmbeddedCueSheet.h"

#include "core/FileSystem.h"
#include "core/TextEncoding.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr int kStreamInfo = 0;
constexpr int kVorbisComment = 4;
constexpr int kCueSheetBlock = 5;
constexpr qsizetype kCueTrackHeader = 36;
constexpr qsizetype kCueIndexPoint = 12;

quint64 be64(const QByteArray &b, qsizetype at)
{
    return qFromBigEndian<quint64>(b.constData() + at);
}

// The "CUESHEET=" text of a Vorbis comment block, if any.
std::optional<QString> commentSheet(const QByteArray &block)
{
    qsizetype at = 0;
    auto next = [&](QByteArrayView *out) {
        if (block.size() - at < 4)
            return false;
        const quint32 n = qFromLittleEndian<quint32>(block.constData() + at);
        at += 4;
        if (n > quint32(block.size() - at))
            return false;
        *out = QByteArrayView(block).sliced(at, n);
        at += n;
        return true;
    };
    QByteArrayView text;
    if (!next(&text) || block.size() - at < 4)
        return std::nullopt;
    quint32 count = qFromLittleEndian<quint32>(block.constData() + at);
    at += 4;
    while (count-- > 0 && next(&text)) {
        if (text.size() > 9 && QByteArrayView(text.first(9)).compare("CUESHEET=", Qt::CaseInsensitive) == 0)
            return decodeUtf8(text.sliced(9), Utf8Malformed::Replace);
    }
    return std::nullopt;
}

// The tracks of a CUESHEET block, positions in samples turned into frames at rate.
CueSheet blockSheet(const QByteArray &b, quint32 rate)
{
    CueSheet sheet;
    constexpr qsizetype kHeader = 128 + 8 + 259 + 1;
    if (b.size() < kHeader || rate == 0)
        return sheet;
    const int tracks = quint8(b[kHeader - 1]);
    qsizetype at = kHeader;
    QString text;
    for (int i = 0; i < tracks && b.size() - at >= kCueTrackHeader; ++i) {
        const quint64 offset = be64(b, at);
        const int number = quint8(b[at + 8]);
        const int points = quint8(b[at + kCueTrackHeader - 1]);
        at += kCueTrackHeader;
        quint64 index1 = offset;
        bool found = false;
        for (int p = 0; p < points && b.size() - at >= kCueIndexPoint; ++p, at += kCueIndexPoint) {
            if (quint8(b[at + 8]) == 1 && !found) {
                index1 = offset + be64(b, at);
                found = true;
            }
        }
        if (!found || number < 1 || number > kCueMaxTrack || index1 > quint64(1) << 50)
            continue; // the lead-out (170 or 255) and tracks without a start
        const qint64 frames = qint64(index1 * kCueFramesPerSecond / rate);
        text += QStringLiteral("TRACK %1 AUDIO\nINDEX 01 %2:%3:%4\n")
                    .arg(number)
                    .arg(frames / (60 * kCueFramesPerSecond))
                    .arg(frames / kCueFramesPerSecond % 60, 2, 10, QLatin1Char('0'))
                    .arg(frames % kCueFramesPerSecond, 2, 10, QLatin1Char('0'));
    }
    // Through the text reader, so that the same rules keep or leave out each track.
    return readCueSheet(QStringLiteral("FILE \"\" WAVE\n") + text);
}

bool readBlock(QIODevice &device, qint64 length, QByteArray &out)
{
    out = device.read(length);
    return out.size() == length;
}

} // namespace

std::optional<CueSheet> readEmbeddedCueSheet(QIODevice &device)
{
    if (device.read(4) != "fLaC")
        return std::nullopt;
    quint32 rate = 0;
    std::optional<CueSheet> fromBlock;
    for (int i = 0; i < kMaxFlacBlocks; ++i) {
        const QByteArray header = device.read(4);
        if (header.size() != 4)
            break;
        const int type = quint8(header[0]) & 0x7F;
        const qint64 length = (quint8(header[1]) << 16) | (quint8(header[2]) << 8) | quint8(header[3]);
        QByteArray body;
        const bool wanted = type == kStreamInfo || type == kVorbisComment || type == kCueSheetBlock;
        if (wanted && length <= kCueMaxSheetBytes) {
            if (!readBlock(device, length, body))
                break;
        } else if (!device.seek(device.pos() + length)) {
            break;
        }
        if (type == kStreamInfo && body.size() >= 13)
            rate = (quint32(quint8(body[10])) << 12) | (quint32(quint8(body[11])) << 4) | (quint8(body[12]) >> 4);
        if (type == kVorbisComment) {
            if (const std::optional<QString> text = commentSheet(body)) {
                CueSheet sheet = readCueSheet(*text);
                if (sheet.tracks.size() >= 2)
                    return sheet;
            }
        }
        if (type == kCueSheetBlock && !fromBlock)
            fromBlock = blockSheet(body, rate);
        if (quint8(header[0]) & 0x80)
            break; // the last metadata block
    }
    if (fromBlock && fromBlock->tracks.size() >= 2)
        return fromBlock;
    return std::nullopt;
}

std::optional<CueSheet> readEmbeddedCueSheet(const QString &audioFile)
{
    if (!audioFile.endsWith(QLatin1String(".flac"), Qt::CaseInsensitive) || !FileSystem::isRegularFile(audioFile))
        return std::nullopt;
    QFile f(audioFile);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readEmbeddedCueSheet(f);
}

std::optional<CueSheet> readContainerSheet(const QString &container)
{
    if (!FileSystem::isRegularFile(container))
        return std::nullopt;
    if (!isCueSheetName(container))
        return readEmbeddedCueSheet(container);
    QFile f(container);
    if (f.size() > kCueMaxSheetBytes || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseCueSheet(f.read(kCueMaxSheetBytes + 1));
}

std::optional<PlaylistEntry> sheetTrackEntry(const QString &trackPath)
{
    const std::optional<SheetTrackRef> ref = sheetTrackOf(trackPath);
    const std::optional<CueSheet> sheet = ref ? readContainerSheet(ref->container) : std::nullopt;
    if (!sheet)
        return std::nullopt;
    const PlaylistEntries entries = isCueSheetName(ref->container) ? cueSheetEntries(*sheet, ref->container)
                                                                   : embeddedSheetEntries(*sheet, ref->container);
    for (const PlaylistEntry &e : entries)
        if (e.path == trackPath)
            return e;
    return std::nullopt;
}

PlaylistEntries sheetTracksOfAudioFile(const QString &audioFile)
{
    const qsizetype dot = audioFile.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = audioFile.lastIndexOf(QLatin1Char('/'));
    const QString stem = dot > slash ? audioFile.first(dot) : audioFile;
    for (const QString &sheetPath : {stem + QLatin1String(".cue"), audioFile + QLatin1String(".cue")}) {
        if (!FileSystem::isRegularFile(sheetPath))
            continue;
        PlaylistEntries tracks = cueSheetEntries(readContainerSheet(sheetPath).value_or(CueSheet{}), sheetPath);
        tracks.removeIf([&](const PlaylistEntry &e) { return e.audioFile != audioFile; });
        if (!tracks.isEmpty())
            return tracks;
    }
    if (const std::optional<CueSheet> sheet = readEmbeddedCueSheet(audioFile))
        return embeddedSheetEntries(*sheet, audioFile);
    return {};
}
