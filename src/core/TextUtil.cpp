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
    return songLengthText(s).view().toString();
}

SongLengthText songLengthText(int s)
{
    if (s < 0)
        s = 0;
    SongLengthText out;
    auto put = [&out](int value, int digits) {
        char16_t reversed[10];
        int n = 0;
        do {
            reversed[n++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value > 0 || n < digits);
        while (n > 0)
            out.text[out.size++] = reversed[--n];
    };
    // The hours from 3599 seconds on (0:59:59), as the length texts always were.
    if (s >= 3599) {
        put(s / 3600, 1);
        out.text[out.size++] = u':';
        put(s / 60 % 60, 2);
    } else {
        put(s / 60, 1);
    }
    out.text[out.size++] = u':';
    put(s % 60, 2);
    return out;
}
