#include "shell/MprisService.h"

#include "core/ProductName.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

} // namespace

// org.mpris.MediaPlayer2: the application itself.
class MprisRootAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)

public:
    explicit MprisRootAdaptor(MprisService *service) : QDBusAbstractAdaptor(service), m_service(service) {}

    bool canQuit() const { return false; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const { return productName(); }
    QString desktopEntry() const { return desktopId(); }
    QStringList supportedUriSchemes() const { return {QStringLiteral("file")}; }
    // The types of the formats the tag readers know and the player plays: MP3, WMA, Ogg
    // Vorbis, FLAC, Opus, M4A (AAC and ALAC), WAV, under the names desktops use for them.
    QStringList supportedMimeTypes() const
    {
        return {QStringLiteral("audio/mpeg"),       QStringLiteral("audio/mp3"),        QStringLiteral("audio/x-mp3"),
                QStringLiteral("audio/x-ms-wma"),   QStringLiteral("audio/x-ms-asf"),   QStringLiteral("audio/ogg"),
                QStringLiteral("audio/x-vorbis+ogg"), QStringLiteral("audio/vorbis"),   QStringLiteral("audio/flac"),
                QStringLiteral("audio/x-flac"),     QStringLiteral("audio/x-flac+ogg"), QStringLiteral("audio/opus"),
                QStringLiteral("audio/x-opus+ogg"), QStringLiteral("audio/mp4"),        QStringLiteral("audio/x-m4a"),
                QStringLiteral("audio/aac"),        QStringLiteral("audio/x-aac"),      QStringLiteral("audio/wav"),
                QStringLiteral("audio/x-wav"),      QStringLiteral("audio/vnd.wave")};
    }

public Q_SLOTS:
    void Raise() { m_service->target().mprisRaise(); }
    void Quit() {}

private:
    MprisService *m_service;
};

// org.mpris.MediaPlayer2.Player: the transport controls.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Rate READ rate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ yes)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(bool CanControl READ yes)

public:
    explicit MprisPlayerAdaptor(MprisService *service) : QDBusAbstractAdaptor(service), m_service(service) {}

    QString playbackStatus() const { return m_service->target().mprisPlaybackStatus(); }
    QVariantMap metadata() const { return m_service->target().mprisMetadata(); }
    double rate() const { return 1.0; }
    double volume() const { return m_service->target().mprisVolume(); }
    void setVolume(double volume) { m_service->target().mprisSetVolume(volume); }
    qlonglong position() const { return m_service->target().mprisPosition(); }
    bool canSeek() const { return m_service->target().mprisCanSeek(); }
    bool canGoNext() const { return m_service->target().mprisCanGoNext(); }
    bool yes() const { return true; }

public Q_SLOTS:
    void Next() { m_service->target().mprisNext(); }
    void Previous() { m_service->target().mprisPrevious(); }
    void PlayPause() { m_service->target().mprisPlayPause(); }
    void Play() { m_service->target().mprisPlay(); }
    void Pause() { m_service->target().mprisPause(); }
    // Stop keeps the song loaded at its position, as the program's own Stop does.
    void Stop() { m_service->target().mprisPause(); }
    void Seek(qlonglong offset) { m_service->target().mprisSeek(offset); }
    void SetPosition(const QDBusObjectPath &track, qlonglong position)
    {
        m_service->target().mprisSetPosition(track.path(), position);
    }

    void OpenUri(const QString &) {}

Q_SIGNALS:
    // Declared for the interface's introspection; MprisService::seeked sends it.
    void Seeked(qlonglong position);

private:
    MprisService *m_service;
};

MprisService::MprisService(MprisTarget &target, QObject *parent)
    : QObject(parent), m_target(target)
{
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
}

MprisService::~MprisService()
{
    if (m_registered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(kObjectPath);
        bus.unregisterService(QLatin1String(kServiceName));
    }
}

bool MprisService::registerOnSessionBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(kObjectPath, this))
        return false;
    if (!bus.registerService(QLatin1String(kServiceName))) {
        bus.unregisterObject(kObjectPath);
        return false;
    }
    m_registered = true;
    m_lastStatus = m_target.mprisPlaybackStatus();
    m_lastMetadata = m_target.mprisMetadata();
    m_lastVolume = m_target.mprisVolume();
    m_lastCanSeek = m_target.mprisCanSeek();
    return true;
}

void MprisService::playbackChanged()
{
    if (!m_registered)
        return;
    QVariantMap changed;
    const QString status = m_target.mprisPlaybackStatus();
    const QVariantMap metadata = m_target.mprisMetadata();
    if (status != m_lastStatus)
        changed.insert(QStringLiteral("PlaybackStatus"), status);
    if (metadata != m_lastMetadata)
        changed.insert(QStringLiteral("Metadata"), metadata);
    const double volume = m_target.mprisVolume();
    if (volume != m_lastVolume)
        changed.insert(QStringLiteral("Volume"), volume);
    const bool canSeek = m_target.mprisCanSeek();
    if (canSeek != m_lastCanSeek)
        changed.insert(QStringLiteral("CanSeek"), canSeek);
    const bool canGoNext = m_target.mprisCanGoNext();
    if (canGoNext != m_lastCanGoNext)
        changed.insert(QStringLiteral("CanGoNext"), canGoNext);
    if (changed.isEmpty())
        return;
    m_lastCanGoNext = canGoNext;
    m_lastCanSeek = canSeek;
    m_lastStatus = status;
    m_lastMetadata = metadata;
    m_lastVolume = volume;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

void MprisService::seeked(qint64 position)
{
    if (!m_registered)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, kPlayerInterface, QStringLiteral("Seeked"));
    signal << qlonglong(position);
    QDBusConnection::sessionBus().send(signal);
}

#include "MprisService.moc"
