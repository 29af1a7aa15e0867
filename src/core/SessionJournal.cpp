#include "core/SessionJournal.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <fcntl.h>
#include <unistd.h>

namespace SessionJournal {

namespace {

constexpr char kSnapshotMagic[] = "SJS1";
constexpr char kLogMagic[] = "SJL1";
constexpr char kRecordMagic[] = "SJR1";
constexpr qsizetype kSnapshotHeaderSize = 4 + 4 + 8 + 4;
constexpr qsizetype kRecordHeaderSize = 4 + 4 + 8 + 4;
constexpr qsizetype kCheckSize = 8;
// Far above any playlist the program can hold; a larger file is garbage or hostile.
constexpr qint64 kMaxFileBytes = qint64(8) << 30;
// Songs are encoded and written this many at a time, so that a snapshot of a million songs
// never lies in memory whole.
constexpr qsizetype kSongsPerPiece = 4096;

template <typename T>
void put(QByteArray &out, T value)
{
    char bytes[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = char((std::uint64_t(value) >> (8 * i)) & 0xFF);
    out.append(bytes, qsizetype(sizeof(T)));
}

// Reads little-endian numbers and songs from bytes, never past their end.
class Reader
{
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}

    qsizetype left() const { return m_bytes.size() - m_at; }
    qsizetype at() const { return m_at; }
    bool magic(const char *expected)
    {
        if (left() < 4 || std::memcmp(m_bytes.data() + m_at, expected, 4) != 0)
            return false;
        m_at += 4;
        return true;
    }
    template <typename T>
    bool get(T &value)
    {
        if (left() < qsizetype(sizeof(T)))
            return false;
        std::uint64_t v = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            v |= std::uint64_t(std::uint8_t(m_bytes[m_at + qsizetype(i)])) << (8 * i);
        m_at += qsizetype(sizeof(T));
        value = T(v);
        return true;
    }
    bool song(TSongRecord &out)
    {
        std::array<QStringView, TSongRecord::kFieldCount> fields;
        for (QStringView &field : fields) {
            std::uint32_t units = 0;
            if (!get(units) || qint64(units) * 2 > left())
                return false;
            // The bytes are little-endian UTF-16 in memory order only on such machines; read
            // unit by unit into the record's own block otherwise.
            m_units.resize(qsizetype(units));
            for (std::uint32_t i = 0; i < units; ++i) {
                std::uint16_t u = 0;
                get(u);
                m_units[qsizetype(i)] = QChar(u);
            }
            m_texts.append(QString(m_units));
            field = m_texts.last();
        }
        out = TSongRecord::fromFields(fields);
        m_texts.clear();
        return true;
    }
    bool skip(qsizetype n)
    {
        if (n < 0 || n > left())
            return false;
        m_at += n;
        return true;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    QString m_units;
    QList<QString> m_texts;
};

bool readSongs(Reader &in, std::uint32_t count, SongList &into)
{
    // Each song takes at least 32 bytes: a count larger than the bytes allow is refused before
    // anything is allocated for it.
    if (qint64(count) * 32 > in.left())
        return false;
    into.reserve(into.size() + qsizetype(count));
    for (std::uint32_t i = 0; i < count; ++i) {
        TSongRecord song;
        if (!in.song(song))
            return false;
        into.append(std::move(song));
    }
    return true;
}

bool applyRemove(Reader &in, SongList &songs)
{
    std::uint32_t count = 0;
    if (!in.get(count) || qint64(count) * 4 != in.left())
        return false;
    std::vector<std::uint32_t> rows(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        in.get(rows[i]);
        if (rows[i] >= std::uint32_t(songs.size()) || (i > 0 && rows[i] <= rows[i - 1]))
            return false;
    }
    // One pass over the playlist, whatever the number of rows.
    qsizetype to = 0;
    size_t next = 0;
    for (qsizetype from = 0; from < songs.size(); ++from) {
        if (next < rows.size() && qsizetype(rows[next]) == from) {
            ++next;
            continue;
        }
        if (to != from)
            songs[to] = std::move(songs[from]);
        ++to;
    }
    songs.resize(to);
    return true;
}

bool applyReorder(Reader &in, SongList &songs)
{
    std::uint32_t count = 0;
    if (!in.get(count) || qsizetype(count) != songs.size() || qint64(count) * 4 != in.left())
        return false;
    std::vector<std::uint32_t> order(count);
    std::vector<bool> seen(count, false);
    for (std::uint32_t &from : order) {
        in.get(from);
        if (from >= count || seen[from])
            return false; // not a permutation
        seen[from] = true;
    }
    SongList reordered;
    reordered.reserve(songs.size());
    for (std::uint32_t from : order)
        reordered.append(std::move(songs[qsizetype(from)]));
    songs = std::move(reordered);
    return true;
}

// One log record over songs; false when it does not check out or does not fit the playlist,
// and then songs are as they were.
bool applyRecord(QByteArrayView log, Reader &in, SongList &songs, qint64 &timeMs)
{
    const qsizetype start = in.at();
    std::uint32_t kind = 0, length = 0;
    qint64 time = 0;
    if (!in.magic(kRecordMagic) || !in.get(kind) || !in.get(time) || !in.get(length))
        return false;
    if (qint64(length) + kCheckSize > in.left())
        return false;
    const qsizetype payloadAt = in.at();
    Reader stored(log.sliced(payloadAt + qsizetype(length), kCheckSize));
    std::uint64_t expected = 0;
    stored.get(expected);
    if (check(log.sliced(start + 4, kRecordHeaderSize - 4 + qsizetype(length))) != expected)
        return false; // torn or damaged
    Reader body(log.sliced(payloadAt, qsizetype(length)));
    const qsizetype before = songs.size();
    bool ok = false;
    switch (Kind(kind)) {
    case Kind::Append: {
        std::uint32_t count = 0;
        ok = body.get(count) && readSongs(body, count, songs);
        break;
    }
    case Kind::Remove: ok = applyRemove(body, songs); break;
    case Kind::Reorder: ok = applyReorder(body, songs); break;
    case Kind::Clear:
        ok = length == 0;
        if (ok)
            songs.clear();
        break;
    }
    if (ok && body.left() != 0)
        ok = false; // a payload longer than its content says
    if (!ok) {
        // Only an append can have changed the list before failing: its songs come off again.
        if (Kind(kind) == Kind::Append)
            songs.resize(before);
        return false;
    }
    timeMs = time;
    in.skip(qsizetype(length) + kCheckSize);
    return true;
}

QByteArray record(Kind kind, qint64 timeMs, const QByteArray &payload)
{
    QByteArray out;
    out.reserve(kRecordHeaderSize + payload.size() + kCheckSize);
    out.append(kRecordMagic, 4);
    put<std::uint32_t>(out, std::uint32_t(kind));
    put<std::int64_t>(out, timeMs);
    put<std::uint32_t>(out, std::uint32_t(payload.size()));
    out.append(payload);
    put<std::uint64_t>(out, check(QByteArrayView(out).sliced(4)));
    return out;
}

bool readWhole(const QString &path, QByteArray &out)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxFileBytes)
        return false;
    out = f.readAll();
    return true;
}

// Writes to a file descriptor in full; false on any failure (a full disk among them).
bool writeAll(int fd, QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// Writes pieces to a temporary file beside path, flushes it to the disk and renames it over
// path. On failure the temporary file is removed and path is as it was.
bool replaceFile(const QString &path, const std::function<bool(int fd)> &writePieces, QString *error)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".tmp";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool ok = fd >= 0 && writePieces(fd) && ::fdatasync(fd) == 0;
    const int savedErrno = errno;
    if (fd >= 0 && ::close(fd) != 0)
        ok = false;
    if (ok && ::rename(temporary.constData(), target.constData()) != 0)
        ok = false;
    if (!ok) {
        ::unlink(temporary.constData());
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(savedErrno ? savedErrno : errno));
    }
    return ok;
}

} // namespace

