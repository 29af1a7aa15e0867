#include "playback/Playbin.h"

#include "playback/GstErrors.h"
#include "playback/GstRefs.h"
#include "playback/PlaybinParts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMetaObject>

#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <utility>

using namespace GstErrors;
using namespace GstRefs;

namespace {

constexpr GstClockTime kStateWait = 5 * GST_SECOND; // bound of every wait for a state
// How long a streaming thread waits for the window thread to name the next file. The output
// still holds a fraction of a second of the playing file then; a busy window thread costs the
// gap, never a hang.
constexpr auto kNextFileWait = std::chrono::milliseconds(1000);

// playbin's flags (GstPlayFlags is not in a public header): audio, software volume. Video,
// subtitles and visualisations are never decoded, so video costs nothing. playbin's own volume
// stays at full: with the software flag it never touches the sound server's per-stream volume,
// which belongs to the desktop's mixer; our volume element in the filter sets the level.
constexpr guint kPlayFlagAudio = 0x2;
constexpr guint kPlayFlagSoftVolume = 0x10;

// Playbins alive, by id. Only the window thread reads or changes it: a message for a playbin
// that was destroyed meanwhile finds nothing and is dropped.
QHash<quint64, Playbin *> &livePlaybins()
{
    static QHash<quint64, Playbin *> playbins;
    return playbins;
}

CharRef fileUri(const QString &fileName)
{
    GError *raw = nullptr;
    CharRef uri(gst_filename_to_uri(QFile::encodeName(fileName).constData(), &raw));
    const ErrorRef err(raw);
    if (!uri)
        throw err ? gstError(err.get())
                  : gstError(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND,
                             gstStandardText(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND));
    return uri;
}

// The address playbin opens for a source.
CharRef sourceUri(const SongSource &source)
{
    return source.isStream() ? CharRef(g_strdup(source.url.toUtf8().constData())) : fileUri(source.file);
}

// What a name plays; a name that is nothing playable is tried as a file, so that GStreamer's
// own checks tell a missing file from a folder or a device.
SongSource sourceOrFile(const QString &name)
{
    SongSource file;
    file.file = name;
    return songSourceOf(name).value_or(file);
}

} // namespace

// Shared with the bus sync handler, which owns it once installed (freed by its destroy
// notify). It keeps the first error and the end of a preroll for the window thread's waits,
// which cannot see the forwarded messages while they block. The generation counts opens: a
// message forwarded before the latest open belongs to an earlier file and is dropped.
struct PlaybinBusLink
{
    PlaybinBusLink(quint64 playbinId, GstElement *pipeline) : id(playbinId), source(GST_OBJECT(pipeline)) {}
    const quint64 id;
    GstObject *const source;
    std::atomic<quint64> generation{0};
    mutable std::mutex mutex;
    std::condition_variable changed;
    MessageRef error;
    bool prerolled = false;

