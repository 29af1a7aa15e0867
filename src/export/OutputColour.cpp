#include "export/OutputColour.h"

std::optional<quint32> parseColourField(const QString &text)
{
    QString digits = text;
    digits.remove(QLatin1Char('#'));
    if (digits.size() != 6)
        return std::nullopt;
    bool ok = false;
    const uint value = digits.toUInt(&ok, 16);
    // toUInt accepts a sign or a "0x"; six digits must be six digits.
    for (QChar c : digits)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
              (c >= QLatin1Char('A') && c <= QLatin1Char('F'))))
            ok = false;
    if (!ok)
        return std::nullopt;
    return 0xFF000000u | value;
}

QString colourFieldText(quint32 rgb)
{
    return QLatin1Char('#') + QStringLiteral("%1").arg(rgb & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
}

quint32 readableTextColour(quint32 rgb)
{
    const int sum = int((rgb >> 16) & 0xFF) + int((rgb >> 8) & 0xFF) + int(rgb & 0xFF);
    return sum >= 500 ? 0xFF000000u : 0xFFFFFFFFu;
}
