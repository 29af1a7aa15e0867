#include "ui/Tprog.h"
#include "ui/SongTableView.h"

#include "core/AddingSongs.h"
#include "core/FileListMime.h"
#include "session/AppTitle.h"
#include "ui/MiddleElideDelegate.h"
#include "session/Resume.h"
#include "session/Session.h"
#include "session/SongTableModel.h"
#include "ui/TTrackBar.h"
#include "ui/ProgressStrip.h"
#include "ui/WorkProgress.h"
#include "session/UserDialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QDockWidget>
#include <QTimer>
#include <QToolButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Design size of the client area (without the menu bar).
constexpr int kClientWidth = 878;
constexpr int kClientHeight = 611;
constexpr int kBottomPanelHeight = 52;
constexpr int kTableInsetLeft = 8;
constexpr int kTableInsetTop = 3;

} // namespace

Tprog::Tprog(Session &session, QStringList arguments, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_arguments(std::move(arguments))
{
    setObjectName(QStringLiteral("prog"));
    setWindowTitle(kMainWindowCaption());
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    // FormCreate, in its order.
    createMenus(); // a: the menus, the information menu included
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);

    pa_oben = new QWidget(central);
    pa_oben->setObjectName(QStringLiteral("pa_oben"));
    auto *obenLayout = new QVBoxLayout(pa_oben);
    obenLayout->setContentsMargins(0, 0, 0, 0);
    obenLayout->setSpacing(0);
    pa_suche = createSearchBar(pa_oben);
    obenLayout->addWidget(pa_suche);
    auto *lower = new QHBoxLayout;
    lower->setSpacing(0);
    pa_suchopt = createSearchOptions(pa_oben);
    lower->addWidget(pa_suchopt);
    pa_liste = new QWidget(pa_oben);
    pa_liste->setObjectName(QStringLiteral("pa_liste"));
    auto *listeLayout = new QVBoxLayout(pa_liste);
    listeLayout->setContentsMargins(kTableInsetLeft, kTableInsetTop, kTableInsetLeft, 0);
    lv = new SongTableView(pa_liste);
    lv->setObjectName(QStringLiteral("lv"));
    lv->setModel(&m_session.list.model());
    lv->setSelectionBehavior(QAbstractItemView::SelectRows);
    lv->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv->setShowGrid(false);
    lv->setWordWrap(false);
    lv->setCornerButtonEnabled(false);
    lv->verticalHeader()->hide();
    // A fixed row height: sizing rows to their contents would read every song.
    lv->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lv->verticalHeader()->setDefaultSectionSize(lv->fontMetrics().height() + 4);
    lv->horizontalHeader()->setSectionsClickable(true);
    lv->horizontalHeader()->setHighlightSections(false);
    lv->horizontalHeader()->setStretchLastSection(false);
    lv->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < SongTableModel::kColumnCount; ++c)
        lv->setColumnWidth(c, SongTableModel::columnWidth(c));
    connect(lv->horizontalHeader(), &QHeaderView::sectionClicked, &m_session.list, &ListDisplay::lvColumnClick);
    // The sorted column shows its arrow; a changed list is no longer sorted.
    lv->horizontalHeader()->setSortIndicatorShown(false);
    connect(&m_session.list, &ListDisplay::sortIndicatorChanged, this, [this](int column, bool descending) {
        QHeaderView *header = lv->horizontalHeader();
        header->setSortIndicatorShown(column >= 0);
        if (column >= 0)
            header->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    // The path column keeps the file name visible: long paths lose their middle.
    lv->setItemDelegateForColumn(SongTableModel::kColumnCount - 1, new MiddleElideDelegate(lv));
    lv->setContextMenuPolicy(Qt::CustomContextMenu);
    // b: files dropped on the table, the double click and Enter come through the table.
    lv->setAcceptDrops(true);
    lv->viewport()->setAcceptDrops(true);
    lv->viewport()->installEventFilter(this);
    lv->installEventFilter(this);
    listeLayout->addWidget(lv);
    lower->addWidget(pa_liste, 1);
    obenLayout->addLayout(lower, 1);
    centralLayout->addWidget(pa_oben, 1);

    createBottomPanel(central);
    centralLayout->addWidget(pa_unten);
    setCentralWidget(central);
    createPopups();
    createQueuePanel();
    bindSearch();
    bindPlayback();

    // The status line shows the list's text; the playlist commands' outcomes show here.
    connect(&m_session.list, &ListDisplay::statusTextChanged, this, [this](const QString &text) {
        status->setText(text);
        layoutBottomPanel();
    });
    PlaylistController &playlist = m_session.playlist;
    // Long steps show in a bar under the window, which stays enabled for their Cancel.
    m_progressStrip = new ProgressStrip(m_session.progress, m_session.lang, statusBar());
    statusBar()->addWidget(m_progressStrip, 1);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->hide();
    // No input while adding, so that nothing else changes the playlist: all but that bar.
    connect(&playlist, &PlaylistController::addingChanged, this, [this](bool adding) {
        for (QWidget *part : {static_cast<QWidget *>(menuBar()), centralWidget(), static_cast<QWidget *>(m_queueDock)})
            part->setEnabled(!adding);
    });
    connect(&playlist, &PlaylistController::songsAppended, this, &Tprog::scrollToLastRow);
    playlist.setSaveWatches(progressWatches(this, m_session.lang));
    m_session.settings.attach(this);

    // c: the search bar and the options panel start hidden (the search controller's state).
    pa_suche->hide();
    pa_suchopt->hide();
    // d, e: the session starts with empty lists and seeds random order itself.
    // f: the language.
    sprache();
    // g: the position bar's range. With the focus, the arrow keys move it by 1 %, the page
    // keys by 10 %.
    stelle->setRange(0, 1000);
    stelle->setSingleStep(10);
    stelle->setPageStep(100);
    setKeyboardOrder();
    // h: the time display follows the table's right edge (layoutBottomPanel).
    // i:
    FirstActivation = true;

    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

Tprog::~Tprog()
{
    // FormDestroy
    m_session.settings.attach(nullptr);
    m_session.playback.FreePlayer();
    const auto scope = m_session.lists.edit(SongLists::Refresh::None);
    m_session.lists.clear();
}

void Tprog::setKeyboardOrder()
{
    // Tab leaves the table instead of walking its cells, and goes on to the search field, the
    // buttons and the position bar (the options panel's controls follow when it is shown).
    lv->setTabKeyNavigation(false);
    QList<QWidget *> order{lv, suchwort, regexsuche};
    for (const char *name : {"Suchen", "Opt", "Alle"})
        order << findChild<QPushButton *>(QLatin1String(name));
    order << BtPlay << zurueck << weiter << stelle << stumm << lautstaerke;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    for (QWidget *w : std::as_const(order))
        if (w != lv && w != suchwort)
            w->setFocusPolicy(Qt::StrongFocus);
}

bool Tprog::startsMaximized(QSize desktop, QSize client)
{
    return desktop.height() - client.height() < 50 || desktop.width() - client.width() < 50;
}

QAction *Tprog::action(const char *component) const
{
    return findChild<QAction *>(QLatin1String(component));
}

void Tprog::createBottomPanel(QWidget *parent)
{
    pa_unten = new QWidget(parent);
    pa_unten->setObjectName(QStringLiteral("pa_unten"));
    pa_unten->setFixedHeight(kBottomPanelHeight);
    status = new QLabel(pa_unten);
    status->setObjectName(QStringLiteral("status"));
    status->installEventFilter(this);
    lblPosition = new QLabel(QStringLiteral("00:00:00:000"), pa_unten);
    lblPosition->setObjectName(QStringLiteral("lblPosition"));
    Label1 = new QLabel(QStringLiteral("/"), pa_unten);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblDuration = new QLabel(QStringLiteral("00:00:00:000"), pa_unten);
    lblDuration->setObjectName(QStringLiteral("lblDuration"));
    auto button = [this](const char *name, const char *caption, int x) {
        auto *b = new QPushButton(QLatin1String(caption), pa_unten);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 19, 49, 25);
        return b;
    };
    BtPlay = button("BtPlay", ">", 8);
    zurueck = button("zurueck", "<<", 63);
    weiter = button("weiter", ">>", 118);
    stelle = new TTrackBar(Qt::Horizontal, pa_unten);
    stelle->setObjectName(QStringLiteral("stelle"));
    stelle->setTickPosition(QSlider::TicksBelow);
    stelle->setTickInterval(50);
    stumm = new QToolButton(pa_unten);
    stumm->setObjectName(QStringLiteral("stumm"));
    stumm->setCheckable(true);
    stumm->setAutoRaise(true);
    lautstaerke = new TTrackBar(Qt::Horizontal, pa_unten); // a click jumps, as on the position bar
    lautstaerke->setObjectName(QStringLiteral("lautstaerke"));
    lautstaerke->setRange(0, 100);
    lautstaerke->setPageStep(10);
    coverBild = new QLabel(pa_unten);
    coverBild->setObjectName(QStringLiteral("coverBild"));
    coverBild->setAlignment(Qt::AlignCenter);
    coverBild->hide();
    connect(&m_session.covers, &CoverController::playingCoverChanged, this, &Tprog::showCover);
    pa_unten->installEventFilter(this);
    layoutBottomPanel();
}

void Tprog::layoutBottomPanel()
{
    const int right = pa_unten->width() - kTableInsetLeft;
    for (QLabel *l : {lblPosition, Label1, lblDuration, status})
        l->adjustSize();
    const int height = lblDuration->height();
    // lblDuration ends at the table's right edge; "/" 5 pixels left of it, lblPosition 5 more.
    lblDuration->move(right - lblDuration->width(), 0);
    Label1->move(lblDuration->x() - 5 - Label1->width(), 0);
    lblPosition->move(Label1->x() - 5 - lblPosition->width(), 0);
    // The cover takes the panel's left end when there is one and the window is wide enough for
    // it; the song display and the buttons move right by its width.
    constexpr int kCoverMinPanelWidth = 640;
    const bool cover = !m_coverImage.isNull() && pa_unten->width() >= kCoverMinPanelWidth;
    const int side = kBottomPanelHeight - 4;
    const int left = cover ? 8 + side + 6 : 8;
    coverBild->setVisible(cover);
    if (cover) {
        coverBild->setGeometry(8, 2, side, side);
        const qreal ratio = devicePixelRatioF();
        QPixmap pixmap = QPixmap::fromImage(m_coverImage.scaled(QSize(side, side) * ratio, Qt::KeepAspectRatio,
                                                                Qt::SmoothTransformation));
        pixmap.setDevicePixelRatio(ratio);
        coverBild->setPixmap(pixmap);
    }
    status->setGeometry(left, 0, qMax(0, lblPosition->x() - left - 8), height);
    BtPlay->move(left, 19);
    zurueck->move(left + 55, 19);
    weiter->move(left + 110, 19);
    // The volume sits at the right end of the bar's row.
    constexpr int kVolumeWidth = 90, kMuteWidth = 25, kGap = 6;
    lautstaerke->setGeometry(right - kVolumeWidth, 19, kVolumeWidth, 25);
    stumm->setGeometry(lautstaerke->x() - kGap - kMuteWidth, 19, kMuteWidth, 25);
    stelle->setGeometry(left + 184, 19, qMax(0, stumm->x() - kGap - left - 184), 25);
}

void Tprog::showCover(const QImage &image)
{
    m_coverImage = image;
    if (image.isNull())
        coverBild->clear();
    layoutBottomPanel();
}

void Tprog::mcloseClick()
{
    close();
}

void Tprog::FormShow()
{
    // a: a top-level QMainWindow has its own taskbar entry already.
    // b, d, e: the playlists beside the program, or the arguments.
    // c: the add-folder dialog resets its own counter when it is built.
    const bool restoreLast = m_session.settings.restoreLastPlaylistAtStart();
    const bool lastLoaded = restoreLast && m_arguments.isEmpty() && !m_session.playlist.lastPlaylistPath().isEmpty()
                            && QFileInfo(m_session.playlist.lastPlaylistPath()).isFile();
    m_session.playlist.FormShow(m_arguments, restoreLast);
    if (lastLoaded) {
        const ResumePoint point = ResumePoint::read(Resume::fileFor(m_session.playlist.lastPlaylistPath()));
        const int top = Resume::apply(point, m_session);
        // Once the table has its size: then the row can stand at the top.
        QTimer::singleShot(0, this, [this, top] {
            // The scroll bar learns the new row count only at the next layout: lay out now.
            lv->doItemsLayout();
            lv->scrollTo(lv->model()->index(top, 0), QAbstractItemView::PositionAtTop);
        });
    }
    // Once the window is on the screen: a question about a lost playlist goes over it.
    QTimer::singleShot(0, this, [this] { m_session.startJournal(); });
    // f: a desktop not much larger than the window: start maximized.
    if (const QScreen *screen = this->screen()) {
        if (startsMaximized(screen->virtualSize(), centralWidget()->size()))
            MaximizePending = 0;
    }
}

void Tprog::FormActivate()
{
    if (FirstActivation) {
        m_session.settings.loadAtFirstActivation();
        FirstActivation = false;
    }
    // While the start window is open it keeps the focus.
    m_session.playlist.FormActivate();
    if (MaximizePending == 0) {
        showMaximized();
        MaximizePending = 1;
    }
}

bool Tprog::FormCloseQuery()
{
    // A failed automatic save of the settings keeps the window open, and so does a last
    // playlist that could not be kept: closing would lose it.
    if (!m_session.settings.saveOnClose())
        return false;
    if (!m_session.settings.restoreLastPlaylist())
        return true;
    if (!m_session.playlist.keepLastPlaylist())
        return false;
    // Where the user left off goes with it; losing that is no reason to keep the window open.
    if (!m_session.playlist.lastPlaylistPath().isEmpty())
        Resume::capture(m_session, lv->rowAt(0)).write(Resume::fileFor(m_session.playlist.lastPlaylistPath()));
    return true;
}

void Tprog::FormClose()
{
    m_session.playback.stop();
    m_session.endJournal();
    Q_EMIT formClosed();
}

bool Tprog::settingsMaximized() const
{
    return isMaximized();
}

QRect Tprog::settingsPlacement() const
{
    return frameGeometry();
}

void Tprog::settingsMaximize()
{
    // Also before the window is first shown: it then opens maximized.
    setWindowState(windowState() | Qt::WindowMaximized);
}

void Tprog::settingsRestoreNormal()
{
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

void Tprog::setSettingsPlacement(const QRect &outer)
{
    // The file holds the outer frame; the window's size is its client part.
    const QSize frame = frameGeometry().size() - geometry().size();
    move(outer.topLeft());
    resize(outer.width() - frame.width(), outer.height() - frame.height());
}

int Tprog::settingsColumnWidth(int column) const
{
    return lv->columnWidth(column);
}

void Tprog::setSettingsColumnWidth(int column, int width)
{
    lv->setColumnWidth(column, width);
}

void Tprog::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void Tprog::closeEvent(QCloseEvent *event)
{
    if (m_session.playlist.isAdding()) {
        // The window is in the middle of adding (events run inside its loops): stop that
        // first; the user closes again once the window is back.
        m_session.playlist.cancelAdding();
        event->ignore();
        return;
    }
    const TrayController::CloseAction action = m_session.tray.closeAction();
    m_session.tray.closeHandled();
    if (action == TrayController::CloseAction::HideToTray) {
        hide();
        event->ignore();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool Tprog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QMainWindow::event(event);
}
