#include "app/SonaloApp.h"

#include "core/InstanceMessage.h"

#include "session/StartWindowController.h"
#include "app/TOneInstanceCheck.h"
#include "ui/Tinfo.h"
#include "ui/Tequalizer.h"
#include "ui/Tstart.h"
#include "ui/Tstartfenster.h"
#include "ui/Artwork.h"
#include "desktop/AdminRestart.h"
#include "core/AddingSongs.h"
#include "playback/AudioPlay.h"
#include "playback/PlaybackEngine.h"
#include "shell/MediaKeyFilter.h"
#include "shell/PlaybackMpris.h"
#include "shell/SongNotifications.h"
#include "session/Session.h"
#include "ui/Taddordner.h"
#include "ui/Tdateiinfo.h"
#include "ui/Tfehler.h"
#include "ui/Teinstshortcuts.h"
#include "ui/Tlastfiles.h"
#include "ui/Tprog.h"
#include "ui/Tsuchopt.h"
#include "ui/TrayIcon.h"
#include "session/UserDialogs.h"
#include "ui/QtUserDialogs.h"
#include "ui/WindowPlacement.h"
#include "ui/Tbugreport_de.h"
#include "ui/Tbugreport_en.h"
#include "ui/Teinstausgabe.h"
#include "ui/Ttxtexport.h"

#include <QCoreApplication>
#include <QLabel>

