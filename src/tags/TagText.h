#pragma once

#include <QByteArrayView>
#include <QString>

// Text helpers shared by the tag readers.
namespace TagText {

// Without leading and trailing characters of code 32 or below (NUL included).
QString trimControl(const QString &text);
QByteArrayView trimControl(QByteArrayView bytes);

// 8-bit tag text through the Windows-1252 table, trimmed as above.
QString ansi(QByteArrayView bytes);

// A decimal integer (optional sign, nothing else); false when the text is not one.
bool parseDecimal(const QString &text, qint64 &value);

} // namespace TagText
