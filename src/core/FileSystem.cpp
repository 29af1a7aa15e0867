#include "core/FileSystem.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/stat.h>

namespace {

bool statPath(const QString &path, struct stat *st)
{
    if (path.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    return ::stat(native.constData(), st) == 0;
}

qsizetype lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

} // namespace

namespace FileSystem {

bool exists(const QString &path)
{
    struct stat st;
    return statPath(path, &st);
}

bool isRegularFile(const QString &path)
{
    struct stat st;
    return statPath(path, &st) && S_ISREG(st.st_mode);
}

bool isDirectory(const QString &path)
{
    struct stat st;
    return statPath(path, &st) && S_ISDIR(st.st_mode);
}

QString programFolder()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString folderOf(const QString &path)
{
    return path.left(lastSeparator(path) + 1);
}

QString fileNameOf(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString extensionOf(const QString &name)
{
    qsizetype sep = -1;
    for (QChar c : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        sep = std::max(sep, name.lastIndexOf(c));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > sep ? name.mid(dot) : QString();
}

} // namespace FileSystem
