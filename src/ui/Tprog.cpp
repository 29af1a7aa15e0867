#include "ui/Tprog.h"

#include "core/AddingSongs.h"
#include "core/Errors.h"
#include "core/FolderWalk.h"
#include "core/FileSystem.h"
#include "core/Playlist.h"
#include "ui/AppTitle.h"
#include "ui/LanguageTexts.h"
#include "ui/ListStatus.h"
#include "playback/PlaybackControl.h"
#include "ui/SearchOptionsBinding.h"
#include "ui/SearchOptionsModel.h"
#include "ui/SongTableModel.h"
#include "ui/TTrackBar.h"
#include "ui/Tfehler.h"
#include "ui/Tlastfiles.h"
#include "ui/TprogPlaybackView.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QClipboard>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSlider>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>

namespace {

// Design size of the client area (without the menu bar).
constexpr int kClientWidth = 878;
constexpr int kClientHeight = 611;
constexpr int kBottomPanelHeight = 52;
constexpr int kTableInsetLeft = 8;
constexpr int kTableInsetTop = 3;

// Menu items whose commands this window carries out itself; every other item waits for the
// subsystem that owns its command and is disabled until then.
const char *const kWorkingItems[] = {
    "m_opendatei", "m_openordner", "mp4", "mp11", "mp1", "mp3", "mp2", "ergalsemp", "mclose",
    "Deutsch1", "English1", "saat", "saata", "saatta", "saatg", "saf", "saheader", "sastatus", "m_about",
    "mp5", "mp6", "msuche", "suchoptpanel", "Suchoptionen1", "m_regexsuche",
};

bool isWorkingItem(const QString &name)
{
    for (const char *item : kWorkingItems)
        if (name == QLatin1String(item))
            return true;
    return false;
}

QString audioFilesFilter(QStringView allFiles)
{
    return QStringLiteral("Audio (*.mp3,*.wav,*.ogg,*.wma) (*.mp3 *.wav *.ogg *.wma);;Audio (*.mp3) (*.mp3);;"
                          "Audio (*.wav) (*.wav);;Audio (*.ogg) (*.ogg);;Audio (*.wma) (*.wma);;")
        + allFiles.toString() + QStringLiteral(" (*.*) (*)");
}

} // namespace

Tprog::Tprog(LanguageCode &lang, OutputSettings &output, UserDialogs &dialogs, QString programFolder,
             QStringList arguments, QWidget *parent)
    : QMainWindow(parent),
      m_lang(lang),
      m_output(output),
      m_dialogs(dialogs),
      m_arguments(std::move(arguments)),
      m_lists(std::move(programFolder))
{
    setObjectName(QStringLiteral("prog"));
    setWindowTitle(kMainWindowCaption());
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    // The search options exist before the controls that show them.
    m_searchOptions = new SearchOptionsModel(this);

    // FormCreate, in its order.
    createMenus();                 // a: the menus, the information menu included
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
    m_model = new SongTableModel(m_lists, this);
    lv = new QTableView(pa_liste);
    lv->setObjectName(QStringLiteral("lv"));
    lv->setModel(m_model);
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
    connect(lv->horizontalHeader(), &QHeaderView::sectionClicked, this, &Tprog::lvColumnClick);
    lv->setContextMenuPolicy(Qt::CustomContextMenu);
    // b: files dropped on the table, and the double click on it, come through its viewport.
    lv->setAcceptDrops(true);
    lv->viewport()->setAcceptDrops(true);
    lv->viewport()->installEventFilter(this);
    listeLayout->addWidget(lv);
    lower->addWidget(pa_liste, 1);
    obenLayout->addLayout(lower, 1);
    centralLayout->addWidget(pa_oben, 1);

    createBottomPanel(central);
    centralLayout->addWidget(pa_unten);
    setCentralWidget(central);
    m_search = std::make_unique<SearchController>(m_lists, m_lang, *m_searchOptions, static_cast<SearchView &>(*this));
    hooks.SuchenClick = [this] { return m_search->SuchenClick(); };
    createPopups();

    // c: the search bar and the options panel start hidden.
    pa_suche->hide();
    pa_suchopt->hide();
    // d: empty lists, the whole playlist shown.
    m_lists.AllSongs.clear();
    m_lists.FoundSongs.clear();
    m_lists.ShowingFound = false;
    StatusShowsSong = false;
    // e: the random generator of random play seeds itself (QRandomGenerator::global()).
    // f: the language.
    m_openAudioFilesFilter = audioFilesFilter(u"Alle Dateien");
    sprache();
    // g: the position bar's range.
    stelle->setRange(0, 1000);
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
    if (hooks.FreePlayer)
        hooks.FreePlayer();
    m_lists.AllSongs.clear();
    m_lists.FoundSongs.clear();
}

