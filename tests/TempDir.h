#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

// A temporary folder for a test, with helpers to write and read files in it.
class TempDir
{
public:
    TempDir() { dir.setAutoRemove(true); }

    QString path(const QString &name = QString()) const
    {
        return name.isEmpty() ? dir.path() + QLatin1Char('/') : dir.path() + QLatin1Char('/') + name;
    }

    QString write(const QString &name, const QByteArray &bytes) const
    {
        const QString p = path(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return QString();
        return p;
    }

    static QByteArray read(const QString &p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};
