#include "export/ExportSort.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

QByteArray collationLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return QByteArrayLiteral("en_US");
    return locale.name().toLatin1();
}

struct Entry
{
    quint64 prefix;  // the key's first eight bytes, big-endian, zero-padded
    quint32 offset;  // of the whole key in the buffer
    quint32 length;  // without the terminating zero
    qsizetype index; // of the line
};

} // namespace

ExportSort::ExportSort(const QLocale &locale)
{
    UErrorCode status = U_ZERO_ERROR;
    m_collator = ucol_open(collationLocale(locale).constData(), &status);
    if (U_FAILURE(status) || !m_collator) {
        status = U_ZERO_ERROR;
        m_collator = ucol_open("", &status); // the root collation
    }
    if (m_collator) {
        status = U_ZERO_ERROR;
        ucol_setAttribute(m_collator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    }
}

ExportSort::~ExportSort()
{
    if (m_collator)
        ucol_close(m_collator);
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
    if (lines.size() < 2 || !m_collator)
        return;
    std::vector<uint8_t> keys;
    keys.resize(size_t(lines.size()) * 32 + 64);
    size_t used = 0;
    std::vector<Entry> entries;
    entries.reserve(size_t(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        const auto *text = reinterpret_cast<const UChar *>(line.utf16());
        const int32_t textLength = int32_t(std::min<qsizetype>(line.size(), INT32_MAX));
        int32_t room = int32_t(std::min<size_t>(keys.size() - used, INT32_MAX));
        int32_t size = ucol_getSortKey(m_collator, text, textLength, keys.data() + used, room);
        if (size > room) {
            keys.resize(std::max(keys.size() * 2, used + size_t(size)));
            room = int32_t(std::min<size_t>(keys.size() - used, INT32_MAX));
            size = ucol_getSortKey(m_collator, text, textLength, keys.data() + used, room);
        }
        // A key always ends in a zero byte; size counts it.
        const quint32 length = size > 0 ? quint32(size - 1) : 0;
        quint64 prefix = 0;
        for (quint32 b = 0; b < 8; ++b)
            prefix = (prefix << 8) | (b < length ? keys[used + b] : 0);
        entries.push_back({prefix, quint32(used), length, i});
        used += size_t(std::max(size, 1));
    }
    const uint8_t *base = keys.data();
    auto compare = [base](const Entry &a, const Entry &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix ? -1 : 1;
        if (a.length <= 8 || b.length <= 8)
            return a.length == b.length ? 0 : (a.length < b.length ? -1 : 1);
        const quint32 n = std::min(a.length, b.length) - 8;
        const int c = std::memcmp(base + a.offset + 8, base + b.offset + 8, n);
        if (c)
            return c;
        return a.length == b.length ? 0 : (a.length < b.length ? -1 : 1);
    };
    std::stable_sort(entries.begin(), entries.end(), [&compare](const Entry &a, const Entry &b) { return compare(a, b) < 0; });
    QStringList sorted;
    sorted.reserve(lines.size());
    const Entry *previous = nullptr;
    for (const Entry &e : entries) {
        // Stable order puts the line added first at the head of each run of equal lines.
        if (unique && previous && compare(*previous, e) == 0)
            continue;
        sorted.append(std::move(lines[e.index]));
        previous = &e;
    }
    lines = std::move(sorted);
}