QString Tprog::playlistFilter()
{
    return QStringLiteral("Playlist Sonalo (*.slp)");
}

bool Tprog::startsMaximized(QSize desktop, QSize client)
{
    return desktop.height() - client.height() < 50 || desktop.width() - client.width() < 50;
}

QAction *Tprog::action(const char *component) const
{
    return findChild<QAction *>(QLatin1String(component));
}

void Tprog::createMenus()
{
    QMenuBar *bar = menuBar();
    auto item = [this](QMenu *menu, const char *component) {
        auto *a = new QAction(this);
        a->setObjectName(QLatin1String(component));
        if (const UiText *t = LanguageTexts::find(LanguageTexts::mainMenu(), component); t && t->key)
            a->setShortcut(QKeySequence(QLatin1String(t->key)));
        a->setEnabled(isWorkingItem(a->objectName()));
        menu->addAction(a);
        return a;
    };
    auto submenu = [](auto *owner, const char *component) {
        QMenu *m = owner->addMenu(QString());
        m->setObjectName(QLatin1String(component) + QLatin1String("_menu"));
        m->menuAction()->setObjectName(QLatin1String(component));
        return m;
    };

    QMenu *mdatei = submenu(bar, "mdatei");
    connect(item(mdatei, "m_opendatei"), &QAction::triggered, this, &Tprog::m_opendateiClick);
    connect(item(mdatei, "m_openordner"), &QAction::triggered, this, &Tprog::mp4Click);
    item(mdatei, "mtxtexport");
    mdatei->addSeparator();
    connect(item(mdatei, "mclose"), &QAction::triggered, this, &Tprog::mcloseClick);

    QMenu *mwiedergabe = submenu(bar, "mwiedergabe");
    for (const char *c : {"mw1", "mw2", "mw3", "mw4"})
        item(mwiedergabe, c);
    mwiedergabe->addSeparator();
    item(mwiedergabe, "Wiederholen")->setCheckable(true);
    item(mwiedergabe, "mw5");
    item(mwiedergabe, "mw6");
    item(mwiedergabe, "m_fehler");
    QAction *zufall = item(mwiedergabe, "zufall");
    zufall->setCheckable(true);
    zufall->setChecked(true);

    QMenu *mp0 = submenu(bar, "mp0");
    connect(item(mp0, "mp1"), &QAction::triggered, this, &Tprog::mp1Click);
    connect(item(mp0, "mp3"), &QAction::triggered, this, &Tprog::mp3Click);
    connect(item(mp0, "mp2"), &QAction::triggered, this, &Tprog::mp2Click);
    mp0->addSeparator();
    connect(item(mp0, "mp4"), &QAction::triggered, this, &Tprog::mp4Click);
    mp0->addSeparator();
    for (const char *c : {"mp9", "mp10"})
        item(mp0, c);
    connect(item(mp0, "mp11"), &QAction::triggered, this, &Tprog::mp11Click);
    mp0->addSeparator();
    connect(item(mp0, "mp5"), &QAction::triggered, this, &Tprog::mp5Click);
    connect(item(mp0, "mp6"), &QAction::triggered, this, &Tprog::mp6Click);
    mp0->addSeparator();
    item(mp0, "mp7");
    item(mp0, "mp8");

    QMenu *suche = submenu(bar, "Suche1");
    // The check marks of msuche and suchoptpanel follow the controller's state (showSearchBar,
    // showOptionsPanel); Qt's own flip on a click agrees with it.
    QAction *msuche = item(suche, "msuche");
    msuche->setCheckable(true);
    connect(msuche, &QAction::triggered, this, &Tprog::msucheClick);
    QAction *suchoptpanel = item(suche, "suchoptpanel");
    suchoptpanel->setCheckable(true);
    connect(suchoptpanel, &QAction::triggered, this, &Tprog::suchoptpanelClick);
    connect(item(suche, "Suchoptionen1"), &QAction::triggered, this, &Tprog::Suchoptionen1Click);
    QAction *regex = item(suche, "m_regexsuche");
    regex->setCheckable(true);
    connect(regex, &QAction::triggered, m_searchOptions, &SearchOptionsModel::setRegex);
    connect(m_searchOptions, &SearchOptionsModel::regexChanged, regex, &QAction::setChecked);
    suche->addSeparator();
    connect(item(suche, "ergalsemp"), &QAction::triggered, this, &Tprog::ergalsempClick);

    QMenu *einst = submenu(bar, "Einstellungen1");
    QMenu *sa = submenu(einst, "sa");
    m_displayModes = new QActionGroup(this);
    m_displayModes->setExclusive(true);
    for (const char *c : {"saat", "saata", "saatta", "saatg", "saf"}) {
        QAction *a = item(sa, c);
        a->setCheckable(true);
        m_displayModes->addAction(a);
    }
    action("saat")->setChecked(true);
    connect(m_displayModes, &QActionGroup::triggered, this, &Tprog::saatClick);
    sa->addSeparator();
    QAction *saheader = item(sa, "saheader");
    saheader->setCheckable(true);
    connect(saheader, &QAction::triggered, this, &Tprog::saheaderClick);
    QAction *sastatus = item(sa, "sastatus");
    sastatus->setCheckable(true);
    sastatus->setChecked(true);
    connect(sastatus, &QAction::triggered, this, &Tprog::sastatusClick);
    QMenu *sprache1 = submenu(einst, "Sprache1");
    QAction *deutsch = item(sprache1, "Deutsch1");
    QAction *english = item(sprache1, "English1");
    deutsch->setCheckable(true);
    english->setCheckable(true);
    connect(deutsch, &QAction::triggered, this, &Tprog::Deutsch1Click);
    connect(english, &QAction::triggered, this, &Tprog::English1Click);
    einst->addSeparator();
    item(einst, "m_einstshortcuts");
    item(einst, "so");
    einst->addSeparator();
    item(einst, "einstsave");
    item(einst, "einstload");
    QAction *autosave = item(einst, "einstautosave");
    autosave->setCheckable(true);
    QAction *autoload = item(einst, "einstautoload");
    autoload->setCheckable(true);
    autoload->setChecked(true);

    QMenu *info = submenu(bar, "minfo");
    connect(item(info, "m_about"), &QAction::triggered, this, &Tprog::infoRequested);
}

