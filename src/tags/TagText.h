#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

// Text helpers shared by the tag readers.
namespace TagText {

// Without leading and trailing characters of code 32 or below (NUL included).
QString trimControl(const QString &text);
QByteArrayView trimControl(QByteArrayView bytes);

// 8-bit tag text through the Windows-1252 table, trimmed as above.
QString ansi(QByteArrayView bytes);

// A decimal integer (optional sign, nothing else); false when the text is not one.
bool parseDecimal(const QString &text, qint64 &value);

// A track text ("7", "3/12") as a number: the number before the first "/" modulo 256; 0 when
// it is not a number.
std::uint8_t trackNumber(const QString &text);

// Values separated by NUL characters as one text: each value trimmed as above and without a
// byte order mark of its own, empty ones dropped, the rest joined by " / ". A text without NUL
// is returned as it is.
QString joinNulSeparated(const QString &text);

} // namespace TagText
