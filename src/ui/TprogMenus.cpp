// The main window's menus and context menus and its language routine.
#include "ui/Tprog.h"
#include "ui/SongTableView.h"

#include "ui/LanguageTexts.h"
#include "ui/Mnemonics.h"
#include "ui/MediaIcons.h"
#include "ui/ReplayGainMenu.h"
#include "session/Session.h"
#include "ui/TTrackBar.h"
#include "ui/QueuePanel.h"
#include "ui/ProgressStrip.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QDockWidget>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <cstring>

namespace {

const std::pair<const char *, SongDisplayMode> kDisplayModes[] = {
    {"saat", SongDisplayMode::ArtistTitle},
    {"saata", SongDisplayMode::ArtistTitleAlbum},
    {"saatta", SongDisplayMode::ArtistTitleAlbumTrack},
    {"saatg", SongDisplayMode::ArtistTitleGenre},
    {"saf", SongDisplayMode::PathAndFile},
};

// A context menu opens only when one of its items can act.
bool openIfUseful(QMenu *menu, QWidget *over, const QPoint &pos)
{
    for (const QAction *a : menu->actions())
        if (!a->isSeparator() && a->isEnabled()) {
            menu->popup(over->mapToGlobal(pos));
            return true;
        }
    return false;
}

} // namespace