void Tprog::createPopups()
{
    auto fill = [](QMenu *menu, std::span<const UiText> texts) {
        for (const UiText &t : texts) {
            auto *a = new QAction(menu);
            a->setObjectName(QLatin1String(t.component));
            if (t.key)
                a->setShortcut(QKeySequence(QLatin1String(t.key)));
            // Playing and file operations come with their subsystems.
            a->setEnabled(false);
            menu->addAction(a);
        }
    };
    popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("popup"));
    fill(popup, LanguageTexts::tablePopup());
    akpopup = new QMenu(this);
    akpopup->setObjectName(QStringLiteral("akpopup"));
    fill(akpopup, LanguageTexts::songPanelPopup());

    // The context searches: pss0..pss7 from the selected row, akp5..akp12 from the playing song.
    for (int k = 0; k < TSongRecord::kFieldCount; ++k) {
        QAction *fromRow = action(QStringLiteral("pss%1").arg(k).toLatin1().constData());
        fromRow->setEnabled(true);
        connect(fromRow, &QAction::triggered, this, [this, k] { SongsSuchen(k); });
        QAction *fromSong = action(QStringLiteral("akp%1").arg(k + 5).toLatin1().constData());
        fromSong->setEnabled(true);
        connect(fromSong, &QAction::triggered, this, [this, k] { AkSongsSuchen(k); });
    }

    connect(lv, &QWidget::customContextMenuRequested, this, &Tprog::popupTable);
    pa_unten->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pa_unten, &QWidget::customContextMenuRequested, this, &Tprog::popupSongPanel);
}

