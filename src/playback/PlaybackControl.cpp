#include "playback/PlaybackControl.h"
#include "playback/SongSource.h"

#include "core/FileSystem.h"
#include "playback/DisplayOptionsModel.h"
#include "tags/AudioInfo.h"
#include "tags/EmbeddedCueSheet.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <utility>

namespace {

// One second in the players' 100-ns units: the position after which a song is re-seeked once.
constexpr qint64 kResyncAfter = 10'000'000;
constexpr qint64 kUnitsPerMillisecond = 10'000;
constexpr qint64 kMillisecondsPerDay = 86'400'000;

} // namespace

QString FormatMediaTime(qint64 value, bool mediaTimeFormat)
{
    if (!mediaTimeFormat)
        return QString::number(value);
    // Round to the nearest millisecond, halves to even, and show the time of day it makes.
    qint64 ms = value / kUnitsPerMillisecond;
    const qint64 rest = value % kUnitsPerMillisecond;
    const qint64 half = kUnitsPerMillisecond / 2;
    if (rest > half || (rest == half && (ms & 1)))
        ++ms;
    else if (rest < -half || (rest == -half && (ms & 1)))
        --ms;
    ms = std::llabs(ms) % kMillisecondsPerDay;
    return QStringLiteral("%1:%2:%3:%4")
        .arg(ms / 3'600'000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60'000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

PlaybackControl::PlaybackControl(SongLists &lists, AudioPlayerFactory factory, const DisplayOptionsModel &options,
                                 const LanguageCode &lang, QObject *parent)
    : QObject(parent), m_lists(lists), m_factory(std::move(factory)), m_options(options), m_lang(lang),
      m_queue(lists), m_shuffle(lists, [this](int count) { return randomRow(count); })
{
    // The loaded song follows the repeat tick at once.
    connect(&options, &DisplayOptionsModel::repeatChanged, this, [this](bool on) {
        if (m_player)
            m_player->SetLoop(on);
    });
    connect(&m_equalizer, &EqualizerModel::changed, this, [this] {
        if (m_player)
            guarded([&] { m_player->SetEqualizer(m_equalizer.effectiveGains()); });
    });
    m_timer.setInterval(250);
    connect(&m_timer, &QTimer::timeout, this, &PlaybackControl::Timer1Timer);
    // Seeded once from the clock; the same song may come again, also twice in a row.
    auto generator = std::make_shared<QRandomGenerator>(quint32(QDateTime::currentMSecsSinceEpoch()));
    randomRow = [generator](int count) { return int(generator->bounded(count)); };
}

PlaybackControl::~PlaybackControl()
{
    // The player's callback points here: it must go first.
    m_player.reset();
}

template <typename F> void PlaybackControl::guarded(F &&command)
{
    // The program's error handler: show the message; the command stops where it was.
    try {
        command();
    } catch (const SonaloError &e) {
        Q_EMIT errorRaised(e.message());
    }
}

void PlaybackControl::setPlaying(bool playing)
{
    m_isPlaying = playing;
    Q_EMIT playingChanged(playing);
}

void PlaybackControl::setBarPosition(int position)
{
    Q_EMIT barPositionChanged(position);
}

void PlaybackControl::changedHistory()
{
    if (m_recentWindowVisible)
        Q_EMIT historyChanged();
}

void PlaybackControl::setRecentWindowVisible(bool visible)
{
    m_recentWindowVisible = visible;
}

void PlaybackControl::logFailure(const QString &path, const QString &detail, const QString &message, bool withMessage)
{
    Q_EMIT logLine(QLatin1Char('"') + path + QLatin1Char('"'));
    Q_EMIT logLine(detail);
    if (withMessage) {
        // The player's messages hold a CR between the call and its description.
        QString lines = QStringLiteral("  ") + message;
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        Q_EMIT logLine(lines);
    }
    Q_EMIT logLine(m_lang.text(u"> Nächste Datei wird geladen...", u"> Try to load next file..."));
}

void PlaybackControl::continueAfterFailure()
{
    if (m_failureCount >= kFailureLimit) {
        Q_EMIT logLine(m_lang.text(u"> Automatischer Abbruch.", u"> Automatic Abord."));
        // The chain ran from the end of a song: nothing plays any more, and nothing may say
        // it does. A song the user's start did not replace plays on.
        if (m_songOver)
            stop();
        return;
    }
    weiterClick();
}

void PlaybackControl::PlayFile(const QString &path)
{
    m_resyncPending = true;
    const QString resolved = m_lists.DateiFinden(path);
    if (!isPlayableSource(resolved)) {
        // The loaded song, if any, keeps playing.
        ++m_failureCount;
        logFailure(path, m_lang.text(u"  Datei existiert nicht.", u"  File does not exist."), QString(), false);
        continueAfterFailure();
        return;
    }

    enum class Failure { None, WithMessage, Unknown } failure = Failure::None;
    QString message;
    try {
        m_currentSongPath = resolved;
        m_playingGiven = path;
        m_timer.start();
        FreePlayer();
        CreatePlayer(resolved);
        ShowDuration();
        m_player->Play();
        m_failureCount = 0;
        rememberStartedRow(path, resolved);
        // The song's fields first, so that listeners told of the playing state see them.
        const QString display = ShowCurrentSong();
        setPlaying(true);
        m_history.append({display, resolved});
        changedHistory();
        Q_EMIT statusShowsSong();
    } catch (const SonaloError &e) {
        message = e.message();
        failure = message.isEmpty() ? Failure::Unknown : Failure::WithMessage;
    } catch (...) {
        failure = Failure::Unknown;
    }
    Q_EMIT songChanged();
    if (failure == Failure::None)
        return;
    // The previous song was released before the start failed: nothing plays now.
    if (m_isPlaying)
        setPlaying(false);
    ++m_failureCount;
    if (failure == Failure::WithMessage && isStreamLocation(resolved))
        logFailure(path,
                   m_lang.text(u"  Stream kann nicht abgespielt werden. Fehlercode: ", u"  Stream can not be played. Error Code: "),
                   message, true);
    else if (failure == Failure::WithMessage)
        logFailure(path,
                   m_lang.text(u"  Datei kann nicht abgespielt werden. Fehlercode: ", u"  File can not be played. Error Code: "),
                   message, true);
    else
        logFailure(path,
                   m_lang.text(u"  Datei kann nicht abgespielt werden. Unbekannter Fehler.",
                               u"  File can not be played. Unknown Error."),
                   QString(), false);
    Q_EMIT songFailed(path);
    continueAfterFailure();
}

void PlaybackControl::rememberStartedRow(const QString &path, const QString &resolved)
{
    if (m_currentIndex < 0 || m_currentIndex >= rows().size())
        return;
    // Only the row that was started: a song from the history or one marked to play next may
    // have come from elsewhere.
    const TSongRecord &row = rows().at(m_currentIndex);
    if (row.Path != path && row.Path != resolved && m_lists.DateiFinden(row.Path) != resolved)
        return;
    if (row.Artist.isEmpty() && row.Title.isEmpty())
        m_startedRows.remove(resolved);
    else
        m_startedRows.insert(resolved, {row.Artist, row.Title});
}

void PlaybackControl::weiterClick()
{
    if (takePreparedChoice())
        return;
    if (!m_pendingNext.isEmpty()) {
        const QString next = m_pendingNext;
        m_pendingNext.clear();
        PlayFile(next);
        return;
    }
    if (!m_queue.isEmpty()) {
        // The table's place stays: after the queue the table goes on from there.
        PlayFile(m_queue.takeFirst().Path);
        return;
    }
    if (rows().isEmpty())
        return;
    if (m_options.shuffleOnce()) {
        playRow(m_shuffle.next());
        return;
    }
    playRow(followingRow());
}

int PlaybackControl::followingRow()
{
    const qsizetype count = rows().size();
    if (count == 0)
        return -1;
    if (m_options.shuffleOnce())
        return m_shuffle.peekNext();
    if (m_options.randomOrder())
        return randomRow(int(count));
    return m_currentIndex + 1 > count - 1 || m_currentIndex + 1 < 0 ? 0 : m_currentIndex + 1;
}

void PlaybackControl::playRow(int row)
{
    if (row < 0 || row >= rows().size())
        return;
    m_currentIndex = row;
    PlayFile(rows().at(row).Path);
}

void PlaybackControl::setStopAfterCurrent(bool on)
{
    if (on && !m_player)
        on = false;
    if (on == stopAfterCurrent())
        return;
    m_stopAfterPlayer = on ? m_playersCreated : 0;
    // A song handed ahead to the player would follow without asking again.
    if (on)
        m_prepared.reset();
    Q_EMIT stopAfterChanged(on);
}

QString PlaybackControl::prepareNextSong()
{
    m_prepared.reset();
    // A song handed over plays on the loaded song's output: after a change of output the next
    // song starts afresh on the new one.
    if (!m_player || m_options.repeat() || m_deviceIndex != m_playerDevice || stopAfterCurrent())
        return {};
    PreparedChoice choice;
    if (!m_pendingNext.isEmpty()) {
        choice.row = kPendingChoice;
        choice.path = m_pendingNext;
    } else if (!m_queue.isEmpty()) {
        choice.row = kQueueChoice;
        choice.path = m_queue.songs().first().Path;
    } else {
        choice.row = followingRow();
        if (choice.row < 0)
            return {};
        choice.path = rows().at(choice.row).Path;
    }
    m_prepared = choice;
    const QString resolved = m_lists.DateiFinden(choice.path);
    return isPlayableSource(resolved) ? resolved : QString();
}

// weiterClick's part for a prepared choice: plays it when it still stands (the marked song or
// the row it named are unchanged); true when it did.
bool PlaybackControl::takePreparedChoice()
{
    if (!m_prepared)
        return false;
    const PreparedChoice choice = *std::exchange(m_prepared, std::nullopt);
    if (choice.row == kPendingChoice) {
        if (m_pendingNext != choice.path)
            return false;
        m_pendingNext.clear();
    } else if (choice.row == kQueueChoice) {
        if (!m_pendingNext.isEmpty() || m_queue.isEmpty() || m_queue.songs().first().Path != choice.path)
            return false;
        m_queue.takeFirst();
    } else {
        if (!m_pendingNext.isEmpty() || !m_queue.isEmpty() || choice.row >= rows().size()
            || rows().at(choice.row).Path != choice.path)
            return false;
        if (m_options.shuffleOnce() && m_shuffle.next() != choice.row)
            return false;
        m_currentIndex = choice.row;
    }
    PlayFile(choice.path);
    return true;
}

// The player's end of song (without Loop): the next song, as the button would start it.
void PlaybackControl::songEnded()
{
    if (stopAfterCurrent()) {
        m_stopAfterPlayer = 0;
        stop();
        Q_EMIT stopAfterChanged(false);
        return;
    }
    m_songOver = true;
    weiterClick();
}

void PlaybackControl::zurueckClick()
{
    if (m_options.shuffleOnce()) {
        // Back through the round; at its start the button does nothing.
        playRow(m_shuffle.previous());
        return;
    }
    if (m_history.isEmpty())
        return;
    const QString target = m_lists.DateiFinden(m_history.last().Path);
    if (!isPlayableSource(target))
        return; // the entry stays
    // weiterClick comes back to the song PlayFile started last.
    if (m_player)
        m_pendingNext = m_currentSongPath;
    guarded([&] {
        m_timer.start();
        m_playingGiven = m_history.last().Path;
        CreatePlayer(target);
        ShowDuration();
        m_player->Play();
        ShowCurrentSong();
        setPlaying(true);
        m_history.removeLast();
        changedHistory();
    });
    // A start that failed has released the previous song: nothing plays now.
    if (!m_player && m_isPlaying)
        setPlaying(false);
    Q_EMIT songChanged();
}

void PlaybackControl::BtPlayClick()
{
    guarded([&] {
        if (m_isPlaying) {
            if (m_player)
                m_player->Pause();
            m_isPlaying = false;
            m_timer.stop();
        } else if (m_player) {
            m_player->Play();
            m_isPlaying = true;
            m_timer.start();
        } else if (!rows().isEmpty()) {
            // Playing only when a song could be started (PlayFile says so itself).
            PlayFile(rows().first().Path);
        }
        setPlaying(m_isPlaying);
    });
}

void PlaybackControl::mw1Click()
{
    guarded([&] {
        if (m_player) {
            m_player->Play();
            m_isPlaying = true;
            m_timer.start();
        } else if (!rows().isEmpty() && isPlayableSource(m_lists.DateiFinden(rows().first().Path))) {
            // Resolved like every other start, so that a playlist of relative paths plays too.
            // Playing only when a song could be started (PlayFile says so itself).
            PlayFile(rows().first().Path);
        }
        setPlaying(m_isPlaying);
    });
}

void PlaybackControl::mw2Click()
{
    guarded([&] {
        m_timer.stop();
        setPlaying(false);
        // The position stays: "Play" continues from there.
        if (m_player)
            m_player->Pause();
    });
}

void PlaybackControl::lvDblClick(int row)
{
    if (row < 0 || row >= rows().size())
        return;
    if (m_options.shuffleOnce())
        m_shuffle.startedRow(row);
    m_currentIndex = row;
    const QString path = rows().at(row).Path;
    PlayFile(path);
}

bool PlaybackControl::lvKeyPress(int character, int row)
{
    if (character != 13)
        return false;
    lvDblClick(row);
    return true;
}

void PlaybackControl::p1Click(int row)
{
    if (row < 0 || row >= rows().size())
        return;
    if (m_options.shuffleOnce())
        m_shuffle.startedRow(row);
    m_currentIndex = row;
    const QString resolved = m_lists.DateiFinden(rows().at(row).Path);
    if (isPlayableSource(resolved))
        PlayFile(resolved);
}

void PlaybackControl::pop_title_nextClick(int row)
{
    if (row < 0 || row >= rows().size())
        return;
    m_currentIndex = row;
    const QString resolved = m_lists.DateiFinden(rows().at(row).Path);
    if (isPlayableSource(resolved))
        m_pendingNext = resolved;
}

void PlaybackControl::lfDblClick(const QString &path)
{
    m_currentIndex = 0;
    if (isPlayableSource(path))
        PlayFile(path);
}

void PlaybackControl::DeleteHistory()
{
    m_history.clear();
    // Only the playing song can still be shown again.
    const auto playing = m_startedRows.constFind(m_currentSongPath);
    const RowNames keep = playing != m_startedRows.cend() ? *playing : RowNames();
    m_startedRows.clear();
    if (!keep.artist.isEmpty() || !keep.title.isEmpty())
        m_startedRows.insert(m_currentSongPath, keep);
    changedHistory();
}

void PlaybackControl::CreatePlayer(const QString &resolved)
{
    FreePlayer();
    // The player may call back from inside itself and be destroyed by that call.
    // Stop after this song meant the song that was loaded.
    if (std::exchange(m_stopAfterPlayer, 0) != 0)
        Q_EMIT stopAfterChanged(false);
    m_player = m_factory(resolved, m_deviceIndex, [this] { songEnded(); });
    m_playerDevice = m_deviceIndex;
    ++m_playersCreated;
    m_mediaTimeFormat = m_player->GetTimeFormat() == mediaTimeFormat();
    m_canSeek = (m_player->Capabilities() & kCanSeekAbsolute) != 0;
    Q_EMIT seekableChanged(m_canSeek);
    m_streamTitle.clear();
    m_player->OnStreamTitle = [this](const QString &title) {
        m_streamTitle = title;
        ShowCurrentSong();
        Q_EMIT songFieldsChanged();
    };
    m_player->SetLoop(m_options.repeat());
    m_player->SetVolume(volumeLevel(m_volumePercent, m_muted));
    m_player->SetEqualizer(m_equalizer.effectiveGains());
}

int PlaybackControl::volumeLevel(int percent, bool muted)
{
    if (muted || percent <= 0)
        return -10000;
    if (percent >= 100)
        return 0;
    // The amplitude follows the percentage, as the desktop's media controls assume.
    return std::max(-10000, int(std::lround(2000.0 * std::log10(percent / 100.0))));
}

void PlaybackControl::setVolumePercent(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_volumePercent)
        return;
    m_volumePercent = percent;
    applyVolume();
}

void PlaybackControl::setMuted(bool muted)
{
    if (muted == m_muted)
        return;
    m_muted = muted;
    applyVolume();
}

void PlaybackControl::setDeviceIndex(int index)
{
    if (index == m_deviceIndex)
        return;
    m_deviceIndex = index;
    Q_EMIT deviceIndexChanged(index);
}

void PlaybackControl::applyVolume()
{
    if (m_player)
        guarded([&] { m_player->SetVolume(volumeLevel(m_volumePercent, m_muted)); });
    Q_EMIT volumeChanged(m_volumePercent, m_muted);
}

void PlaybackControl::FreePlayer()
{
    m_player.reset();
    m_prepared.reset();
    m_songOver = false;
}

void PlaybackControl::stop()
{
    const bool hadSong = m_player != nullptr;
    m_timer.stop();
    FreePlayer();
    ShowDuration();
    if (m_isPlaying)
        setPlaying(false);
    if (hadSong)
        Q_EMIT songChanged();
}

void PlaybackControl::ShowDuration()
{
    // A stream has no length: nothing is shown rather than 00:00.
    const bool stream = m_player && isStreamLocation(m_player->FileName());
    Q_EMIT durationTextChanged(stream ? QString() : FormatMediaTime(m_player ? m_player->Duration() : 0));
    ShowPosition();
}

void PlaybackControl::ShowPosition()
{
    const bool wasUpdating = m_updatingPosition;
    m_updatingPosition = true;
    const auto restore = qScopeGuard([&] { m_updatingPosition = wasUpdating; });
    if (!m_player) {
        setBarPosition(0);
        Q_EMIT positionTextChanged(FormatMediaTime(0));
        return;
    }
    if (m_resyncPending && m_canSeek) {
        const qint64 position = m_player->GetPosition();
        if (position > kResyncAfter) {
            m_player->SetPosition(position, kSeekAbsolute);
            m_resyncPending = false;
        }
    }
    const qint64 duration = m_player->Duration();
    if (!m_thumbHeld && (m_player->Capabilities() & kCanGetDuration) && duration != 0)
        setBarPosition(int(m_player->GetPosition() * 1000 / duration));
    // The bar's change notification may have replaced the player (a seek at the end).
    if (m_player)
        Q_EMIT positionTextChanged(FormatMediaTime(m_player->GetPosition()));
}

QString PlaybackControl::FormatMediaTime(qint64 value) const
{
    return ::FormatMediaTime(value, m_mediaTimeFormat);
}

void PlaybackControl::Timer1Timer()
{
    if (!m_player || m_player->Duration() == 0)
        return;
    try {
        ShowPosition();
    } catch (const SonaloError &e) {
        // A failed re-seek is not worth a message box four times a second.
        m_resyncPending = false;
        qWarning("Sonalo: position update failed: %s", e.what());
    }
}

void PlaybackControl::stelleChange(int barPosition)
{
    try {
        if (m_thumbHeld)
            return; // the release seeks
        const bool jump = !m_updatingPosition && m_canSeek && m_player;
        if (jump)
            m_player->SetPosition(qint64(barPosition) * m_player->Duration() / 1000, kSeekAbsolute);
        ShowPosition();
        if (jump && m_player)
            Q_EMIT positionJumped(m_player->GetPosition());
    } catch (const SonaloError &e) {
        Q_EMIT errorRaised(e.message());
    }
}

void PlaybackControl::stelleGrabbed()
{
    m_thumbHeld = true;
}

void PlaybackControl::stelleReleased(int barPosition)
{
    if (!m_thumbHeld)
        return;
    m_thumbHeld = false;
    stelleChange(barPosition);
}

void PlaybackControl::seekTo(qint64 position)
{
    if (!m_player || !m_canSeek)
        return;
    guarded([&] {
        m_player->SetPosition(std::max<qint64>(position, 0), kSeekAbsolute);
        ShowPosition();
        if (m_player)
            Q_EMIT positionJumped(m_player->GetPosition());
    });
}

qint64 PlaybackControl::position() const
{
    return m_player ? m_player->GetPosition() : 0;
}

QString PlaybackControl::ShowCurrentSong()
{
    if (!m_player)
        return QString();
    const QString file = m_player->FileName();
    TAudioInfo info;
    info.ReadFromFile(file);
    SongTagFields fields{info.Artist, info.Title, info.Album, info.Genre, info.Track};
    // A stream is described by what it says it plays, a track of a sheet by its sheet.
    if (!m_streamTitle.isEmpty()) {
        fields = {QString(), m_streamTitle, QString(), QString(), QString()};
        info.OwnArtistOrTitle = true;
    }
    if (const std::optional<PlaylistEntry> track = sheetTrackEntry(file)) {
        fields = {track->artist, track->title, track->album, track->genre, track->track};
        info.OwnArtistOrTitle = !track->artist.isEmpty() || !track->title.isEmpty();
    }
    // A file that names neither artist nor title would show its file name beside a row that
    // reads both: the started row's fields are the better guess.
    const auto started = m_startedRows.constFind(file);
    if (!info.OwnArtistOrTitle && started != m_startedRows.cend()) {
        fields.artist = started->artist;
        fields.title = started->title;
    }
    m_songTags = fields;
    m_songFields = SongDisplayFields(fields);
    const SongDisplayOptions options = m_options.songDisplay();
    // The path shown is the playing file's: after going back it is not the song PlayFile
    // started last.
    const QString display = SongDisplayText(m_songFields, options.mode, file);
    if (options.inStatus)
        Q_EMIT songShownInStatusLine(display);
    if (options.inTitle)
        Q_EMIT windowTitleChanged(SongWindowTitle(display));
    return display;
}
