#pragma once

#include "core/SongRecord.h"

#include <QStringView>

// Makes records whose texts share larger heap blocks, many songs to a block, for a loader that
// makes a great many at once: one allocation for about a hundred songs instead of one a song.
// Each field is still an ordinary QString holding a reference to its block, so it copies,
// compares and outlives its record like any other text; a block is freed when the last text in
// it goes. A few songs kept from a large load keep their blocks: never more than the load took.
class SongBlockWriter
{
public:
    // Appends the record of a playlist line whose eight fields end at the first seven of bars
    // (ascending offsets of "|" into line). Fields as TSongRecord::fromFields makes them.
    void append(SongList &out, QStringView line, const qsizetype *bars);

    // Appends a copy of the song whose texts lie in this writer's blocks, as fromFields would
    // make it.
    void append(SongList &out, const TSongRecord &song);

private:
    char16_t *room(qsizetype size);
    void adopt(TSongRecord &r, char16_t *const (&texts)[TSongRecord::kFieldCount],
               const qsizetype (&sizes)[TSongRecord::kFieldCount]);

    QString::DataPointer m_block; // the block being filled; holds one reference of its own
    qsizetype m_used = 0;
};
