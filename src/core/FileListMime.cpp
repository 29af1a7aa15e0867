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
    // The plain-text form is what an editor or a terminal pastes: the paths, one a line. Left to
    // the platform it would be URIs with raw spaces, neither a path nor a valid URI.
    data->setText(paths.join(QLatin1Char('\n')));
    return data;
}