    void reset()
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++generation;
        error.reset();
        prerolled = false;
    }

    void note(GstMessage *message)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR && !error)
            error.reset(gst_message_ref(message));
        else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ASYNC_DONE && GST_MESSAGE_SRC(message) == source)
            prerolled = true;
        changed.notify_all();
    }

    // Waits until the pipeline prerolled or failed, at most until deadline (monotonic µs).
    // Returns the failure, if any.
    MessageRef waitPreroll(gint64 deadline, bool *prerolledOut)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, std::chrono::microseconds(std::max<gint64>(0, deadline - g_get_monotonic_time())),
                         [this] { return prerolled || error; });
        *prerolledOut = prerolled;
        return MessageRef(error ? gst_message_ref(error.get()) : nullptr);
    }

    bool firstError(EcbAudioPlayError *out) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!error)
            return false;
        GError *raw = nullptr;
        gst_message_parse_error(error.get(), &raw, nullptr);
        const ErrorRef e(raw);
        *out = e ? gstError(e.get()) : gstError(GST_CORE_ERROR, GST_CORE_ERROR_FAILED, QStringLiteral("Unknown error."));
        return true;
    }

    // Runs on whichever thread posts the message (streaming threads, mostly). It touches no
    // playbin: the message travels to the window thread in a queued call and meets the
    // playbin there, if it is still alive.
    static GstBusSyncReply onMessage(GstBus *, GstMessage *message, gpointer data)
    {
        auto *link = static_cast<PlaybinBusLink *>(data);
        link->note(message);
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR:
        case GST_MESSAGE_EOS:
        case GST_MESSAGE_DURATION_CHANGED:
        case GST_MESSAGE_STREAM_START:
        case GST_MESSAGE_SEGMENT_DONE:
        case GST_MESSAGE_TAG:
            if (QCoreApplication *app = QCoreApplication::instance()) {
                // The reference is released when the call has run or was dropped.
                std::shared_ptr<GstMessage> ref(gst_message_ref(message), gst_message_unref);
                const quint64 id = link->id;
                const quint64 generation = link->generation;
                QMetaObject::invokeMethod(app, [id, generation, ref] { Playbin::Dispatch(id, generation, ref.get()); },
                                          Qt::QueuedConnection);
            }
            break;
        default:
            break;
        }
        // A sync handler that drops a message owns it: without this unref every message kept
        // its source, and with it the whole pipeline, alive.
        gst_message_unref(message);
        return GST_BUS_DROP;
    }

    static void destroy(gpointer data) { delete static_cast<PlaybinBusLink *>(data); }
};

// What GStreamer's threads call.
struct PlaybinHooks
{
    // The tap on the decoded audio; streaming thread.
    static GstPadProbeReturn onData(GstPad *, GstPadProbeInfo *info, gpointer data)
    {
        auto *self = static_cast<Playbin *>(data);
        GstBuffer *buffer = GST_PAD_PROBE_INFO_BUFFER(info);
        GstMapInfo map;
        if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            std::lock_guard<std::mutex> lock(self->m_bufferMutex);
            if (self->m_onBuffer)
                self->m_onBuffer(map.data, qsizetype(map.size));
            gst_buffer_unmap(buffer, &map);
        }
        return GST_PAD_PROBE_OK;
    }

    // The end of a part (a segment) reaching the output; streaming thread.
    static GstPadProbeReturn onOutputEvent(GstPad *, GstPadProbeInfo *info, gpointer data)
    {
        GstEvent *event = GST_PAD_PROBE_INFO_EVENT(info);
        auto *self = static_cast<Playbin *>(data);
        QCoreApplication *app = QCoreApplication::instance();
        if (event && GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT_DONE && app && self->m_link) {
            const quint64 id = self->m_id;
            const quint64 generation = self->m_link->generation;
            QMetaObject::invokeMethod(app, [id, generation] { Playbin::PartPlayed(id, generation); }, Qt::QueuedConnection);
        }
        return GST_PAD_PROBE_OK;
    }

    // The start of the next file's stream, in order with the data (streaming thread): the
    // factor of a file handed over ahead changes here, between the last sample of the one
    // before and its own first.
    static GstPadProbeReturn onSongGainEvent(GstPad *, GstPadProbeInfo *info, gpointer data)
    {
        auto *self = static_cast<Playbin *>(data);
        if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) != GST_EVENT_STREAM_START)
            return GST_PAD_PROBE_OK;
        std::lock_guard<std::mutex> lock(self->m_queueMutex);
        if (self->m_queuedGain)
            g_object_set(self->m_songGain, "volume", *std::exchange(self->m_queuedGain, std::nullopt), nullptr);
        return GST_PAD_PROBE_OK;
    }

    // playbin has read the playing file to its end; streaming thread. A uri set now follows
    // without a gap.
    static void onAboutToFinish(GstElement *pipeline, gpointer data)
    {
        auto *self = static_cast<Playbin *>(data);
        if (!self->m_gapless)
            return;
        const quint64 epoch = self->m_epoch;
        double gain = 1.0;
        const QString next = self->askForNext(&gain);
        if (next.isEmpty())
            return;
        // A part of a file needs a seek before it plays: it starts the ordinary way.
        const std::optional<SongSource> source = songSourceOf(next);
        if (!source || source->isPart())
            return;
        CharRef uri;
        try {
            uri = sourceUri(*source);
        } catch (const EcbAudioPlayError &) {
            return; // the end of the song comes as usual, and the next start reports it
        }
        std::lock_guard<std::mutex> lock(self->m_queueMutex);
        if (self->m_epoch != epoch)
            return;
        self->m_queuedGain = gain; // before the uri: its stream cannot start earlier
        g_object_set(pipeline, "uri", uri.get(), nullptr);
        self->m_queued = next;
        self->m_queuedSource = *source;
    }
};

