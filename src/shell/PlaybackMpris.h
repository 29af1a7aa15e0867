#pragma once

#include "shell/MprisService.h"

#include <functional>
#include <memory>

class PlaybackControl;

// The playback as the desktop's media controls see it: the MPRIS service on the session bus,
// its methods going through the media command dispatch, its properties following the
// playback's changes.
class PlaybackMpris : public MprisTarget
{
public:
    // raise brings the main window forward.
    PlaybackMpris(PlaybackControl &playback, std::function<void()> raise);
    ~PlaybackMpris() override;

    // False without a session bus (the program runs on without it).
    bool registerOnSessionBus();
    MprisService &service() { return *m_service; }

    void mprisNext() override;
    void mprisPrevious() override;
    void mprisPlayPause() override;
    void mprisPlay() override;
    void mprisPause() override;
    void mprisRaise() override;
    QString mprisPlaybackStatus() const override;
    QVariantMap mprisMetadata() const override;
    // The level in percent as a fraction; mute reads 0. Setting lifts mute.
    double mprisVolume() const override;
    void mprisSetVolume(double volume) override;
    qint64 mprisPosition() const override;
    bool mprisCanSeek() const override;
    bool mprisCanGoNext() const override;
    void mprisSeek(qint64 offset) override;
    void mprisSetPosition(const QString &track, qint64 position) override;

    // The picture of a song as a file:// URL (empty: none), given as mpris:artUrl while that
    // song is the one loaded.
    void setArtUrl(const QString &songPath, const QString &url);

private:
    QString trackId() const;
    void addSongFields(QVariantMap &map) const;

    PlaybackControl &m_playback;
    std::function<void()> m_raise;
    std::unique_ptr<MprisService> m_service;
    QString m_artSong, m_artUrl;
};
