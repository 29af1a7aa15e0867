#include "export/ExportSort.h"

#include <algorithm>
#include <vector>

namespace {

QLocale collationLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

} // namespace

ExportSort::ExportSort(const QLocale &locale) : m_collator(collationLocale(locale))
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

void ExportSort::sort(QStringList &lines) const
{
    sortImpl(lines, false);
}

void ExportSort::sortUnique(QStringList &lines) const
{
    sortImpl(lines, true);
}

void ExportSort::sortImpl(QStringList &lines, bool unique) const
{
    if (lines.size() < 2)
        return;
    struct Entry
    {
        QCollatorSortKey key;
        qsizetype index;
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i)
        entries.push_back({m_collator.sortKey(lines[i]), i});
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.key.compare(b.key) < 0; });
    QStringList sorted;
    sorted.reserve(lines.size());
    const Entry *previous = nullptr;
    for (const Entry &e : entries) {
        // Stable order puts the line added first at the head of each run of equal lines.
        if (unique && previous && previous->key.compare(e.key) == 0)
            continue;
        sorted.append(std::move(lines[e.index]));
        previous = &e;
    }
    lines = std::move(sorted);
}
