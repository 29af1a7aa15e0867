#include "core/Playlist.h"

#include "core/FileSystem.h"

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

void parsePlaylistText(QStringView text, SongList &out)
{
    out.reserve(out.size() + text.count(QLatin1Char('\r')) + 1);
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        const qsizetype cr = text.indexOf(QLatin1Char('\r'), start);
        if (cr < 0) {
            appendIfSong(text.sliced(start), out);
            break;
        }
        appendIfSong(text.sliced(start, cr - start), out);
        start = cr + 2; // the character after CR is skipped, whatever it is
    }
}

void parseDroppedPlaylist(QByteArrayView bytes, SongList &out)
{
    const QString text = decodeLineReaderText(bytes);
    out.reserve(out.size() + text.count(QLatin1Char('\n')) + 1);
    forEachLine(text, [&](QStringView line) { appendIfSong(line, out); });
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

void LoadPlaylist(SongLists &lists, const QString &fileName)
{
    const QString text = ReadTextFile(fileName);
    parsePlaylistText(text, lists.AllSongs);
    lists.SourceFolders.append(FileSystem::folderOf(fileName));
}

void LoadDroppedPlaylist(SongLists &lists, const QString &fileName)
{
    const QByteArray bytes = readTextFileBytes(fileName);
    parseDroppedPlaylist(bytes, lists.AllSongs);
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
