#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The picture background field of the output settings: "#RRGGBB" in and out, and the text
// colour that stays readable on it.

// The colour a typed text names: every "#" removed, then exactly six hexadecimal digits
// (either case). Returns 0xFFRRGGBB, or nothing when the text names no colour.
std::optional<quint32> parseColourField(const QString &text);

// "#" and six upper-case hexadecimal digits, red first.
QString colourFieldText(quint32 rgb);

// Black on bright colours (red + green + blue at least 500), white otherwise; 0xFFRRGGBB.
quint32 readableTextColour(quint32 rgb);
