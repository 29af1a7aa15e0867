#include "session/CoverController.h"

#include "playback/PlaybackControl.h"
#include "session/SettingsController.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <limits>
#include <unistd.h>

namespace {

// The desktop's cache gets one folder per running copy (a portable copy may run beside the
// installed one); what copies that no longer run left behind is removed.
QString ownCacheFolder()
{
    const QString covers = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Sonalo/covers");
    const QStringList folders = QDir(covers).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : folders) {
        bool number = false;
        const qint64 pid = name.toLongLong(&number);
        if (number && pid > 0 && pid <= std::numeric_limits<pid_t>::max() && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QDir(covers + QLatin1Char('/') + name).removeRecursively();
    }
    return covers + QLatin1Char('/') + QString::number(::getpid());
}

} // namespace

CoverController::CoverController(PlaybackControl &playback, SettingsController &settings, const QString &artFolder)
    : m_playback(playback), m_settings(settings), m_artFolder(artFolder.isEmpty() ? ownCacheFolder() : artFolder)
{
    // What an earlier run left behind (one that ended without cleaning up) goes first.
    QDir(m_artFolder).removeRecursively();
    connect(&m_playback, &PlaybackControl::songChanged, this, &CoverController::songChanged);
    connect(&m_loader, &CoverLoader::loaded, this, &CoverController::loaded);
    connect(&m_settings, &SettingsController::folderCoverFirstChanged, this, [this] {
        m_playing.clear();
        songChanged();
    });
}

CoverController::~CoverController()
{
    m_loader.disconnect(this);
    removeWrittenFile();
    QDir(m_artFolder).removeRecursively();
}

bool CoverController::folderFirst() const
{
    return m_settings.folderCoverFirst();
}

void CoverController::songChanged()
{
    const IAudioPlayer *player = m_playback.Player();
    const QString path = player ? player->FileName() : QString();
    if (path == m_playing)
        return;
    m_playing = path;
    // The old song's picture goes at once; the new one follows when it is read.
    if (!m_cover.isNull()) {
        m_cover = QImage();
        Q_EMIT playingCoverChanged(m_cover);
    }
    setArt(path, QString());
    if (!path.isEmpty())
        m_loader.request({path, kWindowSide, folderFirst(), m_artFolder});
}

void CoverController::loaded(const CoverResult &result)
{
    // The information window asks the same loader for its own sizes.
    if (result.request.maxSide != kWindowSide || result.request.artFolder != m_artFolder)
        return;
    if (result.songPath != m_playing) {
        // A song that no longer plays: a picture written for it is not wanted.
        if (!result.artFile.isEmpty() && result.artFile.startsWith(m_artFolder + QLatin1Char('/')))
            QFile::remove(result.artFile);
        return;
    }
    m_cover = result.image;
    Q_EMIT playingCoverChanged(m_cover);
    setArt(result.songPath, result.image.isNull() ? QString() : result.artFile);
}

void CoverController::setArt(const QString &songPath, const QString &file)
{
    if (!m_writtenFile.isEmpty() && m_writtenFile != file)
        removeWrittenFile();
    if (file.startsWith(m_artFolder + QLatin1Char('/')))
        m_writtenFile = file;
    const QString url = file.isEmpty() ? QString() : QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
    if (url == m_artUrl && songPath == m_artSong)
        return;
    m_artUrl = url;
    m_artSong = songPath;
    Q_EMIT artUrlChanged(songPath, url);
}

void CoverController::removeWrittenFile()
{
    if (!m_writtenFile.isEmpty())
        QFile::remove(m_writtenFile);
    m_writtenFile.clear();
}
