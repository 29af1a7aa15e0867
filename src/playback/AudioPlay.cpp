#include "playback/AudioPlay.h"

#include "playback/GstErrors.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMetaObject>

#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

using namespace GstErrors;

constexpr GstClockTime kStateWait = 5 * GST_SECOND;   // bound of every wait for a state
constexpr qint64 kNsPer100ns = 100;

// playbin's flags (GstPlayFlags is not in a public header): audio, software volume. Video,
// subtitles and visualisations are never decoded, so video costs nothing. playbin's own volume
// stays at full: with the software flag it never touches the sound server's per-stream volume,
// which belongs to the desktop's mixer; our volume element in the filter sets the level.
constexpr guint kPlayFlagAudio = 0x2;
constexpr guint kPlayFlagSoftVolume = 0x10;

void ensureGstInit()
{
    GError *err = nullptr;
    if (!gst_init_check(nullptr, nullptr, &err)) {
        const EcbAudioPlayError e = err ? gstError(err)
                                        : gstError(GST_CORE_ERROR, GST_CORE_ERROR_FAILED,
                                                   QStringLiteral("GStreamer could not be initialised."));
        if (err)
            g_error_free(err);
        throw e;
    }
}

// Players alive, by id. Only the window thread reads or changes it: a message for a player
// that was destroyed meanwhile finds nothing and is dropped.
QHash<quint64, TcbAudioPlay *> &livePlayers()
{
    static QHash<quint64, TcbAudioPlay *> players;
    return players;
}

std::function<void(const EcbAudioPlayError &)> &eventErrorHandler()
{
    static std::function<void(const EcbAudioPlayError &)> handler = [](const EcbAudioPlayError &e) {
        qWarning("%s", qUtf8Printable(QString(e.message()).replace(QLatin1Char('\r'), QLatin1Char(' '))));
    };
    return handler;
}

// The display names of the Audio/Sink devices (and the devices, when wanted).
QStringList audioSinkDevices(GList **devicesOut)
{
    QStringList names;
    GstDeviceMonitor *monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Audio/Sink", nullptr);
    // start() fails without a sound server: that is an empty list, not an error.
    if (gst_device_monitor_start(monitor)) {
        GList *devices = gst_device_monitor_get_devices(monitor);
        for (GList *l = devices; l; l = l->next) {
            gchar *name = gst_device_get_display_name(GST_DEVICE(l->data));
            names << QString::fromUtf8(name ? name : "");
            g_free(name);
        }
        gst_device_monitor_stop(monitor);
        if (devicesOut)
            *devicesOut = devices;
        else
            g_list_free_full(devices, gst_object_unref);
    }
    gst_object_unref(monitor);
    return names;
}

bool isInside(GstObject *object, GstElement *ancestor)
{
    return object && ancestor
           && (object == GST_OBJECT(ancestor) || gst_object_has_as_ancestor(object, GST_OBJECT(ancestor)));
}

// Whether an autoaudiosink found no real output and fell back to its fake sink.
bool autoSinkFellBack(GstElement *sink)
{
    GstElementFactory *factory = gst_element_get_factory(sink);
    if (!factory || g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "autoaudiosink") != 0)
        return false;
    bool fake = false;
    GstIterator *it = gst_bin_iterate_recurse(GST_BIN(sink));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        GstElement *child = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory *f = gst_element_get_factory(child);
        if (f && g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f)), "fakesink") == 0)
            fake = true;
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return fake;
}

// WAVEFORMATEX, little-endian, 18 bytes.
QByteArray waveFormat(const GstAudioInfo &info)
{
    QByteArray b(18, '\0');
    auto put16 = [&](int at, quint32 v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char(v >> 8 & 0xFF);
    };
    auto put32 = [&](int at, quint32 v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    const bool isFloat = GST_AUDIO_FORMAT_INFO_IS_FLOAT(info.finfo);
    put16(0, isFloat ? 3 : 1);
    put16(2, quint32(GST_AUDIO_INFO_CHANNELS(&info)));
    put32(4, quint32(GST_AUDIO_INFO_RATE(&info)));
    put32(8, quint32(GST_AUDIO_INFO_RATE(&info)) * quint32(GST_AUDIO_INFO_BPF(&info)));
    put16(12, quint32(GST_AUDIO_INFO_BPF(&info)));
    put16(14, quint32(GST_AUDIO_INFO_WIDTH(&info)));
    return b;
}

} // namespace