void Tprog::createMenus()
{
    QMenuBar *bar = menuBar();
    // Each item is created with its shortcut and connected to its command.
    auto item = [this](QMenu *menu, const char *component, auto command) {
        auto *a = new QAction(this);
        a->setObjectName(QLatin1String(component));
        if (const UiText *t = LanguageTexts::find(LanguageTexts::mainMenu(), component); t && t->key)
            a->setShortcut(QKeySequence(QLatin1String(t->key)));
        if constexpr (!std::is_same_v<decltype(command), std::nullptr_t>)
            connect(a, &QAction::triggered, this, command);
        menu->addAction(a);
        return a;
    };
    auto submenu = [](auto *owner, const char *component) {
        QMenu *m = owner->addMenu(QString());
        m->setObjectName(QLatin1String(component) + QLatin1String("_menu"));
        m->menuAction()->setObjectName(QLatin1String(component));
        return m;
    };
    PlaylistController &playlist = m_session.playlist;
    PlaybackControl &playback = m_session.playback;
    SearchController &search = m_session.search;
    DisplayOptionsModel &display = m_session.display;
    SelectionOperations &selection = m_session.selection;

    QMenu *mdatei = submenu(bar, "mdatei");
    item(mdatei, "m_opendatei", [&playlist] { playlist.m_opendateiClick(); });
    item(mdatei, "m_openordner", [&playlist] { playlist.mp4Click(); });
    item(mdatei, "mtxtexport", [this] { Q_EMIT exportWindowRequested(); });
    mdatei->addSeparator();
    item(mdatei, "mclose", [this] { mcloseClick(); });

    QMenu *mwiedergabe = submenu(bar, "mwiedergabe");
    item(mwiedergabe, "mw1", [&playback] { playback.mw1Click(); });
    item(mwiedergabe, "mw2", [&playback] { playback.mw2Click(); });
    item(mwiedergabe, "mw3", [&playback] { playback.zurueckClick(); });
    item(mwiedergabe, "mw4", [&playback] { playback.weiterClick(); });
    item(mwiedergabe, "mw_laufend", [this] { jumpToPlayingSong(); });
    mwiedergabe->addSeparator();
    QAction *repeat = item(mwiedergabe, "Wiederholen", [&display](bool on) { display.setRepeat(on); });
    repeat->setCheckable(true);
    repeat->setChecked(display.repeat());
    connect(&display, &DisplayOptionsModel::repeatChanged, repeat, &QAction::setChecked);
    item(mwiedergabe, "mw5", [this] { Q_EMIT recentWindowRequested(); });
    item(mwiedergabe, "mw6", [&selection] { selection.mw6Click(); });
    item(mwiedergabe, "m_fehler", [this] { Q_EMIT errorWindowRequested(); });
    QAction *zufall = item(mwiedergabe, "zufall", [&display](bool on) { display.setRandomOrder(on); });
    zufall->setCheckable(true);
    zufall->setChecked(display.randomOrder());
    connect(&display, &DisplayOptionsModel::randomOrderChanged, zufall, &QAction::setChecked);
    QAction *once = item(mwiedergabe, "zufall_einmal", [&display](bool on) { display.setShuffleOnce(on); });
    once->setCheckable(true);
    once->setChecked(display.shuffleOnce());
    connect(&display, &DisplayOptionsModel::shuffleOnceChanged, once, &QAction::setChecked);
    QAction *stopAfter = item(mwiedergabe, "mw_stopafter", [&playback](bool on) { playback.setStopAfterCurrent(on); });
    stopAfter->setCheckable(true);
    // The tick shows the control's state: without a song Qt's own tick is taken back.
    connect(&playback, &PlaybackControl::stopAfterChanged, stopAfter, &QAction::setChecked);
    connect(stopAfter, &QAction::triggered, this, [stopAfter, &playback] { stopAfter->setChecked(playback.stopAfterCurrent()); });
    item(mwiedergabe, "mw_queue", [this](bool on) {
        m_queueDock->setVisible(on);
        // A narrow column: the table keeps most of the window.
        if (on)
            resizeDocks({m_queueDock}, {std::max(220, width() / 4)}, Qt::Horizontal);
    })->setCheckable(true);
    QAction *gapless = item(mwiedergabe, "lueckenlos", [&display](bool on) { display.setGapless(on); });
    gapless->setCheckable(true);
    gapless->setChecked(display.gapless());
    connect(&display, &DisplayOptionsModel::gaplessChanged, gapless, &QAction::setChecked);
    item(mwiedergabe, "m_equalizer", [this] { Q_EMIT equalizerWindowRequested(); });
    addReplayGainMenu(mwiedergabe, this, playback.replayGain());
    m_devicesMenu = submenu(mwiedergabe, "mw_geraet");
    connect(&playback, &PlaybackControl::deviceIndexChanged, this, [this] { tickDevice(); });

    QMenu *mp0 = submenu(bar, "mp0");
    item(mp0, "mp1", [&playlist] { playlist.mp1Click(); });
    item(mp0, "mp3", [&playlist] { playlist.mp3Click(); });
    item(mp0, "mp2", [&playlist] { playlist.mp2Click(); });
    mp0->addSeparator();
    item(mp0, "mp4", [&playlist] { playlist.mp4Click(); });
    mp0->addSeparator();
    item(mp0, "mp9", [this] { mp9Click(); });
    item(mp0, "mp10", [this, &selection] { selection.p_copyfileClick(selectedRows()); });
    item(mp0, "mp11", [&playlist] { playlist.mp11Click(QGuiApplication::clipboard()->mimeData()); });
    mp0->addSeparator();
    item(mp0, "mp5", [&search] { search.mp5Click(); });
    item(mp0, "mp6", [&search] { search.mp6Click(); });
    mp0->addSeparator();
    item(mp0, "mp7", [&selection] { selection.mp7Click(); });
    item(mp0, "mp8", [this, &selection] { selection.LVDeleteSelected(selectedRows()); });
    mp0->addSeparator();
    item(mp0, "mp_undo", [&selection] { selection.undoClick(); });
    item(mp0, "mp_redo", [&selection] { selection.redoClick(); });
    mp0->addSeparator();
    item(mp0, "mp_up", [this, &selection] { selectRows(selection.moveRows(selectedRows(), -1)); });
    item(mp0, "mp_down", [this, &selection] { selectRows(selection.moveRows(selectedRows(), +1)); });
    item(mp0, "mp_queue", [this, &playback] { playback.queue().appendShownRows(selectedRows()); });

    QMenu *suche = submenu(bar, "Suche1");
    // The check marks of msuche and suchoptpanel follow the controller's state; Qt's own flip
    // on a click is set right by it.
    item(suche, "msuche", [&search] { search.msucheClick(); })->setCheckable(true);
    item(suche, "suchoptpanel", [&search] { search.suchoptpanelClick(); })->setCheckable(true);
    item(suche, "Suchoptionen1", [&search] { search.Suchoptionen1Click(); });
    SearchOptionsModel &options = m_session.searchOptions;
    QAction *regex = item(suche, "m_regexsuche", [&options](bool on) { options.setRegex(on); });
    regex->setCheckable(true);
    connect(&options, &SearchOptionsModel::regexChanged, regex, &QAction::setChecked);
    suche->addSeparator();
    item(suche, "ergalsemp", [&playlist] { playlist.ergalsempClick(); });

    QMenu *einst = submenu(bar, "Einstellungen1");
    QMenu *sa = submenu(einst, "sa");
    m_displayModes = new QActionGroup(this);
    m_displayModes->setExclusive(false); // the model allows none ticked
    for (const auto &[component, mode] : kDisplayModes) {
        QAction *a = item(sa, component, [this, &display, &playback, m = mode] {
            display.setMode(m);
            // Qt unticked a ticked item on its click; the model did not change.
            bindDisplayMenu();
            playback.ShowCurrentSong();
        });
        a->setCheckable(true);
        m_displayModes->addAction(a);
    }
    sa->addSeparator();
    item(sa, "saheader", [&display, &playback](bool on) {
        display.setInTitle(on);
        playback.ShowCurrentSong();
    })->setCheckable(true);
    item(sa, "sastatus", [&display, &playback](bool on) {
        display.setInStatus(on);
        playback.ShowCurrentSong();
    })->setCheckable(true);
    connect(&display, &DisplayOptionsModel::songDisplayChanged, this, &Tprog::bindDisplayMenu);
    bindDisplayMenu();

    QMenu *sprache1 = submenu(einst, "Sprache1");
    // One language at a time: drawn as radio items. Optional, since a language code of neither
    // (a marker file of another language) ticks none.
    auto *languages = new QActionGroup(this);
    languages->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *a : {item(sprache1, "Deutsch1", [this] { Deutsch1Click(); }),
                       item(sprache1, "English1", [this] { English1Click(); })}) {
        a->setCheckable(true);
        languages->addAction(a);
    }
    einst->addSeparator();
    item(einst, "m_einstshortcuts", [this] { Q_EMIT shortcutsWindowRequested(); });
    item(einst, "so", [this] { Q_EMIT outputSettingsWindowRequested(); });
    einst->addSeparator();
    SettingsController &settings = m_session.settings;
    item(einst, "einstsave", [&settings] { settings.SaveSettings(); });
    item(einst, "einstload", [&settings] { settings.LoadSettings(); });
    // The ticks show the controller's switches.
    auto switchItem = [&](const char *component, bool (SettingsController::*get)() const,
                          void (SettingsController::*set)(bool), void (SettingsController::*changed)(bool)) {
        QAction *a = item(einst, component, [&settings, set](bool on) { (settings.*set)(on); });
        a->setCheckable(true);
        a->setChecked((settings.*get)());
        connect(&settings, changed, a, &QAction::setChecked);
    };
    switchItem("einstautosave", &SettingsController::autoSave, &SettingsController::setAutoSave,
               &SettingsController::autoSaveChanged);
    switchItem("einstautoload", &SettingsController::autoLoad, &SettingsController::setAutoLoad,
               &SettingsController::autoLoadChanged);
    switchItem("einstlastplaylist", &SettingsController::restoreLastPlaylist,
               &SettingsController::setRestoreLastPlaylist, &SettingsController::restoreLastPlaylistChanged);
    switchItem("einstclosetotray", &SettingsController::closeToTray, &SettingsController::setCloseToTray,
               &SettingsController::closeToTrayChanged);
    switchItem("einstnotify", &SettingsController::notifications, &SettingsController::setNotifications,
               &SettingsController::notificationsChanged);
    switchItem("einstordnerbild", &SettingsController::folderCoverFirst, &SettingsController::setFolderCoverFirst,
               &SettingsController::folderCoverFirstChanged);

    QMenu *info = submenu(bar, "minfo");
    item(info, "m_about", [this] { Q_EMIT infoRequested(); });
}

