#include "core/TextUtil.h"

QString ReplaceAll(const QString &text, const QString &search, const QString &replacement)
{
    if (search.isEmpty() || text.isEmpty() || search == replacement)
        return text;
    QString out = text;
    out.replace(search, replacement, Qt::CaseSensitive);
    return out;
}

QString FormatSongLength(int s)
{
    if (s < 0)
        s = 0;
    if (s >= 3599)
        return QString::asprintf("%d:%2.2d:%2.2d", s / 3600, s / 60 % 60, s % 60);
    return QString::asprintf("%d:%.2d", s / 60, s % 60);
}
