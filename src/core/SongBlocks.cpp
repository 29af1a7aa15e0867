#include "core/SongBlocks.h"

#include <cstring>
#include <new>

namespace {

// 32 KiB: a hundred songs of a usual library; small enough for malloc to recycle, not map.
constexpr qsizetype kBlockChars = 16 * 1024;

// Room for size characters that keeps the next song's start on 16 bytes.
constexpr qsizetype alignedSize(qsizetype size)
{
    return (size + 7) & ~qsizetype(7);
}

} // namespace

char16_t *SongBlockWriter::room(qsizetype size)
{
    if (!m_block.d_ptr() || m_block.constAllocatedCapacity() - m_used < size) {
        auto [header, data] = QTypedArrayData<char16_t>::allocate(std::max(size, kBlockChars));
        if (!header)
            throw std::bad_alloc();
        m_block = QString::DataPointer(header, data, 0);
        m_used = 0;
    }
    char16_t *at = m_block.data() + m_used;
    m_used += size;
    return at;
}

// Each field of r takes its text (at its size, followed by a NUL) from the current block; a
// field of size 0 is left as it is.
void SongBlockWriter::adopt(TSongRecord &r, char16_t *const (&texts)[TSongRecord::kFieldCount],
                            const qsizetype (&sizes)[TSongRecord::kFieldCount])
{
    int count = 0;
    for (qsizetype size : sizes)
        count += size > 0;
    // One reference a text, taken at once; each field adopts its own.
    auto *header = static_cast<QTypedArrayData<char16_t> *>(m_block.d_ptr());
    header->ref_.fetchAndAddRelaxed(count);
    for (int i = 0; i < TSongRecord::kFieldCount; ++i)
        if (sizes[i] > 0)
            r.field(i) = QString(QString::DataPointer(header, texts[i], sizes[i]));
}

void SongBlockWriter::append(SongList &out, QStringView line, const qsizetype *bars)
{
    constexpr int kBars = TSongRecord::kFieldCount - 1;
    // An empty field is what QString makes of an empty view: no heap.
    const QString empty(reinterpret_cast<const QChar *>(line.data()), 0);
    if (line.size() == kBars) {
        TSongRecord &r = out.emplace_back();
        for (int i = 0; i < TSongRecord::kFieldCount; ++i)
            r.field(i) = empty;
        return;
    }
    // The line in one copy; each "|" and the end become the NUL that ends a field, as Qt
    // expects of a text it owns. Each song starts on 16 bytes, as a block of its own would:
    // packed tighter, reading the fields (the status line's total time) took twice as long.
    char16_t *at = room(alignedSize(line.size() + 1));
    std::memcpy(at, line.utf16(), size_t(line.size()) * sizeof(char16_t));
    for (int i = 0; i < kBars; ++i)
        at[bars[i]] = u'\0';
    at[line.size()] = u'\0';
    char16_t *texts[TSongRecord::kFieldCount];
    qsizetype sizes[TSongRecord::kFieldCount];
    for (int i = 0; i < TSongRecord::kFieldCount; ++i) {
        const qsizetype start = i == 0 ? 0 : bars[i - 1] + 1;
        texts[i] = at + start;
        sizes[i] = (i == kBars ? line.size() : bars[i]) - start;
    }
    TSongRecord &r = out.emplace_back();
    for (int i = 0; i < TSongRecord::kFieldCount; ++i)
        if (sizes[i] == 0)
            r.field(i) = empty;
    adopt(r, texts, sizes);
}

void SongBlockWriter::append(SongList &out, const TSongRecord &song)
{
    qsizetype total = 0;
    for (int i = 0; i < TSongRecord::kFieldCount; ++i)
        if (!song.field(i).isEmpty())
            total += song.field(i).size() + 1;
    char16_t *at = total > 0 ? room(alignedSize(total)) : nullptr;
    char16_t *texts[TSongRecord::kFieldCount];
    qsizetype sizes[TSongRecord::kFieldCount];
    for (int i = 0; i < TSongRecord::kFieldCount; ++i) {
        const QStringView f = song.field(i);
        texts[i] = at;
        sizes[i] = f.size();
        if (!f.isEmpty()) {
            std::memcpy(at, f.utf16(), size_t(f.size()) * sizeof(char16_t));
            at[f.size()] = u'\0';
            at += f.size() + 1;
        }
    }
    TSongRecord &r = out.emplace_back();
    for (int i = 0; i < TSongRecord::kFieldCount; ++i)
        if (sizes[i] == 0)
            r.field(i) = QString(QStringView(song.field(i)).data(), 0); // null stays null
    if (total > 0)
        adopt(r, texts, sizes);
}
