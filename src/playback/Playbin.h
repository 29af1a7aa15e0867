#pragma once

#include "playback/AudioDevices.h"
#include "playback/AudioPlayer.h"
#include "playback/SongSource.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

// GStreamer types, so that no other file needs <gst/gst.h>.
typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;

struct PlaybinBusLink;
struct PlaybinHooks;

// What a playbin reports. Every call comes on the window thread, from Playbin::Dispatch; the
// listener may destroy the playbin inside the call.
class PlaybinListener
{
public:
    virtual ~PlaybinListener() = default;
    virtual void playbinEnded() = 0;           // end of stream
    virtual void playbinFailed() = 0;          // an error; firstError() holds the first one
    virtual void playbinDurationChanged() = 0; // the length may be known now
    // The file handed over ahead (gapless) has reached the output: the listener's song is
    // over, and the playbin no longer reports to it.
    virtual void playbinSwitched() = 0;
    // A stream names what it plays now (streamTitle()).
    virtual void playbinStreamTitle() {}
};

// One GStreamer playbin with its output and filters (tap, balance, volume), opened for one
// file after another. Video, subtitles and visualisations are never decoded.
//
// Threads: construction, destruction and every member function run on the window thread (the
// thread of the QCoreApplication). GStreamer's streaming threads only (a) post bus messages,
// which the bus sync handler forwards to the window thread in queued calls (Dispatch is their
// one entry point), (b) call the buffer tap, and (c) ask for the next file at about-to-finish,
// which they do by a queued call to the window thread and a bounded wait for its answer.
class Playbin
{
public:
    // Builds the pipeline for output deviceIndex of devices (outside the list: the default
    // output), nothing opened yet. Raises EcbAudioPlayError. Needs a QCoreApplication.
    Playbin(const TAudioDevices &devices, int deviceIndex);
    ~Playbin();
    Playbin(const Playbin &) = delete;
    Playbin &operator=(const Playbin &) = delete;

    int deviceIndex() const { return m_deviceIndex; }

    // Stops what plays and prerolls fileName: opened, typed and decoded up to the first
    // buffer at the output, nothing heard. Raises EcbAudioPlayError when it cannot be played;
    // the playbin is stopped then. fileName is anything songSourceOf knows: a file, a track
    // of a sheet (only its part of the file plays, and positions count from its start) or a
    // stream.
    void open(const QString &fileName);
    // The file that reaches the output now; after a gapless switch the one handed over.
    const QString &currentFile() const { return m_current; }
    // Whether currentFile() arrived by a gapless switch and nobody has taken it yet.
    bool switchedTo(const QString &fileName) const { return m_switched && m_current == fileName; }
    void takeSwitched() { m_switched = false; }

    // Running and paused, each waiting (bounded) for the state; raise on failure.
    void play();
    void pause();
    // Silence at once (READY), no wait; the file must be opened again.
    void stop();

    // What a stream says it plays now (ICY StreamTitle, the stream's title tag, "Artist -
    // Title" when it names both); empty for files and before a stream names anything.
    const QString &streamTitle() const { return m_streamTitle; }

    // Nanoseconds from the start of the song (of the part for a track of a sheet); -1 when
    // unknown.
    qint64 position() const;
    qint64 duration() const;
    bool seekable() const;
    // A flushing, accurate seek that waits (bounded) for the preroll it causes; raises.
    void seek(qint64 ns);

    // The first error posted since open(), as the player reports it.
    bool firstError(EcbAudioPlayError *out) const;
    // Whether the pipeline has its audio stream and a real output (after open()); raises.
    void checkOpened() const;

    bool hasGrabber() const { return m_tap != nullptr; }
    // WAVEFORMATEX of the tap's current buffers (empty when not known).
    QByteArray grabberFormat() const;
    using BufferFn = std::function<void(const uchar *data, qsizetype length)>;
    // Receives each decoded buffer on a streaming thread; replacing it waits for a running call.
    void setOnBuffer(BufferFn fn);

