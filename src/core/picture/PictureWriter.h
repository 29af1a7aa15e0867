#pragma once

#include "core/PictureStyle.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QFont;

// Draws the text (lines split at CR LF) and encodes it by the name's extension: BMP, JPEG
// (quality 85) or GIF. Throws SonaloError ("Unable to write to %1") when drawing or encoding
// fails. Needs a QGuiApplication.
QByteArray renderTextPicture(const QString &text, const QString &fileName, const PictureStyle &style);

// The font a picture is drawn in: the application font with the style's parts that are set.
QFont pictureQFont(const std::optional<PictureFont> &style);
