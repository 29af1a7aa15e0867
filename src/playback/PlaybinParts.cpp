#include "playback/PlaybinParts.h"

#include "playback/GstErrors.h"

#include <gst/audio/audio.h>

namespace PlaybinParts {

using namespace GstErrors;
using namespace GstRefs;

void ensureGstInit()
{
    GError *raw = nullptr;
    if (gst_init_check(nullptr, nullptr, &raw))
        return;
    const ErrorRef err(raw);
    if (err)
        throw gstError(err.get());
    throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_FAILED, QStringLiteral("GStreamer could not be initialised."));
}

QStringList audioSinkDevices(GList **devicesOut)
{
    QStringList names;
    const ObjectRef<GstDeviceMonitor> monitor(gst_device_monitor_new());
    gst_device_monitor_add_filter(monitor.get(), "Audio/Sink", nullptr);
    // start() fails without a sound server: that is an empty list, not an error.
    if (!gst_device_monitor_start(monitor.get()))
        return names;
    GList *devices = gst_device_monitor_get_devices(monitor.get());
    for (GList *l = devices; l; l = l->next) {
        const CharRef name(gst_device_get_display_name(GST_DEVICE(l->data)));
        names << QString::fromUtf8(name ? name.get() : "");
    }
    gst_device_monitor_stop(monitor.get());
    if (devicesOut)
        *devicesOut = devices;
    else
        g_list_free_full(devices, gst_object_unref);
    return names;
}

namespace {

ElementRef deviceOutput(const TAudioDevices &devices, int deviceIndex)
{
    if (deviceIndex < 1 || deviceIndex >= devices.names.size())
        return {};
    GList *found = nullptr;
    const QStringList names = audioSinkDevices(&found);
    const qsizetype at = names.indexOf(devices.names[deviceIndex]);
    ElementRef sink;
    if (at >= 0) {
        GstElement *e = gst_device_create_element(GST_DEVICE(g_list_nth_data(found, guint(at))), nullptr);
        sink.reset(e ? GST_ELEMENT(gst_object_ref_sink(e)) : nullptr);
    }
    g_list_free_full(found, gst_object_unref);
    return sink;
}

bool isFactory(GstElement *element, const char *name)
{
    GstElementFactory *factory = gst_element_get_factory(element);
    return factory && g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), name) == 0;
}

bool isInside(GstObject *object, GstElement *ancestor)
{
    return object && ancestor
           && (object == GST_OBJECT(ancestor) || gst_object_has_as_ancestor(object, GST_OBJECT(ancestor)));
}

} // namespace

ElementRef makeOutput(const TAudioDevices &devices, int deviceIndex)
{
    ElementRef sink;
    if (!devices.sinkOverride.isEmpty()) {
        GError *raw = nullptr;
        GstElement *e = gst_parse_bin_from_description(devices.sinkOverride.toUtf8().constData(), TRUE, &raw);
        const ErrorRef err(raw);
        if (!e)
            throw err ? gstError(err.get()) : gstError(GST_CORE_ERROR, GST_CORE_ERROR_FAILED, devices.sinkOverride);
        sink.reset(GST_ELEMENT(gst_object_ref_sink(e)));
    } else {
        sink = deviceOutput(devices, deviceIndex);
    }
    if (!sink)
        sink = makeElement("autoaudiosink");
    if (!sink)
        throw gstError(GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN, QStringLiteral("No audio output element."));
    return sink;
}

bool autoSinkFellBack(GstElement *sink)
{
    if (!isFactory(sink, "autoaudiosink"))
        return false;
    bool fake = false;
    GstIterator *it = gst_bin_iterate_recurse(GST_BIN(sink));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        fake = fake || isFactory(GST_ELEMENT(g_value_get_object(&item)), "fakesink");
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return fake;
}

namespace {

// Adds element after last inside bin; returns the new last element.
GstElement *append(GstElement *bin, GstElement *last, ElementRef element)
{
    GstElement *e = element.get();
    gst_bin_add(GST_BIN(bin), e); // not floating: the bin takes a reference of its own
    gst_element_link(last, e);
    return e;
}

void addGhost(GstElement *bin, GstElement *element, const char *pad)
{
    const PadRef target(gst_element_get_static_pad(element, pad));
    gst_element_add_pad(bin, gst_ghost_pad_new(pad, target.get()));
}

} // namespace

