#include "core/Playlist.h"

#include "core/FileSystem.h"
#include "core/KeepAlive.h"

#include <chrono>
#include <future>

namespace {

// A line with exactly seven "|" becomes a record. One pass finds the separators.
void appendIfSong(QStringView line, SongList &out)
{
    constexpr int kBars = TSongRecord::kFieldCount - 1;
    qsizetype bars[kBars];
    int found = 0;
    const QChar *d = line.data();
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (d[i] != QLatin1Char('|'))
            continue;
        if (found == kBars)
            return; // more than eight fields
        bars[found++] = i;
    }
    if (found != kBars)
        return;
    TSongRecord &r = out.emplace_back();
    qsizetype start = 0;
    for (int i = 0; i < kBars; ++i) {
        r.field(i) = QString(d + start, bars[i] - start);
        start = bars[i] + 1;
    }
    r.field(kBars) = QString(d + start, line.size() - start);
}

} // namespace

void parsePlaylistText(QStringView text, SongList &out, const std::function<void()> &keepAlive)
{
    KeepAlive alive(keepAlive);
    // Counted in pieces: a million songs' text takes a while even to count.
    qsizetype lines = 1;
    for (qsizetype at = 0; at < text.size(); at += 1 << 20) {
        lines += text.sliced(at, std::min<qsizetype>(1 << 20, text.size() - at)).count(QLatin1Char('\r'));
        alive.now();
    }
    out.reserve(out.size() + lines);
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        const qsizetype cr = text.indexOf(QLatin1Char('\r'), start);
        if (cr < 0) {
            appendIfSong(text.sliced(start), out);
            break;
        }
        appendIfSong(text.sliced(start, cr - start), out);
        alive.tick();
        start = cr + 2; // the character after CR is skipped, whatever it is
    }
}

void parseDroppedPlaylist(QByteArrayView bytes, SongList &out, const std::function<void()> &keepAlive)
{
    KeepAlive alive(keepAlive);
    const QString text = decodeLineReaderText(bytes);
    out.reserve(out.size() + text.count(QLatin1Char('\n')) + 1);
    forEachLine(text, [&](QStringView line) {
        appendIfSong(line, out);
        alive.tick();
    });
}

QString playlistText(const SongList &list)
{
    QString text;
    qsizetype size = 0;
    for (const TSongRecord &r : list)
        for (int i = 0; i < TSongRecord::kFieldCount; ++i)
            size += r.field(i).size() + 1;
    text.reserve(size + list.size() * 2);
    for (const TSongRecord &r : list) {
        for (int i = 0; i < TSongRecord::kFieldCount; ++i) {
            if (i > 0)
                text += QLatin1Char('|');
            const qsizetype at = text.size();
            text += r.field(i);
            // A field never holds the separator: "|" is written as "l".
            for (qsizetype k = at; k < text.size(); ++k)
                if (text[k] == QLatin1Char('|'))
                    text[k] = QLatin1Char('l');
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

void LoadPlaylist(SongLists &lists, const QString &fileName, const std::function<void()> &keepAlive)
{
    QString text;
    if (keepAlive) {
        // Reading and decoding a large file is one step of a second: it runs beside the
        // caller, which keeps its window painting meanwhile. Nothing else touches the text.
        std::future<QString> reading = std::async(std::launch::async, [&fileName] { return ReadTextFile(fileName); });
        while (reading.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
            keepAlive();
        text = reading.get(); // throws what reading threw
    } else {
        text = ReadTextFile(fileName);
    }
    parsePlaylistText(text, lists.AllSongs, keepAlive);
    lists.SourceFolders.append(FileSystem::folderOf(fileName));
}

void LoadDroppedPlaylist(SongLists &lists, const QString &fileName, const std::function<void()> &keepAlive)
{
    const QByteArray bytes = readTextFileBytes(fileName);
    parseDroppedPlaylist(bytes, lists.AllSongs, keepAlive);
    lists.SourceFolders.append(FileSystem::folderOf(fileName));
}

QString playlistFileName(const QString &name)
{
    return name.contains(QLatin1String(".slp")) ? name : name + QLatin1String(".slp");
}

QString SavePlaylist(const SongList &list, const QString &name, TTextEncoding encoding,
                     const PictureStyle &style)
{
    const QString target = playlistFileName(name);
    WriteTextFile(playlistText(list), target, encoding, style);
    return target;
}
