#include "core/picture/PictureDecode.h"

#include <QBuffer>
#include <QImageReader>

namespace PictureDecode {

QImage decode(const QByteArray &bytes, int maxSide, QString *why, qint64 maxBytes, qint64 maxPixels)
{
    auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return QImage();
    };
    if (bytes.isEmpty())
        return fail(QStringLiteral("no picture"));
    if (bytes.size() > maxBytes)
        return fail(QStringLiteral("picture larger than %1 bytes").arg(maxBytes));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    // Qt's own allocation guard, in MiB, on top of the pixel check below.
    reader.setAllocationLimit(int(std::max<qint64>(1, maxPixels * 4 / (1024 * 1024))));
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return fail(QStringLiteral("not a readable picture"));
    if (qint64(size.width()) * size.height() > maxPixels)
        return fail(QStringLiteral("picture of %1 x %2 pixels is too large").arg(size.width()).arg(size.height()));
    if (maxSide > 0 && (size.width() > maxSide || size.height() > maxSide) && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(size.scaled(maxSide, maxSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return fail(reader.errorString());
    if (maxSide > 0 && (image.width() > maxSide || image.height() > maxSide))
        image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QStringList folderImageExtensions()
{
    QStringList out;
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    for (const char *ext : {"jpg", "jpeg", "png", "webp"})
        if (readable.contains(QByteArray(ext)))
            out.append(QLatin1String(ext));
    return out;
}

} // namespace PictureDecode
