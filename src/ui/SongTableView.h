#pragma once

#include <QTableView>

// The song table, kept answering with a million rows selected:
// - QTableView tells screen readers about a selection by listing every selected cell to name
//   the first (ten million cells after Ctrl+A on a million songs, seconds of frozen window);
//   this one names the first cell of the first range, the same event.
// - The column titles asked, at every paint, whether their whole column is selected, which
//   asks every row; rows are what this table selects, so the titles get a selection of their own
//   that stays empty.
class SongTableView : public QTableView
{
public:
    using QTableView::QTableView;

    QList<int> selectedRowList() const;
    void setSelectionModel(QItemSelectionModel *selectionModel) override;

protected:
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    QItemSelectionModel *m_titleSelection = nullptr;
};