Playbin::Playbin(const TAudioDevices &devices, int deviceIndex)
    : m_deviceIndex(deviceIndex), m_checkFallback(devices.sinkOverride.isEmpty())
{
    static quint64 nextId = 0;
    m_id = ++nextId;
    try {
        build(devices);
    } catch (...) {
        // A partly built playbin leaves nothing behind.
        release();
        throw;
    }
    livePlaybins().insert(m_id, this);
}

Playbin::~Playbin()
{
    release();
}

void Playbin::build(const TAudioDevices &devices)
{
    PlaybinParts::ensureGstInit();
    if (!QCoreApplication::instance())
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_FAILED, QStringLiteral("No application object to deliver events to."));
    ElementRef pipeline = makeElement("playbin", "player");
    if (!pipeline)
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN, QStringLiteral("The playbin element is missing."));
    m_pipeline = pipeline.release();
    g_object_set(m_pipeline, "flags", kPlayFlagAudio | kPlayFlagSoftVolume, nullptr);

    const ElementRef output = PlaybinParts::makeOutput(devices, m_deviceIndex);
    g_object_set(m_pipeline, "audio-sink", output.get(), nullptr); // the pipeline takes its own reference
    m_output = output.get();

    PlaybinParts::Filters filters = PlaybinParts::makeFilters();
    if (filters.bin) {
        const PadRef tap(gst_element_get_static_pad(filters.tap, "src"));
        gst_pad_add_probe(tap.get(), GST_PAD_PROBE_TYPE_BUFFER, &PlaybinHooks::onData, this, nullptr);
        g_object_set(m_pipeline, "audio-filter", filters.bin.get(), nullptr);
        m_tap = filters.tap;
        m_panorama = filters.panorama;
        m_level = filters.level;
        m_equalizer = filters.equalizer;
        m_songGain = filters.songGain;
        if (m_songGain) {
            const PadRef gainIn(gst_element_get_static_pad(m_songGain, "sink"));
            gst_pad_add_probe(gainIn.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &PlaybinHooks::onSongGainEvent, this,
                              nullptr);
        }
    }
    g_signal_connect(m_pipeline, "about-to-finish", G_CALLBACK(&PlaybinHooks::onAboutToFinish), this);
    if (const PadRef sinkPad{gst_element_get_static_pad(m_output, "sink")}) {
        gst_pad_add_probe(sinkPad.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &PlaybinHooks::onOutputEvent, this, nullptr);
        m_hasOutputProbe = true;
    }

    // Every message goes to the window thread from now on.
    m_link = new PlaybinBusLink(m_id, m_pipeline);
    const BusRef bus(gst_element_get_bus(m_pipeline));
    gst_bus_set_sync_handler(bus.get(), &PlaybinBusLink::onMessage, m_link, &PlaybinBusLink::destroy);
}

