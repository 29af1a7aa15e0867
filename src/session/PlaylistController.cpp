#include "session/PlaylistController.h"


#include "core/AddingSongs.h"
#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/FolderWalk.h"
#include "core/PictureStyle.h"
#include "core/Playlist.h"
#include "core/PlaylistUndo.h"
#include "core/playlists/PlaylistFiles.h"
#include "tags/AddSongFile.h"
#include "tags/PlaylistEntryRecord.h"
#include "session/SaveTexts.h"
#include "session/UserDialogs.h"
#include "session/LongStepProgress.h"
#include "core/InstanceMessage.h"
#include "playback/PlayQueue.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>

#include <memory>
#include <optional>

namespace {

QString audioFilesFilter(QStringView allFiles)
{
    return QStringLiteral("Audio (*.mp3,*.wav,*.ogg,*.wma,*.flac,*.opus,*.m4a) "
                          "(*.mp3 *.wav *.ogg *.wma *.flac *.opus *.m4a);;Audio (*.mp3) (*.mp3);;"
                          "Audio (*.wav) (*.wav);;Audio (*.ogg) (*.ogg);;Audio (*.wma) (*.wma);;"
                          "Audio (*.flac) (*.flac);;Audio (*.opus) (*.opus);;Audio (*.m4a) (*.m4a);;")
        + allFiles.toString() + QStringLiteral(" (*.*) (*)");
}

void processEvents()
{
    QCoreApplication::processEvents();
}

} // namespace

PlaylistController::PlaylistController(SongLists &lists, ScanState &scan, const OutputSettings &output,
                                       const LanguageCode &lang, UserDialogs &dialogs,
                                       AddSongFileFn addSongFile, QObject *parent)
    : QObject(parent),
      m_lists(lists),
      m_scan(scan),
      m_output(output),
      m_lang(lang),
      m_dialogs(dialogs),
      m_addSongFile(std::move(addSongFile)),
      m_openAudioFilesFilter(audioFilesFilter(u"Alle Dateien"))
{
    if (!m_addSongFile)
        m_addSongFile = [this](const QString &path, bool relative) { AddSongFile(m_lists, path, relative); };
    // An entry whose file is there reads its tags, as adding a file does; a long list keeps
    // the window painting while adding runs (it takes no input then).
    m_entryRecord = [this, sinceRepaint = std::make_shared<QElapsedTimer>()](const PlaylistEntry &entry) {
        if (m_adding && (!sinceRepaint->isValid() || sinceRepaint->elapsed() >= 50)) {
            processEvents();
            sinceRepaint->start();
        }
        return playlistEntryRecord(entry, m_lists.programFolder());
    };
    // Hand-overs that came while adding ran wait for its end.
    connect(this, &PlaylistController::addingChanged, this, [this](bool adding) {
        if (!adding && !m_forwarded.isEmpty())
            QMetaObject::invokeMethod(this, &PlaylistController::openQueuedForwarded, Qt::QueuedConnection);
    });
}

QString PlaylistController::playlistFilter()
{
    return QStringLiteral("Playlist Sonalo (*.slp);;M3U, PLS, XSPF (*.m3u *.m3u8 *.pls *.xspf)");
}

QString PlaylistController::playlistOpenFilter()
{
    return playlistFilter() + QStringLiteral(";;CUE (*.cue)");
}

void PlaylistController::languageChanged()
{
    if (m_lang.isDe())
        m_openAudioFilesFilter.replace(QLatin1String("All Files"), QLatin1String("Alle Dateien"));
    else if (m_lang.isEn())
        m_openAudioFilesFilter.replace(QLatin1String("Alle Dateien"), QLatin1String("All Files"));
}

void PlaylistController::runCommand(const std::function<void()> &command)
{
    // The program's error handler: show the message; the command stops where it was.
    try {
        command();
    } catch (const SonaloError &e) {
        m_dialogs.showError(nullptr, e.message());
    }
}