namespace {

// A context menu opens only when one of its items can act.
bool openIfUseful(QMenu *menu, QWidget *over, const QPoint &pos)
{
    for (const QAction *a : menu->actions())
        if (a->isEnabled()) {
            menu->popup(over->mapToGlobal(pos));
            return true;
        }
    return false;
}

} // namespace

bool Tprog::popupTable(const QPoint &pos)
{
    return selectedRow() >= 0 && openIfUseful(popup, lv->viewport(), pos);
}

bool Tprog::popupSongPanel(const QPoint &pos)
{
    return songLoaded() && openIfUseful(akpopup, pa_unten, pos);
}

QWidget *Tprog::createSearchBar(QWidget *parent)
{
    auto *bar = new QWidget(parent);
    bar->setObjectName(QStringLiteral("pa_suche"));
    bar->setFixedHeight(33);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(kTableInsetLeft, 6, kTableInsetLeft, 6);
    suchwort = new QLineEdit(bar);
    suchwort->setObjectName(QStringLiteral("suchwort"));
    // Enter searches and goes no further (returnPressed is not passed on to the window).
    connect(suchwort, &QLineEdit::returnPressed, this, &Tprog::SuchenClick);
    layout->addWidget(suchwort, 1);
    regexsuche = new QCheckBox(QStringLiteral("RegEx"), bar);
    regexsuche->setObjectName(QStringLiteral("regexsuche"));
    connect(regexsuche, &QAbstractButton::clicked, m_searchOptions, &SearchOptionsModel::setRegex);
    connect(m_searchOptions, &SearchOptionsModel::regexChanged, regexsuche, &QAbstractButton::setChecked);
    layout->addWidget(regexsuche);
    using Command = void (Tprog::*)();
    const std::pair<const char *, Command> buttons[] = {
        {"Suchen", &Tprog::SuchenClick}, {"Opt", &Tprog::suchoptpanelClick}, {"Alle", &Tprog::AlleClick}};
    for (const auto &[name, command] : buttons) {
        auto *b = new QPushButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(63, 21);
        connect(b, &QPushButton::clicked, this, command);
        layout->addWidget(b);
    }
    return bar;
}

QWidget *Tprog::createSearchOptions(QWidget *parent)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("pa_suchopt"));
    panel->setFixedWidth(127);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 3, 0, 0);

    SearchOptionsBinding::addOptionGroups(panel, layout, "s_strexakt", true);
    layout->addStretch(1);
    new SearchOptionsBinding(panel, *m_searchOptions, "s_strexakt");
    return panel;
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
        // Playback control comes with its own subsystem.
        b->setEnabled(false);
        return b;
    };
    BtPlay = button("BtPlay", ">", 8);
    zurueck = button("zurueck", "<<", 63);
    weiter = button("weiter", ">>", 118);
    stelle = new TTrackBar(Qt::Horizontal, pa_unten);
    stelle->setObjectName(QStringLiteral("stelle"));
    stelle->setTickPosition(QSlider::TicksBelow);
    stelle->setTickInterval(50);
    stelle->setEnabled(false);
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
    status->setGeometry(8, 0, qMax(0, lblPosition->x() - 16), height);
    stelle->setGeometry(192, 19, qMax(0, right - 192), 25);
}

