#include "core/FileListMime.h"

#include <QList>
#include <QMimeData>
#include <QUrl>

QMimeData *fileListMimeData(const QStringList &paths)
{
    QList<QUrl> urls;
    QByteArray copied("copy");
    for (const QString &path : paths) {
        const QUrl url = QUrl::fromLocalFile(path);
        urls.append(url);
        copied += '\n' + url.toEncoded();
    }
    auto *data = new QMimeData;
    data->setUrls(urls);
    data->setData(QStringLiteral("x-special/gnome-copied-files"), copied);
    return data;
}
