#include "core/SongLists.h"

#include "core/FileSystem.h"

SongLists::SongLists(QString programFolder)
    : m_programFolder(std::move(programFolder))
{
}

QString SongLists::DateiFinden(const QString &path) const
{
    // Absolute here, or written on Windows with a drive.
    if (path.startsWith(QLatin1Char('/')) || path.contains(QLatin1String(":\\")))
        return path;

    // A playlist made on Windows beside its music stores "sub\song.mp3".
    QString variants[2] = {path};
    int variantCount = 1;
    if (path.contains(QLatin1Char('\\')) && !path.contains(QLatin1Char('/'))) {
        variants[1] = path;
        variants[1].replace(QLatin1Char('\\'), QLatin1Char('/'));
        variantCount = 2;
    }
    auto firstExisting = [&](const QString &folder) -> QString {
        for (int v = 0; v < variantCount; ++v) {
            QString candidate = folder + variants[v];
            if (FileSystem::isRegularFile(candidate))
                return candidate;
        }
        return QString();
    };

    if (!m_programFolder.isEmpty()) {
        QString inProgram = firstExisting(m_programFolder);
        if (!inProgram.isEmpty())
            return inProgram;
    }
    QString found;
    for (const QString &folder : SourceFolders) {
        QString candidate = firstExisting(folder);
        if (!candidate.isEmpty())
            found = std::move(candidate);
    }
    return found.isEmpty() ? path : found;
}