bool PlaylistController::addSongs(const std::function<void()> &adding)
{
    // Enter in the add-folder dialog, or a drop while a scan runs (the loops let events run),
    // must not start a second adding inside the first.
    if (m_adding)
        return false;
    // The window comes back also when adding stops with an error.
    struct Guard
    {
        PlaylistController &c;
        explicit Guard(PlaylistController &controller) : c(controller)
        {
            c.m_adding = true;
            Q_EMIT c.addingChanged(true);
        }
        ~Guard()
        {
            c.m_adding = false;
            Q_EMIT c.addingChanged(false);
        }
    } guard(*this);
    runCommand(adding);
    return true;
}

void PlaylistController::addAndScroll(const std::function<bool()> &adding)
{
    {
        auto scope = m_lists.edit(SongLists::Refresh::None);
        if (!adding())
            return; // another adding runs: it refreshes when it ends
        // The count is shown again also when nothing was added (a cancelled dialog).
        scope.ask(SongLists::Refresh::TableAndStatus);
    }
    Q_EMIT songsAppended();
}

void PlaylistController::loadPlaylistFile(const QString &fileName)
{
    // Read into a list of its own first, so that a failure adds nothing.
    SongLists loaded(m_lists.programFolder());
    // A playlist of a million songs takes a second to parse: the window keeps painting.
    LoadAnyPlaylist(loaded, fileName, m_entryRecord, false, [this] {
        if (m_adding)
            processEvents();
    });
    m_lists.appendFrom(loaded);
}

void PlaylistController::OpenArgument(const QString &argument)
{
    // A playlist is read into a list of its own first, so that a failure adds nothing.
    SongLists loaded(m_lists.programFolder());
    std::optional<SonaloError> failure;
    {
        const auto scope = m_lists.edit(SongLists::Refresh::TableAndStatus);
        addSongs([&] {
            try {
                ::OpenArgument(loaded, argument, m_scan, m_addSongFile, processEvents, m_folderRelative,
                               m_entryRecord);
            } catch (const SonaloError &e) {
                failure = e; // reported by the caller, after the refresh
            }
        });
        m_lists.appendFrom(loaded);
        m_playlistFolderList.clear();
    }
    if (failure)
        throw *failure;
}

void PlaylistController::OpenArguments(const QStringList &arguments)
{
    const bool enqueue = !arguments.isEmpty() && arguments.first() == InstanceProtocol::EnqueueOption;
    const qsizetype before = m_lists.AllSongs().size();
    const auto lineUp = qScopeGuard([&] {
        if (enqueue && m_queue && m_lists.AllSongs().size() > before)
            m_queue->append(m_lists.AllSongs().mid(before));
    });
    for (qsizetype i = enqueue ? 1 : 0; i < arguments.size(); ++i)
        OpenArgument(arguments.at(i));
}

void PlaylistController::OpenForwardedArguments(const QStringList &params)
{
    if (params.size() < 2)
        return;
    m_forwarded.append(params.mid(1));
    QMetaObject::invokeMethod(this, &PlaylistController::openQueuedForwarded, Qt::QueuedConnection);
}

void PlaylistController::openQueuedForwarded()
{
    // Adding in progress (a scan lets events run): the end of that adding comes back here.
    // Already opening: the loop below takes the new ones in turn.
    if (m_adding || m_openingForwarded)
        return;
    m_openingForwarded = true;
    while (!m_forwarded.isEmpty()) {
        const QStringList arguments = m_forwarded.takeFirst();
        // Like the program's own arguments: a failure shows and stops this hand-over's rest.
        runCommand([&] { OpenArguments(arguments); });
        ++m_forwardedOpened;
    }
    m_openingForwarded = false;
}