// Shared with the bus sync handler, which owns it once installed (freed by its destroy
// notify). The first error is kept for the window thread's waits, which cannot see the
// forwarded messages while they block.
struct TcbAudioPlayBusLink
{
    explicit TcbAudioPlayBusLink(quint64 playerId) : id(playerId) {}
    const quint64 id;
    std::mutex mutex;
    bool hasError = false;
    GQuark errorDomain = 0;
    int errorCode = 0;
    QString errorText;

    void recordError(GstMessage *message)
    {
        GError *err = nullptr;
        gst_message_parse_error(message, &err, nullptr);
        std::lock_guard<std::mutex> lock(mutex);
        if (!hasError && err) {
            hasError = true;
            errorDomain = err->domain;
            errorCode = err->code;
            errorText = QString::fromUtf8(err->message);
        }
        if (err)
            g_error_free(err);
    }

    // The first error, if any.
    bool firstError(EcbAudioPlayError *out)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!hasError)
            return false;
        *out = gstError(errorDomain, errorCode, errorText);
        return true;
    }

    // Runs on whichever thread posts the message (streaming threads, mostly). It touches no
    // player: the message travels to the window thread in a queued call and meets the player
    // there, if it is still alive.
    static GstBusSyncReply onMessage(GstBus *, GstMessage *message, gpointer data)
    {
        auto *link = static_cast<TcbAudioPlayBusLink *>(data);
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR:
            link->recordError(message);
            [[fallthrough]];
        case GST_MESSAGE_EOS:
        case GST_MESSAGE_DURATION_CHANGED:
            if (QCoreApplication *app = QCoreApplication::instance()) {
                // The reference is released when the call has run or was dropped.
                std::shared_ptr<GstMessage> ref(gst_message_ref(message), gst_message_unref);
                const quint64 id = link->id;
                QMetaObject::invokeMethod(app, [id, ref] { TcbAudioPlay::Dispatch(id, ref.get()); },
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

    static void destroy(gpointer data) { delete static_cast<TcbAudioPlayBusLink *>(data); }
};

// The tap on the decoded audio; runs on the streaming thread.
struct TcbAudioPlayProbe
{
    static GstPadProbeReturn onData(GstPad *, GstPadProbeInfo *info, gpointer data)
    {
        auto *player = static_cast<TcbAudioPlay *>(data);
        if (GstBuffer *buffer = GST_PAD_PROBE_INFO_BUFFER(info)) {
            GstMapInfo map;
            if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                player->OnDecodedBuffer(map.data, qsizetype(map.size));
                gst_buffer_unmap(buffer, &map);
            }
        }
        return GST_PAD_PROBE_OK;
    }
};

TAudioDevices TAudioDevices::Enumerate()
{
    TAudioDevices d;
    d.names << QStringLiteral("Default");
    ensureGstInit();
    d.names << audioSinkDevices(nullptr);
    d.sinkOverride = qEnvironmentVariable("SONALO_AUDIO_SINK");
    return d;
}

TcbAudioPlay::TcbAudioPlay(const TAudioDevices &devices, const QString &fileName, int deviceIndex,
                           std::function<void()> onCompleteNext)
    : m_fileName(fileName), m_deviceIndex(deviceIndex), m_onCompleteNext(std::move(onCompleteNext))
{
    static quint64 nextId = 0;
    m_id = ++nextId;
    try {
        Build(devices);
    } catch (...) {
        // A partly built player leaves nothing behind.
        Release();
        throw;
    }
}

TcbAudioPlay::~TcbAudioPlay()
{
    Release();
}

void TcbAudioPlay::Release()
{
    livePlayers().remove(m_id);
    if (!m_pipeline)
        return;
    // Stopping joins the streaming threads: no probe or handler call runs after this.
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    GstBus *bus = gst_element_get_bus(m_pipeline);
    if (m_link) {
        // The handler's destroy notify frees the link.
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        m_link = nullptr;
    }
    gst_object_unref(bus);
    gst_object_unref(m_pipeline);
    m_pipeline = nullptr;
    m_audioSink = nullptr;
    m_panorama = nullptr;
    m_level = nullptr;
    m_tap = nullptr;
}

void TcbAudioPlay::Build(const TAudioDevices &devices)
{
    ensureGstInit();
    if (!QCoreApplication::instance())
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_FAILED, QStringLiteral("No application object to deliver events to."));

    // Opening a FIFO or device would block in the state change below; only regular files
    // are songs.
    const QFileInfo fi(m_fileName);
    if (fi.exists() && !fi.isFile())
        throw gstError(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_OPEN_READ,
                       gstStandardText(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_OPEN_READ));

    m_pipeline = gst_element_factory_make("playbin", "player");
    if (!m_pipeline)
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN, QStringLiteral("The playbin element is missing."));
    gst_object_ref_sink(m_pipeline);

    GError *err = nullptr;
    gchar *uri = gst_filename_to_uri(QFile::encodeName(m_fileName).constData(), &err);
    if (!uri) {
        const EcbAudioPlayError e = err ? gstError(err)
                                        : gstError(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND,
                                                   gstStandardText(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND));
        if (err)
            g_error_free(err);
        throw e;
    }
    g_object_set(m_pipeline, "uri", uri, "flags", kPlayFlagAudio | kPlayFlagSoftVolume, nullptr);
    g_free(uri);

    // The output: the override of tests and benchmarks, the chosen device, or the default.
    GstElement *sink = nullptr;
    if (!devices.sinkOverride.isEmpty()) {
        sink = gst_parse_bin_from_description(devices.sinkOverride.toUtf8().constData(), TRUE, &err);
        if (!sink) {
            const EcbAudioPlayError e = gstError(err);
            g_error_free(err);
            throw e;
        }
    } else if (m_deviceIndex >= 1 && m_deviceIndex < devices.names.size()) {
        GList *found = nullptr;
        const QStringList names = audioSinkDevices(&found);
        const qsizetype at = names.indexOf(devices.names[m_deviceIndex]);
        if (at >= 0)
            sink = gst_device_create_element(GST_DEVICE(g_list_nth_data(found, guint(at))), nullptr);
        g_list_free_full(found, gst_object_unref);
    }
    if (!sink)
        sink = gst_element_factory_make("autoaudiosink", nullptr);
    if (!sink)
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN, QStringLiteral("No audio output element."));
    m_audioSink = sink;
    g_object_set(m_pipeline, "audio-sink", sink, nullptr); // the pipeline takes the floating ref

    // The tap, the balance and the volume: audioconvert ! interleaved caps [tap] !
    // audiopanorama ! volume. The tap sees the decoded sound before either changes it, as the
    // visualisations expect. Any piece missing leaves the player without it.
    GstElement *convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement *caps = gst_element_factory_make("capsfilter", nullptr);
    GstElement *panorama = gst_element_factory_make("audiopanorama", nullptr);
    GstElement *level = gst_element_factory_make("volume", nullptr);
    if (convert && caps) {
        GstCaps *c = gst_caps_from_string("audio/x-raw,layout=interleaved");
        g_object_set(caps, "caps", c, nullptr);
        gst_caps_unref(c);
        GstElement *bin = gst_bin_new("Grabber");
        gst_bin_add_many(GST_BIN(bin), convert, caps, nullptr);
        gst_element_link(convert, caps);
        GstElement *last = caps;
        if (panorama) {
            g_object_set(panorama, "method", 1 /* simple: lowers the other channel only */, nullptr);
            gst_bin_add(GST_BIN(bin), panorama);
            gst_element_link(last, panorama);
            last = panorama;
            m_panorama = panorama;
        }
        if (level) {
            gst_bin_add(GST_BIN(bin), level);
            gst_element_link(last, level);
            last = level;
            m_level = level;
        }
        GstPad *in = gst_element_get_static_pad(convert, "sink");
        GstPad *out = gst_element_get_static_pad(last, "src");
        gst_element_add_pad(bin, gst_ghost_pad_new("sink", in));
        gst_element_add_pad(bin, gst_ghost_pad_new("src", out));
        gst_object_unref(in);
        gst_object_unref(out);
        GstPad *tap = gst_element_get_static_pad(caps, "src");
        gst_pad_add_probe(tap, GST_PAD_PROBE_TYPE_BUFFER, &TcbAudioPlayProbe::onData, this, nullptr);
        gst_object_unref(tap);
        g_object_set(m_pipeline, "audio-filter", bin, nullptr);
        m_tap = caps;
        m_hasGrabber = true;
    } else {
        for (GstElement *unused : {convert, caps, panorama, level})
            if (unused)
                gst_object_unref(gst_object_ref_sink(unused));
    }

    // Preroll: the file is opened, typed and decoded up to the first buffer at the output.
    GstBus *bus = gst_element_get_bus(m_pipeline);
    std::unique_ptr<GstBus, decltype(&gst_object_unref)> busRef(bus, gst_object_unref);
    const GstStateChangeReturn started = gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    GstMessage *failure = nullptr;
    bool prerolled = false;
    const gint64 deadline = g_get_monotonic_time() + gint64(kStateWait / GST_USECOND);
    while (!failure && !prerolled) {
        const gint64 left = deadline - g_get_monotonic_time();
        if (left <= 0)
            break;
        GstMessage *m = gst_bus_timed_pop_filtered(
            bus, GstClockTime(left) * GST_USECOND, GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE));
        if (!m)
            break;
        if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_ERROR) {
            failure = m;
            break;
        }
        if (GST_MESSAGE_SRC(m) == GST_OBJECT(m_pipeline))
            prerolled = true;
        gst_message_unref(m);
        if (started == GST_STATE_CHANGE_FAILURE)
            break;
    }
    if (failure) {
        std::unique_ptr<GstMessage, decltype(&gst_message_unref)> failureRef(failure, gst_message_unref);
        GError *e = nullptr;
        const GstStructure *details = nullptr;
        gst_message_parse_error(failure, &e, nullptr);
        gst_message_parse_error_details(failure, &details);
        EcbAudioPlayError error = e ? gstError(e)
                                    : gstError(GST_CORE_ERROR, GST_CORE_ERROR_FAILED, QStringLiteral("Unknown error."));
        const bool resource = e && e->domain == GST_RESOURCE_ERROR;
        if (e)
            g_error_free(e);
        gint flow = 0;
        gint audioStreams = 0;
        g_object_get(m_pipeline, "n-audio", &audioStreams, nullptr);
        // A stream that nothing takes (only video, here) stops its demuxer with "not-linked".
        if (audioStreams == 0 && details && gst_structure_get_int(details, "flow-return", &flow)
            && flow == GST_FLOW_NOT_LINKED)
            throw noAudioStream();
        // An output that cannot be opened.
        if (resource && isInside(GST_MESSAGE_SRC(failure), m_audioSink))
            throw notConnected();
        throw error;
    }
    if (!prerolled) {
        if (started == GST_STATE_CHANGE_FAILURE)
            throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE, gstStandardText(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE));
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE, QStringLiteral("Timed out waiting for the file to open."));
    }

    gint audioStreams = 0;
    g_object_get(m_pipeline, "n-audio", &audioStreams, nullptr);
    if (audioStreams == 0)
        throw noAudioStream();
    // autoaudiosink without a sound server plays into a fake sink with only a warning.
    if (devices.sinkOverride.isEmpty() && autoSinkFellBack(m_audioSink))
        throw notConnected();
    if (m_hasGrabber) {
        GstPad *tap = gst_element_get_static_pad(m_tap, "src");
        GstCaps *negotiated = gst_pad_get_current_caps(tap);
        gst_object_unref(tap);
        GstAudioInfo info;
        if (!negotiated || !gst_audio_info_from_caps(&info, negotiated)) {
            if (negotiated)
                gst_caps_unref(negotiated);
            throw EcbAudioPlayError(QStringLiteral("Sample grabber not connected"), kErrorNotConnected);
        }
        gst_caps_unref(negotiated);
        m_grabberFormat = waveFormat(info);
    }

    // What the stream can do.
    GstQuery *seeking = gst_query_new_seeking(GST_FORMAT_TIME);
    if (gst_element_query(m_pipeline, seeking)) {
        gboolean seekable = FALSE;
        gst_query_parse_seeking(seeking, nullptr, &seekable, nullptr, nullptr);
        if (seekable)
            m_capabilities |= kCanSeekAbsolute | kCanSeekForwards | kCanSeekBackwards;
    }
    gst_query_unref(seeking);
    gint64 position = 0;
    if (gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &position))
        m_capabilities |= kCanGetCurrentPos;
    ReadDuration();

    // From now on every message goes to the window thread. Messages already queued before
    // the handler was installed take the same road.
    m_link = new TcbAudioPlayBusLink(m_id);
    gst_bus_set_sync_handler(bus, &TcbAudioPlayBusLink::onMessage, m_link, &TcbAudioPlayBusLink::destroy);
    while (GstMessage *m = gst_bus_pop(bus))
        TcbAudioPlayBusLink::onMessage(bus, m, m_link); // takes the message
    livePlayers().insert(m_id, this);
}

