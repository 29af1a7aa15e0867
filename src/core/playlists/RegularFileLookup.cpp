#include "core/playlists/RegularFileLookup.h"

#include "core/FileSystem.h"

#include <QFile>
#include <QStringEncoder>
#include <QVarLengthArray>

#include <algorithm>
#include <cerrno>
#include <limits>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// At least this many names may be listed, however few lookups are expected.
constexpr qsizetype kMinimumBudget = 65536;

quint64 nameHash(QByteArrayView name)
{
    return quint64(qHash(name, size_t(0)));
}

// The name with the case of its ASCII letters turned; empty when it has none.
QByteArray caseTurned(QByteArrayView name)
{
    QByteArray out(name.data(), name.size());
    bool turned = false;
    for (char &c : out) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A'), turned = true;
        else if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a'), turned = true;
    }
    return turned ? out : QByteArray();
}

} // namespace

RegularFileLookup::RegularFileLookup(qsizetype expectedLookups)
    : m_budget(std::max(kMinimumBudget, 2 * expectedLookups))
{
}

bool RegularFileLookup::isRegularFile(const QString &path)
{
    // A NUL ends the path where stat sees it: such a path is left to stat.
    if (!path.startsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        return FileSystem::isRegularFile(path);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return lookUp(QStringView(path).first(slash + 1), QStringView(path).sliced(slash + 1), [&path] { return path; });
}

bool RegularFileLookup::isRegularFileIn(const QString &folder, QStringView name)
{
    const auto wholePath = [&] { return QString(folder).append(name); };
    if (!folder.startsWith(QLatin1Char('/')) || !folder.endsWith(QLatin1Char('/')) || name.contains(QLatin1Char('/'))
        || folder.contains(QChar(0)) || name.contains(QChar(0)))
        return isRegularFile(wholePath());
    return lookUp(folder, name, wholePath);
}

template <typename WholePath>
bool RegularFileLookup::lookUp(QStringView folderPath, QStringView name, const WholePath &wholePath)
{
    if (!m_last || m_last->first != folderPath) {
        auto it = m_folders.find(folderPath);
        if (it == m_folders.end())
            it = m_folders.emplace(folderPath.toString(), Folder()).first;
        m_last = &*it;
    }
    Folder &folder = m_last->second;
    if (folder.mode == Folder::Stat && !folder.tried && ++folder.asked > kStatsBeforeListing) {
        folder.tried = true;
        list(m_last->first, folder);
    }
    if (folder.mode == Folder::Missing)
        return false;
    if (folder.mode == Folder::Stat)
        return FileSystem::isRegularFile(wholePath());

    QVarLengthArray<char, 256> bytes(name.size() * 3);
    QStringEncoder encoder(QStringEncoder::Utf8);
    const char *end = encoder.appendToBuffer(bytes.data(), name);
    const Name *found = find(folder, QByteArrayView(bytes.data(), end - bytes.data()));
    if (!found)
        return false;
    if (found->type == DT_REG)
        return true;
    // The listing does not say where a link leads, and some file systems give no kinds.
    if (found->type == DT_LNK || found->type == DT_UNKNOWN)
        return FileSystem::isRegularFile(wholePath());
    return false;
}

const RegularFileLookup::Name *RegularFileLookup::find(const Folder &folder, QByteArrayView name) const
{
    const size_t mask = folder.buckets.size() - 1;
    for (size_t at = size_t(nameHash(name)) & mask; folder.buckets[at] != 0; at = (at + 1) & mask) {
        const Name &n = folder.index[folder.buckets[at] - 1];
        if (QByteArrayView(folder.names.data() + n.offset, n.size) == name)
            return &n;
    }
    return nullptr;
}

void RegularFileLookup::list(const QString &folderPath, Folder &into)
{
    const int fd = ::open(QFile::encodeName(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        // No such folder, or a file where a folder should be: stat finds nothing below either.
        if (errno == ENOENT || errno == ENOTDIR)
            into.mode = Folder::Missing;
        return;
    }
    if (m_budget <= 0) {
        ::close(fd);
        return;
    }
    // Listing needs read permission, stat of a name in it search permission: without the
    // latter stat answers every name with "no".
    struct stat st;
    if (::fstatat(fd, ".", &st, 0) != 0) {
        ::close(fd);
        return;
    }
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    bool complete = true;
    while (const dirent *d = ::readdir(dir)) {
        const size_t size = strlen(d->d_name);
        if (--m_budget < 0 || into.names.size() + size > std::numeric_limits<quint32>::max()) {
            complete = false; // too large to be worth it: stat it is
            break;
        }
        into.index.push_back({nameHash(QByteArrayView(d->d_name, qsizetype(size))), quint32(into.names.size()),
                              quint16(size), d->d_type});
        into.names.append(d->d_name, size);
    }
    if (complete) {
        // At most half full: a missing name ends its probe soon.
        size_t buckets = 16;
        while (buckets < 2 * into.index.size())
            buckets *= 2;
        into.buckets.assign(buckets, 0);
        for (size_t i = 0; i < into.index.size(); ++i) {
            size_t at = size_t(into.index[i].hash) & (buckets - 1);
            while (into.buckets[at] != 0)
                at = (at + 1) & (buckets - 1);
            into.buckets[at] = quint32(i + 1);
        }
        // A folder that finds "A.MP3" for "a.mp3" (FAT, a case-folding folder) is asked with
        // stat; one name with letters tells.
        for (const Name &n : into.index) {
            const QByteArray turned = caseTurned(QByteArrayView(into.names.data() + n.offset, n.size));
            if (turned.isEmpty() || find(into, turned))
                continue;
            complete = ::fstatat(::dirfd(dir), turned.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0;
            break;
        }
    }
    ::closedir(dir);
    if (!complete) {
        into.names = std::string();
        into.index = std::vector<Name>();
        into.buckets = std::vector<quint32>();
        return;
    }
    into.mode = Folder::Listed;
    ++m_listedFolders;
}
