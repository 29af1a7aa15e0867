#pragma once

#include "tags/SongDetails.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Which picture a song shows: one embedded in it or an image lying beside it in its folder
// ("cover.jpg", "Folder.PNG", ...), the setting deciding which wins when both are there.
struct CoverChoice
{
    enum class From { None, Embedded, Folder };
    From from = From::None;
    QString songPath;
    QString folderImage;  // From::Folder: the image's path
    PictureEntry entry;   // From::Embedded

    // The folder image beside a song, if any: the names in order of preference, each with the
    // given extensions (lower case, without the dot), in any letter case.
    static QString findFolderImage(const QString &songPath, const QStringList &extensions);
    static CoverChoice choose(const QString &songPath, const SongDetails &details, bool folderFirst,
                              const QStringList &extensions);

    // The picture's bytes, at most maxBytes; empty when it is larger, gone or cut short.
    QByteArray load(qint64 maxBytes) const;
    // "embedded (front cover, image/png)" or the folder image's path, for tools.
    QString describe() const;
};
