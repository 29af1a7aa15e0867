#pragma once

#include <QKeySequence>
#include <QListView>
#include <QWidget>

#include <functional>
#include <utility>

class LanguageCode;
class PlayQueue;
class QPushButton;
class QueueListModel;

// The queue's list: a drag inside it moves the dragged entries through the queue, which then
// shows itself again (the list never moves its items on its own). Its keys (Del, Alt+Up,
// Alt+Down) are the table's too: while the list has the focus they act here.
class QueueList : public QListView
{
    Q_OBJECT
public:
    using QListView::QListView;
    // Read from the selection's ranges: a million selected entries are no million lookups.
    QList<int> selectedRows() const;
    int count() const { return model() ? model()->rowCount() : 0; }
    QString text(int row) const;
    void addKey(const QKeySequence &key, std::function<void()> command) { m_keys.append({key, std::move(command)}); }

Q_SIGNALS:
    void dropped(const QList<int> &rows, int before);

protected:
    void dropEvent(QDropEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    const std::function<void()> *commandFor(QKeyEvent *event) const;
    QList<std::pair<QKeySequence, std::function<void()>>> m_keys;
};

// The panel beside the table that lists the queue: its entries can be removed, moved (the
// buttons, Del, Alt+Up and Alt+Down, a drag) and cleared.
class QueuePanel : public QWidget
{
    Q_OBJECT
public:
    QueuePanel(PlayQueue &queue, const LanguageCode &lang, QWidget *parent = nullptr);
    void sprache();
    QueueList *list() const { return m_list; }

private:
    void select(const QList<int> &rows);

    PlayQueue &m_queue;
    const LanguageCode &m_lang;
    QueueListModel *m_model = nullptr;
    QueueList *m_list = nullptr;
};