void Playbin::release()
{
    livePlaybins().remove(m_id);
    if (!m_pipeline)
        return;
    // Stopping joins the streaming threads: no probe, hook or handler call runs after this.
    ++m_epoch;
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    const BusRef bus(gst_element_get_bus(m_pipeline));
    if (m_link) {
        // The handler's destroy notify frees the link.
        gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
        m_link = nullptr;
    }
    g_signal_handlers_disconnect_by_data(m_pipeline, this);
    gst_object_unref(m_pipeline);
    m_pipeline = nullptr;
}

void Playbin::changeState(int target)
{
    // A streaming thread waiting for the next file stops waiting, and its answer is dropped.
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        ++m_epoch;
        m_queued.clear();
        m_queuedGain.reset();
    }
    gst_element_set_state(m_pipeline, GstState(target));
}

void Playbin::open(const QString &fileName)
{
    m_switched = false;
    m_current.clear();
    m_streamTitle.clear();
    forgetPartEnd();
    try {
        m_source = sourceOrFile(fileName);
        prerollFile(m_source);
        checkOpened();
        if (m_source.isPart())
            seekPart(m_source, 0, true);
    } catch (...) {
        stop();
        throw;
    }
    m_current = fileName;
}

// Plays the current part from offsetNs of it to its end; a flushing seek prerolls again and
// is waited for, a joining one (after the part before it ended) continues the stream.
void Playbin::seekPart(const SongSource &part, qint64 offsetNs, bool flush)
{
    const bool segment = part.stopNs >= 0;
    const int flags = GST_SEEK_FLAG_ACCURATE | (flush ? GST_SEEK_FLAG_FLUSH : 0) | (segment ? GST_SEEK_FLAG_SEGMENT : 0);
    if (flush) // what was queued is thrown away
        forgetPartEnd();
    m_segmentPending = segment;
    // The end is always set: "none" would keep the end of the part before.
    if (!gst_element_seek(m_pipeline, 1.0, GST_FORMAT_TIME, GstSeekFlags(flags), GST_SEEK_TYPE_SET,
                          part.startNs + offsetNs, GST_SEEK_TYPE_SET,
                          segment ? GstClockTime(part.stopNs) : GST_CLOCK_TIME_NONE))
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_SEEK, gstStandardText(GST_CORE_ERROR, GST_CORE_ERROR_SEEK));
    if (!flush)
        return;
    // A flushing seek prerolls again; the state it returns to is the one it had.
    GstState current = GST_STATE_VOID_PENDING;
    if (gst_element_get_state(m_pipeline, &current, nullptr, kStateWait) == GST_STATE_CHANGE_FAILURE) {
        EcbAudioPlayError recorded(QString(), 0);
        if (firstError(&recorded))
            throw recorded;
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_SEEK, gstStandardText(GST_CORE_ERROR, GST_CORE_ERROR_SEEK));
    }
}

void Playbin::prerollFile(const SongSource &source)
{
    // Opening a FIFO or device would block in the state change below; only regular files
    // are songs.
    const QFileInfo fi(source.file);
    if (!source.isStream() && fi.exists() && !fi.isFile())
        throw gstError(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_OPEN_READ,
                       gstStandardText(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_OPEN_READ));
    const CharRef uri = sourceUri(source);
    // After a failure playbin may still hold the failed file's parts and report their error
    // again: only a full stop forgets them.
    EcbAudioPlayError previous(QString(), 0);
    changeState(firstError(&previous) ? GST_STATE_NULL : GST_STATE_READY);
    m_link->reset();
    // Nothing streams now: the factor holds from the first sample on.
    if (m_songGain)
        g_object_set(m_songGain, "volume", gainOf(source.isStream() ? source.url : source.file), nullptr);
    g_object_set(m_pipeline, "uri", uri.get(), nullptr);
    const gint64 deadline = g_get_monotonic_time() + gint64(kStateWait / GST_USECOND);
    const GstStateChangeReturn started = gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    bool prerolled = false;
    const MessageRef failure = m_link->waitPreroll(started == GST_STATE_CHANGE_FAILURE ? 0 : deadline, &prerolled);
    if (failure)
        throw PlaybinParts::classifyFailure(failure.get(), m_pipeline, m_output);
    if (prerolled)
        return;
    if (started == GST_STATE_CHANGE_FAILURE)
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE, gstStandardText(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE));
    throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE, QStringLiteral("Timed out waiting for the file to open."));
}

