#include "tags/TagText.h"

#include "core/Windows1252.h"

#include <QStringList>

namespace TagText {

QString trimControl(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 32)
        ++b;
    while (e > b && text[e - 1].unicode() <= 32)
        --e;
    if (b == 0 && e == text.size())
        return text;
    return text.mid(b, e - b);
}

QByteArrayView trimControl(QByteArrayView bytes)
{
    qsizetype b = 0, e = bytes.size();
    while (b < e && static_cast<unsigned char>(bytes[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(bytes[e - 1]) <= 32)
        --e;
    return bytes.sliced(b, e - b);
}

QString ansi(QByteArrayView bytes)
{
    // No byte of 33 or above maps to a character of 32 or below, so one trim suffices.
    return Windows1252::decode(trimControl(bytes));
}

bool parseDecimal(const QString &text, qint64 &value)
{
    bool ok = false;
    value = text.toLongLong(&ok, 10);
    return ok;
}

} // namespace TagText

std::uint8_t TagText::trackNumber(const QString &text)
{
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    qint64 v = 0;
    if (!parseDecimal(slash < 0 ? text : text.left(slash), v))
        return 0;
    return std::uint8_t(std::uint64_t(v) & 0xFF);
}

QString TagText::joinNulSeparated(const QString &text)
{
    const QChar nul(u'\0');
    if (!text.contains(nul))
        return text;
    QStringList values;
    for (QStringView value : QStringView(text).split(nul)) {
        if (value.startsWith(QChar(0xFEFF)))
            value = value.sliced(1);
        const QString trimmed = trimControl(value.toString());
        if (!trimmed.isEmpty())
            values.append(trimmed);
    }
    return values.join(QStringLiteral(" / "));
}
