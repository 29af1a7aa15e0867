#include "playback/PlaybackControl.h"

#include "core/FileSystem.h"
#include "tags/AudioInfo.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <cstdlib>
#include <memory>

namespace {

// One second in the players' 100-ns units: the position after which a song is re-seeked once.
constexpr qint64 kResyncAfter = 10'000'000;
constexpr qint64 kUnitsPerMillisecond = 10'000;
constexpr qint64 kMillisecondsPerDay = 86'400'000;

QString text(bool german, const char16_t *de, const char16_t *en)
{
    return QString::fromUtf16(german ? de : en);
}

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

PlaybackControl::PlaybackControl(SongLists &lists, AudioPlayerFactory factory, PlaybackView &view, QObject *parent)
    : QObject(parent), m_lists(lists), m_factory(std::move(factory)), m_view(view)
{
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
        m_view.showError(e.message());
    }
    Q_EMIT playbackChanged();
}

void PlaybackControl::setPlaying(bool playing)
{
    IsPlaying = playing;
    m_view.showPlaying(playing);
}

void PlaybackControl::historyChanged()
{
    if (RecentWindowVisible)
        m_view.Aktualisieren();
}

void PlaybackControl::setRecentWindowVisible(bool visible)
{
    RecentWindowVisible = visible;
}

void PlaybackControl::logFailure(const QString &path, const QString &detail, const QString &message, bool withMessage)
{
    const bool de = m_view.germanTexts();
    m_view.appendLog(QLatin1Char('"') + path + QLatin1Char('"'));
    m_view.appendLog(detail);
    if (withMessage) {
        // The player's messages hold a CR between the call and its description.
        QString lines = QStringLiteral("  ") + message;
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        m_view.appendLog(lines);
    }
    m_view.appendLog(text(de, u"> Nächste Datei wird geladen...", u"> Try to load next file..."));
}

void PlaybackControl::continueAfterFailure()
{
    if (FailureCount >= kFailureLimit) {
        m_view.appendLog(text(m_view.germanTexts(), u"> Automatischer Abbruch.", u"> Automatic Abord."));
        return;
    }
    weiterClick();
}

void PlaybackControl::PlayFile(const QString &path)
{
    ResyncPending = true;
    const QString resolved = m_lists.DateiFinden(path);
    const bool de = m_view.germanTexts();
    if (!FileSystem::isRegularFile(resolved)) {
        // The loaded song, if any, keeps playing.
        ++FailureCount;
        logFailure(path, text(de, u"  Datei existiert nicht.", u"  File does not exist."), QString(), false);
        continueAfterFailure();
        return;
    }

    enum class Failure { None, WithMessage, Unknown } failure = Failure::None;
    QString message;
    try {
        CurrentSongPath = resolved;
        m_timer.start();
        FreePlayer();
        CreatePlayer(resolved);
        ShowDuration();
        m_player->Play();
        setPlaying(true);
        FailureCount = 0;
        const QString display = ShowCurrentSong();
        PlayHistory.append({display, resolved});
        historyChanged();
        m_view.setStatusShowsSong();
    } catch (const SonaloError &e) {
        message = e.message();
        failure = message.isEmpty() ? Failure::Unknown : Failure::WithMessage;
    } catch (...) {
        failure = Failure::Unknown;
    }
    Q_EMIT playbackChanged();
    if (failure == Failure::None)
        return;
    ++FailureCount;
    if (failure == Failure::WithMessage)
        logFailure(path,
                   text(de, u"  Datei kann nicht abgespielt werden. Fehlercode: ", u"  File can not be played. Error Code: "),
                   message, true);
    else
        logFailure(path,
                   text(de, u"  Datei kann nicht abgespielt werden. Unbekannter Fehler.",
                        u"  File can not be played. Unknown Error."),
                   QString(), false);
    continueAfterFailure();
}

void PlaybackControl::weiterClick()
{
    if (!PendingNext.isEmpty()) {
        const QString next = PendingNext;
        PendingNext.clear();
        PlayFile(next);
        return;
    }
    const qsizetype count = rows().size();
    if (count == 0)
        return;
    if (RandomOrder) {
        CurrentIndex = randomRow(int(count));
    } else {
        ++CurrentIndex;
        if (CurrentIndex > count - 1 || CurrentIndex < 0)
            CurrentIndex = 0;
    }
    const QString path = rows().at(CurrentIndex).Path;
    PlayFile(path);
}

void PlaybackControl::zurueckClick()
{
    if (PlayHistory.isEmpty())
        return;
    const QString target = m_lists.DateiFinden(PlayHistory.last().Path);
    if (!FileSystem::isRegularFile(target))
        return; // the entry stays
    // weiterClick comes back to the song PlayFile started last.
    if (m_player)
        PendingNext = CurrentSongPath;
    guarded([&] {
        m_timer.start();
        CreatePlayer(target);
        ShowDuration();
        m_player->Play();
        ShowCurrentSong();
        setPlaying(true);
        PlayHistory.removeLast();
        historyChanged();
    });
}

void PlaybackControl::BtPlayClick()
{
    guarded([&] {
        if (IsPlaying) {
            if (m_player)
                m_player->Pause();
            IsPlaying = false;
            m_timer.stop();
        } else if (m_player) {
            m_player->Play();
            IsPlaying = true;
            m_timer.start();
        } else if (!rows().isEmpty()) {
            PlayFile(rows().first().Path);
            IsPlaying = true;
        }
        m_view.showPlaying(IsPlaying);
    });
}

