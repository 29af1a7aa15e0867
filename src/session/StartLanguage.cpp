#include "session/StartLanguage.h"

#include "core/FileSystem.h"

#include <QDir>

QString StartLanguage(const QString &workingFolder)
{
    const QDir dir(workingFolder);
    QString code = QStringLiteral("en");
    if (FileSystem::exists(dir.filePath(QStringLiteral("en"))))
        code = QStringLiteral("en");
    if (FileSystem::exists(dir.filePath(QStringLiteral("de"))))
        code = QStringLiteral("de");
    return code;
}
