#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The fixed 8-bit code page that stands in for the "system ANSI code page": Windows-1252, with
// the five undefined bytes 81, 8D, 8F, 90 and 9D mapped to the code points of the same value.
// Used for ID3v1 and ID3v2 encoding-0 text, for the ANSI text encoding and the sort fold.
namespace Windows1252 {

QChar toUnicode(unsigned char byte);
QString decode(QByteArrayView bytes);

// Byte for a character, or -1 when the code page has none.
int fromUnicode(char16_t c);
// Characters without a mapping become '?'.
QByteArray encode(QStringView text);

} // namespace Windows1252