void Tprog::bindDisplayMenu()
{
    // The check marks show the model; a click on a ticked mode leaves it ticked.
    const DisplayOptionsModel &display = m_session.display;
    for (const auto &[component, mode] : kDisplayModes)
        action(component)->setChecked(display.mode() == mode);
    action("saheader")->setChecked(display.inTitle());
    action("sastatus")->setChecked(display.inStatus());
}

void Tprog::createPopups()
{
    // Groups of the context menus, each opened by a separator: play; the file; the context
    // searches; deleting, apart from the searches so that it is not hit by a slip.
    static const char *const kGroupStarts[] = {"p3", "pss0", "p4", "akp5"};
    auto fill = [](QMenu *menu, std::span<const UiText> texts) {
        for (const UiText &t : texts) {
            for (const char *start : kGroupStarts)
                if (std::strcmp(start, t.component) == 0)
                    menu->addSeparator();
            auto *a = new QAction(menu);
            a->setObjectName(QLatin1String(t.component));
            // The shortcuts show in the menu; Del and Ctrl+C act through the main menu's items.
            if (t.key)
                a->setShortcut(QKeySequence(QLatin1String(t.key)));
            menu->addAction(a);
        }
    };
    popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("popup"));
    fill(popup, LanguageTexts::tablePopup());
    akpopup = new QMenu(this);
    akpopup->setObjectName(QStringLiteral("akpopup"));
    fill(akpopup, LanguageTexts::songPanelPopup());

    auto command = [this](const char *component, auto slot) { connect(action(component), &QAction::triggered, this, slot); };
    PlaybackControl &playback = m_session.playback;
    command("p1", [this, &playback] { playback.p1Click(selectedRow()); });
    command("pop_title_next", [this, &playback] { playback.pop_title_nextClick(selectedRow()); });
    command("p_queue", [this, &playback] { playback.queue().appendShownRows(selectedRows()); });
    SelectionOperations &selection = m_session.selection;
    command("p3", [this, &selection] { selection.p3Click(selectedRows()); });
    command("p6", [this, &selection] { selection.p6Click(selectedRows()); });
    command("p_copyfile", [this, &selection] { selection.p_copyfileClick(selectedRows()); });
    command("p5", [this, &selection] { selection.p5Click(selectedRows()); });
    command("p4", [this, &selection] { selection.p4Click(selectedRows()); });
    command("akp1", [&selection] { selection.akp1Click(); });
    command("akp2", [&selection] { selection.akp2Click(); });
    command("akp3", [&selection] { selection.akp3Click(); });
    command("akp4", [&selection] { selection.akp4Click(); });
    // Ctrl+Q has no main menu item: the window holds it.
    addAction(action("p5"));
    // The context searches: pss0..pss7 from the selected row, akp5..akp12 from the playing song.
    SearchController &search = m_session.search;
    for (int k = 0; k < TSongRecord::kFieldCount; ++k) {
        command(QStringLiteral("pss%1").arg(k).toLatin1().constData(),
                [this, &search, k] { search.SongsSuchen(k, selectedRow()); });
        command(QStringLiteral("akp%1").arg(k + 5).toLatin1().constData(), [&search, k] { search.AkSongsSuchen(k); });
    }

    // The play items carry the media icons of the buttons.
    using MediaIcons::Icon;
    for (auto [component, icon] : {std::pair{"p1", Icon::Play}, std::pair{"pop_title_next", Icon::Next},
                                   std::pair{"mw1", Icon::Play}, std::pair{"mw2", Icon::Pause},
                                   std::pair{"mw3", Icon::Previous}, std::pair{"mw4", Icon::Next}})
        if (QAction *a = action(component))
            a->setIcon(MediaIcons::icon(icon, this));

    connect(lv, &QWidget::customContextMenuRequested, this, &Tprog::popupTable);
    pa_unten->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pa_unten, &QWidget::customContextMenuRequested, this, &Tprog::popupSongPanel);
}

