#include "playback/PlaybackEngine.h"

#include "playback/AudioPlay.h"
#include "playback/Playbin.h"

PlaybackEngine::PlaybackEngine(const TAudioDevices &devices) : m_devices(devices) {}

PlaybackEngine::~PlaybackEngine() = default;

void PlaybackEngine::setNextSongSource(std::function<QString()> source)
{
    m_nextSong = std::move(source);
    if (m_shared)
        m_shared->setNextSource(m_nextSong);
}

void PlaybackEngine::setGainSource(std::function<double(const QString &)> source)
{
    m_gainSource = std::move(source);
    if (m_shared)
        m_shared->setGainSource(m_gainSource);
}

Playbin &PlaybackEngine::shared(int deviceIndex)
{
    if (m_shared && m_shared->deviceIndex() != deviceIndex)
        m_shared.reset();
    if (!m_shared) {
        m_shared = std::make_unique<Playbin>(m_devices, deviceIndex);
        m_shared->setNextSource(m_nextSong);
        m_shared->setGainSource(m_gainSource);
    }
    return *m_shared;
}

void PlaybackEngine::silenceShared()
{
    // A song that a gapless switch started and nobody took plays no further.
    if (m_shared && !m_shared->listener())
        m_shared->stop();
}

AudioPlayerFactory PlaybackEngine::Factory()
{
    return [this](const QString &fileName, int deviceIndex, std::function<void()> onCompleteNext) {
        if (m_gapless)
            return std::unique_ptr<IAudioPlayer>(
                std::make_unique<TcbAudioPlay>(*this, fileName, deviceIndex, std::move(onCompleteNext)));
        silenceShared();
        return std::unique_ptr<IAudioPlayer>(
            std::make_unique<TcbAudioPlay>(m_devices, fileName, deviceIndex, std::move(onCompleteNext), m_gainSource));
    };
}
