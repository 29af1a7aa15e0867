// The main window's table: the selection, double click, the drag out of it and drops on it.
#include "ui/Tprog.h"
#include "ui/SongTableView.h"

#include "core/AddingSongs.h"
#include "core/FileListMime.h"
#include "session/Session.h"
#include "session/SongTableModel.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTableView>

#include <algorithm>

namespace {

// Asks the drag loop's question of every input while a drag out of the table runs: Esc or the
// right button end it without a drop. Qt's own loop drops on the release of any button.
class DragLoopQuestions : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        const bool escape = event->type() == QEvent::KeyPress
                            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape;
        const bool press = event->type() == QEvent::MouseButtonPress;
        if (!escape && !press)
            return false;
        const Qt::MouseButtons held = press ? static_cast<QMouseEvent *>(event)->buttons() : Qt::NoButton;
        if (DragOut::queryContinue(held, escape) != DragOut::Step::Cancel)
            return false;
        QDrag::cancel();
        return true;
    }
};

} // namespace

QTableView *Tprog::table() const
{
    return lv;
}

int Tprog::selectedRow() const
{
    const QList<int> rows = lv->selectedRowList();
    return rows.isEmpty() ? -1 : rows.first();
}

QList<int> Tprog::selectedRows() const
{
    return lv->selectedRowList();
}

void Tprog::jumpToPlayingSong()
{
    const int row = m_session.list.model().playingRow();
    if (row < 0)
        return;
    const QModelIndex at = m_session.list.model().index(row, 0);
    lv->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lv->scrollTo(at, QAbstractItemView::PositionAtCenter);
}

void Tprog::selectRows(const QList<int> &rows)
{
    if (rows.isEmpty())
        return;
    QItemSelection selection;
    for (int row : rows)
        selection.select(lv->model()->index(row, 0), lv->model()->index(row, lv->model()->columnCount() - 1));
    lv->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const QModelIndex first = lv->model()->index(rows.first(), 0);
    lv->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    lv->scrollTo(first);
}

void Tprog::mp9Click()
{
    lv->selectAll();
}

void Tprog::lvDblClick()
{
    const int row = selectedRow();
    if (row >= 0)
        m_session.playback.lvDblClick(row);
    else
        m_session.playlist.m_opendateiClick();
}

bool Tprog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lv && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return m_session.playback.lvKeyPress(13, selectedRow());
    }
    if (watched == lv->viewport() && viewportEvent(event))
        return true;
    if (watched == pa_unten && event->type() == QEvent::Resize)
        layoutBottomPanel();
    else if (watched == status && event->type() == QEvent::MouseButtonRelease
             && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        m_session.list.statusClick();
    return QMainWindow::eventFilter(watched, event);
}

bool Tprog::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        // Rows dragged inside the table move (a drop on their own place moves nothing); files
        // from elsewhere are added.
        if (drag->source() == lv || !fileListFromMimeData(drag->mimeData()).isEmpty()) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (drop->source() == lv) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // Before the row under the mouse, or after it in its lower half; the end below the rows.
            const QPoint at = drop->position().toPoint();
            const int under = lv->indexAt(at).row();
            const int before = under < 0 ? lv->model()->rowCount()
                                         : under + int(at.y() > lv->visualRect(lv->model()->index(under, 0)).center().y());
            const QList<int> rows = selectedRows();
            QMetaObject::invokeMethod(
                this, [this, rows, before] { selectRows(m_session.selection.dropRows(rows, before)); },
                Qt::QueuedConnection);
            return true;
        }
        const QStringList names = fileListFromMimeData(drop->mimeData());
        if (names.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // The drag source waits until the drop returns: add after it has let go.
        QMetaObject::invokeMethod(
            this, [this, names] { m_session.playlist.lvDropFiles(names); }, Qt::QueuedConnection);
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        m_dragOut.lvMouseDown(mouse->position().toPoint(), mouse->button());
        return false;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        switch (m_dragOut.lvMouseMove(mouse->position().toPoint(), mouse->buttons(), selectedRow() >= 0)) {
        case DragOut::Move::Table:
            return false;
        case DragOut::Move::Pending:
            return true;
        case DragOut::Move::Start:
            lvStartDrag(mouse->position().toPoint());
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonDblClick:
        // The view selects what is under the mouse first; decide after that.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            QMetaObject::invokeMethod(this, &Tprog::lvDblClick, Qt::QueuedConnection);
        return false;
    default:
        return false;
    }
}

void Tprog::lvStartDrag(QPoint at)
{
    // The view's own tracking of the press ends here. Its release would narrow a selection of
    // several rows down to the pressed one: the rows being dragged stay selected.
    const QItemSelection dragged = lv->selectionModel()->selection();
    QMouseEvent release(QEvent::MouseButtonRelease, at, lv->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(lv->viewport(), &release);
    lv->selectionModel()->select(dragged, QItemSelectionModel::ClearAndSelect);

    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    // The rows' existing files for other programs; inside the table the rows themselves move,
    // also when none of their files exists.
    const QStringList paths = m_session.selection.dragPaths(rows);
    // Qt deletes the drag once it is over.
    auto *drag = new QDrag(lv);
    drag->setMimeData(fileListMimeData(paths));
    DragLoopQuestions questions;
    QCoreApplication::instance()->installEventFilter(&questions);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
    QCoreApplication::instance()->removeEventFilter(&questions);
}

void Tprog::scrollToLastRow()
{
    lv->scrollToBottom();
    // The new row count changes the scroll range only once the view has laid itself out
    // again (a scroll bar appearing takes a row's height): scroll once more after that.
    QMetaObject::invokeMethod(lv, &QTableView::scrollToBottom, Qt::QueuedConnection);
}
