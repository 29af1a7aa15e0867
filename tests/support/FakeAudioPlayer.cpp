#include "support/FakeAudioPlayer.h"

#include <algorithm>

AudioPlayerFactory FakeAudioScript::factory()
{
    return [this](const QString &fileName, int deviceIndex, std::function<void()> onCompleteNext) {
        return std::unique_ptr<IAudioPlayer>(
            std::make_unique<FakeAudioPlayer>(*this, fileName, deviceIndex, std::move(onCompleteNext)));
    };
}

FakeAudioPlayer::FakeAudioPlayer(FakeAudioScript &script, const QString &fileName,
                                 int deviceIndex, std::function<void()> onCompleteNext)
    : m_script(script), m_fileName(fileName), m_deviceIndex(deviceIndex),
      m_onCompleteNext(std::move(onCompleteNext)), m_duration(m_script.duration),
      m_capabilities(m_script.capabilities)
{
    m_script.calls << QStringLiteral("create %1 %2").arg(fileName).arg(deviceIndex);
    const auto failure = m_script.failOnCreate.constFind(fileName);
    if (failure != m_script.failOnCreate.constEnd())
        throw EcbAudioPlayError(failure->message, failure->code);
    m_script.current = this;
    ++m_script.alive;
}

FakeAudioPlayer::~FakeAudioPlayer()
{
    m_script.calls << QStringLiteral("destroy %1").arg(m_fileName);
    if (m_script.current == this)
        m_script.current = nullptr;
    --m_script.alive;
}

void FakeAudioPlayer::Play()
{
    m_script.calls << QStringLiteral("play %1").arg(m_fileName);
    if (!m_played) {
        const auto failure = m_script.failOnPlay.constFind(m_fileName);
        if (failure != m_script.failOnPlay.constEnd())
            throw EcbAudioPlayError(failure->message, failure->code);
    }
    m_played = true;
    m_state = kStateRunning;
}

void FakeAudioPlayer::Pause()
{
    m_script.calls << QStringLiteral("pause %1").arg(m_fileName);
    m_state = kStatePaused;
}

void FakeAudioPlayer::SetPosition(qint64 position, quint32 flags)
{
    m_script.calls << QStringLiteral("seek %1 %2 %3").arg(m_fileName).arg(position).arg(flags);
    if (flags == kSeekNoPositioning)
        return;
    if (flags != kSeekAbsolute && flags != kSeekRelative)
        throw invalidArgumentError();
    const qint64 target = flags == kSeekRelative ? m_position + position : position;
    m_position = std::clamp<qint64>(target, 0, m_duration);
}

void FakeAudioPlayer::SetLoop(bool loop)
{
    m_script.calls << QStringLiteral("loop %1 %2").arg(m_fileName).arg(int(loop));
    m_loop = loop;
}

void FakeAudioPlayer::SetVolume(int volume)
{
    m_script.calls << QStringLiteral("volume %1 %2").arg(m_fileName).arg(volume);
    if (volume < -10000 || volume > 0)
        throw invalidArgumentError();
    m_volume = volume;
}

void FakeAudioPlayer::SetBalance(int balance)
{
    m_script.calls << QStringLiteral("balance %1 %2").arg(m_fileName).arg(balance);
    if (balance < -10000 || balance > 10000)
        throw invalidArgumentError();
    m_balance = balance;
}

void FakeAudioPlayer::advance(qint64 amount)
{
    if (m_state == kStateRunning)
        m_position = std::min(m_position + amount, m_duration);
}

void FakeAudioPlayer::finish()
{
    m_script.calls << QStringLiteral("end %1").arg(m_fileName);
    if (m_loop) {
        Pause();
        SetPosition(0, kSeekAbsolute);
        Play();
        if (OnComplete)
            OnComplete(*this);
        return;
    }
    m_position = m_duration;
    // May destroy this player: keep the callback alive on the stack and touch nothing after.
    const std::function<void()> next = m_onCompleteNext;
    if (next)
        next();
}

void FakeAudioPlayer::SetEqualizer(const std::array<double, 10> &gains)
{
    QStringList parts{QStringLiteral("equalizer"), m_fileName};
    for (double g : gains)
        parts << QString::number(g);
    m_script.calls << parts.join(QLatin1Char(' '));
    m_equalizer = gains;
}