std::uint64_t check(QByteArrayView bytes, std::uint64_t seed)
{
    std::uint64_t h = seed;
    for (char c : bytes) {
        h ^= std::uint8_t(c);
        h *= 1099511628211ull;
    }
    return h;
}

void encodeSong(QByteArray &out, const TSongRecord &song)
{
    for (int i = 0; i < TSongRecord::kFieldCount; ++i) {
        const QString &field = song.field(i);
        put<std::uint32_t>(out, std::uint32_t(field.size()));
        for (QChar c : field)
            put<std::uint16_t>(out, c.unicode());
    }
}

QByteArray encodeAppend(const SongList &songs, qsizetype from, qint64 timeMs)
{
    QByteArray payload;
    put<std::uint32_t>(payload, std::uint32_t(songs.size() - from));
    for (qsizetype i = from; i < songs.size(); ++i)
        encodeSong(payload, songs[i]);
    return record(Kind::Append, timeMs, payload);
}

QByteArray encodeRemove(const QList<int> &ascendingRows, qint64 timeMs)
{
    QByteArray payload;
    payload.reserve(4 + ascendingRows.size() * 4);
    put<std::uint32_t>(payload, std::uint32_t(ascendingRows.size()));
    for (int row : ascendingRows)
        put<std::uint32_t>(payload, std::uint32_t(row));
    return record(Kind::Remove, timeMs, payload);
}

