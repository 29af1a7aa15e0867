#include "ui/SongSort.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <vector>

bool IsIntegerText(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return false;
    qint64 value = 0;
    const qint64 limit = negative ? -qint64(std::numeric_limits<qint32>::min())
                                  : qint64(std::numeric_limits<qint32>::max());
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c - u'0');
        if (value > limit)
            return false;
    }
    return true;
}

QString PadNumber(const QString &text)
{
    if (text.size() > 8)
        return text;
    return QString(9 - text.size(), QLatin1Char('0')) + text;
}

QString FoldSortText(const QString &text, int field)
{
    // The code-page round trip keeps every character here: Windows-1252 characters come back as
    // they were, and characters outside it keep their own code so non-Latin titles still sort.
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= u'a' && c <= u'z')
            out += QChar(c - u'a' + u'A');
        else if (c == u'Ä' || c == u'ä')
            out += QLatin1String("AE");
        else if (c == u'Ö' || c == u'ö')
            out += QLatin1String("OE");
        else if (c == u'Ü' || c == u'ü')
            out += QLatin1String("UE");
        else if (c == u'ß')
            out += QLatin1String("SS");
        else if (c == u'Ç')
            out += QLatin1Char('C');
        else
            out += ch;
    }
    if (field == 2 || field == 4 || field == 5) {
        out.remove(QLatin1Char('/'));
        out.remove(QLatin1Char(':'));
        if (IsIntegerText(out))
            out = PadNumber(out);
    }
    return out;
}

QStringList SortKeys(const SongList &list, int field)
{
    const qsizetype n = list.size();
    const int digits = int(QString::number(n).size());
    static const QString kGap = QStringLiteral("   ");
    QStringList keys;
    keys.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const TSongRecord &s = list[i];
        QString text;
        if (field == 0)
            text = s.Artist + kGap + s.Title;
        else if (field == 3)
            text = s.Album + kGap + PadNumber(s.Track) + kGap + s.Artist + kGap + s.Title;
        else
            text = s.field(field);
        keys.append(FoldSortText(text, field) + QStringLiteral("%1").arg(i + 1, digits, 10, QLatin1Char('0')));
    }
    return keys;
}

void SortSongs(SongList &list, int field, bool descending)
{
    const QStringList keys = SortKeys(list, field);
    std::vector<qsizetype> order(size_t(list.size()));
    std::iota(order.begin(), order.end(), qsizetype(0));
    // QString's operator< compares UTF-16 code units, without locale.
    if (descending)
        std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return keys[b] < keys[a]; });
    else
        std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });
    SongList sorted;
    sorted.reserve(list.size());
    for (qsizetype from : order)
        sorted.append(std::move(list[from]));
    list = std::move(sorted);
}

bool SortState::lvColumnClick(int column, qsizetype rowCount, SongList &shown)
{
    if (rowCount < 2)
        return false;
    SortDescending = column == SortColumn ? !SortDescending : false;
    SortColumn = column;
    if (column != 0 && !shown.isEmpty())
        SortSongs(shown, column - 1, SortDescending);
    return true;
}