void Playbin::checkOpened() const
{
    gint audioStreams = 0;
    g_object_get(m_pipeline, "n-audio", &audioStreams, nullptr);
    if (audioStreams == 0)
        throw noAudioStream();
    // autoaudiosink without a sound server plays into a fake sink with only a warning.
    if (m_checkFallback && PlaybinParts::autoSinkFellBack(m_output))
        throw notConnected();
    if (m_tap && grabberFormat().isEmpty())
        throw EcbAudioPlayError(QStringLiteral("Sample grabber not connected"), kErrorNotConnected);
}

QByteArray Playbin::grabberFormat() const
{
    if (!m_tap)
        return {};
    const PadRef tap(gst_element_get_static_pad(m_tap, "src"));
    return PlaybinParts::waveFormatOf(tap.get());
}

void Playbin::setOnBuffer(BufferFn fn)
{
    std::lock_guard<std::mutex> lock(m_bufferMutex);
    m_onBuffer = std::move(fn);
}

void Playbin::waitForState(int target, const QString &timeoutText) const
{
    GstState current = GST_STATE_VOID_PENDING;
    const GstStateChangeReturn r = gst_element_get_state(m_pipeline, &current, nullptr, kStateWait);
    EcbAudioPlayError recorded(QString(), 0);
    if (r == GST_STATE_CHANGE_FAILURE) {
        if (firstError(&recorded))
            throw recorded;
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE, gstStandardText(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE));
    }
    if (target != GST_STATE_VOID_PENDING && (r == GST_STATE_CHANGE_ASYNC || current != GstState(target)))
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE, timeoutText);
}

void Playbin::play()
{
    gst_element_set_state(m_pipeline, GST_STATE_PLAYING);
    waitForState(GST_STATE_PLAYING, QStringLiteral("Timed out waiting for the state change."));
}

void Playbin::pause()
{
    gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    waitForState(GST_STATE_PAUSED, QStringLiteral("Timed out waiting for the state change."));
}

void Playbin::stop()
{
    changeState(GST_STATE_READY);
    m_switched = false;
    forgetPartEnd();
}

qint64 Playbin::position() const
{
    gint64 ns = 0;
    if (!gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &ns) || ns < 0)
        return -1;
    // Just after a join the output still plays the end of the part before.
    return std::max<qint64>(ns - m_source.startNs, 0);
}

qint64 Playbin::duration() const
{
    if (m_source.stopNs >= 0)
        return m_source.stopNs - m_source.startNs;
    gint64 ns = 0;
    return gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &ns) && ns > m_source.startNs ? ns - m_source.startNs : -1;
}

bool Playbin::seekable() const
{
    const QueryRef seeking(gst_query_new_seeking(GST_FORMAT_TIME));
    gboolean seekable = FALSE;
    if (gst_element_query(m_pipeline, seeking.get()))
        gst_query_parse_seeking(seeking.get(), nullptr, &seekable, nullptr, nullptr);
    return seekable;
}

void Playbin::seek(qint64 ns)
{
    seekPart(m_source, ns, true);
}

void Playbin::forgetPartEnd()
{
    m_segmentPending = false;
    m_partEndPending = false;
    m_joined.clear();
}

bool Playbin::firstError(EcbAudioPlayError *out) const
{
    return m_link && m_link->firstError(out);
}

void Playbin::setVolume(int volume)
{
    // linear = 10^(v / 2000); the bottom of the scale is silence, not -100 dB.
    const double linear = volume <= -10000 ? 0.0 : std::pow(10.0, volume / 2000.0);
    g_object_set(m_level, "volume", linear, nullptr);
    m_volume = volume;
}

