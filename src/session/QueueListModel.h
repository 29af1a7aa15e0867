#pragma once

#include <QAbstractListModel>

class PlayQueue;

// The queue as the panel's list shows it: one row an entry, its text made only when the row is
// painted, so a queue of a million songs shows at once.
class QueueListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit QueueListModel(PlayQueue &queue, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    PlayQueue &m_queue;
};
