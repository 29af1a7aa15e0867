#include "shell/PlaybackMpris.h"

#include "playback/PlaybackControl.h"
#include "shell/MediaKeys.h"

#include <QDBusObjectPath>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <cmath>

PlaybackMpris::PlaybackMpris(PlaybackControl &playback, std::function<void()> raise)
    : m_playback(playback), m_raise(std::move(raise)), m_service(std::make_unique<MprisService>(*this))
{
    // Status and metadata are sent again whenever the song or its playing state changes.
    QObject::connect(&m_playback, &PlaybackControl::playingChanged, m_service.get(),
                     [this] { m_service->playbackChanged(); });
    QObject::connect(&m_playback, &PlaybackControl::songChanged, m_service.get(),
                     [this] { m_service->playbackChanged(); });
    QObject::connect(&m_playback, &PlaybackControl::songFieldsChanged, m_service.get(),
                     [this] { m_service->playbackChanged(); });
    QObject::connect(&m_playback, &PlaybackControl::volumeChanged, m_service.get(),
                     [this] { m_service->playbackChanged(); });
    QObject::connect(&m_playback.queue(), &PlayQueue::changed, m_service.get(),
                     [this] { m_service->playbackChanged(); });
    // Every jump (the bar, its keys, MPRIS itself), in microseconds.
    QObject::connect(&m_playback, &PlaybackControl::positionJumped, m_service.get(),
                     [this](qint64 position) { m_service->seeked(position / 10); });
}

PlaybackMpris::~PlaybackMpris() = default;

bool PlaybackMpris::registerOnSessionBus()
{
    return m_service->registerOnSessionBus();
}

void PlaybackMpris::mprisNext() { runMediaCommand(MediaCommand::Next, m_playback); }
void PlaybackMpris::mprisPrevious() { runMediaCommand(MediaCommand::Previous, m_playback); }
void PlaybackMpris::mprisPlayPause() { runMediaCommand(MediaCommand::PlayPause, m_playback); }
void PlaybackMpris::mprisPlay() { runMediaCommand(MediaCommand::Play, m_playback); }
void PlaybackMpris::mprisPause() { runMediaCommand(MediaCommand::Pause, m_playback); }

void PlaybackMpris::mprisRaise()
{
    if (m_raise)
        m_raise();
}

QString PlaybackMpris::mprisPlaybackStatus() const
{
    if (!m_playback.Player())
        return QStringLiteral("Stopped");
    return m_playback.IsPlaying() ? QStringLiteral("Playing") : QStringLiteral("Paused");
}

QVariantMap PlaybackMpris::mprisMetadata() const
{
    const IAudioPlayer *player = m_playback.Player();
    if (!player)
        return {};
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId())));
    addSongFields(map);
    // Percent-encoded: a raw space or non-ASCII letter would make it no URI at all.
    map.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(player->FileName()).toString(QUrl::FullyEncoded));
    if (player->Duration() > 0)
        map.insert(QStringLiteral("mpris:length"), qlonglong(player->Duration() / 10)); // µs
    // A picture read for a song before this one is never shown with it.
    if (!m_artUrl.isEmpty() && m_artSong == player->FileName())
        map.insert(QStringLiteral("mpris:artUrl"), m_artUrl);
    return map;
}

void PlaybackMpris::setArtUrl(const QString &songPath, const QString &url)
{
    m_artSong = songPath;
    m_artUrl = url;
    m_service->playbackChanged();
}

// A new track id for every song loaded, so that listeners see a change of song even when the
// same file comes again.
QString PlaybackMpris::trackId() const
{
    return QStringLiteral("/org/sonalo/track/%1").arg(m_playback.playersCreated());
}

// What the song says of itself: the window's "??" for a missing field is no name a desktop
// should show, so such a field is left out.
void PlaybackMpris::addSongFields(QVariantMap &map) const
{
    const SongTagFields &shown = m_playback.currentSongFields();
    const SongTagFields &own = m_playback.currentSongTags();
    const QString unknown = QStringLiteral("??");
    if (!(shown.title == unknown && own.title.isEmpty()))
        map.insert(QStringLiteral("xesam:title"), shown.title);
    if (!(shown.artist == unknown && own.artist.isEmpty()))
        map.insert(QStringLiteral("xesam:artist"), QStringList{shown.artist});
    if (!own.album.isEmpty())
        map.insert(QStringLiteral("xesam:album"), own.album);
    if (!own.genre.isEmpty())
        map.insert(QStringLiteral("xesam:genre"), QStringList{own.genre});
    // "7" and "7/12" are track 7.
    bool ok = false;
    const int track = own.track.section(QLatin1Char('/'), 0, 0).trimmed().toInt(&ok);
    if (ok && track > 0)
        map.insert(QStringLiteral("xesam:trackNumber"), track);
}

qint64 PlaybackMpris::mprisPosition() const
{
    return m_playback.position() / 10;
}

bool PlaybackMpris::mprisCanGoNext() const
{
    return m_playback.canGoNext();
}

bool PlaybackMpris::mprisCanSeek() const
{
    return m_playback.Player() && m_playback.CanSeek();
}

void PlaybackMpris::mprisSeek(qint64 offset)
{
    const IAudioPlayer *player = m_playback.Player();
    if (!player || !m_playback.CanSeek())
        return;
    const qint64 target = m_playback.position() + offset * 10;
    if (player->Duration() > 0 && target > player->Duration()) {
        m_playback.weiterClick();
        return;
    }
    m_playback.seekTo(std::max<qint64>(target, 0));
}

void PlaybackMpris::mprisSetPosition(const QString &track, qint64 position)
{
    const IAudioPlayer *player = m_playback.Player();
    // A position meant for another song, or outside this one, is ignored.
    if (!player || !m_playback.CanSeek() || track != trackId() || position < 0
        || (player->Duration() > 0 && position * 10 > player->Duration()))
        return;
    m_playback.seekTo(position * 10);
}

double PlaybackMpris::mprisVolume() const
{
    return m_playback.muted() ? 0.0 : m_playback.volumePercent() / 100.0;
}

void PlaybackMpris::mprisSetVolume(double volume)
{
    // NaN and values outside 0..1 (MPRIS allows above 1) end at the nearest bound.
    const double v = std::isnan(volume) ? 0.0 : std::clamp(volume, 0.0, 1.0);
    m_playback.setMuted(false);
    m_playback.setVolumePercent(int(std::lround(v * 100.0)));
}
