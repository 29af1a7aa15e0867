#include "tags/AudioInfo.h"

#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"
#include "tags/DeviceRead.h"

#include "core/FileSystem.h"
#include "core/SongNameSplit.h"
#include "core/TextUtil.h"

#include <QFile>

#include <cmath>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A regular file opened read-only, with the size its fstat gave; closed on destruction.
// Opened without blocking, so that a FIFO or device named like a song is refused without
// ever stalling the caller; the fstat after the open is the only stat a readable file costs.
class OpenedFile
{
public:
    enum State { Opened, NotRegular, Unreadable };

    explicit OpenedFile(const QString &path)
    {
        const QByteArray native = QFile::encodeName(path);
        m_fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (m_fd < 0) {
            // Told apart only now, so that the common case stats nothing before the open.
            m_state = FileSystem::isRegularFile(path) ? Unreadable : NotRegular;
            return;
        }
        struct stat st;
        if (::fstat(m_fd, &st) != 0) {
            m_state = Unreadable;
            return;
        }
        m_state = S_ISREG(st.st_mode) ? Opened : NotRegular;
        m_size = st.st_size;
    }
    ~OpenedFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OpenedFile(const OpenedFile &) = delete;
    OpenedFile &operator=(const OpenedFile &) = delete;

    State state() const { return m_state; }
    WindowedReader reader() const { return WindowedReader(m_fd, m_size); }

private:
    int m_fd = -1;
    qint64 m_size = 0;
    State m_state = Unreadable;
};

QString lastComponent(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Runs one reader over the opened file; false when its code is not Ok, and then into is left
// as it was.
template <typename Values>
bool readWholeFile(const OpenedFile &file, Values &into)
{
    WindowedReader reader = file.reader();
    ReadResult<Values> r = Values::Read(reader);
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
            readStreamFile(path, Reader::Wma, Wma);
        else if (ext == QLatin1String(".ogg"))
            readStreamFile(path, Reader::Ogg, Ogg);
        else if (ext == QLatin1String(".flac"))
            readStreamFile(path, Reader::Flac, Flac);
        else if (ext == QLatin1String(".opus"))
            readStreamFile(path, Reader::Opus, Opus);
        else if (ext == QLatin1String(".m4a") || ext == QLatin1String(".m4b") || ext == QLatin1String(".mp4")
                 || ext == QLatin1String(".aac"))
            readStreamFile(path, Reader::Mp4, Mp4); // raw ADTS ".aac" is no MP4 file: its name then
        else if (ext == QLatin1String(".wav"))
            readStreamFile(path, Reader::Wav, Wav);
        else
            InfoFromFileName(path);
    } catch (...) {
        clear();
        InfoFromFileName(path);
    }
}

void TAudioInfo::ReadMpegFile(const QString &path)
{
    const OpenedFile file(path);
    if (file.state() == OpenedFile::NotRegular)
        return;
    if (file.state() != OpenedFile::Opened)
        return InfoFromFileName(path);
    // One reader for the three, so that the tail, the head and the first frames are read once.
    // The tags' values count whatever their codes: a tag not found or cut short leaves its
    // values empty, or holds the frames before the cut.
    WindowedReader reader = file.reader();
    const ReadResult<TID3v1Tag> v1r = TID3v1Tag::Read(reader);
    const ReadResult<TID3v2Tag> v2r = TID3v2Tag::Read(reader);
    const TID3v1Tag &v1 = v1r.values;
    const TID3v2Tag &v2 = v2r.values;
    ReadResult<TMpegInfo> mpeg = TMpegInfo::Read(reader, v2.Exists ? qint64(v2.TagSize) : 0);
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

template <typename Tag>
void TAudioInfo::readStreamFile(const QString &path, Reader used, Tag &into)
{
    const OpenedFile file(path);
    if (file.state() == OpenedFile::NotRegular)
        return;
    if (file.state() != OpenedFile::Opened || !readWholeFile(file, into))
        return InfoFromFileName(path);
    takeStreamValues(used, path, into.streamValues());
}

void TAudioInfo::takeStreamValues(Reader used, const QString &path, const StreamValues &v)
{
    const QString &title = v.Title;
    const QString &artist = v.Artist;
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
    Album = v.Album;
    Year = v.Year;
    Genre = v.Genre;
    Track = v.Track == 0 ? QString() : QString::number(v.Track);
    Seconds = roundSeconds(v.Seconds);
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
    SongNameSplit::ArtistTitle split = SongNameSplit::splitFileName(name);
    artist = std::move(split.artist);
    title = std::move(split.title);
}
