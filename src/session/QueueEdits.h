#pragma once

#include "core/SongRecord.h"

#include <QList>
#include <QString>

class PlayQueue;

// What the queue panel does to the queue, without the panel: moves by keys and by drag, and
// the text each entry shows.
namespace QueueEdits {

// Alt+Up (-1) and Alt+Down (+1); returns where the rows stand afterwards (empty: nothing moved).
QList<int> step(PlayQueue &queue, const QList<int> &rows, int delta);
// A drag: the rows go together before entry `before` (size() for the end).
QList<int> dropBefore(PlayQueue &queue, const QList<int> &rows, int before);
// "Artist - Title", either alone when the other is empty, else the file's name.
QString entryText(const TSongRecord &song);

} // namespace QueueEdits