bool Tprog::eventFilter(QObject *watched, QEvent *event)
{
    if (playbackEvent(watched, event))
        return true;
    if (watched == lv->viewport() && viewportEvent(event))
        return true;
    if (watched == pa_unten && event->type() == QEvent::Resize)
        layoutBottomPanel();
    else if (watched == status && event->type() == QEvent::MouseButtonRelease
             && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        statusClick();
    return QMainWindow::eventFilter(watched, event);
}

void Tprog::sprache()
{
    QString text;
    auto apply = [&](std::span<const UiText> table) {
        for (const UiText &t : table)
            if (QAction *a = findChild<QAction *>(QLatin1String(t.component)))
                if (LanguageTexts::routineText(t, m_lang, text))
                    a->setText(text);
    };
    apply(LanguageTexts::mainMenu());
    apply(LanguageTexts::tablePopup());
    apply(LanguageTexts::songPanelPopup());

    if (m_lang.isDe() || m_lang.isEn()) {
        QStringList captions;
        for (const UiText &t : LanguageTexts::columns())
            captions.append((m_lang.isDe() ? t.de : t.en).toString());
        m_model->setHeaderCaptions(captions);

        for (const UiHintText &t : LanguageTexts::searchControls()) {
            QWidget *w = findChild<QWidget *>(QLatin1String(t.component));
            if (!w)
                continue;
            const QString caption = (m_lang.isDe() ? t.de : t.en).toString();
            if (auto *box = qobject_cast<QGroupBox *>(w))
                box->setTitle(caption);
            else if (auto *button = qobject_cast<QAbstractButton *>(w))
                button->setText(caption);
            w->setToolTip((m_lang.isDe() ? t.deHint : t.enHint).toString());
        }

        const qsizetype rows = m_model->rowCountValue();
        status->setText(rows == 0 ? NoFilesLoadedText(m_lang) : QString::number(rows) + FilesLoadedSuffix(m_lang));

        if (m_lang.isDe())
            m_openAudioFilesFilter.replace(QLatin1String("All Files"), QLatin1String("Alle Dateien"));
        else
            m_openAudioFilesFilter.replace(QLatin1String("Alle Dateien"), QLatin1String("All Files"));

        action("Deutsch1")->setChecked(m_lang.isDe());
        action("English1")->setChecked(m_lang.isEn());

        if (m_errorWindow)
            m_errorWindow->setWindowTitle(LanguageTexts::momentText(m_lang, u"Fehlermeldungen", u"Error Messages"));

        // The play buttons show symbols; screen readers read the command.
        BtPlay->setAccessibleName(QStringLiteral("Play"));
        zurueck->setAccessibleName(action("mw3")->text());
        weiter->setAccessibleName(action("mw4")->text());
        stelle->setAccessibleName(LanguageTexts::momentText(m_lang, u"Position", u"Position"));
    }
    layoutBottomPanel();
}

void Tprog::ShowListStatus()
{
    StatusShowsSong = false;
    if (m_lists.ShowingFound) {
        if (hooks.SuchenClick && hooks.SuchenClick())
            return; // the search switched back to the whole playlist and refreshed already
        m_model->setRowCount(m_lists.FoundSongs.size());
        // The count of the found songs with the time of the whole playlist.
        status->setText(ListStatusText(m_lists.FoundSongs.size(), m_lists.AllSongs, m_lang));
    } else {
        m_model->setRowCount(m_lists.AllSongs.size());
        status->setText(ListStatusText(m_lists.AllSongs.size(), m_lists.AllSongs, m_lang));
    }
    layoutBottomPanel();
}

void Tprog::ShowCurrentSong()
{
    if (hooks.ShowCurrentSong)
        hooks.ShowCurrentSong();
}

void Tprog::lvColumnClick(int column)
{
    SongList &shown = m_lists.shown();
    if (m_sort.lvColumnClick(column, m_model->rowCountValue(), shown))
        m_model->setRowCount(shown.size());
}

void Tprog::statusClick()
{
    if (!StatusShowsSong && hooks.songLoaded && hooks.songLoaded()) {
        ShowCurrentSong();
        StatusShowsSong = true;
    } else {
        const SongList &shown = m_lists.shown();
        status->setText(QString::number(shown.size()) + FilesLoadedSuffix(m_lang) + QLatin1Char(' ')
                        + TotalPlayingTime(shown));
        StatusShowsSong = false;
    }
    layoutBottomPanel();
}

void Tprog::runCommand(const std::function<void()> &command)
{
    // The program's error handler: show the message; the command stops where it was.
    try {
        command();
    } catch (const SonaloError &e) {
        m_dialogs.showError(this, e.message());
    }
}

void Tprog::loadPlaylistFile(const QString &fileName)
{
    // Read into a list of its own first, so that a failure adds nothing.
    SongLists loaded(m_lists.programFolder());
    LoadPlaylist(loaded, fileName);
    m_lists.AllSongs.append(std::move(loaded.AllSongs));
    m_lists.SourceFolders.append(loaded.SourceFolders);
}

AddSongFileFn Tprog::songAdder() const
{
    if (hooks.addSongFile)
        return hooks.addSongFile;
    return [](const QString &path, bool) {
        qWarning("Sonalo: reading audio files is not available in this build: %s", qUtf8Printable(path));
    };
}

bool Tprog::folderRelative() const
{
    return hooks.relativTicked && hooks.relativTicked();
}

void Tprog::addSongs(const std::function<void()> &adding)
{
    // No input while adding, so that nothing else changes the playlist; pending events still
    // run inside the loops (the add-folder dialog's Cancel, repaints). The window comes back
    // also when adding stops with an error.
    struct Disabled
    {
        Tprog &w;
        explicit Disabled(Tprog &window) : w(window)
        {
            w.m_adding = true;
            w.setEnabled(false);
        }
        ~Disabled()
        {
            w.setEnabled(true);
            w.m_adding = false;
        }
    } disabled(*this);
    runCommand(adding);
}

void Tprog::OpenArgument(const QString &argument)
{
    // A playlist is read into a list of its own first, so that a failure adds nothing.
    SongLists loaded(m_lists.programFolder());
    std::optional<SonaloError> failure;
    addSongs([&] {
        try {
            ::OpenArgument(loaded, argument, m_scan, songAdder(), [] { QCoreApplication::processEvents(); },
                           folderRelative());
        } catch (const SonaloError &e) {
            failure = e; // reported by the caller, after the refresh
        }
    });
    m_lists.SourceFolders.append(loaded.SourceFolders);
    m_lists.AllSongs.append(std::move(loaded.AllSongs));
    PlaylistFolderList.clear();
    ShowListStatus();
    if (failure)
        throw *failure;
}

void Tprog::m_opendateiClick()
{
    // The dialog is modal, which keeps the window from input while it is open; disabling the
    // window first would disable the dialog with it.
    const QStringList names = m_dialogs.openFileNames(this, m_openAudioFilesFilter);
    addSongs([&] {
        const AddSongFileFn add = songAdder();
        for (const QString &name : names)
            add(name, false);
    });
    ShowListStatus();
    scrollToLastRow();
}

void Tprog::mp11Click()
{
    const QStringList names = fileListFromMimeData(QGuiApplication::clipboard()->mimeData());
    if (names.isEmpty())
        return; // no file list on the clipboard: nothing happens
    addSongs([&] { addPastedNames(names, songAdder()); });
    ShowListStatus();
    scrollToLastRow();
}

void Tprog::lvDropFiles(const QStringList &names)
{
    addSongs([&] {
        addDroppedNames(m_lists, names, m_scan, songAdder(), [] { QCoreApplication::processEvents(); },
                        folderRelative());
    });
    ShowListStatus();
    scrollToLastRow();
}

void Tprog::scrollToLastRow()
{
    lv->scrollToBottom();
    // The new row count changes the scroll range only once the view has laid itself out
    // again (a scroll bar appearing takes a row's height): scroll once more after that.
    QMetaObject::invokeMethod(lv, &QTableView::scrollToBottom, Qt::QueuedConnection);
}

void Tprog::mp4Click()
{
    // The dialog adds to the whole playlist: show it first.
    if (m_lists.ShowingFound) {
        m_lists.ShowingFound = false;
        ShowListStatus();
    }
    if (hooks.showAddFolderDialog)
        hooks.showAddFolderDialog();
}

bool Tprog::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (!fileListFromMimeData(drag->mimeData()).isEmpty()) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList names = fileListFromMimeData(drop->mimeData());
        if (names.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // The drag source waits until the drop returns: add after it has let go.
        QMetaObject::invokeMethod(this, [this, names] { lvDropFiles(names); }, Qt::QueuedConnection);
        return true;
    }
    case QEvent::MouseButtonDblClick:
        // lvDblClick: starts the selected row, or asks for files when none is. The view
        // selects what is under the mouse first; decide after that.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            QMetaObject::invokeMethod(this, &Tprog::lvDblClick, Qt::QueuedConnection);
        return false;
    default:
        return false;
    }
}