Filters makeFilters()
{
    Filters f;
    ElementRef convert = makeElement("audioconvert");
    ElementRef caps = makeElement("capsfilter");
    if (!convert || !caps)
        return f;
    const CapsRef interleaved(gst_caps_from_string("audio/x-raw,layout=interleaved"));
    g_object_set(caps.get(), "caps", interleaved.get(), nullptr);
    f.bin.reset(GST_ELEMENT(gst_object_ref_sink(gst_bin_new("Grabber"))));
    GstElement *first = convert.get();
    gst_bin_add(GST_BIN(f.bin.get()), first);
    GstElement *last = f.tap = append(f.bin.get(), first, std::move(caps));
    // Before the equalizer, so that a loud song lowered here leaves the bands their headroom.
    if (ElementRef gain = makeElement("volume", "songgain"))
        last = f.songGain = append(f.bin.get(), last, std::move(gain));
    // At 0 dB in every band (the equalizer off) it passes buffers through untouched.
    if (ElementRef equalizer = makeElement("equalizer-10bands"))
        last = f.equalizer = append(f.bin.get(), last, std::move(equalizer));
    if (ElementRef panorama = makeElement("audiopanorama")) {
        g_object_set(panorama.get(), "method", 1 /* simple: lowers the other channel only */, nullptr);
        last = f.panorama = append(f.bin.get(), last, std::move(panorama));
    }
    if (ElementRef level = makeElement("volume"))
        last = f.level = append(f.bin.get(), last, std::move(level));
    addGhost(f.bin.get(), first, "sink");
    addGhost(f.bin.get(), last, "src");
    return f;
}

QByteArray waveFormatOf(GstPad *pad)
{
    const CapsRef negotiated(gst_pad_get_current_caps(pad));
    GstAudioInfo info;
    if (!negotiated || !gst_audio_info_from_caps(&info, negotiated.get()))
        return {};
    QByteArray b(18, '\0');
    auto put16 = [&](int at, quint32 v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char(v >> 8 & 0xFF);
    };
    auto put32 = [&](int at, quint32 v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    put16(0, GST_AUDIO_FORMAT_INFO_IS_FLOAT(info.finfo) ? 3 : 1);
    put16(2, quint32(GST_AUDIO_INFO_CHANNELS(&info)));
    put32(4, quint32(GST_AUDIO_INFO_RATE(&info)));
    put32(8, quint32(GST_AUDIO_INFO_RATE(&info)) * quint32(GST_AUDIO_INFO_BPF(&info)));
    put16(12, quint32(GST_AUDIO_INFO_BPF(&info)));
    put16(14, quint32(GST_AUDIO_INFO_WIDTH(&info)));
    return b;
}

EcbAudioPlayError classifyFailure(GstMessage *failure, GstElement *pipeline, GstElement *output)
{
    GError *raw = nullptr;
    const GstStructure *details = nullptr;
    gst_message_parse_error(failure, &raw, nullptr);
    gst_message_parse_error_details(failure, &details);
    const ErrorRef e(raw);
    gint flow = 0;
    gint audioStreams = 0;
    g_object_get(pipeline, "n-audio", &audioStreams, nullptr);
    // A stream that nothing takes (only video, here) stops its demuxer with "not-linked".
    if (audioStreams == 0 && details && gst_structure_get_int(details, "flow-return", &flow)
        && flow == GST_FLOW_NOT_LINKED)
        return noAudioStream();
    // An output that cannot be opened.
    if (e && e->domain == GST_RESOURCE_ERROR && isInside(GST_MESSAGE_SRC(failure), output))
        return notConnected();
    return e ? gstError(e.get()) : gstError(GST_CORE_ERROR, GST_CORE_ERROR_FAILED, QStringLiteral("Unknown error."));
}

} // namespace PlaybinParts
