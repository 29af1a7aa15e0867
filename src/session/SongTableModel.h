#pragma once

#include "core/SongLists.h"

#include <QAbstractTableModel>
#include <QStringList>

// The song table: it holds only a row count and reads row k from element k of the shown list
// when the view asks for it. Column 0 is the row number, columns 1..8 the record's fields.
class SongTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumnCount = 9;

    explicit SongTableModel(const SongLists &lists, QObject *parent = nullptr);

    // Like the owner-data list: the view forgets every row it had and asks again.
    void setRowCount(qsizetype rows);
    qsizetype rowCountValue() const { return m_rows; }

    void setHeaderCaptions(const QStringList &captions);

    // The song that plays: rows whose path is one of these show in bold, wherever sorting or
    // a search put them. Empty paths: no song plays.
    void setPlayingPaths(const QString &given, const QString &resolved);
    bool isPlayingRow(int row) const;
    // The first row of the shown list that plays, -1 for none.
    int playingRow() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    static int columnWidth(int column);
    static bool rightAligned(int column) { return column == 3 || column == 5; }

private:
    const SongLists &m_lists;
    qsizetype m_rows = 0;
    QStringList m_captions;
    QString m_playingGiven;
    QString m_playingResolved;
};