bool PlaylistController::keepLastPlaylist()
{
    if (m_lastPlaylistPath.isEmpty())
        return true;
    bool ok = false;
    runCommand([&] {
        if (!QDir().mkpath(QFileInfo(m_lastPlaylistPath).absolutePath()))
            throw SonaloError(QStringLiteral("Unable to write to %1").arg(m_lastPlaylistPath));
        ok = saveSnapshot(m_lists.AllSongs(), m_lastPlaylistPath, TTextEncoding::teUtf8);
    });
    return ok;
}

void PlaylistController::FormShow(const QStringList &arguments, bool restoreLast)
{
    if (arguments.isEmpty() && restoreLast && !m_lastPlaylistPath.isEmpty()
        && FileSystem::isRegularFile(m_lastPlaylistPath)) {
        m_playlistFolderList.clear();
        const auto scope = m_lists.edit(SongLists::Refresh::TableAndStatus);
        // As adding: a million songs keep the window painting, and hand-overs wait for the end.
        addSongs([this] { loadPlaylistFile(m_lastPlaylistPath); });
        return;
    }
    // The silent walk: the program's folder only, sorted by name without regard to case.
    m_playlistFolderList.clear();
    WideFindAllFiles(m_playlistFolderList, m_lists.programFolder(), {QStringLiteral(".slp")}, false);
    if (arguments.isEmpty()) {
        if (m_playlistFolderList.size() == 1)
            EinzigeLaden();
        else if (m_playlistFolderList.size() > 1)
            Q_EMIT startWindowRequested();
        return;
    }
    runCommand([&] { OpenArguments(arguments); });
    // After a failed argument no start window is offered either.
    m_playlistFolderList.clear();
}

void PlaylistController::EinzigeLaden()
{
    if (m_playlistFolderList.isEmpty())
        return;
    addSongs([this] {
        // No refresh when the load fails.
        auto scope = m_lists.edit(SongLists::Refresh::None);
        loadPlaylistFile(m_playlistFolderList.first());
        scope.ask(SongLists::Refresh::TableAndStatus);
    });
    m_playlistFolderList.clear();
}

void PlaylistController::FormActivate()
{
    if (!m_playlistFolderList.isEmpty())
        Q_EMIT startWindowRequested();
}

void PlaylistController::loadPlaylists(const QStringList &fileNames)
{
    // Also when one fails: the playlists read before it are in the list, and the table must
    // count them before the error shows.
    const auto scope = m_lists.edit(SongLists::Refresh::TableAndStatus);
    std::optional<SonaloError> failure;
    const auto loadAll = [&] {
        try {
            for (const QString &name : fileNames)
                loadPlaylistFile(name);
        } catch (const SonaloError &e) {
            failure = e; // thrown to the caller, as without the adding guard
        }
    };
    // As adding, so that long playlists keep the window painting; inside a running adding as
    // they are.
    if (!addSongs(loadAll))
        loadAll();
    if (failure)
        throw *failure;
}

void PlaylistController::mp1Click()
{
    if (m_adding)
        return;
    // The playlist goes only once a file is chosen: Cancel changes nothing.
    const QString name = m_dialogs.openFileName(nullptr, playlistOpenFilter());
    if (name.isEmpty())
        return;
    if (m_undo && !m_lists.AllSongs().isEmpty())
        m_undo->remember(m_lists);
    // Also after a failed load the table is refreshed: it must not go on counting the songs
    // that are gone.
    const auto scope = m_lists.edit(SongLists::Refresh::TableAndStatus);
    m_lists.replaceAll({});
    addSongs([&] { loadPlaylistFile(name); });
}

void PlaylistController::mp3Click()
{
    if (m_adding)
        return;
    // The playlist is shown before the dialog opens; the count only after a load.
    m_lists.showAll();
    const QString name = m_dialogs.openFileName(nullptr, playlistOpenFilter());
    if (name.isEmpty())
        return;
    addSongs([&] {
        auto scope = m_lists.edit(SongLists::Refresh::None);
        loadPlaylistFile(name);
        scope.ask(SongLists::Refresh::TableAndStatus);
    });
}

