#include "tags/AudioInfo.h"

#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include "core/FileSystem.h"
#include "core/TextUtil.h"

#include <QFile>

#include <cmath>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens a regular file read-only. A FIFO or device is refused without being opened for
// reading in blocking mode, so it can never stall the caller.
bool openRegularFile(QFile &file, const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

QString lastComponent(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Opens the file and runs one reader over all of it; false when the file cannot be opened or
// the reader's code is not Ok, and then into is left as it was.
template <typename Values>
bool readWholeFile(const QString &path, Values &into)
{
    QFile file;
    if (!openRegularFile(file, path))
        return false;
    ReadResult<Values> r = Values::Read(file);
    if (!r.ok())
        return false;
    into = std::move(r.values);
    return true;
}

std::int32_t roundSeconds(double seconds)
{
    if (!(seconds >= 0))
        return 0;
    if (seconds >= double(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    // Halves to even, as the default rounding mode does.
    return std::int32_t(std::nearbyint(seconds));
}

} // namespace

const QList<QLatin1StringView> &songNameExtensions()
{
    static const QList<QLatin1StringView> list = {
        QLatin1StringView(".mp3"), QLatin1StringView(".wma"), QLatin1StringView(".ogg"), QLatin1StringView(".wav"),
        QLatin1StringView(".flac"), QLatin1StringView(".opus"), QLatin1StringView(".m4a"), QLatin1StringView(".m4b"),
        QLatin1StringView(".mp4"), QLatin1StringView(".aac"),
    };
    return list;
}

QString audioFileExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0)
        return QString();
    return path.mid(dot).toLower();
}

void TAudioInfo::clear()
{
    *this = TAudioInfo();
}

void TAudioInfo::ReadFromFile(const QString &path)
{
    clear();
    try {
        const QString ext = audioFileExtension(path);
        if (ext == QLatin1String(".mp3") || ext == QLatin1String(".mp2") || ext == QLatin1String(".mp1"))
            ReadMpegFile(path);
        else if (ext == QLatin1String(".wma"))
            ReadWmaFile(path);
        else if (ext == QLatin1String(".ogg"))
            ReadOggFile(path);
        else if (ext == QLatin1String(".flac"))
            ReadFlacFile(path);
        else if (ext == QLatin1String(".opus"))
            ReadOpusFile(path);
        else if (ext == QLatin1String(".m4a") || ext == QLatin1String(".m4b") || ext == QLatin1String(".mp4")
                 || ext == QLatin1String(".aac"))
            ReadMp4File(path); // an ".aac" of raw ADTS frames is no MP4 file and falls back to its name
        else if (ext == QLatin1String(".wav"))
            ReadWavFile(path);
        else
            InfoFromFileName(path);
    } catch (...) {
        clear();
        InfoFromFileName(path);
    }
}

void TAudioInfo::ReadMpegFile(const QString &path)
{
    if (!FileSystem::isRegularFile(path))
        return;
    QFile file;
    if (!openRegularFile(file, path))
        return InfoFromFileName(path);
    // The tags' values count whatever their codes: a tag not found or cut short leaves its
    // values empty, or holds the frames before the cut.
    const ReadResult<TID3v1Tag> v1r = TID3v1Tag::Read(file);
    const ReadResult<TID3v2Tag> v2r = TID3v2Tag::Read(file);
    const TID3v1Tag &v1 = v1r.values;
    const TID3v2Tag &v2 = v2r.values;
    file.seek(v2.Exists ? qint64(v2.TagSize) : 0);
    ReadResult<TMpegInfo> mpeg = TMpegInfo::Read(file);
    file.close();
    if (!mpeg.ok())
        return InfoFromFileName(path);

    UsedReader = Reader::Mpeg;
    Mpeg = mpeg.values;
    ID3v1Exists = v1.Exists;
    ID3v2Exists = v2.Exists;
    ID3v2Version = v2.Exists ? v2.Version : 0;
    ID3v2TagSize = v2.Exists ? v2.TagSize : 0;
    auto either = [](const QString &first, const QString &then) { return first.isEmpty() ? then : first; };
    Artist = either(v2.GetArtist(), v1.GetArtist());
    Title = either(v2.GetTitle(), v1.GetTitle());
    OwnArtistOrTitle = !Artist.isEmpty() || !Title.isEmpty();
    if (Title.isEmpty())
        Title = lastComponent(path);
    Album = either(v2.GetAlbum(), v1.GetAlbum());
    Year = either(v2.GetYear(), v1.GetYear());
    Genre = either(v2.GetGenre(), v1.GetGenre());
    Track = either(v2.GetTrack(), v1.GetTrack());
    if (Track == QLatin1String("0"))
        Track.clear();
    Seconds = Mpeg.Duration;
}

void TAudioInfo::ReadOggFile(const QString &path)
{
    if (!FileSystem::isRegularFile(path))
        return;
    if (!readWholeFile(path, Ogg))
        return InfoFromFileName(path);
    takeStreamValues(Reader::Ogg, path, Ogg.Title, Ogg.Artist, Ogg.Album, Ogg.Date, Ogg.Genre, Ogg.Track,
                     Ogg.GetDuration());
}

void TAudioInfo::ReadWmaFile(const QString &path)
{
    if (!FileSystem::isRegularFile(path))
        return;
    if (!readWholeFile(path, Wma))
        return InfoFromFileName(path);
    takeStreamValues(Reader::Wma, path, Wma.Title, Wma.Artist, Wma.Album, Wma.Year, Wma.Genre, Wma.Track,
                     Wma.Duration);
}

void TAudioInfo::ReadFlacFile(const QString &path)
{
    if (!FileSystem::isRegularFile(path))
        return;
    if (!readWholeFile(path, Flac))
        return InfoFromFileName(path);
    takeStreamValues(Reader::Flac, path, Flac.Title, Flac.Artist, Flac.Album, Flac.Date, Flac.Genre, Flac.Track,
                     Flac.GetDuration());
}

void TAudioInfo::ReadOpusFile(const QString &path)
{
    if (!FileSystem::isRegularFile(path))
        return;
    if (!readWholeFile(path, Opus))
        return InfoFromFileName(path);
    takeStreamValues(Reader::Opus, path, Opus.Title, Opus.Artist, Opus.Album, Opus.Date, Opus.Genre, Opus.Track,
                     Opus.GetDuration());
}

void TAudioInfo::ReadMp4File(const QString &path)
{
    if (!FileSystem::isRegularFile(path))
        return;
    if (!readWholeFile(path, Mp4))
        return InfoFromFileName(path);
    takeStreamValues(Reader::Mp4, path, Mp4.Title, Mp4.Artist, Mp4.Album, Mp4.Year, Mp4.Genre, Mp4.Track,
                     Mp4.GetDuration());
}

void TAudioInfo::ReadWavFile(const QString &path)
{
    if (!FileSystem::isRegularFile(path))
        return;
    if (!readWholeFile(path, Wav))
        return InfoFromFileName(path);
    takeStreamValues(Reader::Wav, path, Wav.Title, Wav.Artist, Wav.Album, Wav.Year, Wav.Genre, Wav.Track,
                     Wav.GetDuration());
}

void TAudioInfo::takeStreamValues(Reader used, const QString &path, const QString &title, const QString &artist,
                                  const QString &album, const QString &year, const QString &genre, qint64 track,
                                  double seconds)
{
    UsedReader = used;
    OwnArtistOrTitle = !title.isEmpty() || !artist.isEmpty();
    Title = title.isEmpty() ? lastComponent(path) : title;
    Artist = artist;
    // The newer formats (and WAV, which was always shown by its name) split an untagged file's
    // name as the name fallback does, its own extension removed in any letter case, so that
    // "Artist - Song.WAV" keeps reading Artist and Song.
    const bool newer = used != Reader::Ogg && used != Reader::Wma;
    if (newer && title.isEmpty() && artist.isEmpty()) {
        const QString name = Title;
        splitFileName(name, Artist, Title);
    }
    Album = album;
    Year = year;
    Genre = genre;
    Track = track == 0 ? QString() : QString::number(track);
    Seconds = roundSeconds(seconds);
}

void TAudioInfo::InfoFromFileName(const QString &path)
{
    UsedReader = Reader::FileName;
    const QString name = FileSystem::isRegularFile(path) ? lastComponent(path) : QString();
    Album.clear();
    Year.clear();
    Genre.clear();
    Track.clear();
    Seconds = 0;
    splitFileName(name, Artist, Title);
}

void TAudioInfo::splitFileName(const QString &name, QString &artist, QString &title)
{
    const QString separator = QStringLiteral(" - ");
    const qsizetype at = name.indexOf(separator);
    if (at < 0) {
        title = name;
        artist.clear();
        return;
    }
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stripped = dot < 0 ? name : ReplaceAll(name, name.mid(dot), QString());
    const qsizetype split = stripped.indexOf(separator);
    if (split < 0) {
        // Removing the extension took the separator with it (" - .mp3"): keep the name whole.
        title = stripped;
        artist.clear();
        return;
    }
    artist = stripped.left(split);
    title = stripped.mid(split + separator.size());
}
