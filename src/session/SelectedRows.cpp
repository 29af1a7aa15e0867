#include "session/SelectedRows.h"

#include <QItemSelectionModel>

#include <algorithm>

QList<int> selectedRowNumbers(const QItemSelectionModel &selection)
{
    const QAbstractItemModel *model = selection.model();
    if (model == nullptr)
        return {};
    const int lastColumn = model->columnCount() - 1;
    const QItemSelection ranges = selection.selection();
    qsizetype count = 0;
    for (const QItemSelectionRange &range : ranges)
        count += range.height();
    QList<int> rows;
    rows.reserve(count);
    for (const QItemSelectionRange &range : ranges) {
        const bool wholeRows = range.left() == 0 && range.right() == lastColumn;
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (wholeRows || selection.isRowSelected(row, range.parent()))
                rows.append(row);
    }
    if (!std::is_sorted(rows.begin(), rows.end()))
        std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}