void PlaylistController::savePlaylistTo(const SongList &list)
{
    const QString name = m_dialogs.saveFileName(nullptr, playlistFilter());
    if (name.isEmpty() || !confirmOverwrite(m_dialogs, nullptr, m_lang, playlistSaveTarget(name)))
        return;
    runCommand([&] { saveSnapshot(list, name, m_output.OutputEncoding); });
}

bool PlaylistController::saveSnapshot(const SongList &list, const QString &name, TTextEncoding encoding)
{
    const QString target = playlistSaveTarget(name);
    const PictureStyle style = m_output.picture;
    // The worker reads its own copy: it shares the songs, and an edit would detach the window's.
    const std::function<QByteArray()> make = [list, name, target, encoding, style] {
        if (isPictureFileName(target))
            return checkedTextFileBytes(playlistText(list), target, encoding, style);
        return playlistSaveBytes(list, name, encoding, style);
    };
    try {
        const WorkWatch watch = m_saveWatches ? m_saveWatches(SaveTexts::saving(m_lang, target)) : WorkWatch();
        if (writeInBackground(target, make, watch) == WriteOutcome::Cancelled) {
            m_dialogs.showMessage(nullptr, SaveTexts::notSaved(m_lang, target));
            return false;
        }
    } catch (const PictureRefused &refused) {
        throw SonaloError(SaveTexts::pictureTooLarge(m_lang, refused.size));
    }
    return true;
}

void PlaylistController::mp2Click()
{
    savePlaylistTo(m_lists.AllSongs());
}

void PlaylistController::ergalsempClick()
{
    savePlaylistTo(m_lists.FoundSongs());
}

void PlaylistController::m_opendateiClick()
{
    if (m_adding)
        return;
    // The dialog is modal, which keeps the window from input while it is open.
    const QStringList names = m_dialogs.openFileNames(nullptr, m_openAudioFilesFilter);
    addAndScroll([&] {
        addSongs([&] {
            for (const QString &name : names)
                m_addSongFile(name, false);
        });
        return true;
    });
}

void PlaylistController::addNamesWithProgress(const std::function<void(const std::function<void()> &)> &adding)
{
    if (!m_progress) {
        addAndScroll([&] { return addSongs([&] { adding(processEvents); }); });
        return;
    }
    const qsizetype before = m_lists.AllSongs().size();
    // The songs added so far show as the count; Cancel stops before the next file, and what
    // was added stays (each song enters the list whole).
    const std::function<void()> keepAlive = [&] {
        m_progress->setProgress(m_lists.AllSongs().size() - before, 0);
        m_progress->keepAlive();
        if (m_progress->cancelRequested())
            m_scan.ScanCancelled = true;
    };
    addAndScroll([&] {
        if (m_adding)
            return false;
        const LongStepProgress::Running running = m_progress->begin(LongStepProgress::Step::Adding, true);
        const bool ran = addSongs([&] { adding(keepAlive); });
        m_scan.ScanCancelled = false; // a Cancel that came after the last file stops nothing later
        return ran;
    });
}

void PlaylistController::mp11Click(const QMimeData *clipboard)
{
    const QStringList names = fileListFromMimeData(clipboard);
    if (names.isEmpty())
        return; // no file list on the clipboard: nothing happens
    addNamesWithProgress([&](const std::function<void()> &keepAlive) {
        addPastedNames(m_lists, names, m_scan, m_addSongFile, keepAlive, m_folderRelative, m_entryRecord);
    });
}

void PlaylistController::lvDropFiles(const QStringList &names)
{
    addNamesWithProgress([&](const std::function<void()> &keepAlive) {
        addDroppedNames(m_lists, names, m_scan, m_addSongFile, keepAlive, m_folderRelative, m_entryRecord);
    });
}

void PlaylistController::mp4Click()
{
    if (m_lists.ShowingFound()) {
        const auto scope = m_lists.edit(SongLists::Refresh::TableAndStatus);
        m_lists.showAll();
    }
    Q_EMIT addFolderDialogRequested();
}
