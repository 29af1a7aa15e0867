#include "app/SonaloApp.h"

#include "app/Tinfo.h"
#include "app/Tstart.h"
#include "app/Tstartfenster.h"
#include "core/AddingSongs.h"
#include "playback/AudioPlay.h"
#include "playback/PlaybackControl.h"
#include "shell/MediaKeyFilter.h"
#include "shell/PlaybackMpris.h"
#include "core/AddingSongs.h"
#include "tags/AddSongFile.h"
#include "ui/Taddordner.h"
#include "ui/Tprog.h"
#include "ui/Tsuchopt.h"
#include "ui/UserDialogs.h"
#include "ui/pending/Tbugreport_de.h"
#include "ui/pending/Tbugreport_en.h"
#include "ui/pending/Tdateiinfo.h"
#include "ui/pending/Teinstausgabe.h"
#include "ui/pending/Teinstshortcuts.h"
#include "ui/Tfehler.h"
#include "ui/Tlastfiles.h"
#include "ui/pending/Ttxtexport.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>

SonaloApp::SonaloApp(const Options &options)
{
    UserDialogs *dialogs = options.dialogs;
    if (!dialogs) {
        m_ownDialogs = std::make_unique<QtUserDialogs>();
        dialogs = m_ownDialogs.get();
    }

    // The splash first: it chooses the language every later window is created in.
    m_start = std::make_unique<Tstart>(lang, options.workingFolder);
    created(m_start.get());
    // Relative names are made absolute against the folder the program was started in: stored
    // relative, a song would later be looked up beside the program.
    QStringList arguments;
    for (const QString &argument : options.arguments)
        arguments.append(absoluteArgument(argument, options.workingFolder));
    m_prog = std::make_unique<Tprog>(lang, output, *dialogs, options.programFolder, arguments);
    created(m_prog.get());
    m_suchopt = std::make_unique<Tsuchopt>(lang, m_prog->searchOptions());
    created(m_suchopt.get());
    m_prog->setSearchOptionsWindow(m_suchopt.get());
    QObject::connect(m_suchopt.get(), &Tsuchopt::closed, m_prog.get(),
                     [this] { m_prog->search().optionsWindowClosed(); });
    m_startfenster = std::make_unique<Tstartfenster>(lang);
    created(m_startfenster.get());
    m_addordner = std::make_unique<Taddordner>(lang, *m_prog, *dialogs);
    created(m_addordner.get());
    m_lastfiles = std::make_unique<Tlastfiles>(lang);
    created(m_lastfiles.get());
    m_info = std::make_unique<Tinfo>(lang);
    created(m_info.get());
    m_dateiinfo = std::make_unique<Tdateiinfo>(lang);
    created(m_dateiinfo.get());
    m_txtexport = std::make_unique<Ttxtexport>(lang);
    created(m_txtexport.get());
    m_fehler = std::make_unique<Tfehler>();
    created(m_fehler.get());
    // The song sources live in SongLists; the never-shown window that held them is not needed.
    m_einstausgabe = std::make_unique<Teinstausgabe>(lang);
    created(m_einstausgabe.get());
    m_bugreport_de = std::make_unique<Tbugreport_de>(lang);
    created(m_bugreport_de.get());
    m_bugreport_en = std::make_unique<Tbugreport_en>(lang);
    created(m_bugreport_en.get());
    m_einstshortcuts = std::make_unique<Teinstshortcuts>(lang);
    created(m_einstshortcuts.get());

    // The error log's title is the main window's text.
    m_prog->setErrorWindow(m_fehler.get());
    m_prog->sprache();
    m_start->setMainWindow(m_prog.get());
    m_prog->hooks.addSongFile = [this](const QString &path, bool relative) {
        AddSongFile(m_prog->lists(), path, relative);
    };
    m_prog->hooks.showAddFolderDialog = [this] {
        m_addordner->show();
        m_addordner->raise();
        m_addordner->activateWindow();
    };
    m_prog->hooks.relativTicked = [this] { return m_addordner->relativ->isChecked(); };

    // Playback: the players, the recently played window, the media keys of the keyboard and
    // of the desktop.
    AudioPlayerFactory factory = options.playerFactory;
    if (!factory) {
        m_audioDevices = TAudioDevices::Enumerate();
        factory = TcbAudioPlay::Factory(m_audioDevices);
    }
    m_prog->setRecentWindow(m_lastfiles.get());
    m_prog->attachPlayback(std::move(factory));
    m_mediaKeys = std::make_unique<MediaKeyFilter>(*m_prog->playback());
    QCoreApplication::instance()->installEventFilter(m_mediaKeys.get());
    m_mpris = std::make_unique<PlaybackMpris>(*m_prog->playback(), [this] {
        m_prog->show();
        m_prog->raise();
        m_prog->activateWindow();
    });
    if (options.mpris)
        m_mpris->registerOnSessionBus();

    QObject::connect(m_prog.get(), &Tprog::languageSwitched, m_prog.get(),
                     [this] { applyLanguageToOtherWindows(); });
    QObject::connect(m_prog.get(), &Tprog::infoRequested, m_prog.get(), [this] {
        m_info->show();
        m_info->raise();
        m_info->activateWindow();
    });
    // The splash is the formal main window: closing the main window closes it and ends the run.
    QObject::connect(m_prog.get(), &Tprog::formClosed, m_prog.get(), [this] {
        m_start->close();
        QCoreApplication::quit();
    });
}

SonaloApp::~SonaloApp()
{
    // The media controls first: they drive the playback the main window owns.
    m_mpris.reset();
    m_mediaKeys.reset();
    // Windows go in the reverse order of their creation; the main window's FormDestroy runs
    // while the others still exist.
    m_einstshortcuts.reset();
    m_bugreport_en.reset();
    m_bugreport_de.reset();
    m_einstausgabe.reset();
    m_prog->setErrorWindow(nullptr);
    m_fehler.reset();
    m_txtexport.reset();
    m_dateiinfo.reset();
    m_info.reset();
    m_prog->setRecentWindow(nullptr);
    m_lastfiles.reset();
    m_addordner.reset();
    m_startfenster.reset();
    m_prog->setSearchOptionsWindow(nullptr);
    m_suchopt.reset();
    m_prog.reset();
    m_start.reset();
}

void SonaloApp::created(QWidget *window)
{
    m_creationOrder.append(window->objectName());
}

QList<QWidget *> SonaloApp::windows() const
{
    return {m_start.get(),     m_prog.get(),      m_suchopt.get(),      m_startfenster.get(), m_addordner.get(),
            m_lastfiles.get(), m_info.get(),      m_dateiinfo.get(),    m_txtexport.get(),    m_fehler.get(),
            m_einstausgabe.get(), m_bugreport_de.get(), m_bugreport_en.get(), m_einstshortcuts.get()};
}

void SonaloApp::applyLanguageToOtherWindows()
{
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
    m_start->languageLabel()->setText(lang.code());
}

void SonaloApp::showSplash()
{
    m_start->show();
}
