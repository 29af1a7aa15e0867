#pragma once

#include "playback/AudioDevices.h"
#include "playback/AudioPlayer.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <mutex>

// GStreamer types, so that no other file needs <gst/gst.h>.
typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;

struct TcbAudioPlayBusLink;

// Plays one file through a GStreamer playbin (video streams are never decoded).
//
// Threads: every member function, construction, destruction and the handling of bus messages
// run on the thread of the QCoreApplication (the window thread). GStreamer's streaming threads
// only post bus messages, which a bus sync handler forwards to that thread with a queued call
// (TcbAudioPlay::Dispatch is the one entry point), and call OnBuffer.
class TcbAudioPlay : public IAudioPlayer
{
public:
    // Builds the pipeline for fileName with output deviceIndex of devices (outside the list:
    // the default output) and prerolls it: State() 0, nothing heard yet. Raises
    // EcbAudioPlayError when the file cannot be played. onCompleteNext is called at the end
    // of the song when Loop is off. Needs a QCoreApplication.
    TcbAudioPlay(const TAudioDevices &devices, const QString &fileName, int deviceIndex,
                 std::function<void()> onCompleteNext);
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

    int DeviceIndex() const { return m_deviceIndex; }
    // Whether the tap on the decoded audio is installed; then GrabberFormat() describes the
    // buffers OnBuffer receives as an 18-byte little-endian WAVEFORMATEX block (format tag 1
    // integer PCM or 3 float, channels, sample rate, bytes per second, block align, bits per
    // sample, extra size 0).
    bool HasGrabber() const { return m_hasGrabber; }
    const QByteArray &GrabberFormat() const { return m_grabberFormat; }

    // Receives each decoded buffer, interleaved, on a GStreamer streaming thread (never the
    // window thread): it must not touch Qt objects of the window thread. Replacing it waits
    // until a running call has returned.
    using BufferCallback = std::function<void(TcbAudioPlay &player, const uchar *data, qsizetype length)>;
    void SetOnBuffer(BufferCallback callback);

    // What happens to a failure raised while a bus message is handled (a Loop restart that
    // fails): there is no caller to raise it to. By default it is written with qWarning.
    static void SetEventErrorHandler(std::function<void(const EcbAudioPlayError &)> handler);

    // A factory for the playback control. devices must outlive the players it makes.
    static AudioPlayerFactory Factory(const TAudioDevices &devices);

    // The entry point of forwarded bus messages on the window thread (public for the queued
    // call only).
    static void Dispatch(quint64 playerId, GstMessage *message);

private:
    void Build(const TAudioDevices &devices);
    void Release();
    void WaitForState(int target);
    void ReadDuration();
    void HandleGraphEvents(GstMessage *message);
    void EndOfSong(bool failed);
    void OnDecodedBuffer(const uchar *data, qsizetype length);
    void RedecodeWaitingBuffer();

    friend struct TcbAudioPlayBusLink;
    friend struct TcbAudioPlayProbe;

    quint64 m_id;
    QString m_fileName;
    int m_deviceIndex;
    std::function<void()> m_onCompleteNext;
    qint64 m_duration = 0;
    quint32 m_capabilities = 0;
    int m_state = kStateBuilt;
    bool m_loop = false;
    bool m_hasGrabber = false;
    bool m_ended = false;
    QByteArray m_grabberFormat;

    GstElement *m_pipeline = nullptr;
    GstElement *m_audioSink = nullptr;     // the output, owned by the pipeline
    GstElement *m_panorama = nullptr;      // balance, owned by the pipeline; may be missing
    GstElement *m_level = nullptr;         // the volume element, owned by the pipeline; may be missing
    int m_volume = 0;
    int m_balance = 0;
    GstElement *m_tap = nullptr;           // the grabber's caps filter, owned by the pipeline
    TcbAudioPlayBusLink *m_link = nullptr; // owned by the bus sync handler

    std::mutex m_bufferMutex;
    BufferCallback m_onBuffer;
};