void TcbAudioPlay::ReadDuration()
{
    gint64 duration = 0;
    if (gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &duration) && duration > 0) {
        m_duration = duration / kNsPer100ns;
        m_capabilities |= kCanGetDuration | kCanGetStopPos;
    }
}

void TcbAudioPlay::WaitForState(int target)
{
    GstState current = GST_STATE_VOID_PENDING;
    const GstStateChangeReturn r = gst_element_get_state(m_pipeline, &current, nullptr, kStateWait);
    EcbAudioPlayError recorded(QString(), 0);
    if (r == GST_STATE_CHANGE_FAILURE) {
        if (m_link && m_link->firstError(&recorded))
            throw recorded;
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE, gstStandardText(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE));
    }
    if (r == GST_STATE_CHANGE_ASYNC || current != GstState(target))
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_STATE_CHANGE, QStringLiteral("Timed out waiting for the state change."));
}

void TcbAudioPlay::Play()
{
    // An error that came before the song was ever started is this start's failure.
    EcbAudioPlayError recorded(QString(), 0);
    if (m_state == kStateBuilt && m_link && m_link->firstError(&recorded))
        throw recorded;
    gst_element_set_state(m_pipeline, GST_STATE_PLAYING);
    WaitForState(GST_STATE_PLAYING);
    m_state = kStateRunning;
}

