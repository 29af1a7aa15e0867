#include "ui/Tstartfenster.h"

#include "ui/Artwork.h"
#include "session/StartWindowController.h"
#include "ui/LanguageTexts.h"
#include "ui/WindowTexts.h"
#include "session/UserDialogs.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTreeWidget>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kClientWidth = 560;
constexpr int kClientHeight = 300;
constexpr int kButtonWidth = 104;
constexpr int kButtonGap = 6;
constexpr int kColumnWidths[] = {150, 250, 80};

} // namespace

Tstartfenster::Tstartfenster(LanguageCode &lang, StartWindowController &controller, UserDialogs &dialogs,
                             QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      m_lang(lang),
      m_controller(controller),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Tstartfenster"));
    setWindowIcon(Artwork::programIcon());
    setFixedSize(kClientWidth, kClientHeight);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(Artwork::iconPicture(48));
    Image1->setGeometry(8, 8, 48, 48);

    stammordner = new QTreeWidget(this);
    stammordner->setObjectName(QStringLiteral("stammordner"));
    stammordner->setGeometry(64, 8, kClientWidth - 72, kClientHeight - 60);
    stammordner->setColumnCount(3);
    stammordner->setRootIsDecorated(false);
    stammordner->setItemsExpandable(false);
    stammordner->setUniformRowHeights(true);
    stammordner->setAllColumnsShowFocus(true);
    stammordner->setSelectionMode(QAbstractItemView::ExtendedSelection);
    stammordner->setSelectionBehavior(QAbstractItemView::SelectRows);
    stammordner->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stammordner->setSortingEnabled(false); // the controller sorts
    QHeaderView *header = stammordner->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    for (int c = 0; c < 3; ++c)
        stammordner->setColumnWidth(c, kColumnWidths[c]);
    stammordner->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    stammordner->viewport()->installEventFilter(this);

    // Tab order as created: the list, then the buttons from left to right.
    const char *const names[] = {"Button5", "Button1", "Button4", "Button3", "Button2"};
    QPushButton **buttons[] = {&Button5, &Button1, &Button4, &Button3, &Button2};
    int x = kClientWidth - 8 - 5 * kButtonWidth - 4 * kButtonGap;
    for (int i = 0; i < 5; ++i) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(names[i]));
        b->setGeometry(x, kClientHeight - 40, kButtonWidth, 28);
        b->setAutoDefault(false);
        *buttons[i] = b;
        x += kButtonWidth + kButtonGap;
    }
    setTabOrder(stammordner, Button5);
    setTabOrder(Button5, Button1);
    setTabOrder(Button1, Button4);
    setTabOrder(Button4, Button3);
    setTabOrder(Button3, Button2);
    Button1->setEnabled(false);

    connect(Button5, &QPushButton::clicked, &m_controller, &StartWindowController::Button5Click);
    connect(Button1, &QPushButton::clicked, this, [this] { m_controller.Button1Click(selectedRows()); });
    connect(Button4, &QPushButton::clicked, &m_controller, &StartWindowController::Button4Click);
    connect(Button3, &QPushButton::clicked, &m_controller, &StartWindowController::Button3Click);
    connect(Button2, &QPushButton::clicked, &m_controller, &StartWindowController::Button2Click);
    connect(header, &QHeaderView::sectionClicked, &m_controller, &StartWindowController::stammordnerColumnClick);
    // Any change of the selection, by mouse or keyboard, updates the button.
    connect(stammordner, &QTreeWidget::itemSelectionChanged, this, &Tstartfenster::selectionChanged);
    connect(&m_controller, &StartWindowController::rowsChanged, this, &Tstartfenster::fillList);
    connect(&m_controller, &StartWindowController::closeRequested, this, &QWidget::hide);

    sprache();
}

void Tstartfenster::sprache()
{
    LanguageTexts::applyWindowTitle(*this, "Tstartfenster", m_lang);
    QString caption;
    for (const UiText &t : LanguageTexts::startWindow()) {
        if (!LanguageTexts::routineText(t, m_lang, caption))
            continue;
        if (std::strncmp(t.component, "stammordner.", 12) == 0)
            stammordner->headerItem()->setText(t.component[12] - '0', caption);
        else if (auto *b = findChild<QPushButton *>(QLatin1String(t.component)))
            b->setText(caption);
    }
}

void Tstartfenster::offer()
{
    if (!isVisible()) {
        const QRect over = m_centreOver ? m_centreOver->frameGeometry()
                           : QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                              : QRect();
        // The client area centred: the frame is not known before the window is shown.
        if (over.isValid())
            setGeometry(QRect(over.center() - rect().center(), size()));
        show();
    }
    raise();
    activateWindow();
}

QList<int> Tstartfenster::selectedRows() const
{
    QList<int> rows;
    for (QTreeWidgetItem *item : stammordner->selectedItems())
        rows.append(stammordner->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void Tstartfenster::fillList()
{
    // A sort keeps the chosen playlists chosen.
    QSet<QString> selected;
    for (QTreeWidgetItem *item : stammordner->selectedItems())
        selected.insert(item->text(1));
    QTreeWidgetItem *current = stammordner->currentItem();
    const QString currentPath = current ? current->text(1) : QString();

    const QSignalBlocker block(stammordner);
    stammordner->clear();
    for (const StartWindowController::Row &row : m_controller.rows()) {
        auto *item = new QTreeWidgetItem(stammordner, {row.name, row.path, row.size});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setSelected(selected.contains(row.path));
        if (row.path == currentPath)
            stammordner->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    }
    selectionChanged();
}

void Tstartfenster::selectionChanged()
{
    Button1->setEnabled(StartWindowController::canLoadSelected(selectedRows()));
}

void Tstartfenster::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        m_controller.FormShow();
}

void Tstartfenster::closeEvent(QCloseEvent *event)
{
    m_controller.FormClose();
    event->accept();
}

bool Tstartfenster::eventFilter(QObject *watched, QEvent *event)
{
    // The press before it has chosen the row (or cleared the choice on empty space).
    if (watched == stammordner->viewport() && event->type() == QEvent::MouseButtonDblClick)
        m_controller.stammordnerDblClick(selectedRows());
    return QWidget::eventFilter(watched, event);
}
