#include "core/picture/PictureWriter.h"

#include "core/Errors.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

[[noreturn]] void fail(const QString &fileName, const QString &reason)
{
    throw SonaloError(QStringLiteral("Unable to write to %1. %2").arg(fileName, reason));
}

int gifWrite(GifFileType *gif, const GifByteType *data, int len)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), len);
    return len;
}

// Colour reduction by giflib's median cut, then one image of the reduced colours.
QByteArray encodeGif(const QImage &picture, const QString &fileName)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    const unsigned w = unsigned(rgb.width()), h = unsigned(rgb.height());
    const size_t pixels = size_t(w) * h;
    std::vector<GifByteType> r(pixels), g(pixels), b(pixels), indexed(pixels);
    for (unsigned y = 0; y < h; ++y) {
        const uchar *line = rgb.constScanLine(int(y));
        for (unsigned x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            r[i] = line[x * 3];
            g[i] = line[x * 3 + 1];
            b[i] = line[x * 3 + 2];
        }
    }
    GifColorType colors[256] = {};
    int colorCount = 256;
    if (GifQuantizeBuffer(w, h, &colorCount, r.data(), g.data(), b.data(), indexed.data(), colors) != GIF_OK)
        fail(fileName, QStringLiteral("The colours could not be reduced."));
    // A colour map must hold a power of two entries.
    int mapSize = 2;
    while (mapSize < colorCount)
        mapSize *= 2;
    std::unique_ptr<ColorMapObject, decltype(&GifFreeMapObject)> map(GifMakeMapObject(mapSize, colors), GifFreeMapObject);
    if (!map)
        fail(fileName, QStringLiteral("Out of memory."));

    QByteArray out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, gifWrite, &error);
    if (!gif)
        fail(fileName, QString::fromLatin1(GifErrorString(error)));
    bool ok = EGifPutScreenDesc(gif, int(w), int(h), mapSize, 0, map.get()) == GIF_OK
           && EGifPutImageDesc(gif, 0, 0, int(w), int(h), false, nullptr) == GIF_OK;
    for (unsigned y = 0; ok && y < h; ++y)
        ok = EGifPutLine(gif, indexed.data() + size_t(y) * w, int(w)) == GIF_OK;
    const int lastError = gif->Error;
    if (EGifCloseFile(gif, &error) != GIF_OK || !ok)
        fail(fileName, QString::fromLatin1(GifErrorString(ok ? error : lastError)));
    return out;
}

} // namespace

// Starts from the application font, so that parts left unset keep its values.
QFont pictureQFont(const std::optional<PictureFont> &style)
{
    QFont font;
    if (!style)
        return font;
    if (!style->family.isEmpty())
        font.setFamily(style->family);
    if (style->pixelSize > 0)
        font.setPixelSize(style->pixelSize);
    else if (style->pointSize > 0)
        font.setPointSizeF(style->pointSize);
    font.setWeight(QFont::Weight(std::clamp(style->weight, 1, 1000)));
    font.setItalic(style->italic);
    font.setUnderline(style->underline);
    font.setStrikeOut(style->strikeOut);
    return font;
}

namespace {

constexpr int kMargin = 10;

int lineHeightOf(const QFontMetrics &metrics)
{
    return metrics.boundingRect(QStringLiteral("Wg")).height();
}

} // namespace

PictureSize textPictureSize(const QString &text, const PictureStyle &style)
{
    const QFontMetrics metrics(pictureQFont(style.font));
    PictureSize size;
    size.height = (text.count(QStringLiteral("\r\n")) + 1) * qint64(lineHeightOf(metrics)) + 2 * kMargin;
    if (size.height > kMaxPictureSide)
        return size;
    qint64 widest = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(QStringLiteral("\r\n"), start);
        if (end < 0)
            end = text.size();
        widest = std::max<qint64>(widest, metrics.horizontalAdvance(QStringView(text).sliced(start, end - start).toString()));
        start = end + 2;
    }
    size.width = widest + 2 * kMargin;
    return size;
}

QByteArray renderTextPicture(const QString &text, const QString &fileName, const PictureStyle &style)
{
    const PictureSize size = textPictureSize(text, style);
    if (size.height > kMaxPictureSide)
        fail(fileName, QStringLiteral("The picture would be %1 pixels high, more than %2.").arg(size.height).arg(kMaxPictureSide));
    if (!size.fits())
        fail(fileName, QStringLiteral("The picture would be %1 x %2 pixels, more than %3 x %3 or %4 million pixels.")
                           .arg(size.width)
                           .arg(size.height)
                           .arg(kMaxPictureSide)
                           .arg(kMaxPicturePixels / 1000000));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const QFont font = pictureQFont(style.font);
    const QFontMetrics metrics(font);
    const int lineHeight = lineHeightOf(metrics);
    const qint64 width = size.width;
    const qint64 height = size.height;

    QImage picture(int(width), int(height), QImage::Format_RGB32);
    if (picture.isNull())
        fail(fileName, QStringLiteral("Out of memory."));
    picture.fill(QColor::fromRgba(style.background));
    {
        QPainter painter(&picture);
        painter.setFont(font);
        painter.setPen(QColor::fromRgba(style.textColor));
        for (qsizetype i = 0; i < lines.size(); ++i)
            painter.drawText(kMargin, kMargin + int(i) * lineHeight + metrics.ascent(), lines[i]);
    }

    const QString ext = fileName.mid(fileName.lastIndexOf(QLatin1Char('.'))).toUpper();
    if (ext == QLatin1String(".GIF"))
        return encodeGif(picture, fileName);

    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, ext == QLatin1String(".BMP") ? QByteArrayLiteral("bmp") : QByteArrayLiteral("jpeg"));
    if (ext != QLatin1String(".BMP"))
        writer.setQuality(85);
    if (!writer.write(picture))
        fail(fileName, writer.errorString());
    return out;
}
