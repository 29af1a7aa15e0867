#include "shell/SongNotifications.h"

#include "core/ProductName.h"
#include "playback/PlaybackControl.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// How long a notification stays, in milliseconds: about as long as a song's start is news.
constexpr qint32 kExpireMs = 5000;

} // namespace

SongNotifications::SongNotifications(PlaybackControl &playback, QDBusConnection bus, QObject *parent)
    : QObject(parent), m_playback(playback), m_bus(std::move(bus))
{
    connect(&m_playback, &PlaybackControl::songChanged, this, &SongNotifications::songChanged);
}

void SongNotifications::songChanged()
{
    if (!m_enabled || !m_playback.songLoaded() || !m_playback.IsPlaying()
        || m_playback.playersCreated() == m_notifiedPlayer || !m_bus.isConnected())
        return;
    m_notifiedPlayer = m_playback.playersCreated();
    if (m_callPending) {
        // The id of the notification on screen is not known yet: send the newest song once it is.
        m_songWaiting = true;
        return;
    }
    send();
}

void SongNotifications::send()
{
    // Read when sent: a waiting song is the one that plays now.
    const SongTagFields &f = m_playback.currentSongFields();
    QStringList body{f.artist};
    if (!f.album.isEmpty() && f.album != QLatin1String("??"))
        body << f.album;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << productName() << m_id << QStringLiteral("sonalo") << f.title << body.join(QStringLiteral(" \u2013 "))
         << QStringList() << QVariantMap{{QStringLiteral("desktop-entry"), desktopId()},
                                         {QStringLiteral("category"), QStringLiteral("x-sonalo.song")},
                                         {QStringLiteral("transient"), true}}
         << kExpireMs;
    m_callPending = true;
    m_songWaiting = false;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        m_callPending = false;
        const QDBusPendingReply<quint32> reply = *w;
        if (reply.isValid())
            m_id = reply.value();
        if (m_songWaiting && m_enabled && m_playback.songLoaded())
            send();
        m_songWaiting = false;
    });
}
