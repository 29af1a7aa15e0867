#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// What the MPRIS service asks of the player; the playback control implements it.
class MprisTarget
{
public:
    virtual ~MprisTarget() = default;
    virtual void mprisNext() = 0;       // weiterClick
    virtual void mprisPrevious() = 0;   // zurueckClick
    virtual void mprisPlayPause() = 0;  // BtPlayClick
    virtual void mprisPlay() = 0;       // mw1Click
    virtual void mprisPause() = 0;      // mw2Click (also for Stop: the song stays loaded)
    virtual void mprisRaise() = 0;
    // "Playing", "Paused" or "Stopped".
    virtual QString mprisPlaybackStatus() const = 0;
    // mpris:trackid, and what the song has of xesam:title, xesam:artist (a list),
    // xesam:album, xesam:trackNumber, xesam:url, mpris:length (µs).
    virtual QVariantMap mprisMetadata() const = 0;
    // The position in microseconds, read when asked; whether the song can be moved.
    virtual qint64 mprisPosition() const { return 0; }
    virtual bool mprisCanSeek() const { return false; }
    // Whether Next has a song to go to.
    virtual bool mprisCanGoNext() const { return true; }
    // Moves by offset (µs); past the end it is Next, before the start it is the start.
    virtual void mprisSeek(qint64) {}
    // Moves to position (µs) when trackId names the loaded song and position lies inside it.
    virtual void mprisSetPosition(const QString &, qint64) {}
    // Volume, 0.0 (silent) to 1.0 (full amplitude); a player without a level of its own
    // stays at full.
    virtual double mprisVolume() const { return 1.0; }
    virtual void mprisSetVolume(double) {}
};

// The org.mpris.MediaPlayer2 service on the session bus, which is how desktops deliver their
// media keys and how tools like playerctl control a player. Without a session bus it stays
// silent and the program runs on.
class MprisService : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kServiceName = "org.mpris.MediaPlayer2.sonalo";

    explicit MprisService(MprisTarget &target, QObject *parent = nullptr);
    ~MprisService() override;

    // Registers the service; false when there is no session bus or the name is taken.
    bool registerOnSessionBus();
    bool isRegistered() const { return m_registered; }

    // Tells listeners that PlaybackStatus, Metadata or Volume changed (Qt does not do it by
    // itself).
    void playbackChanged();
    // Tells listeners that the song jumped to position (µs): the Seeked signal.
    void seeked(qint64 position);

    MprisTarget &target() { return m_target; }

private:
    MprisTarget &m_target;
    bool m_registered = false;
    QString m_lastStatus;
    QVariantMap m_lastMetadata;
    double m_lastVolume = 1.0;
    bool m_lastCanSeek = false;
    bool m_lastCanGoNext = true;
};