void Playbin::setBalance(int balance)
{
    // pan lowers the other channel to (1 - |pan|) of its level; the ends of the scale silence
    // it completely.
    const double rest = std::abs(balance) >= 10000 ? 0.0 : std::pow(10.0, -std::abs(balance) / 2000.0);
    const double pan = balance == 0 ? 0.0 : (balance < 0 ? -(1.0 - rest) : 1.0 - rest);
    g_object_set(m_panorama, "panorama", gfloat(pan), nullptr);
    m_balance = balance;
}

void Playbin::setEqualizer(const std::array<double, 10> &gains)
{
    if (!m_equalizer)
        return;
    // All bands at 0 dB make the element pass its buffers through untouched.
    for (std::size_t band = 0; band < gains.size(); ++band)
        g_object_set(m_equalizer, QByteArray("band" + QByteArray::number(qulonglong(band))).constData(), gains[band],
                     nullptr);
}

void Playbin::setNextSource(std::function<QString()> source)
{
    m_nextSource = std::move(source);
    m_gapless = bool(m_nextSource);
}

// Streaming thread: asks the window thread, which alone may read the song lists, and waits a
// bounded time. The request outlives this call if the answer comes late.
QString Playbin::askForNext(double *gain)
{
    struct Request
    {
        std::mutex mutex;
        std::condition_variable answered;
        bool done = false;
        QString file;
        double gain = 1.0;
    };
    auto request = std::make_shared<Request>();
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return {};
    const quint64 id = m_id;
    QMetaObject::invokeMethod(app, [id, request] {
        Playbin *self = livePlaybins().value(id);
        const QString file = self && self->m_nextSource && !self->handoverPending() ? self->m_nextSource() : QString();
        const double factor = file.isEmpty() ? 1.0 : self->gainOf(file);
        std::lock_guard<std::mutex> lock(request->mutex);
        request->file = file;
        request->gain = factor;
        request->done = true;
        request->answered.notify_all();
    }, Qt::QueuedConnection);
    const quint64 epoch = m_epoch;
    const auto deadline = std::chrono::steady_clock::now() + kNextFileWait;
    std::unique_lock<std::mutex> lock(request->mutex);
    // Woken every few milliseconds to see whether the window thread stops the pipeline.
    while (!request->done && m_epoch == epoch && std::chrono::steady_clock::now() < deadline)
        request->answered.wait_for(lock, std::chrono::milliseconds(10));
    if (!request->done)
        return {};
    *gain = request->gain;
    return request->file;
}

// Window thread.
double Playbin::gainOf(const QString &fileName) const
{
    if (!m_gainSource)
        return 1.0;
    const double g = m_gainSource(fileName);
    // Whatever the source says, the element gets a level it takes (0..10).
    return std::isfinite(g) ? std::clamp(g, 0.0, 10.0) : 1.0;
}

double Playbin::songGain() const
{
    gdouble g = 1.0;
    if (m_songGain)
        g_object_get(m_songGain, "volume", &g, nullptr);
    return g;
}

// A file handed over has not reached the output yet: the playing song's successor is already
// chosen, and the song after that is not known until it starts. A song shorter than what the
// output holds ends the ordinary way instead.
bool Playbin::handoverPending() const
{
    std::lock_guard<std::mutex> lock(m_queueMutex);
    return !m_queued.isEmpty();
}

// Window thread.
void Playbin::streamStarted()
{
    QString next;
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        next = std::exchange(m_queued, QString());
        if (!next.isEmpty())
            m_source = m_queuedSource;
    }
    if (next.isEmpty())
        return; // the start of a file open() prerolled
    m_streamTitle.clear();
    m_current = next;
    m_switched = true;
    if (PlaybinListener *l = std::exchange(m_listener, nullptr))
        l->playbinSwitched(); // may destroy this playbin
}