void Tprog::EinzigeLaden()
{
    if (PlaylistFolderList.isEmpty())
        return;
    runCommand([this] {
        loadPlaylistFile(PlaylistFolderList.first());
        ShowListStatus();
    });
    PlaylistFolderList.clear();
}

void Tprog::mp1Click()
{
    m_lists.ShowingFound = false;
    m_model->setRowCount(0);
    m_lists.AllSongs.clear();
    const QString name = m_dialogs.openFileName(this, playlistFilter());
    if (name.isEmpty())
        return;
    runCommand([&] {
        loadPlaylistFile(name);
        ShowListStatus();
    });
}

void Tprog::mp3Click()
{
    m_lists.ShowingFound = false;
    const QString name = m_dialogs.openFileName(this, playlistFilter());
    if (name.isEmpty())
        return;
    runCommand([&] {
        loadPlaylistFile(name);
        ShowListStatus();
    });
}

void Tprog::savePlaylistTo(const SongList &list)
{
    const QString name = m_dialogs.saveFileName(this, playlistFilter());
    if (name.isEmpty())
        return;
    runCommand([&] { SavePlaylist(list, name, m_output.OutputEncoding, m_output.picture); });
}

void Tprog::mp2Click()
{
    savePlaylistTo(m_lists.AllSongs);
}