QByteArray encodeReorder(const std::vector<qsizetype> &order, qint64 timeMs)
{
    QByteArray payload;
    payload.reserve(4 + qsizetype(order.size()) * 4);
    put<std::uint32_t>(payload, std::uint32_t(order.size()));
    for (qsizetype from : order)
        put<std::uint32_t>(payload, std::uint32_t(from));
    return record(Kind::Reorder, timeMs, payload);
}

QByteArray encodeClear(qint64 timeMs)
{
    return record(Kind::Clear, timeMs, QByteArray());
}

QByteArray logHeader(std::uint32_t generation)
{
    QByteArray out(kLogMagic, 4);
    put<std::uint32_t>(out, generation);
    return out;
}

QByteArray snapshotHeader(std::uint32_t generation, qint64 timeMs, qsizetype count)
{
    QByteArray out(kSnapshotMagic, 4);
    put<std::uint32_t>(out, generation);
    put<std::int64_t>(out, timeMs);
    put<std::uint32_t>(out, std::uint32_t(count));
    return out;
}

Recovered replay(QByteArrayView snapshot, QByteArrayView log)
{
    Recovered r;
    if (snapshot.size() < kSnapshotHeaderSize + kCheckSize)
        return r;
    const QByteArrayView body = snapshot.first(snapshot.size() - kCheckSize);
    Reader tail(snapshot.sliced(body.size()));
    std::uint64_t stored = 0;
    tail.get(stored);
    if (check(body) != stored)
        return r;
    Reader in(body);
    std::uint32_t generation = 0, count = 0;
    qint64 time = 0;
    if (!in.magic(kSnapshotMagic) || !in.get(generation) || !in.get(time) || !in.get(count)
        || !readSongs(in, count, r.songs) || in.left() != 0)
        return Recovered{};
    r.valid = true;
    r.timeMs = time;

    Reader logIn(log);
    std::uint32_t logGeneration = 0;
    if (!logIn.magic(kLogMagic) || !logIn.get(logGeneration) || logGeneration != generation)
        return r; // no log of this snapshot's own: the snapshot alone
    while (logIn.left() > 0) {
        if (!applyRecord(log, logIn, r.songs, r.timeMs)) {
            r.logCut = true;
            break;
        }
        ++r.changes;
    }
    return r;
}

QString lockPath(const QString &folder)
{
    return folder + QStringLiteral("/lock");
}

QList<Orphan> orphans(const QString &journals)
{
    QList<Orphan> found;
    const QStringList folders = QDir(journals).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : folders) {
        const QString folder = journals + QLatin1Char('/') + name;
        QLockFile lock(lockPath(folder));
        if (!lock.tryLock(0))
            continue; // its window still runs, or this process holds it already
        lock.unlock();
        found.append({folder, Files(folder).read()});
    }
    std::sort(found.begin(), found.end(),
              [](const Orphan &a, const Orphan &b) { return a.recovered.timeMs > b.recovered.timeMs; });
    return found;
}

Files::Files(QString folder)
    : m_folder(std::move(folder))
{
}

QString Files::snapshotPath() const
{
    return m_folder + QStringLiteral("/snapshot");
}

QString Files::logPath() const
{
    return m_folder + QStringLiteral("/log");
}

bool Files::writeSnapshot(const SongList &songs, std::uint32_t generation, qint64 timeMs, QString *error)
{
    const bool snapshotWritten = replaceFile(snapshotPath(), [&](int fd) {
        QByteArray piece = snapshotHeader(generation, timeMs, songs.size());
        std::uint64_t h = check(QByteArrayView());
        for (qsizetype i = 0; i < songs.size(); ++i) {
            encodeSong(piece, songs[i]);
            if ((i + 1) % kSongsPerPiece == 0) {
                h = check(piece, h);
                if (!writeAll(fd, piece))
                    return false;
                piece.clear();
            }
        }
        h = check(piece, h);
        put<std::uint64_t>(piece, h);
        return writeAll(fd, piece);
    }, error);
    // The new log is started only once its snapshot is in place: until then the old log (of the
    // old generation) stays and is ignored beside the new snapshot.
    return snapshotWritten
           && replaceFile(logPath(), [&](int fd) { return writeAll(fd, logHeader(generation)); }, error);
}

bool Files::appendLog(QByteArrayView records, QString *error)
{
    const QByteArray path = QFile::encodeName(logPath());
    const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    bool ok = fd >= 0 && writeAll(fd, records) && ::fdatasync(fd) == 0;
    const int savedErrno = errno;
    if (fd >= 0)
        ::close(fd);
    if (!ok && error)
        *error = QString::fromLocal8Bit(std::strerror(savedErrno));
    return ok;
}

qint64 Files::logSize() const
{
    return QFile(logPath()).size();
}

Recovered Files::read() const
{
    QByteArray snapshot, log;
    if (!readWhole(snapshotPath(), snapshot))
        return {};
    readWhole(logPath(), log);
    return replay(snapshot, log);
}

} // namespace SessionJournal
