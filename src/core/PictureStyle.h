#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The font of a text picture in plain values, so that core and its callers need no QtGui. An
// empty family or a size of 0 keeps the application font's.
struct PictureFont
{
    QString family;       // empty: the application font's family
    int pixelSize = 0;    // > 0: the size in pixels; wins over pointSize
    double pointSize = 0; // > 0 (and no pixelSize): the size in points
    int weight = 400;     // 100 (thin) to 900 (black); 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// How a text written under a picture name is drawn: the output settings' sample font and
// background colour. Colours are 0xAARRGGBB.
struct PictureStyle
{
    std::optional<PictureFont> font; // unset: the application font (kept unset so that a style
                                     // can be made before, or without, a QGuiApplication)
    quint32 textColor = 0xFF000000;
    quint32 background = 0xFFFFFFFF;
};