void Tprog::createQueuePanel()
{
    m_queueDock = new QDockWidget(this);
    m_queueDock->setObjectName(QStringLiteral("queueDock"));
    m_queueDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    m_queuePanel = new QueuePanel(m_session.playback.queue(), m_session.lang, m_queueDock);
    m_queueDock->setWidget(m_queuePanel);
    // Narrow enough that the table keeps most of an 800-pixel window.
    m_queuePanel->setMinimumWidth(200);
    addDockWidget(Qt::RightDockWidgetArea, m_queueDock);
    m_queueDock->hide();
    QAction *toggle = action("mw_queue");
    connect(m_queueDock, &QDockWidget::visibilityChanged, toggle, [this, toggle] {
        toggle->setChecked(m_queueDock->isVisible());
    });
}

bool Tprog::popupTable(const QPoint &pos)
{
    return selectedRow() >= 0 && openIfUseful(popup, lv->viewport(), pos);
}

bool Tprog::popupSongPanel(const QPoint &pos)
{
    return m_session.playback.songLoaded() && openIfUseful(akpopup, pa_unten, pos);
}

void Tprog::setAudioDevices(const QStringList &names)
{
    m_devicesMenu->clear();
    auto *group = new QActionGroup(m_devicesMenu);
    for (qsizetype i = 0; i < names.size(); ++i) {
        // A device's own "&" is no shortcut mark.
        QAction *a = m_devicesMenu->addAction(QString(names[i]).replace(QLatin1Char('&'), QStringLiteral("&&")));
        a->setObjectName(QStringLiteral("mw_geraet_%1").arg(i));
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] { m_session.playback.setDeviceIndex(int(i)); });
    }
    tickDevice();
}

