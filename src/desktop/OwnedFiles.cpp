#include "desktop/OwnedFiles.h"

#include "desktop/DesktopEntryText.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The PNG text chunk that marks an icon as ours: keyword, NUL, text.
constexpr char kIconMarkerKey[] = "X-Sonalo-Owner";
constexpr char kIconMarkerText[] = "ORVmp3player";

quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char ch : bytes) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
}

void appendBigEndian(QByteArray &out, quint32 v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

QByteArray iconMarkerPayload()
{
    return QByteArray(kIconMarkerKey) + '\0' + QByteArray(kIconMarkerText);
}

} // namespace

namespace OwnedFiles {

using DesktopEntryText::isOurFile;
using DesktopEntryText::readBounded;

QByteArray markedPng(const QByteArray &png)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    // Signature, then IHDR: length 13, type, 13 bytes, CRC.
    if (png.size() < 33 || !png.startsWith(signature) || png.mid(12, 4) != "IHDR")
        return {};
    QByteArray chunk;
    const QByteArray data = iconMarkerPayload();
    appendBigEndian(chunk, quint32(data.size()));
    const QByteArray typed = QByteArrayLiteral("tEXt") + data;
    chunk += typed;
    appendBigEndian(chunk, crc32(typed));
    QByteArray out = png;
    out.insert(33, chunk);
    return out;
}

bool isOurIcon(const QString &file)
{
    const std::optional<QByteArray> bytes = readBounded(file, 4 * 1024 * 1024);
    return bytes && bytes->contains(QByteArrayLiteral("tEXt") + iconMarkerPayload());
}

bool mayWrite(const QString &file)
{
    const QFileInfo info(file);
    if (!info.exists() && !info.isSymLink())
        return true;
    return !info.isSymLink() && info.isFile() &&
           (file.endsWith(QLatin1String(".png")) ? isOurIcon(file) : isOurFile(file));
}

bool writeFile(const QString &file, const QByteArray &bytes, mode_t mode)
{
    if (!mayWrite(file) || !QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        return false;
    // The mode is the file's own, not what the umask leaves: KDE runs a service menu the user
    // owns only when it is executable.
    if (::fchmod(out.handle(), mode) != 0)
        return false;
    return out.commit();
}

bool removeOurFile(const QString &file, bool icon)
{
    const QFileInfo info(file);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isSymLink() || !(icon ? isOurIcon(file) : isOurFile(file)))
        return true; // not ours: left alone
    return QFile::remove(file);
}

void removeEmptyFolders(const QString &file, const QString &root)
{
    const QString top = QDir::cleanPath(root);
    QString folder = QFileInfo(file).absolutePath();
    // rmdir removes only an empty folder, so nothing of anyone else's can go.
    while (folder.startsWith(top + u'/') && QDir().rmdir(folder))
        folder = QFileInfo(folder).absolutePath();
}

bool editMimeApps(const QString &list, const std::function<QByteArray(const QByteArray &)> &edit)
{
    const QFileInfo info(list);
    const QString target = info.isSymLink() ? info.canonicalFilePath() : list;
    if (target.isEmpty())
        return false;
    QByteArray before;
    mode_t mode = 0644;
    const bool exists = QFileInfo::exists(target);
    if (exists) {
        const std::optional<QByteArray> read = readBounded(target, 4 * 1024 * 1024);
        struct stat st {};
        if (!read || ::stat(QFile::encodeName(target).constData(), &st) != 0)
            return false;
        before = *read;
        mode = st.st_mode & 07777;
    }
    const QByteArray after = edit(before);
    if (after == before && exists)
        return true;
    if (after.isEmpty() && !exists)
        return true;
    // Emptied by the edit, the file held nothing but ours; a link's target is kept for the link.
    if (after.isEmpty() && !info.isSymLink())
        return QFile::remove(target);
    QSaveFile out(target);
    return QDir().mkpath(QFileInfo(target).absolutePath()) && out.open(QIODevice::WriteOnly) &&
           out.write(after) == after.size() && ::fchmod(out.handle(), mode) == 0 && out.commit();
}

} // namespace OwnedFiles
