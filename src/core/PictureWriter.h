#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

// How a text written under a picture name is drawn: the output settings' sample font and
// background colour.
struct PictureStyle
{
    std::optional<QFont> font;       // unset: the application font (kept unset so that a style
                                     // can be made before, or without, a QGuiApplication)
    QColor textColor = Qt::black;
    QColor background = Qt::white;
};

// Draws the text (lines split at CR LF) and encodes it by the name's extension: BMP, JPEG
// (quality 85) or GIF. Throws SonaloError ("Unable to write to %1") when drawing or encoding
// fails. Needs a QGuiApplication.
QByteArray renderTextPicture(const QString &text, const QString &fileName, const PictureStyle &style);
