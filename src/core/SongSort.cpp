#include "core/SongSort.h"

#include "core/KeepAlive.h"
#include "core/TextFold.h"

#include <algorithm>
#include <vector>
#include <limits>

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

namespace {

int digitCount(qsizetype n)
{
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

} // namespace

QString FoldSortText(const QString &text, int field)
{
    QString out;
    out.resize(text.size() * 2);
    out.truncate(foldSortInto(out.data(), text) - out.constData());
    if (field == 2 || field == 4 || field == 5) {
        out.remove(QLatin1Char('/'));
        out.remove(QLatin1Char(':'));
        if (IsIntegerText(out))
            out = PadNumber(out);
    }
    return out;
}

namespace {

// Every key of one sort in one buffer: a hundred thousand separately allocated keys cost more
// than sorting them.
struct KeyTable
{
    QString buffer;
    std::vector<QStringView> keys; // in starting order; each ends with its position
    int digits = 1;
};

KeyTable buildKeys(const SongList &list, int field, KeepAlive *alive = nullptr)
{
    KeyTable table;
    const qsizetype n = list.size();
    table.digits = digitCount(n);
    static const QString kGap = QStringLiteral("   ");
    const bool numeric = field == 2 || field == 4 || field == 5;

    // Pieces of each song's text, folded one after the other (folding goes character by
    // character, so this equals folding the composed text).
    auto piecesOf = [&](const TSongRecord &s, QString &track, QStringView (&pieces)[7]) {
        int count = 0;
        if (field == 0) {
            pieces[count++] = s.Artist;
            pieces[count++] = kGap;
            pieces[count++] = s.Title;
        } else if (field == 3) {
            track = PadNumber(s.Track);
            for (QStringView piece : {QStringView(s.Album), QStringView(kGap), QStringView(track), QStringView(kGap),
                                      QStringView(s.Artist), QStringView(kGap), QStringView(s.Title)})
                pieces[count++] = piece;
        } else {
            pieces[count++] = s.field(field);
        }
        return count;
    };

    std::vector<QString> numericTexts;
    qsizetype room = 0;
    if (numeric) {
        numericTexts.reserve(size_t(n));
        for (const TSongRecord &s : list) {
            numericTexts.push_back(FoldSortText(s.field(field), field));
            room += numericTexts.back().size() + table.digits;
            if (alive)
                alive->tick();
        }
    } else {
        QString track;
        QStringView pieces[7];
        for (const TSongRecord &s : list) {
            const int count = piecesOf(s, track, pieces);
            for (int p = 0; p < count; ++p)
                room += foldedSortSize(pieces[p]);
            room += table.digits;
            if (alive)
                alive->tick();
        }
    }

    table.buffer.resize(room);
    QChar *const begin = table.buffer.data();
    QChar *end = begin;
    std::vector<qsizetype> starts;
    starts.reserve(size_t(n) + 1);
    QString track;
    QStringView pieces[7];
    for (qsizetype i = 0; i < n; ++i) {
        starts.push_back(end - begin);
        if (numeric) {
            const QString &t = numericTexts[size_t(i)];
            end = std::copy(t.constData(), t.constData() + t.size(), end);
        } else {
            const int count = piecesOf(list[i], track, pieces);
            for (int p = 0; p < count; ++p)
                end = foldSortInto(end, pieces[p]);
        }
        qsizetype position = i + 1;
        for (int d = table.digits - 1; d >= 0; --d) {
            end[d] = QChar(u'0' + char16_t(position % 10));
            position /= 10;
        }
        end += table.digits;
        if (alive)
            alive->tick();
    }
    starts.push_back(end - begin);
    table.keys.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i)
        table.keys.emplace_back(begin + starts[size_t(i)], starts[size_t(i) + 1] - starts[size_t(i)]);
    return table;
}

} // namespace

QStringList SortKeys(const SongList &list, int field)
{
    const KeyTable table = buildKeys(list, field);
    QStringList keys;
    keys.reserve(list.size());
    for (QStringView key : table.keys)
        keys.append(key.toString());
    return keys;
}

namespace {

// Sorts in runs of a size that takes a few milliseconds, then merges them pairwise, so that the
// window can be kept painting between steps. The keys are unique, so the order is the one a
// single sort gives.
template <typename Less>
void sortInSteps(std::vector<QStringView> &keys, Less less, KeepAlive &alive)
{
    constexpr size_t kRun = 1 << 15;
    const auto begin = keys.begin();
    const size_t n = keys.size();
    for (size_t b = 0; b < n; b += kRun) {
        std::sort(begin + qsizetype(b), begin + qsizetype(std::min(b + kRun, n)), less);
        alive.now();
    }
    for (size_t width = kRun; width < n; width *= 2) {
        for (size_t b = 0; b + width < n; b += 2 * width) {
            std::inplace_merge(begin + qsizetype(b), begin + qsizetype(b + width),
                               begin + qsizetype(std::min(b + 2 * width, n)), less);
            alive.now();
        }
    }
}

} // namespace

void SortSongs(SongList &list, int field, bool descending, const std::function<void()> &keepAlive,
               std::vector<qsizetype> *orderOut)
{
    KeepAlive alive(keepAlive);
    KeyTable table = buildKeys(list, field, &alive);
    // Ordinal comparison of UTF-16 code units, no locale. The keys are unique.
    auto less = [](QStringView a, QStringView b) { return QtPrivate::compareStrings(a, b) < 0; };
    if (descending)
        sortInSteps(table.keys, [&](QStringView a, QStringView b) { return less(b, a); }, alive);
    else
        sortInSteps(table.keys, less, alive);
    // Each key ends with its song's starting position: order[j] is the song that goes to j.
    const qsizetype n = qsizetype(table.keys.size());
    if (list.size() < n)
        return; // a list that lost songs meanwhile would be scrambled by keys of the old one
    std::vector<qsizetype> order;
    order.reserve(size_t(n));
    for (QStringView key : table.keys) {
        qsizetype position = 0;
        for (QChar c : key.last(table.digits))
            position = position * 10 + (c.unicode() - u'0');
        order.push_back(position - 1);
    }
    if (orderOut)
        *orderOut = order;
    // Permute in place, cycle by cycle, so that no second list of songs is allocated. Swaps
    // rather than moves: between any two, the list holds every song exactly once, so the
    // window may repaint from it while a million songs are reordered.
    TSongRecord *songs = list.data();
    for (qsizetype start = 0; start < n; ++start) {
        qsizetype to = start;
        while (order[size_t(to)] != start && order[size_t(to)] >= 0) {
            const qsizetype from = order[size_t(to)];
            std::swap(songs[to], songs[from]);
            order[size_t(to)] = -1;
            to = from;
            alive.tick();
        }
        order[size_t(to)] = -1;
    }
}

bool SortState::lvColumnClick(int column, qsizetype rowCount, SongList &shown, const std::function<void()> &keepAlive,
                              std::vector<qsizetype> *order)
{
    if (rowCount < 2)
        return false;
    SortDescending = column == SortColumn ? !SortDescending : false;
    SortColumn = column;
    if (column != 0 && !shown.isEmpty())
        SortSongs(shown, column - 1, SortDescending, keepAlive, order);
    return true;
}
