#include "core/playlists/CueSheet.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/TextEncoding.h"

#include <QFileInfo>

#include <set>

namespace {

// Longest text kept from one field: a title is a line, never a book.
constexpr qsizetype kMaxFieldLength = 1024;

struct CueLine
{
    QStringView keyword;
    QStringView rest; // after the keyword, trimmed
};

CueLine splitKeyword(QStringView line)
{
    line = line.trimmed();
    qsizetype i = 0;
    while (i < line.size() && !line[i].isSpace())
        ++i;
    return {line.first(i), line.sliced(i).trimmed()};
}

// A quoted value ("..." without escapes; an unclosed quote runs to the end) or the rest.
QString unquote(QStringView rest)
{
    if (rest.startsWith(QLatin1Char('"'))) {
        rest = rest.sliced(1);
        const qsizetype close = rest.indexOf(QLatin1Char('"'));
        if (close >= 0)
            rest = rest.first(close);
    }
    return rest.first(std::min(rest.size(), kMaxFieldLength)).toString();
}

// FILE "name" TYPE, or FILE name with spaces TYPE: the type is the last word.
QString fileName(QStringView rest)
{
    if (rest.startsWith(QLatin1Char('"')))
        return unquote(rest);
    const qsizetype space = rest.lastIndexOf(QLatin1Char(' '));
    return unquote(space > 0 ? rest.first(space).trimmed() : rest);
}

bool isKeyword(QStringView keyword, const char *name)
{
    return keyword.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// A number of at most maxDigits digits; -1 otherwise.
qint64 digitsValue(QStringView s, int maxDigits)
{
    if (s.isEmpty() || s.size() > maxDigits)
        return -1;
    qint64 v = 0;
    for (const QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        v = v * 10 + (c.unicode() - '0');
    }
    return v;
}

struct SheetBuilder
{
    CueSheet sheet;
    std::optional<CueTrack> open; // the track being read
    std::set<int> numbers;

    void closeTrack()
    {
        if (!open)
            return;
        CueTrack t = *std::exchange(open, std::nullopt);
        if (t.number < 1 || t.index1 < 0 || t.file < 0 || numbers.count(t.number))
            return;
        // Within one file the tracks follow each other; one that starts before the one
        // before it would give both a wrong part.
        if (!sheet.tracks.isEmpty() && sheet.tracks.last().file == t.file && sheet.tracks.last().index1 >= t.index1)
            return;
        numbers.insert(t.number);
        sheet.tracks.append(std::move(t));
    }

    void track(QStringView rest)
    {
        closeTrack();
        // A track that cannot be used still takes its own TITLE and PERFORMER lines, so that
        // they never become the album's.
        open = CueTrack{};
        const qint64 n = digitsValue(splitKeyword(rest).keyword, 3);
        if (n < 1 || n > kCueMaxTrack || sheet.files.isEmpty())
            return;
        open->number = int(n);
        open->file = int(sheet.files.size() - 1);
    }

    void index(QStringView rest)
    {
        if (!open)
            return;
        const CueLine parts = splitKeyword(rest);
        const qint64 which = digitsValue(parts.keyword, 2);
        const qint64 frames = parseCueTime(parts.rest);
        if (frames < 0)
            return;
        if (which == 0)
            open->index0 = frames;
        else if (which == 1)
            open->index1 = frames;
    }

    void rem(QStringView rest)
    {
        const CueLine parts = splitKeyword(rest);
        if (isKeyword(parts.keyword, "DATE"))
            sheet.date = unquote(parts.rest);
        else if (isKeyword(parts.keyword, "GENRE"))
            sheet.genre = unquote(parts.rest);
    }

    void line(QStringView text)
    {
        const CueLine l = splitKeyword(text);
        if (isKeyword(l.keyword, "FILE")) {
            closeTrack();
            if (sheet.files.size() < kCueMaxTrack)
                sheet.files.append(fileName(l.rest));
        } else if (isKeyword(l.keyword, "TRACK")) {
            track(l.rest);
        } else if (isKeyword(l.keyword, "INDEX")) {
            index(l.rest);
        } else if (isKeyword(l.keyword, "PERFORMER")) {
            (open ? open->performer : sheet.performer) = unquote(l.rest);
        } else if (isKeyword(l.keyword, "TITLE")) {
            (open ? open->title : sheet.title) = unquote(l.rest);
        } else if (isKeyword(l.keyword, "REM") && !open) {
            rem(l.rest);
        }
    }

    void finish()
    {
        closeTrack();
        for (qsizetype i = 0; i + 1 < sheet.tracks.size(); ++i)
            if (sheet.tracks[i].file == sheet.tracks[i + 1].file)
                sheet.tracks[i].end = sheet.tracks[i + 1].index1;
    }
};

// The folder of a sheet with a trailing "/".
QString folderWithSlash(const QString &sheetPath)
{
    return QFileInfo(sheetPath).absolutePath() + QLatin1Char('/');
}

PlaylistEntry trackEntry(const CueSheet &sheet, const CueTrack &t, const QString &container, const QString &audio)
{
    PlaylistEntry e;
    e.location = e.path = sheetTrackPath(container, t.number);
    e.local = true;
    e.artist = t.performer.isEmpty() ? sheet.performer : t.performer;
    e.title = t.title;
    e.album = sheet.title;
    e.track = QString::number(t.number);
    e.year = sheet.date;
    e.genre = sheet.genre;
    if (t.end >= 0)
        e.seconds = (t.end - t.index1 + kCueFramesPerSecond / 2) / kCueFramesPerSecond;
    e.audioFile = audio;
    e.startFrames = t.index1;
    return e;
}

} // namespace

qint64 parseCueTime(QStringView text)
{
    const QList<QStringView> parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3)
        return -1;
    const qint64 m = digitsValue(parts[0], 4), s = digitsValue(parts[1], 2), f = digitsValue(parts[2], 2);
    if (m < 0 || s < 0 || s > 59 || f < 0 || f >= kCueFramesPerSecond)
        return -1;
    return (m * 60 + s) * kCueFramesPerSecond + f;
}

