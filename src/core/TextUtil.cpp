#include "core/TextUtil.h"

QString ReplaceAll(const QString &text, const QString &search, const QString &replacement)
{
    if (search.isEmpty() || text.isEmpty() || search == replacement)
        return text;
    QString out = text;
    out.replace(search, replacement, Qt::CaseSensitive);
    return out;
}