void TcbAudioPlay::Pause()
{
    gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    WaitForState(GST_STATE_PAUSED);
    m_state = kStatePaused;
}

qint64 TcbAudioPlay::GetPosition()
{
    gint64 position = 0;
    // The query fails for a moment during a seek; the start is the honest answer then.
    if (!gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &position) || position < 0)
        return 0;
    // The sink's clock may run a few milliseconds past the stream's last sample; the bar and
    // the time display must never show more than the song holds.
    const qint64 units = position / kNsPer100ns;
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
    if (!gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                 target * kNsPer100ns))
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_SEEK, gstStandardText(GST_CORE_ERROR, GST_CORE_ERROR_SEEK));
    // Data flows again from the new position: its end is a new end of the song.
    m_ended = false;
    // A flushing seek prerolls again; the state it returns to is the one it had.
    GstState current = GST_STATE_VOID_PENDING;
    if (gst_element_get_state(m_pipeline, &current, nullptr, kStateWait) == GST_STATE_CHANGE_FAILURE) {
        EcbAudioPlayError recorded(QString(), 0);
        if (m_link && m_link->firstError(&recorded))
            throw recorded;
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_SEEK, gstStandardText(GST_CORE_ERROR, GST_CORE_ERROR_SEEK));
    }
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
    gint64 position = 0;
    if (!gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &position) || position < 0)
        position = 0;
    SetPosition(position / kNsPer100ns, kSeekAbsolute);
}

