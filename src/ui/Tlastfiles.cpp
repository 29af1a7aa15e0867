#include "ui/Tlastfiles.h"

#include "playback/PlaybackControl.h"
#include "ui/LanguageTexts.h"

#include <QCollator>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

Tlastfiles::Tlastfiles(LanguageCode &lang, PlaybackControl &playback, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_lang(lang), m_playback(playback)
{
    // Told only while shown (see showEvent).
    connect(&m_playback, &PlaybackControl::historyChanged, this, &Tlastfiles::Aktualisieren);
    setObjectName(QStringLiteral("Tlastfiles"));
    resize(405, 335);
    lf = new QTreeWidget(this);
    lf->setObjectName(QStringLiteral("lf"));
    lf->setColumnCount(2);
    lf->setRootIsDecorated(false);
    lf->setItemsExpandable(false);
    lf->setUniformRowHeights(true);
    lf->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lf->setSelectionBehavior(QAbstractItemView::SelectRows);
    lf->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lf->setColumnWidth(0, 225);
    lf->setColumnWidth(1, 160);
    lf->header()->setSectionsClickable(true);
    lf->header()->setSortIndicatorShown(false);
    lf->installEventFilter(this);
    connect(lf, &QTreeWidget::itemDoubleClicked, this, [this] { lfDblClick(); });
    connect(lf->header(), &QHeaderView::sectionClicked, this, &Tlastfiles::lfColumnClick);

    Delete = new QPushButton(this);
    Delete->setObjectName(QStringLiteral("Delete"));
    connect(Delete, &QPushButton::clicked, this, &Tlastfiles::DeleteClick);
    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &Tlastfiles::Button1Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Delete);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(lf, 1);
    layout->addLayout(buttons);

    LocalSpr();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void Tlastfiles::LocalSpr()
{
    if (!m_lang.isDe() && !m_lang.isEn())
        return;
    const bool de = m_lang.isDe();
    if (const UiText *t = LanguageTexts::find(LanguageTexts::windowTitles(), "Tlastfiles"))
        setWindowTitle((de ? t->de : t->en).toString());
    lf->setHeaderLabels({QStringLiteral("Song"), de ? QStringLiteral("Dateipfad") : QStringLiteral("File")});
    Delete->setText(de ? QStringLiteral("Löschen") : QStringLiteral("Delete"));
    Button1->setText(de ? QStringLiteral("Schließen") : QStringLiteral("Close"));
}

void Tlastfiles::Aktualisieren()
{
    lf->setUpdatesEnabled(false);
    lf->clear();
    const QList<PlayHistoryEntry> &history = m_playback.PlayHistory();
    QList<QTreeWidgetItem *> items;
    items.reserve(history.size());
    for (qsizetype i = history.size() - 1; i >= 0; --i)
        items.append(new QTreeWidgetItem(QStringList{history[i].DisplayText, history[i].Path}));
    lf->addTopLevelItems(items);
    lf->setUpdatesEnabled(true);
}

void Tlastfiles::lfDblClick()
{
    const QList<QTreeWidgetItem *> selected = lf->selectedItems();
    if (selected.isEmpty())
        return;
    // The first selected row in list order.
    int first = lf->topLevelItemCount();
    for (QTreeWidgetItem *item : selected)
        first = std::min(first, lf->indexOfTopLevelItem(item));
    m_playback.lfDblClick(lf->topLevelItem(first)->text(1));
}

void Tlastfiles::lfKeyDown(int key)
{
    if (key != Qt::Key_Delete)
        return;
    for (int row = lf->topLevelItemCount() - 1; row >= 0; --row) {
        QTreeWidgetItem *item = lf->topLevelItem(row);
        if (item->isSelected())
            delete lf->takeTopLevelItem(row);
    }
}

void Tlastfiles::lfColumnClick(int column)
{
    SortDirection = column == SortColumn ? 1 - SortDirection : 0;
    SortColumn = column;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<QTreeWidgetItem *> items;
    while (lf->topLevelItemCount() > 0)
        items.append(lf->takeTopLevelItem(0));
    const int key = column == 0 ? 0 : 1;
    const bool descending = SortDirection == 1;
    std::stable_sort(items.begin(), items.end(), [&](QTreeWidgetItem *a, QTreeWidgetItem *b) {
        const int order = collator.compare(a->text(key), b->text(key));
        return descending ? order > 0 : order < 0;
    });
    lf->addTopLevelItems(items);
}

void Tlastfiles::DeleteClick()
{
    m_playback.DeleteHistory();
    lf->clear();
}

void Tlastfiles::Button1Click()
{
    close();
}

void Tlastfiles::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_playback.setRecentWindowVisible(true);
}

void Tlastfiles::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_playback.setRecentWindowVisible(false);
}

bool Tlastfiles::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lf && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Delete) {
            lfKeyDown(key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