// Window thread: the demuxer has read the playing part to its end; the output still has
// some of it to play. The next part of the same file is queued behind it when gapless play
// names one; either way the song is over only when the end reaches the output (partPlayed).
void Playbin::segmentDone()
{
    if (!std::exchange(m_segmentPending, false))
        return;
    if (m_gapless && m_nextSource)
        queueNextPart();
    m_partEndPending = true;
    if (!m_hasOutputProbe)
        partPlayed();
}

void Playbin::queueNextPart()
{
    const QString next = m_nextSource();
    const std::optional<SongSource> source = next.isEmpty() ? std::nullopt : songSourceOf(next);
    if (!source || source->isStream() || source->file != m_source.file)
        return;
    try {
        seekPart(*source, 0, false);
    } catch (const EcbAudioPlayError &) {
        return; // the song ends, and the next start reports it
    }
    m_joined = next;
    m_joinedSource = *source;
}

// Window thread: the end of the playing part has reached the output. A part queued behind it
// now plays: the listener's song is over.
void Playbin::partPlayed()
{
    if (!std::exchange(m_partEndPending, false))
        return;
    if (m_joined.isEmpty()) {
        if (m_listener)
            m_listener->playbinEnded();
        return;
    }
    m_current = std::exchange(m_joined, QString());
    m_source = m_joinedSource;
    m_switched = true;
    if (PlaybinListener *l = std::exchange(m_listener, nullptr))
        l->playbinSwitched(); // may destroy this playbin
}

// Window thread: a stream's tags (ICY metadata arrives as a title tag).
void Playbin::tagsArrived(GstMessage *message)
{
    if (!m_source.isStream())
        return;
    GstTagList *raw = nullptr;
    gst_message_parse_tag(message, &raw);
    const std::unique_ptr<GstTagList, decltype(&gst_tag_list_unref)> tags(raw, gst_tag_list_unref);
    auto text = [&tags](const char *tag) {
        gchar *value = nullptr;
        if (!tags || !gst_tag_list_get_string(tags.get(), tag, &value))
            return QString();
        const CharRef owned(value);
        return QString::fromUtf8(value).trimmed();
    };
    const QString title = text(GST_TAG_TITLE), artist = text(GST_TAG_ARTIST);
    const QString shown = artist.isEmpty() || title.isEmpty() ? title : artist + QStringLiteral(" - ") + title;
    if (shown.isEmpty() || shown == m_streamTitle)
        return;
    m_streamTitle = shown;
    if (m_listener)
        m_listener->playbinStreamTitle();
}

void Playbin::PartPlayed(quint64 id, quint64 generation)
{
    Playbin *self = livePlaybins().value(id);
    if (!self || !self->m_link || self->m_link->generation != generation)
        return;
    self->partPlayed();
    // Nobody took the part that arrived: it must not play on unseen.
    self = livePlaybins().value(id);
    if (self && self->m_switched && !self->m_listener)
        self->stop();
}

void Playbin::Dispatch(quint64 id, quint64 generation, GstMessage *message)
{
    Playbin *self = livePlaybins().value(id);
    if (!self || !self->m_link || self->m_link->generation != generation)
        return;
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STREAM_START:
        self->streamStarted();
        break;
    case GST_MESSAGE_EOS:
        if (self->m_listener)
            self->m_listener->playbinEnded();
        break;
    case GST_MESSAGE_SEGMENT_DONE:
        self->segmentDone();
        break;
    case GST_MESSAGE_TAG:
        self->tagsArrived(message);
        break;
    case GST_MESSAGE_ERROR:
        if (self->m_listener)
            self->m_listener->playbinFailed();
        break;
    case GST_MESSAGE_DURATION_CHANGED:
        if (self->m_listener)
            self->m_listener->playbinDurationChanged();
        break;
    default:
        break;
    }
    // Nobody took a file that arrived by a gapless switch: it must not play on unseen.
    self = livePlaybins().value(id);
    if (self && self->m_switched && !self->m_listener)
        self->stop();
}
