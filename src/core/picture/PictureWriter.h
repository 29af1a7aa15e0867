#pragma once

#include "core/PictureStyle.h"

#include <QByteArray>
#include <QString>

// Draws the text (lines split at CR LF) and encodes it by the name's extension: BMP, JPEG
// (quality 85) or GIF. Throws SonaloError ("Unable to write to %1") when drawing or encoding
// fails. Needs a QGuiApplication.
QByteArray renderTextPicture(const QString &text, const QString &fileName, const PictureStyle &style);
