#include "session/QueueListModel.h"

#include "playback/PlayQueue.h"
#include "session/QueueEdits.h"

QueueListModel::QueueListModel(PlayQueue &queue, QObject *parent) : QAbstractListModel(parent), m_queue(queue)
{
    // Any change of the queue: the list shows it anew (only the rows on screen are asked).
    connect(&m_queue, &PlayQueue::changed, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int QueueListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(std::min<qsizetype>(m_queue.size(), std::numeric_limits<int>::max()));
}

QVariant QueueListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_queue.size())
        return {};
    return QueueEdits::entryText(m_queue.songs().at(index.row()));
}

Qt::ItemFlags QueueListModel::flags(const QModelIndex &index) const
{
    // Dragged within the list only; the panel moves the entries through the queue.
    return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled | (index.isValid() ? Qt::NoItemFlags : Qt::ItemIsDropEnabled);
}
