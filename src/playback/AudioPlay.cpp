#include "playback/AudioPlay.h"

#include "playback/GstErrors.h"
#include "playback/PlaybackEngine.h"
#include "playback/PlaybinParts.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr qint64 kNsPer100ns = 100;

std::function<void(const EcbAudioPlayError &)> &eventErrorHandler()
{
    static std::function<void(const EcbAudioPlayError &)> handler = [](const EcbAudioPlayError &e) {
        qWarning("%s", qUtf8Printable(QString(e.message()).replace(QLatin1Char('\r'), QLatin1Char(' '))));
    };
    return handler;
}

EcbAudioPlayError missingElement(const char *what)
{
    return GstErrors::gstError(GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN,
                               QStringLiteral("The %1 element is missing.").arg(QString::fromLatin1(what)));
}

} // namespace

TAudioDevices TAudioDevices::Enumerate()
{
    TAudioDevices d;
    d.names << QStringLiteral("Default");
    PlaybinParts::ensureGstInit();
    d.names << PlaybinParts::audioSinkDevices(nullptr);
    d.sinkOverride = qEnvironmentVariable("SONALO_AUDIO_SINK");
    return d;
}

TcbAudioPlay::TcbAudioPlay(const TAudioDevices &devices, const QString &fileName, int deviceIndex,
                           std::function<void()> onCompleteNext, Playbin::GainSource gain)
    : m_own(std::make_unique<Playbin>(devices, deviceIndex)), m_playbin(m_own.get()), m_fileName(fileName),
      m_deviceIndex(deviceIndex), m_onCompleteNext(std::move(onCompleteNext))
{
    m_own->setGainSource(std::move(gain));
    start();
}

TcbAudioPlay::TcbAudioPlay(PlaybackEngine &engine, const QString &fileName, int deviceIndex,
                           std::function<void()> onCompleteNext)
    : m_playbin(&engine.shared(deviceIndex)), m_fileName(fileName), m_deviceIndex(deviceIndex),
      m_onCompleteNext(std::move(onCompleteNext))
{
    start();
}

TcbAudioPlay::~TcbAudioPlay()
{
    // The engine's playbin stops with its song, unless it already plays the next one.
    if (m_playbin->listener() == this) {
        m_playbin->setListener(nullptr);
        if (!m_own)
            m_playbin->stop();
    }
    m_playbin->setOnBuffer({});
}

// Opens the song, or takes the one a gapless switch brought; then reads what it can do.
void TcbAudioPlay::start()
{
    if (m_playbin->switchedTo(m_fileName)) {
        m_playbin->takeSwitched();
        m_continued = true;
        m_state = kStateRunning;
    } else {
        m_playbin->open(m_fileName);
    }
    readSong();
    m_playbin->setListener(this);
}

void TcbAudioPlay::readSong()
{
    m_grabberFormat = m_playbin->grabberFormat();
    if (m_playbin->seekable())
        m_capabilities |= kCanSeekAbsolute | kCanSeekForwards | kCanSeekBackwards;
    if (m_playbin->position() >= 0)
        m_capabilities |= kCanGetCurrentPos;
    ReadDuration();
}

void TcbAudioPlay::ReadDuration()
{
    const qint64 ns = m_playbin->duration();
    if (ns > 0) {
        m_duration = ns / kNsPer100ns;
        m_capabilities |= kCanGetDuration | kCanGetStopPos;
    }
}

void TcbAudioPlay::Play()
{
    // An error that came before the song was ever started is this start's failure.
    EcbAudioPlayError recorded(QString(), 0);
    if (m_state == kStateBuilt && m_playbin->firstError(&recorded))
        throw recorded;
    m_playbin->play();
    m_state = kStateRunning;
}

void TcbAudioPlay::Pause()
{
    m_playbin->pause();
    m_state = kStatePaused;
}

qint64 TcbAudioPlay::GetPosition()
{
    // The query fails for a moment during a seek; the start is the honest answer then.
    const qint64 ns = m_playbin->position();
    if (ns < 0)
        return 0;
    // The sink's clock may run a few milliseconds past the stream's last sample; the bar and
    // the time display must never show more than the song holds.
    const qint64 units = ns / kNsPer100ns;
    return m_duration > 0 ? std::min(units, m_duration) : units;
}

void TcbAudioPlay::SetPosition(qint64 position, quint32 flags)
{
    if (flags == kSeekNoPositioning)
        return;
    if (flags != kSeekAbsolute && flags != kSeekRelative)
        throw invalidArgumentError();
    qint64 target = flags == kSeekRelative ? GetPosition() + position : position;
    target = std::max<qint64>(target, 0);
    if (m_duration > 0)
        target = std::min(target, m_duration);
    m_playbin->seek(target * kNsPer100ns);
    // Data flows again from the new position: its end is a new end of the song.
    m_ended = false;
}