qint64 cueFramesToNs(qint64 frames)
{
    return (frames * 1'000'000'000 + kCueFramesPerSecond - 1) / kCueFramesPerSecond;
}

CueSheet readCueSheet(QStringView text)
{
    SheetBuilder b;
    forEachLine(text, [&b](QStringView line) { b.line(line); });
    b.finish();
    return std::move(b.sheet);
}

CueSheet parseCueSheet(QByteArrayView bytes)
{
    if (bytes.size() > kCueMaxSheetBytes)
        return {};
    try {
        return readCueSheet(decodeText(bytes));
    } catch (const SonaloError &) {
        return {}; // a broken UTF-7 body
    }
}

QString sheetTrackPath(const QString &container, int track)
{
    return container + QLatin1Char('#') + QString::number(track);
}

std::optional<SheetTrackRef> sheetTrackOf(const QString &path)
{
    const qsizetype hash = path.lastIndexOf(QLatin1Char('#'));
    if (hash <= 0)
        return std::nullopt;
    const QStringView digits = QStringView(path).sliced(hash + 1);
    const qint64 n = digitsValue(digits, 2);
    if (n < 1 || n > kCueMaxTrack || digits.startsWith(QLatin1Char('0')))
        return std::nullopt;
    const QStringView container = QStringView(path).first(hash);
    const qsizetype dot = container.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot + 1 == container.size() || container.sliced(dot).contains(QLatin1Char('/'))
        || container.sliced(dot).contains(QLatin1Char('\\')))
        return std::nullopt;
    return SheetTrackRef{container.toString(), int(n)};
}

bool isCueSheetName(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive);
}

PlaylistEntries cueSheetEntries(const CueSheet &sheet, const QString &sheetPath)
{
    const QString folder = folderWithSlash(sheetPath);
    QStringList audio;
    for (const QString &name : sheet.files) {
        PlaylistEntry file;
        file.location = name;
        resolvePlaylistEntry(file, folder);
        audio.append(file.exists ? file.path : QString());
    }
    PlaylistEntries out;
    out.reserve(sheet.tracks.size());
    for (const CueTrack &t : sheet.tracks)
        out.append(trackEntry(sheet, t, sheetPath, audio.value(t.file)));
    return out;
}

PlaylistEntries embeddedSheetEntries(const CueSheet &sheet, const QString &audioFile)
{
    PlaylistEntries out;
    out.reserve(sheet.tracks.size());
    for (const CueTrack &t : sheet.tracks)
        out.append(trackEntry(sheet, t, audioFile, audioFile));
    return out;
}

std::optional<SheetTrackSource> sheetTrackSource(const CueSheet &sheet, int track, const QString &sheetPath)
{
    for (const CueTrack &t : sheet.tracks) {
        if (t.number != track)
            continue;
        PlaylistEntry file;
        file.location = sheet.files.value(t.file);
        resolvePlaylistEntry(file, folderWithSlash(sheetPath));
        SheetTrackSource s;
        s.audioFile = file.path;
        s.startNs = cueFramesToNs(t.index1);
        s.stopNs = t.end >= 0 ? cueFramesToNs(t.end) : -1;
        return s;
    }
    return std::nullopt;
}
