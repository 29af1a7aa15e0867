#include "tags/CoverChoice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char *const kFolderImageNames[] = {"cover", "folder", "front", "album", "albumart"};
// A folder with more entries than this is not searched through for its image.
constexpr int kMaxFolderEntries = 20000;

} // namespace

QString CoverChoice::findFolderImage(const QString &songPath, const QStringList &extensions)
{
    const QFileInfo song(songPath);
    QDir dir = song.absoluteDir();
    dir.setFilter(QDir::Files | QDir::Readable | QDir::NoDotAndDotDot);
    const QStringList names = dir.entryList();
    if (names.size() > kMaxFolderEntries)
        return QString();
    int best = -1;
    QString found;
    for (const QString &name : names) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot <= 0 || !extensions.contains(name.mid(dot + 1).toLower()))
            continue;
        const QString stem = name.left(dot).toLower();
        for (int i = 0; i < int(std::size(kFolderImageNames)); ++i) {
            if (stem != QLatin1String(kFolderImageNames[i]))
                continue;
            const int rank = i * 16 + int(extensions.indexOf(name.mid(dot + 1).toLower()));
            // The same rank twice (cover.jpg and Cover.JPG) goes to the first in name order.
            if (best < 0 || rank < best) {
                best = rank;
                found = dir.filePath(name);
            }
        }
    }
    return found;
}

CoverChoice CoverChoice::choose(const QString &songPath, const SongDetails &details, bool folderFirst,
                                const QStringList &extensions)
{
    CoverChoice c;
    c.songPath = songPath;
    const int embedded = details.preferredPicture();
    const QString folder = findFolderImage(songPath, extensions);
    const bool useFolder = !folder.isEmpty() && (folderFirst || embedded < 0);
    if (useFolder) {
        c.from = From::Folder;
        c.folderImage = folder;
    } else if (embedded >= 0) {
        c.from = From::Embedded;
        c.entry = details.pictures[embedded];
    }
    return c;
}

QByteArray CoverChoice::load(qint64 maxBytes) const
{
    switch (from) {
    case From::None:
        return QByteArray();
    case From::Embedded:
        return SongDetails::loadPicture(songPath, entry, maxBytes);
    case From::Folder: {
        QFile f(folderImage);
        if (!f.open(QIODevice::ReadOnly) || f.isSequential() || f.size() > maxBytes || f.size() <= 0)
            return QByteArray();
        QByteArray bytes = f.read(maxBytes);
        return bytes.size() == f.size() ? bytes : QByteArray();
    }
    }
    return QByteArray();
}

QString CoverChoice::describe() const
{
    switch (from) {
    case From::None:
        return QStringLiteral("none");
    case From::Embedded:
        return QStringLiteral("embedded (%1, %2)").arg(entry.typeName(), entry.mime);
    case From::Folder:
        return QStringLiteral("folder image %1").arg(folderImage);
    }
    return QString();
}