QString TcbAudioPlay::GetTimeFormat()
{
    return mediaTimeFormat();
}

// Before the start and while paused, the output holds one decoded buffer that has already
// passed the volume and balance: a change would be heard only after it. A flushing seek to
// where the song stands decodes that buffer again with the new values.
void TcbAudioPlay::RedecodeWaitingBuffer()
{
    if (m_state == kStateRunning || !(m_capabilities & kCanSeekAbsolute))
        return;
    const qint64 ns = m_playbin->position();
    SetPosition(std::max<qint64>(ns, 0) / kNsPer100ns, kSeekAbsolute);
}

int TcbAudioPlay::GetVolume()
{
    return m_playbin->volume();
}

void TcbAudioPlay::SetVolume(int volume)
{
    if (volume < -10000 || volume > 0)
        throw invalidArgumentError();
    if (!m_playbin->hasVolume()) {
        if (volume == 0)
            return;
        throw missingElement("volume");
    }
    if (volume == m_playbin->volume())
        return;
    m_playbin->setVolume(volume);
    RedecodeWaitingBuffer();
}

int TcbAudioPlay::GetBalance()
{
    return m_playbin->balance();
}

void TcbAudioPlay::SetBalance(int balance)
{
    if (balance < -10000 || balance > 10000)
        throw invalidArgumentError();
    if (!m_playbin->hasBalance()) {
        if (balance == 0)
            return;
        throw missingElement("audiopanorama");
    }
    if (balance == m_playbin->balance())
        return;
    m_playbin->setBalance(balance);
    RedecodeWaitingBuffer();
}

void TcbAudioPlay::SetEqualizer(const std::array<double, 10> &gains)
{
    m_playbin->setEqualizer(gains);
}

void TcbAudioPlay::SetOnBuffer(BufferCallback callback)
{
    if (!callback) {
        m_playbin->setOnBuffer({});
        return;
    }
    m_playbin->setOnBuffer([this, callback = std::move(callback)](const uchar *data, qsizetype length) {
        callback(*this, data, length);
    });
}

void TcbAudioPlay::SetEventErrorHandler(std::function<void(const EcbAudioPlayError &)> handler)
{
    eventErrorHandler() = std::move(handler);
}

AudioPlayerFactory TcbAudioPlay::Factory(const TAudioDevices &devices)
{
    return [&devices](const QString &fileName, int deviceIndex, std::function<void()> onCompleteNext) {
        return std::unique_ptr<IAudioPlayer>(
            std::make_unique<TcbAudioPlay>(devices, fileName, deviceIndex, std::move(onCompleteNext)));
    };
}

// The playbin's reports, on the window thread. Each may destroy this player.

void TcbAudioPlay::playbinEnded()
{
    try {
        EndOfSong(false);
    } catch (const EcbAudioPlayError &e) {
        eventErrorHandler()(e);
    }
}

void TcbAudioPlay::playbinFailed()
{
    // Before the first start, Play raises it; once started, the song is over.
    if (m_state == kStateBuilt || m_ended)
        return;
    EcbAudioPlayError e(QString(), 0);
    if (m_playbin->firstError(&e))
        eventErrorHandler()(e);
    EndOfSong(true);
}

void TcbAudioPlay::playbinDurationChanged()
{
    // Variable bit rate MP3 may learn its length only while playing.
    ReadDuration();
}

void TcbAudioPlay::playbinSwitched()
{
    // The next song reaches the output: this one is over, and a restart (Loop) is no longer
    // possible in place, so the owner moves on.
    if (m_ended)
        return;
    m_ended = true;
    const std::function<void()> next = m_onCompleteNext;
    if (next)
        next();
}

void TcbAudioPlay::playbinStreamTitle()
{
    if (OnStreamTitle)
        OnStreamTitle(m_playbin->streamTitle());
}

void TcbAudioPlay::EndOfSong(bool failed)
{
    if (m_ended)
        return;
    m_ended = true;
    // A failed stream is not restarted: it would fail again, forever.
    if (m_loop && !failed) {
        Pause();
        SetPosition(0, kSeekAbsolute);
        Play();
        if (OnComplete)
            OnComplete(*this);
        return;
    }
    // The owner usually destroys this player in the call: copy the callback to the stack
    // and touch nothing afterwards.
    const std::function<void()> next = m_onCompleteNext;
    if (next)
        next();
}