    bool hasVolume() const { return m_level != nullptr; }
    bool hasBalance() const { return m_panorama != nullptr; }
    // Hundredths of a decibel, as the player's interface counts them; set without checks.
    int volume() const { return m_volume; }
    int balance() const { return m_balance; }
    void setVolume(int volume);
    void setBalance(int balance);
    // Decibels per band; a missing equalizer element plays unchanged.
    void setEqualizer(const std::array<double, 10> &gains);

    PlaybinListener *listener() const { return m_listener; }
    void setListener(PlaybinListener *listener) { m_listener = listener; }

    // Gapless: asked on the window thread when the playing file's data is about to end; the
    // file returned (empty for none) is handed to the playbin and follows without a gap.
    void setNextSource(std::function<QString()> source);

    // The linear factor a file plays at (ReplayGain), asked on the window thread for every file
    // before its first sample: at open(), and for a file handed over ahead when it is chosen.
    // The factor takes effect exactly where that file's data begins. None: every file at 1.
    using GainSource = std::function<double(const QString &fileName)>;
    void setGainSource(GainSource source) { m_gainSource = std::move(source); }
    // The factor of the file that reaches the song-gain element now.
    double songGain() const;

    // The entry point of forwarded bus messages on the window thread (public for the queued
    // call only).
    static void Dispatch(quint64 id, quint64 generation, GstMessage *message);
    // The end of a part has reached the output (public for the queued call only).
    static void PartPlayed(quint64 id, quint64 generation);

private:
    void build(const TAudioDevices &devices);
    void release();
    void prerollFile(const SongSource &source);
    void seekPart(const SongSource &part, qint64 offsetNs, bool flush);
    void forgetPartEnd();
    void segmentDone();
    void queueNextPart();
    void partPlayed();
    void tagsArrived(GstMessage *message);
    void waitForState(int target, const QString &timeoutText) const;
    void changeState(int target);
    void streamStarted();
    QString askForNext(double *gain);
    double gainOf(const QString &fileName) const;
    bool handoverPending() const;

    friend struct PlaybinHooks;

    quint64 m_id;
    int m_deviceIndex;
    bool m_checkFallback;
    GstElement *m_pipeline = nullptr;  // owned
    GstElement *m_output = nullptr;    // owned by the pipeline
    GstElement *m_tap = nullptr;       // owned by the pipeline; may be missing
    GstElement *m_panorama = nullptr;  // owned by the pipeline; may be missing
    GstElement *m_level = nullptr;     // owned by the pipeline; may be missing
    GstElement *m_equalizer = nullptr; // owned by the pipeline; may be missing
    GstElement *m_songGain = nullptr;  // owned by the pipeline; may be missing
    PlaybinBusLink *m_link = nullptr;  // owned by the bus sync handler
    PlaybinListener *m_listener = nullptr;
    int m_volume = 0;
    int m_balance = 0;
    QString m_current;
    SongSource m_source; // what m_current plays
    QString m_streamTitle;
    bool m_switched = false;
    // A part that ends before its file does plays as a segment: the demuxer reports its end
    // (segment done), where the next part of the same file is queued behind it without a
    // flush; the song changes when that end reaches the output.
    bool m_segmentPending = false; // a segment is playing whose end the demuxer has not reported
    bool m_partEndPending = false; // its end was reported and has not reached the output yet
    bool m_hasOutputProbe = false; // the output's pad reports ends; without it the report counts
    QString m_joined;              // the part queued behind the playing one
    SongSource m_joinedSource;

    std::mutex m_bufferMutex;
    BufferFn m_onBuffer;

    std::function<QString()> m_nextSource; // window thread only
    GainSource m_gainSource;               // window thread only
    std::atomic<bool> m_gapless{false};
    // Bumped before every state change of the window thread: a streaming thread still waiting
    // for the next file gives up, and its answer is not used.
    std::atomic<quint64> m_epoch{0};
    mutable std::mutex m_queueMutex;
    QString m_queued; // handed to the playbin, not yet at the output
    SongSource m_queuedSource;
    // The factor of the file handed over, set where its stream starts in the filter chain.
    std::optional<double> m_queuedGain;
};