int TcbAudioPlay::GetVolume()
{
    return m_volume;
}

void TcbAudioPlay::SetVolume(int volume)
{
    if (volume < -10000 || volume > 0)
        throw invalidArgumentError();
    if (!m_level) {
        if (volume == 0)
            return;
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN, QStringLiteral("The volume element is missing."));
    }
    if (volume == m_volume)
        return;
    // linear = 10^(v / 2000); the bottom of the scale is silence, not -100 dB.
    const double linear = volume <= -10000 ? 0.0 : std::pow(10.0, volume / 2000.0);
    g_object_set(m_level, "volume", linear, nullptr);
    m_volume = volume;
    RedecodeWaitingBuffer();
}

int TcbAudioPlay::GetBalance()
{
    return m_balance;
}

void TcbAudioPlay::SetBalance(int balance)
{
    if (balance < -10000 || balance > 10000)
        throw invalidArgumentError();
    if (!m_panorama) {
        if (balance == 0)
            return;
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN, QStringLiteral("The audiopanorama element is missing."));
    }
    if (balance == m_balance)
        return;
    // pan lowers the other channel to (1 - |pan|) of its level; the ends of the scale silence
    // it completely.
    const double rest = std::abs(balance) >= 10000 ? 0.0 : std::pow(10.0, -std::abs(balance) / 2000.0);
    const double pan = balance == 0 ? 0.0 : (balance < 0 ? -(1.0 - rest) : 1.0 - rest);
    g_object_set(m_panorama, "panorama", gfloat(pan), nullptr);
    m_balance = balance;
    RedecodeWaitingBuffer();
}