namespace {

void showAndRaise(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// A window that opens over the main window, where the user is looking.
void showOver(QWidget *window, const QWidget *main)
{
    if (!window->isVisible())
        centreOver(*window, *main);
    showAndRaise(window);
}

} // namespace

SonaloApp::SonaloApp(const Options &options)
{
    UserDialogs *dialogs = options.dialogs;
    if (!dialogs) {
        m_ownDialogs = std::make_unique<QtUserDialogs>();
        dialogs = m_ownDialogs.get();
    }
    AudioPlayerFactory factory = options.playerFactory;
    if (!factory) {
        m_audioDevices = TAudioDevices::Enumerate();
        m_engine = std::make_unique<PlaybackEngine>(m_audioDevices);
        factory = m_engine->Factory();
    }
    Session::Options sessionOptions;
    sessionOptions.programFolder = options.programFolder;
    sessionOptions.playerFactory = std::move(factory);
    sessionOptions.dialogs = dialogs;
    sessionOptions.addSongFile = options.addSongFile;
    sessionOptions.configFolder = options.configFolder;
    sessionOptions.dataFolder = options.dataFolder;
    sessionOptions.coverFolder = options.coverFolder;
    m_session = std::make_unique<Session>(sessionOptions);
    Session &s = *m_session;
    if (m_engine) {
        m_engine->setNextSongSource([&s] { return s.playback.prepareNextSong(); });
        m_engine->setGainSource([&s](const QString &file) {
            // Either random order plays songs out of their album: the track gain then.
            return s.playback.replayGain().factorForFile(file, s.display.randomOrder() || s.display.shuffleOnce());
        });
        m_engine->setGapless(s.display.gapless());
        QObject::connect(&s.display, &DisplayOptionsModel::gaplessChanged, &s.display,
                         [this](bool on) { m_engine->setGapless(on); });
    }

    // The splash first: it chooses the language every later window is created in.
    m_start = std::make_unique<Tstart>(s.lang, options.workingFolder);
    created(m_start.get());
    // Relative names are made absolute against the folder the program was started in: stored
    // relative, a song would later be looked up beside the program.
    QStringList arguments;
    for (const QString &argument : options.arguments)
        arguments.append(arguments.isEmpty() && argument == InstanceProtocol::EnqueueOption
                             ? argument
                             : absoluteArgument(argument, options.workingFolder));
    m_prog = std::make_unique<Tprog>(s, arguments);
    created(m_prog.get());
    m_prog->setAudioDevices(m_audioDevices.names);
    // The main window's part of its creation: from here on a second start's files are taken.
    m_instanceCheck = std::make_unique<TOneInstanceCheck>();
    m_instanceCheck->setMainWindow(m_prog.get());
    m_instanceCheck->OnNewInstance = [&s](TOneInstanceCheck *, quint32, const QStringList &params, bool &) {
        s.playlist.OpenForwardedArguments(params);
    };
    m_suchopt = std::make_unique<Tsuchopt>(s.lang, s.searchOptions);
    created(m_suchopt.get());
    m_startWindow = std::make_unique<StartWindowController>(s.playlist, s.dialogs);
    m_startfenster = std::make_unique<Tstartfenster>(s.lang, *m_startWindow, *dialogs);
    m_startfenster->setCentreOver(m_start.get());
    created(m_startfenster.get());
    m_addordner = std::make_unique<Taddordner>(s.lang, s.playlist, s.list, *dialogs);
    created(m_addordner.get());
    m_lastfiles = std::make_unique<Tlastfiles>(s.lang, s.playback);
    created(m_lastfiles.get());
    m_info = std::make_unique<Tinfo>(s.lang);
    created(m_info.get());
    m_dateiinfo = std::make_unique<Tdateiinfo>(s.lang, s.selection);
    created(m_dateiinfo.get());
    m_txtexport = std::make_unique<Ttxtexport>(s.lang, s.txtExport);
    created(m_txtexport.get());
    m_fehler = std::make_unique<Tfehler>();
    created(m_fehler.get());
    // The song sources live in SongLists; the never-shown window that held them is not needed.
    m_einstausgabe = std::make_unique<Teinstausgabe>(s.lang, s.outputSettings);
    m_einstausgabe->setCentreOver(m_prog.get());
    created(m_einstausgabe.get());
    m_bugreport_de = std::make_unique<Tbugreport_de>(s.lang);
    created(m_bugreport_de.get());
    m_bugreport_en = std::make_unique<Tbugreport_en>(s.lang);
    created(m_bugreport_en.get());
    m_shellIntegration = std::make_unique<ShellIntegration>(ShellIntegration::Options{
        options.desktopScope.value_or(DesktopScope::forThisProcess()), ShellIntegration::currentProgramPath(),
        &Artwork::playlistIconPng});
    m_adminRestart = std::make_unique<AdminRestart>(AdminRestart::forThisProcess(ShellIntegration::currentProgramPath()));
    m_einstshortcuts = std::make_unique<Teinstshortcuts>(s.lang, *m_shellIntegration, *m_adminRestart, *dialogs);
    created(m_einstshortcuts.get());
    m_equalizer = std::make_unique<Tequalizer>(s.lang, s.playback.equalizer());
    created(m_equalizer.get());

    // The error log's title is the main window's text.
    m_prog->setErrorWindow(m_fehler.get());
    m_qtCatalogue.apply(s.lang.code());
    m_prog->sprache();
    m_start->setMainWindow(m_prog.get());

    // What the windows ask of each other.
    QObject::connect(&s.search, &SearchController::optionsWindowRequested, m_suchopt.get(),
                     [this] { showOver(m_suchopt.get(), m_prog.get()); });
    QObject::connect(m_suchopt.get(), &Tsuchopt::closed, &s.search, &SearchController::optionsWindowClosed);
    QObject::connect(&s.playlist, &PlaylistController::addFolderDialogRequested, m_addordner.get(),
                     [this] { showAndRaise(m_addordner.get()); });
    QObject::connect(&s.playlist, &PlaylistController::startWindowRequested, m_startfenster.get(),
                     [this] { m_startfenster->offer(); });
    QObject::connect(&s.playback, &PlaybackControl::logLine, m_fehler.get(), &Tfehler::appendLine);
    QObject::connect(m_prog.get(), &Tprog::errorWindowRequested, m_fehler.get(), [this] {
        if (!m_fehler->isVisible())
            centreOver(*m_fehler, *m_prog);
        m_fehler->show();
        m_fehler->raise();
    });
    QObject::connect(m_prog.get(), &Tprog::recentWindowRequested, m_lastfiles.get(), [this] {
        m_lastfiles->show();
        m_lastfiles->raise();
        m_lastfiles->Aktualisieren();
    });
    QObject::connect(m_prog.get(), &Tprog::shortcutsWindowRequested, m_einstshortcuts.get(),
                     [this] { showAndRaise(m_einstshortcuts.get()); });
    m_dateiinfo->setCovers(&s.covers);
    QObject::connect(&s.selection, &SelectionOperations::fileInformationRequested, m_dateiinfo.get(),
                     [this](const QString &path) {
                         showAndRaise(m_dateiinfo.get());
                         m_dateiinfo->DateiAuslesen(path);
                     });
    QObject::connect(&s.selection, &SelectionOperations::playingSongInformationRequested, m_dateiinfo.get(), [this] {
        showAndRaise(m_dateiinfo.get());
        m_dateiinfo->Auslesen();
    });
    QObject::connect(m_prog.get(), &Tprog::exportWindowRequested, m_txtexport.get(), [this] { m_txtexport->mtxtexportClick(); });
    QObject::connect(m_prog.get(), &Tprog::outputSettingsWindowRequested, m_einstausgabe.get(),
                     [this] { showAndRaise(m_einstausgabe.get()); });
    QObject::connect(m_prog.get(), &Tprog::equalizerWindowRequested, m_equalizer.get(),
                     [this] { showOver(m_equalizer.get(), m_prog.get()); });
    QObject::connect(m_prog.get(), &Tprog::infoRequested, m_info.get(), [this] { showOver(m_info.get(), m_prog.get()); });
    QObject::connect(m_prog.get(), &Tprog::languageSwitched, m_prog.get(), [this] { applyLanguageToOtherWindows(); });
    // The splash is the formal main window: closing the main window closes it and ends the run.
    QObject::connect(m_prog.get(), &Tprog::formClosed, m_prog.get(), [this] {
        m_start->close();
        QCoreApplication::quit();
    });

    // The media keys of the keyboard and of the desktop.
    m_mediaKeys = std::make_unique<MediaKeyFilter>(s.playback);
    QCoreApplication::instance()->installEventFilter(m_mediaKeys.get());
    m_mpris = std::make_unique<PlaybackMpris>(s.playback, [this] { showAndRaise(m_prog.get()); });
    if (options.mpris)
        m_mpris->registerOnSessionBus();
    QObject::connect(&s.covers, &CoverController::artUrlChanged, &m_mpris->service(),
                     [this](const QString &song, const QString &url) { m_mpris->setArtUrl(song, url); });
    // The tray icon, where the desktop has a tray.
    m_tray = std::make_unique<TrayIcon>(s.tray, s.lang, *m_prog);
    m_tray->show();
    // A notification when a song starts, while the settings menu's item is ticked.
    m_notifications = std::make_unique<SongNotifications>(s.playback);
    m_notifications->setEnabled(s.settings.notifications());
    QObject::connect(&s.settings, &SettingsController::notificationsChanged, m_notifications.get(),
                     &SongNotifications::setEnabled);
}

SonaloApp::~SonaloApp()
{
    // The media controls first: they drive the playback.
    m_notifications.reset();
    m_tray.reset();
    m_mpris.reset();
    m_mediaKeys.reset();
    // Windows go in the reverse order of their creation; the main window's FormDestroy runs
    // while the others still exist.
    m_equalizer.reset();
    m_einstshortcuts.reset();
    m_adminRestart.reset();
    m_shellIntegration.reset();
    m_bugreport_en.reset();
    m_bugreport_de.reset();
    m_einstausgabe.reset();
    m_prog->setErrorWindow(nullptr);
    m_fehler.reset();
    m_txtexport.reset();
    m_dateiinfo.reset();
    m_info.reset();
    m_lastfiles.reset();
    m_addordner.reset();
    m_startfenster.reset();
    m_startWindow.reset();
    m_suchopt.reset();
    // Hand-overs arriving from now on are declined.
    m_instanceCheck.reset();
    m_prog.reset();
    m_start.reset();
    m_session.reset();
    m_engine.reset();
}

void SonaloApp::created(QWidget *window)
{
    m_creationOrder.append(window->objectName());
}

QList<QWidget *> SonaloApp::windows() const
{
    return {m_start.get(),     m_prog.get(),      m_suchopt.get(),      m_startfenster.get(), m_addordner.get(),
            m_lastfiles.get(), m_info.get(),      m_dateiinfo.get(),    m_txtexport.get(),    m_fehler.get(),
            m_einstausgabe.get(), m_bugreport_de.get(), m_bugreport_en.get(), m_einstshortcuts.get(),
            m_equalizer.get()};
}

void SonaloApp::applyLanguageToOtherWindows()
{
    m_qtCatalogue.apply(m_session->lang.code());
    // The order of the language menu's command.
    m_addordner->LocalSpr();
    m_lastfiles->LocalSpr();
    m_suchopt->LocalSpr();
    m_dateiinfo->LocalSpr();
    m_txtexport->LocalSpr();
    m_einstausgabe->Sprache();
    m_startfenster->sprache();
    m_info->switchPanel();
    m_einstshortcuts->Sprache();
    m_tray->applyLanguage();
    m_equalizer->LocalSpr();
    m_start->languageLabel()->setText(m_session->lang.code());
}

void SonaloApp::showSplash()
{
    m_start->show();
}
