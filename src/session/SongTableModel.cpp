#include "session/SongTableModel.h"

#include <QFont>

#include <algorithm>

SongTableModel::SongTableModel(const SongLists &lists, QObject *parent)
    : QAbstractTableModel(parent), m_lists(lists)
{
    m_captions.resize(kColumnCount);
}

void SongTableModel::setRowCount(qsizetype rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

void SongTableModel::setHeaderCaptions(const QStringList &captions)
{
    m_captions = captions;
    m_captions.resize(kColumnCount);
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

int SongTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows);
}

int SongTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant SongTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(rightAligned(column) ? Qt::AlignRight | Qt::AlignVCenter
                                                                      : Qt::AlignLeft | Qt::AlignVCenter));
    if (role == Qt::FontRole) {
        if (!isPlayingRow(row))
            return {};
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    // The row count may be ahead of the list while a command runs (the list is emptied before
    // its dialog opens); such rows are blank.
    const SongList &shown = m_lists.shown();
    if (row < 0 || row >= shown.size())
        return {};
    if (column == 0)
        return QString::number(row + 1);
    return shown[row].field(column - 1);
}

void SongTableModel::setPlayingPaths(const QString &given, const QString &resolved)
{
    if (given == m_playingGiven && resolved == m_playingResolved)
        return;
    m_playingGiven = given;
    m_playingResolved = resolved;
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows) - 1, kColumnCount - 1), {Qt::FontRole});
}

bool SongTableModel::isPlayingRow(int row) const
{
    const SongList &shown = m_lists.shown();
    if (row < 0 || row >= shown.size() || (m_playingGiven.isEmpty() && m_playingResolved.isEmpty()))
        return false;
    const QString &path = shown[row].Path;
    return !path.isEmpty() && (path == m_playingGiven || path == m_playingResolved);
}

int SongTableModel::playingRow() const
{
    const qsizetype rows = std::min(m_rows, m_lists.shown().size());
    for (int row = 0; row < rows; ++row)
        if (isPlayingRow(row))
            return row;
    return -1;
}

QVariant SongTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return m_captions[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(rightAligned(section) ? Qt::AlignRight | Qt::AlignVCenter
                                                                       : Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags SongTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int SongTableModel::columnWidth(int column)
{
    static constexpr int kWidths[kColumnCount] = {65, 130, 160, 50, 145, 45, 50, 70, 125};
    return column >= 0 && column < kColumnCount ? kWidths[column] : 0;
}
