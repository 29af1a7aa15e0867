#pragma once

#include <QLocale>
#include <QStringList>

struct UCollator;

// The order of exported lines: locale-aware and blind to letter case (ICU's collation at
// secondary strength, as QCollator compares case-insensitively). Each line's sort key is made
// once, into one buffer, and compared by its first eight bytes before the rest, so 100,000
// lines sort in a fraction of what a collator call per comparison would cost.
class ExportSort
{
public:
    // The C locale has no collation of its own; it sorts as American English does.
    explicit ExportSort(const QLocale &locale = QLocale());
    ~ExportSort();
    ExportSort(const ExportSort &) = delete;
    ExportSort &operator=(const ExportSort &) = delete;

    // Stable: lines that compare equal keep their order.
    void sort(QStringList &lines) const;
    // Sorted, and of lines that compare equal only the first one stays.
    void sortUnique(QStringList &lines) const;

private:
    void sortImpl(QStringList &lines, bool unique) const;
    UCollator *m_collator = nullptr;
};
