#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class PlaybackControl;

// A desktop notification when a new song starts (org.freedesktop.Notifications): the title as
// summary, artist and album as body. Each one replaces the one before (replaces_id), so quick
// skips never stack notifications; while a Notify call is on its way, later songs wait and
// only the newest is sent once its id is known. Off until enabled; without a notification
// service nothing happens.
class SongNotifications : public QObject
{
    Q_OBJECT
public:
    explicit SongNotifications(PlaybackControl &playback, QDBusConnection bus = QDBusConnection::sessionBus(),
                               QObject *parent = nullptr);

    void setEnabled(bool on) { m_enabled = on; }
    bool enabled() const { return m_enabled; }
    // The id the service gave the notification on screen; 0 before the first.
    quint32 notificationId() const { return m_id; }

private:
    void songChanged();
    void send();

    PlaybackControl &m_playback;
    QDBusConnection m_bus;
    bool m_enabled = false;
    quint32 m_id = 0;
    // The players' count of the song notified last: a song is new when a new player plays it.
    quint64 m_notifiedPlayer = 0;
    bool m_callPending = false;
    bool m_songWaiting = false;
};
