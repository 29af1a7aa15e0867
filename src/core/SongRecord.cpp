#include "core/SongRecord.h"

#include <cstring>
#include <new>

TSongRecord TSongRecord::fromFields(const std::array<QStringView, kFieldCount> &fields)
{
    TSongRecord r;
    // Every field is followed by a NUL, as Qt expects of a text it owns.
    qsizetype total = 0;
    for (QStringView f : fields)
        if (!f.isEmpty())
            total += f.size() + 1;
    // An empty field is what QString makes of an empty view: no heap, null only for a null view.
    auto empty = [](QStringView f) { return QString(reinterpret_cast<const QChar *>(f.data()), 0); };
    // Holds one reference while the fields take theirs; released when it goes out of scope.
    QString::DataPointer block;
    if (total > 0) {
        auto [header, data] = QTypedArrayData<char16_t>::allocate(total);
        if (!header)
            throw std::bad_alloc();
        block = QString::DataPointer(header, data, 0);
    }
    char16_t *at = block.data();
    for (int i = 0; i < kFieldCount; ++i) {
        const QStringView f = fields[i];
        if (f.isEmpty()) {
            r.field(i) = empty(f);
            continue;
        }
        std::memcpy(at, f.utf16(), size_t(f.size()) * sizeof(char16_t));
        at[f.size()] = u'\0';
        QString::DataPointer view(block);
        view.ptr = at;
        view.size = f.size();
        r.field(i) = QString(std::move(view));
        at += f.size() + 1;
    }
    return r;
}

void TSongRecord::pack()
{
    *this = fromFields({Artist, Title, Length, Album, Track, Year, Genre, Path});
}
