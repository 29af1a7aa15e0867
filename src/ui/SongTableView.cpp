#include "ui/SongTableView.h"

#include "session/SelectedRows.h"

#include <QAccessible>
#include <QHeaderView>

QList<int> SongTableView::selectedRowList() const
{
    return selectionModel() ? selectedRowNumbers(*selectionModel()) : QList<int>{};
}

void SongTableView::setSelectionModel(QItemSelectionModel *selectionModel)
{
    QTableView::setSelectionModel(selectionModel);
    if (m_titleSelection == nullptr || m_titleSelection->model() != model()) {
        delete m_titleSelection;
        m_titleSelection = new QItemSelectionModel(model(), this);
    }
    horizontalHeader()->setSelectionModel(m_titleSelection);
}

void SongTableView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
#if QT_CONFIG(accessibility)
    if (QAccessible::isActive()) {
        // The child number of a cell as the table's accessible interface counts them: the header
        // row first, and a column for the row headers.
        const auto announce = [this](const QItemSelection &ranges, QAccessible::Event type) {
            if (ranges.isEmpty() || !ranges.first().isValid())
                return;
            const QModelIndex cell = ranges.first().topLeft();
            const int rowHeader = verticalHeader() ? 1 : 0;
            const int columnHeader = horizontalHeader() ? 1 : 0;
            QAccessibleEvent event(this, type);
            event.setChild((cell.row() + columnHeader) * (model()->columnCount() + rowHeader) + cell.column() + rowHeader);
            QAccessible::updateAccessibility(&event);
        };
        announce(selected, QAccessible::SelectionAdd);
        announce(deselected, QAccessible::SelectionRemove);
    }
#endif
    QAbstractItemView::selectionChanged(selected, deselected);
}
