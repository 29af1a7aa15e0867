// Pictures from songs and their folders are untrusted: Qt's own readers behind the byte and
// pixel limits.
#include "core/picture/PictureDecode.h"

#include "support/TestApp.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QByteArray encoded(int w, int h, const char *format)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

TEST(PictureDecode, LimitsAndBrokenPictures)
{
    testApp();
    const QByteArray png = encoded(64, 48, "PNG");
    const QByteArray jpeg = encoded(64, 48, "JPG");
    struct Case
    {
        const char *name;
        QByteArray bytes;
        int maxSide;
        qint64 maxBytes, maxPixels;
        QSize expected; // empty: nothing
    };
    const Case cases[] = {
        {"PNG", png, 0, PictureDecode::kMaxBytes, PictureDecode::kMaxPixels, {64, 48}},
        {"JPEG scaled to fit", jpeg, 32, PictureDecode::kMaxBytes, PictureDecode::kMaxPixels, {32, 24}},
        {"never scaled up", png, 500, PictureDecode::kMaxBytes, PictureDecode::kMaxPixels, {64, 48}},
        {"more bytes than allowed", png, 0, png.size() - 1, PictureDecode::kMaxPixels, {}},
        {"more pixels than allowed", png, 0, PictureDecode::kMaxBytes, 64 * 48 - 1, {}},
        // A header stating 100,000 x 100,000 pixels and nothing behind it.
        {"lying size", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000186a0000186a00802000000"), 0,
         PictureDecode::kMaxBytes, PictureDecode::kMaxPixels, {}},
        {"cut PNG", png.left(png.size() / 2), 0, PictureDecode::kMaxBytes, PictureDecode::kMaxPixels, {}},
        {"garbage", QByteArray(500, '\x5A'), 0, PictureDecode::kMaxBytes, PictureDecode::kMaxPixels, {}},
        {"nothing", QByteArray(), 0, PictureDecode::kMaxBytes, PictureDecode::kMaxPixels, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        const QImage image = PictureDecode::decode(c.bytes, c.maxSide, &why, c.maxBytes, c.maxPixels);
        EXPECT_EQ(image.isNull(), c.expected.isEmpty());
        EXPECT_EQ(image.size(), c.expected.isEmpty() ? QSize(0, 0) : c.expected);
        EXPECT_EQ(why.isEmpty(), !c.expected.isEmpty()) << why.toStdString();
    }
}