void Tprog::ergalsempClick()
{
    savePlaylistTo(m_lists.FoundSongs);
}

void Tprog::mcloseClick()
{
    close();
}

void Tprog::Deutsch1Click()
{
    m_lang.setCode(QStringLiteral("de"));
    sprache();
    Q_EMIT languageSwitched();
}

void Tprog::English1Click()
{
    m_lang.setCode(QStringLiteral("en"));
    sprache();
    Q_EMIT languageSwitched();
}

void Tprog::saatClick(QAction *item)
{
    for (QAction *a : m_displayModes->actions())
        a->setChecked(a == item);
    ShowCurrentSong();
}

void Tprog::saheaderClick()
{
    // QAction flipped the check mark already.
    ShowCurrentSong();
}

void Tprog::sastatusClick()
{
    ShowCurrentSong();
}

QStringList Tprog::slpFilesBeside() const
{
    // The silent walk: the program's folder only, sorted by name without regard to case.
    QStringList found;
    WideFindAllFiles(found, m_lists.programFolder(), {QStringLiteral(".slp")}, false);
    return found;
}

void Tprog::FormShow()
{
    // a: a top-level QMainWindow has its own taskbar entry already.
    PlaylistFolderList = slpFilesBeside(); // b
    // c: the add-folder dialog resets its own counter when it is built.
    if (m_arguments.isEmpty()) { // d
        if (PlaylistFolderList.size() == 1) {
            EinzigeLaden();
        } else if (PlaylistFolderList.size() > 1) {
            if (hooks.offerPlaylists)
                hooks.offerPlaylists();
            else
                PlaylistFolderList.clear(); // no start window to focus
        }
    } else { // e
        runCommand([this] {
            for (const QString &argument : std::as_const(m_arguments))
                OpenArgument(argument);
        });
        // After a failed argument no start window is offered either.
        PlaylistFolderList.clear();
    }
    // f: a desktop not much larger than the window: start maximized.
    if (const QScreen *screen = this->screen()) {
        if (startsMaximized(screen->virtualSize(), centralWidget()->size()))
            MaximizePending = 0;
    }
}

