#pragma once

#include "core/PictureStyle.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QFont;

// The largest text picture written: no side over 65,000 pixels (GIF and JPEG store sizes in
// 16 bits) and at most 32 Mi pixels, 128 MiB as the drawn image and about three times that
// while a GIF's colours are reduced. A larger one is refused before anything is drawn.
inline constexpr qint64 kMaxPictureSide = 65000;
inline constexpr qint64 kMaxPicturePixels = qint64(1) << 25;

// The size a text would be drawn at, in pixels: the lines are counted first, and their widths
// are measured only when the height is within kMaxPictureSide, so a list of a million lines is
// refused in no time. A refused height leaves width 0.
struct PictureSize
{
    qint64 width = 0;
    qint64 height = 0;
    bool fits() const
    {
        return width > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide && width * height <= kMaxPicturePixels;
    }
};
PictureSize textPictureSize(const QString &text, const PictureStyle &style);

// Draws the text (lines split at CR LF) and encodes it by the name's extension: BMP, JPEG
// (quality 85) or GIF. Throws SonaloError ("Unable to write to %1") when drawing or encoding
// fails. Needs a QGuiApplication.
QByteArray renderTextPicture(const QString &text, const QString &fileName, const PictureStyle &style);

// The font a picture is drawn in: the application font with the style's parts that are set.
QFont pictureQFont(const std::optional<PictureFont> &style);
