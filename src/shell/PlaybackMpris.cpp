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
    QObject::connect(&m_playback, &PlaybackControl::volumeChanged, m_service.get(),
                     [this] { m_service->playbackChanged(); });
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
    // A new track id for every song loaded, so that listeners see a change of song even when
    // the same file comes again.
    const SongTagFields &f = m_playback.currentSongFields();
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/sonalo/track/%1").arg(m_playback.playersCreated()))));
    map.insert(QStringLiteral("xesam:title"), f.title);
    map.insert(QStringLiteral("xesam:artist"), QStringList{f.artist});
    map.insert(QStringLiteral("xesam:album"), f.album);
    map.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(player->FileName()).toString());
    map.insert(QStringLiteral("mpris:length"), qlonglong(player->Duration() / 10)); // µs
    return map;
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
