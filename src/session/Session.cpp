#include "session/Session.h"

#include "core/SettingsFile.h"
#include "session/UserDialogs.h"
#include "shell/FileManager.h"
#include "tags/ReaderFailureHook.h"

#include <QStandardPaths>

namespace {

std::unique_ptr<FileManager> ownFileManager(const Session::Options &options)
{
    if (options.fileManager)
        return nullptr;
    return std::make_unique<FreedesktopFileManager>();
}

QString settingsPath(const Session::Options &options)
{
    const QString config = options.configFolder.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                               : options.configFolder;
    return SettingsFile::location(options.programFolder, config);
}

} // namespace

Session::Session(const Options &options)
    : lists(options.programFolder),
      list(lists, lang),
      playback(lists, options.playerFactory, display, lang),
      search(lists, lang, searchOptions, *options.dialogs, list, playback),
      playlist(lists, scan, output, lang, *options.dialogs, options.addSongFile),
      settings(settingsPath(options), lang, lists, display, searchOptions, search, list, playback, *options.dialogs),
      dialogs(*options.dialogs),
      m_ownFileManager(ownFileManager(options)),
      fileManager(options.fileManager ? *options.fileManager : *m_ownFileManager),
      selection(lists, list, playback, fileManager),
      outputSettings(output, dialogs),
      txtExport(lists, output, lang, dialogs),
      covers(playback, settings, options.coverFolder)
{
    list.attach(search, playback);
    selection.setUndo(&undo);
    playlist.setUndo(&undo);
    playlist.setQueue(&playback.queue());
    playlist.setProgress(&progress);
    search.setProgress(&progress);
    const QString data = options.dataFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                                      : options.dataFolder;
    if (!data.isEmpty()) {
        playlist.setLastPlaylistPath(data + QStringLiteral("/last-playlist.slp"));
        m_journalRecovery = std::make_unique<JournalRecovery>(data + QStringLiteral("/journal"));
        m_journal = std::make_unique<JournalRecorder>(lists, m_journalRecovery->newFolder());
        QObject::connect(m_journal.get(), &JournalRecorder::writeFailed, &list,
                         [this](const QString &message) { dialogs.showError(nullptr, message); });
    }
    // Every error reaches the user through the dialogs: the controllers here ask them directly,
    // playback (a layer below) and the tag readers through these two.
    QObject::connect(&playback, &PlaybackControl::errorRaised, &list,
                     [this](const QString &message) { dialogs.showError(nullptr, message); });
    setReaderFailureHook([this](const QString &message) { dialogs.showFailure(message); });
    // What playback shows in the status line.
    QObject::connect(&playback, &PlaybackControl::songShownInStatusLine, &list, &ListDisplay::showSong);
    QObject::connect(&playback, &PlaybackControl::statusShowsSong, &list, &ListDisplay::markStatusShowsSong);
    QObject::connect(&playback, &PlaybackControl::songFailed, &list, &ListDisplay::showPlayFailure);
    // The table marks the row that plays.
    QObject::connect(&playback, &PlaybackControl::songChanged, &list, [this] {
        const IAudioPlayer *player = playback.Player();
        list.model().setPlayingPaths(playback.PlayingGivenPath(), player ? player->FileName() : QString());
    });
}

void Session::startJournal()
{
    if (!m_journal || m_journal->started())
        return;
    m_journalRecovery->offer(lists, dialogs, lang);
    m_journal->start();
}

void Session::endJournal()
{
    if (!m_journal)
        return;
    m_journal->finish();
    m_journalRecovery->closeNormally();
}

Session::~Session()
{
    // The player's end-of-song callback reaches into the lists: no song outlives them.
    playback.FreePlayer();
    setReaderFailureHook({});
}
