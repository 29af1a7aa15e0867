#include "ui/Artwork.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

const QColor kNight(0x14, 0x1c, 0x3a);
const QColor kDeep(0x23, 0x35, 0x70);
const QColor kAmber(0xff, 0xb3, 0x3b);
const QColor kCoral(0xff, 0x6b, 0x5a);
const QColor kMist(0xe8, 0xee, 0xff);

// Equaliser bars on a disc: the program's mark.
void drawMark(QPainter &p, const QRectF &r)
{
    QRadialGradient disc(r.center(), r.width() / 2);
    disc.setColorAt(0.0, kAmber);
    disc.setColorAt(1.0, kCoral);
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(r);
    static constexpr double kHeights[] = {0.30, 0.55, 0.80, 0.50, 0.68, 0.36};
    const int n = 6;
    const double barWidth = r.width() * 0.075;
    const double gap = r.width() * 0.045;
    const double total = n * barWidth + (n - 1) * gap;
    double x = r.center().x() - total / 2;
    p.setBrush(kNight);
    for (double h : kHeights) {
        const double height = r.height() * h * 0.75;
        p.drawRoundedRect(QRectF(x, r.center().y() - height / 2, barWidth, height), barWidth / 2, barWidth / 2);
        x += barWidth + gap;
    }
}

} // namespace

namespace Artwork {

QPixmap splashPicture()
{
    QPixmap pixmap(400, 300);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 400, 300);
    sky.setColorAt(0.0, kDeep);
    sky.setColorAt(1.0, kNight);
    p.fillRect(pixmap.rect(), sky);

    // A sound wave running across the picture.
    QPainterPath wave;
    for (int x = 0; x <= 400; x += 4) {
        const double y = 150 + 38 * std::sin(x / 31.0) * std::exp(-std::pow((x - 200) / 170.0, 2));
        if (x == 0)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    p.setPen(QPen(QColor(255, 179, 59, 70), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);

    drawMark(p, QRectF(30, 40, 96, 96));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(56);
    title.setBold(true);
    p.setFont(title);
    p.setPen(kMist);
    p.drawText(QRectF(140, 40, 250, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Sonalo"));

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(15);
    p.setFont(small);
    p.setPen(kAmber);
    p.drawText(QRectF(144, 104, 250, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvel Media"));

    // The German line; the English overlay covers this corner.
    small.setPixelSize(14);
    p.setFont(small);
    p.setPen(kMist);
    p.drawText(QRectF(206, 226, 186, 66), Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap,
               QStringLiteral("Der Audio-Player\nfür deine Playlists"));
    small.setPixelSize(11);
    p.setFont(small);
    p.setPen(QColor(232, 238, 255, 150));
    p.drawText(QRectF(12, 270, 180, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ORV Media Sonalo"));
    return pixmap;
}

QPixmap englishOverlay()
{
    QPixmap pixmap(194, 74);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Continues the background gradient of the splash at this corner.
    QLinearGradient sky(-206, -226, 194, 74);
    sky.setColorAt(0.0, kDeep);
    sky.setColorAt(1.0, kNight);
    p.fillRect(pixmap.rect(), sky);
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(14);
    p.setFont(small);
    p.setPen(kMist);
    p.drawText(QRectF(0, 0, 186, 66), Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap,
               QStringLiteral("The audio player\nfor your playlists"));
    return pixmap;
}

QPixmap iconPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawMark(p, QRectF(size * 0.04, size * 0.04, size * 0.92, size * 0.92));
    return pixmap;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(iconPicture(size));
    return icon;
}

QByteArray playlistIconPng(int size)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    iconPicture(size).save(&buffer, "PNG");
    return png;
}

} // namespace Artwork
