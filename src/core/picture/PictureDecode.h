#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes a picture that came from a song or its folder: an untrusted file, so its size is
// checked before anything is allocated, and a broken, huge or lying picture gives a null image.
namespace PictureDecode {

inline constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
inline constexpr qint64 kMaxPixels = 40 * 1000 * 1000;

// The image, scaled down to fit maxSide (when given) as it is decoded; a null image and the
// reason when the bytes are not a readable picture within the limits.
QImage decode(const QByteArray &bytes, int maxSide = 0, QString *why = nullptr,
              qint64 maxBytes = kMaxBytes, qint64 maxPixels = kMaxPixels);

// Lower-case extensions of the picture formats this Qt reads, of those folder images may have.
QStringList folderImageExtensions();

} // namespace PictureDecode