void Tprog::FormActivate()
{
    if (FirstActivation) {
        if (hooks.loadSettingsIfAsked)
            hooks.loadSettingsIfAsked();
        FirstActivation = false;
    }
    if (!PlaylistFolderList.isEmpty() && hooks.focusStartWindow)
        hooks.focusStartWindow();
    if (MaximizePending == 0) {
        showMaximized();
        MaximizePending = 1;
    }
}

bool Tprog::FormCloseQuery()
{
    if (action("einstautosave")->isChecked() && hooks.saveSettings)
        return hooks.saveSettings();
    return true;
}

void Tprog::FormClose()
{
    if (hooks.FreePlayer)
        hooks.FreePlayer();
    Q_EMIT formClosed();
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
    if (m_adding) {
        // The window is in the middle of adding (events run inside its loops): stop that
        // first; the user closes again once the window is back.
        m_scan.ScanCancelled = true;
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

// The search's view of the window.

QString Tprog::searchTerm() const
{
    return suchwort->text();
}

void Tprog::setSearchTerm(const QString &term)
{
    suchwort->setText(term);
}

void Tprog::focusSearchTerm()
{
    suchwort->setFocus();
}

void Tprog::setTableRowCount(qsizetype rows)
{
    m_model->setRowCount(rows);
}

void Tprog::setStatusText(const QString &text)
{
    status->setText(text);
    layoutBottomPanel();
}

void Tprog::showSearchBar(bool shown)
{
    action("msuche")->setChecked(shown);
    pa_suche->setVisible(shown);
}

void Tprog::showOptionsPanel(bool shown)
{
    action("suchoptpanel")->setChecked(shown);
    pa_suchopt->setVisible(shown);
}

void Tprog::showOptionsWindow()
{
    if (!m_searchOptionsWindow)
        return;
    m_searchOptionsWindow->show();
    m_searchOptionsWindow->raise();
    m_searchOptionsWindow->activateWindow();
}

void Tprog::showError(const QString &message)
{
    m_dialogs.showError(this, message);
}

void Tprog::clearPendingNext()
{
    if (hooks.clearPendingNext)
        hooks.clearPendingNext();
}

void Tprog::setCurrentIndex(int row)
{
    if (hooks.setCurrentIndex)
        hooks.setCurrentIndex(row);
}

bool Tprog::songLoaded() const
{
    return hooks.songLoaded && hooks.songLoaded();
}

QString Tprog::CurrentSongPath() const
{
    return hooks.CurrentSongPath ? hooks.CurrentSongPath() : QString();
}
