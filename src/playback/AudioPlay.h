#pragma once

#include "playback/AudioDevices.h"
#include "playback/AudioPlayer.h"
#include "playback/Playbin.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

class PlaybackEngine;

// One song played through a GStreamer playbin (video streams are never decoded).
//
// Two ways to get its playbin: a playbin of its own, built for the song and destroyed with it
// (one pipeline per song), or the playback engine's long-lived one, which it borrows for the
// song (gapless play). On the engine's playbin a song that the previous one handed over ahead
// is already playing when its player is made: the player takes it as it stands (State() 2, the
// position running) instead of opening the file again. Otherwise both ways behave alike.
//
// Threads: every member function, construction, destruction and the handling of the playbin's
// reports run on the window thread. GStreamer's streaming threads only call OnBuffer; see
// Playbin for the rest.
class TcbAudioPlay : public IAudioPlayer, private PlaybinListener
{
public:
    // Builds a playbin of its own for fileName with output deviceIndex of devices (outside the
    // list: the default output) and prerolls it: State() 0, nothing heard yet. Raises
    // EcbAudioPlayError when the file cannot be played. onCompleteNext is called at the end
    // of the song when Loop is off. gain gives the file's ReplayGain factor (none: 1). Needs a
    // QCoreApplication.
    TcbAudioPlay(const TAudioDevices &devices, const QString &fileName, int deviceIndex,
                 std::function<void()> onCompleteNext, Playbin::GainSource gain = {});
    // The same on the engine's playbin, which it takes over until it is destroyed.
    TcbAudioPlay(PlaybackEngine &engine, const QString &fileName, int deviceIndex, std::function<void()> onCompleteNext);
    ~TcbAudioPlay() override;

    TcbAudioPlay(const TcbAudioPlay &) = delete;
    TcbAudioPlay &operator=(const TcbAudioPlay &) = delete;

    void Play() override;
    void Pause() override;
    qint64 GetPosition() override;
    void SetPosition(qint64 position, quint32 flags) override;
    QString GetTimeFormat() override;
    qint64 Duration() const override { return m_duration; }
    quint32 Capabilities() const override { return m_capabilities; }
    int State() const override { return m_state; }
    bool Loop() const override { return m_loop; }
    void SetLoop(bool loop) override { m_loop = loop; }
    QString FileName() const override { return m_fileName; }
    int GetVolume() override;
    void SetVolume(int volume) override;
    int GetBalance() override;
    void SetBalance(int balance) override;
    void SetEqualizer(const std::array<double, 10> &gains) override;

    int DeviceIndex() const { return m_deviceIndex; }
    // Whether the song came by a gapless switch (it was playing before its player was made).
    bool Continued() const { return m_continued; }
    // Whether the tap on the decoded audio is installed; then GrabberFormat() describes the
    // buffers OnBuffer receives as an 18-byte little-endian WAVEFORMATEX block (format tag 1
    // integer PCM or 3 float, channels, sample rate, bytes per second, block align, bits per
    // sample, extra size 0).
    bool HasGrabber() const { return m_playbin->hasGrabber(); }
    const QByteArray &GrabberFormat() const { return m_grabberFormat; }

    // Receives each decoded buffer, interleaved, on a GStreamer streaming thread (never the
    // window thread): it must not touch Qt objects of the window thread. Replacing it waits
    // until a running call has returned.
    using BufferCallback = std::function<void(TcbAudioPlay &player, const uchar *data, qsizetype length)>;
    void SetOnBuffer(BufferCallback callback);

    // What happens to a failure raised while a report of the playbin is handled (a Loop
    // restart that fails): there is no caller to raise it to. By default it is written with
    // qWarning.
    static void SetEventErrorHandler(std::function<void(const EcbAudioPlayError &)> handler);

    // A factory for the playback control, each player with a playbin of its own. devices must
    // outlive the players it makes.
    static AudioPlayerFactory Factory(const TAudioDevices &devices);

private:
    void start();
    void readSong();
    void ReadDuration();
    void EndOfSong(bool failed);
    void RedecodeWaitingBuffer();

    void playbinEnded() override;
    void playbinFailed() override;
    void playbinDurationChanged() override;
    void playbinSwitched() override;
    void playbinStreamTitle() override;

    std::unique_ptr<Playbin> m_own; // when the player has a playbin of its own
    Playbin *m_playbin = nullptr;   // m_own or the engine's
    QString m_fileName;
    int m_deviceIndex;
    std::function<void()> m_onCompleteNext;
    qint64 m_duration = 0;
    quint32 m_capabilities = 0;
    int m_state = kStateBuilt;
    bool m_loop = false;
    bool m_ended = false;
    bool m_continued = false;
    QByteArray m_grabberFormat;
};