// The chosen output is ticked; an index outside the list ticks the default (entry 0), where the
// songs then play.
void Tprog::tickDevice()
{
    const QList<QAction *> devices = m_devicesMenu->actions();
    const int index = m_session.playback.deviceIndex();
    for (qsizetype i = 0; i < devices.size(); ++i)
        devices[i]->setChecked(i == (index >= 0 && index < devices.size() ? index : 0));
}

void Tprog::sprache()
{
    const LanguageCode &lang = m_session.lang;
    QString text;
    auto apply = [&](std::span<const UiText> table) {
        for (const UiText &t : table)
            if (QAction *a = findChild<QAction *>(QLatin1String(t.component)))
                if (LanguageTexts::routineText(t, lang, text))
                    a->setText(text);
    };
    apply(LanguageTexts::mainMenu());
    apply(LanguageTexts::tablePopup());
    apply(LanguageTexts::songPanelPopup());
    if (m_queuePanel) {
        m_queuePanel->sprache();
        QString title;
        if (LanguageTexts::routineText(LanguageTexts::queuePanel().front(), lang, title))
            m_queueDock->setWindowTitle(title);
    }
    if (m_progressStrip)
        m_progressStrip->sprache();

    if (lang.isDe() || lang.isEn()) {
        QStringList captions;
        for (const UiText &t : LanguageTexts::columns())
            captions.append(lang.text(t.de, t.en));
        m_session.list.model().setHeaderCaptions(captions);

        for (const UiHintText &t : LanguageTexts::searchControls()) {
            QWidget *w = findChild<QWidget *>(QLatin1String(t.component));
            if (!w)
                continue;
            const QString caption = lang.text(t.de, t.en);
            if (auto *box = qobject_cast<QGroupBox *>(w))
                box->setTitle(caption);
            else if (auto *button = qobject_cast<QAbstractButton *>(w))
                button->setText(caption);
            w->setToolTip(lang.text(t.deHint, t.enHint));
        }

        m_session.list.languageChanged();
        m_session.playlist.languageChanged();
        action("Deutsch1")->setChecked(lang.isDe());
        action("English1")->setChecked(lang.isEn());

        if (m_errorWindow)
            m_errorWindow->setWindowTitle(lang.text(u"Fehlermeldungen", u"Error Messages"));

        // The play buttons show icons named by their captions; screen readers also read the
        // command.
        showPlayingState(m_session.playback.IsPlaying());
        zurueck->setAccessibleDescription(Mnemonics::visibleText(action("mw3")->text()));
        weiter->setAccessibleDescription(Mnemonics::visibleText(action("mw4")->text()));
        for (const UiText &t : LanguageTexts::playControls())
            if (QWidget *w = findChild<QWidget *>(QLatin1String(t.component))) {
                w->setAccessibleName(lang.text(t.de, t.en));
                w->setToolTip(lang.text(t.de, t.en));
            }
    }
    // Access keys for the new captions.
    Mnemonics::applyTo(menuBar()->actions());
    Mnemonics::applyTo(popup->actions());
    Mnemonics::applyTo(akpopup->actions());
    layoutBottomPanel();
}

void Tprog::Deutsch1Click()
{
    switchLanguage(QStringLiteral("de"));
}

void Tprog::English1Click()
{
    switchLanguage(QStringLiteral("en"));
}

void Tprog::switchLanguage(const QString &code)
{
    m_session.lang.setCode(code);
    sprache();
    Q_EMIT languageSwitched();
}