void TcbAudioPlay::SetOnBuffer(BufferCallback callback)
{
    std::lock_guard<std::mutex> lock(m_bufferMutex);
    m_onBuffer = std::move(callback);
}

void TcbAudioPlay::OnDecodedBuffer(const uchar *data, qsizetype length)
{
    std::lock_guard<std::mutex> lock(m_bufferMutex);
    if (m_onBuffer)
        m_onBuffer(*this, data, length);
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

// Window thread: the one place bus messages arrive.
void TcbAudioPlay::Dispatch(quint64 playerId, GstMessage *message)
{
    TcbAudioPlay *player = livePlayers().value(playerId);
    if (!player)
        return;
    try {
        player->HandleGraphEvents(message);
        // The player may be gone now.
    } catch (const EcbAudioPlayError &e) {
        eventErrorHandler()(e);
    }
}

void TcbAudioPlay::HandleGraphEvents(GstMessage *message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        EndOfSong(false);
        return; // may have destroyed this player
    case GST_MESSAGE_ERROR:
        // Before the first start, Play raises it; once started, the song is over.
        if (m_state != kStateBuilt && !m_ended) {
            EcbAudioPlayError e(QString(), 0);
            if (m_link && m_link->firstError(&e))
                eventErrorHandler()(e);
            EndOfSong(true);
        }
        return; // may have destroyed this player
    case GST_MESSAGE_DURATION_CHANGED:
        // Variable bit rate MP3 may learn its length only while playing.
        ReadDuration();
        return;
    default:
        return;
    }
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