void PlaybackControl::mw1Click()
{
    guarded([&] {
        if (m_player) {
            m_player->Play();
            IsPlaying = true;
            m_timer.start();
        } else if (!rows().isEmpty() && FileSystem::isRegularFile(m_lists.DateiFinden(rows().first().Path))) {
            // Resolved like every other start, so that a playlist of relative paths plays too.
            PlayFile(rows().first().Path);
            IsPlaying = true;
        }
        m_view.showPlaying(IsPlaying);
    });
}

void PlaybackControl::mw2Click()
{
    guarded([&] {
        m_timer.stop();
        IsPlaying = false;
        m_view.showPlaying(false);
        // The position stays: "Play" continues from there.
        if (m_player)
            m_player->Pause();
    });
}

void PlaybackControl::setRepeat(bool on)
{
    Repeat = on;
    if (m_player)
        m_player->SetLoop(on);
}

void PlaybackControl::lvDblClick(int row)
{
    if (row < 0 || row >= rows().size())
        return;
    CurrentIndex = row;
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
    CurrentIndex = row;
    const QString resolved = m_lists.DateiFinden(rows().at(row).Path);
    if (FileSystem::isRegularFile(resolved))
        PlayFile(resolved);
}

void PlaybackControl::pop_title_nextClick(int row)
{
    if (row < 0 || row >= rows().size())
        return;
    CurrentIndex = row;
    const QString resolved = m_lists.DateiFinden(rows().at(row).Path);
    if (FileSystem::isRegularFile(resolved))
        PendingNext = resolved;
}

void PlaybackControl::lfDblClick(const QString &path)
{
    CurrentIndex = 0;
    if (FileSystem::isRegularFile(path))
        PlayFile(path);
}

void PlaybackControl::DeleteHistory()
{
    PlayHistory.clear();
    historyChanged();
}

void PlaybackControl::CreatePlayer(const QString &resolved)
{
    FreePlayer();
    // The player may call back from inside itself and be destroyed by that call.
    m_player = m_factory(resolved, 0, [this] { weiterClick(); });
    ++m_playersCreated;
    MediaTimeFormat = m_player->GetTimeFormat() == mediaTimeFormat();
    CanSeek = (m_player->Capabilities() & kCanSeekAbsolute) != 0;
    m_player->SetLoop(Repeat);
}

void PlaybackControl::FreePlayer()
{
    m_player.reset();
}

void PlaybackControl::ShowDuration()
{
    m_view.showDurationText(FormatMediaTime(m_player ? m_player->Duration() : 0));
    ShowPosition();
}

void PlaybackControl::ShowPosition()
{
    const bool wasUpdating = UpdatingPosition;
    UpdatingPosition = true;
    const auto restore = qScopeGuard([&] { UpdatingPosition = wasUpdating; });
    if (!m_player) {
        m_view.showBarPosition(0);
        m_view.showPositionText(FormatMediaTime(0));
        return;
    }
    if (ResyncPending) {
        const qint64 position = m_player->GetPosition();
        if (position > kResyncAfter) {
            m_player->SetPosition(position, kSeekAbsolute);
            ResyncPending = false;
        }
    }
    const qint64 duration = m_player->Duration();
    if ((m_player->Capabilities() & kCanGetDuration) && duration != 0)
        m_view.showBarPosition(int(m_player->GetPosition() * 1000 / duration));
    // The bar's change notification may have replaced the player (a seek at the end).
    if (m_player)
        m_view.showPositionText(FormatMediaTime(m_player->GetPosition()));
}

QString PlaybackControl::FormatMediaTime(qint64 value) const
{
    return ::FormatMediaTime(value, MediaTimeFormat);
}

void PlaybackControl::Timer1Timer()
{
    if (!m_player || m_player->Duration() == 0)
        return;
    try {
        ShowPosition();
    } catch (const SonaloError &e) {
        // A failed re-seek is not worth a message box four times a second.
        ResyncPending = false;
        qWarning("Sonalo: position update failed: %s", e.what());
    }
}

void PlaybackControl::stelleChange(int barPosition)
{
    try {
        if (!UpdatingPosition && CanSeek && m_player)
            m_player->SetPosition(qint64(barPosition) * m_player->Duration() / 1000, kSeekAbsolute);
        ShowPosition();
    } catch (const SonaloError &e) {
        m_view.showError(e.message());
    }
}

QString PlaybackControl::ShowCurrentSong()
{
    if (!m_player)
        return QString();
    const QString file = m_player->FileName();
    TAudioInfo info;
    info.ReadFromFile(file);
    m_songFields = SongDisplayFields({info.Artist, info.Title, info.Album, info.Genre, info.Track});
    const SongDisplayOptions options = m_view.songDisplayOptions();
    // The path shown is the playing file's: after going back it is not the song PlayFile
    // started last.
    const QString display = SongDisplayText(m_songFields, options.mode, file);
    if (options.inStatus)
        m_view.showSongInStatusLine(display);
    if (options.inTitle)
        m_view.showWindowTitle(SongWindowTitle(display));
    return display;
}
