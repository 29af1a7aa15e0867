#include "ui/QueuePanel.h"

#include "core/LanguageCode.h"
#include "playback/PlayQueue.h"
#include "session/QueueEdits.h"
#include "session/QueueListModel.h"
#include "ui/LanguageTexts.h"

#include <QDropEvent>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

QList<int> QueueList::selectedRows() const
{
    QList<int> rows;
    for (const QItemSelectionRange &range : selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.append(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QString QueueList::text(int row) const
{
    return model() ? model()->index(row, 0).data().toString() : QString();
}

void QueueList::dropEvent(QDropEvent *event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const QModelIndex target = indexAt(event->position().toPoint());
    int before = count();
    if (target.isValid()) {
        const QRect r = visualRect(target);
        before = target.row() + (event->position().y() >= r.center().y() ? 1 : 0);
    }
    // Copy, not move: the list must keep its items until the queue shows itself again.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    Q_EMIT dropped(selectedRows(), before);
}

const std::function<void()> *QueueList::commandFor(QKeyEvent *event) const
{
    const QKeySequence pressed(event->keyCombination());
    for (const auto &[key, command] : m_keys)
        if (key == pressed)
            return &command;
    return nullptr;
}

bool QueueList::event(QEvent *event)
{
    // Taken before the window's menu shortcuts see the key.
    if (event->type() == QEvent::ShortcutOverride && commandFor(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QListView::event(event);
}

void QueueList::keyPressEvent(QKeyEvent *event)
{
    if (const std::function<void()> *command = commandFor(event)) {
        (*command)();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

QueuePanel::QueuePanel(PlayQueue &queue, const LanguageCode &lang, QWidget *parent)
    : QWidget(parent), m_queue(queue), m_lang(lang)
{
    setObjectName(QStringLiteral("queuePanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_list = new QueueList(this);
    m_list->setObjectName(QStringLiteral("queue_list"));
    m_model = new QueueListModel(m_queue, this);
    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true); // a million rows are not measured one by one
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setDragDropMode(QAbstractItemView::DragDrop);
    m_list->setDefaultDropAction(Qt::CopyAction);
    m_list->setDropIndicatorShown(true);
    layout->addWidget(m_list, 1);
    // Two by two: the German captions fit a narrow panel.
    auto *buttons = new QGridLayout;
    layout->addLayout(buttons);

    auto command = [&](const char *component, auto run) {
        auto *button = new QPushButton(this);
        button->setObjectName(QLatin1String(component));
        const int n = buttons->count();
        buttons->addWidget(button, n / 2, n % 2);
        connect(button, &QPushButton::clicked, this, run);
        // The keys act while the list has the focus.
        if (const UiText *t = LanguageTexts::find(LanguageTexts::queuePanel(), component); t && t->key)
            m_list->addKey(QKeySequence(QLatin1String(t->key)), run);
    };
    command("queue_remove", [this] { m_queue.remove(m_list->selectedRows()); });
    command("queue_up", [this] { select(QueueEdits::step(m_queue, m_list->selectedRows(), -1)); });
    command("queue_down", [this] { select(QueueEdits::step(m_queue, m_list->selectedRows(), +1)); });
    command("queue_clear", [this] { m_queue.clear(); });
    connect(m_list, &QueueList::dropped, this,
            [this](const QList<int> &rows, int before) { select(QueueEdits::dropBefore(m_queue, rows, before)); });
}

void QueuePanel::select(const QList<int> &rows)
{
    // Runs of rows as ranges, as the selection keeps them.
    QItemSelection selection;
    const int count = m_list->count();
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        if (rows[i] >= 0 && rows[j] < count)
            selection.select(m_model->index(rows[i]), m_model->index(rows[j]));
        i = j + 1;
    }
    m_list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty())
        m_list->selectionModel()->setCurrentIndex(m_model->index(rows.first()), QItemSelectionModel::NoUpdate);
}

void QueuePanel::sprache()
{
    QString text;
    for (const UiText &t : LanguageTexts::queuePanel()) {
        if (!LanguageTexts::routineText(t, m_lang, text))
            continue;
        if (auto *button = findChild<QPushButton *>(QLatin1String(t.component)))
            button->setText(text);
    }
}
