#pragma once

#include <QList>

class QItemSelectionModel;

// The rows a table's selection holds, ascending and each once. Qt's own selectedRows() visits
// every row through a hash and asks each cell whether it is selected: at a million selected rows
// that froze the window for a second. A range that spans every column is a run of whole rows.
QList<int> selectedRowNumbers(const QItemSelectionModel &selection);
