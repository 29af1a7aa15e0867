#pragma once

#include "PlaybackFixtures.h"
#include "playback/AudioPlay.h"

#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gst/gst.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// GStreamer objects created since the watch started and still alive, as GStreamer's leaks
// tracer sees them (the tests run with GST_TRACERS=leaks). The address sanitizer cannot see
// these: a pipeline kept alive by one reference too many is still reachable from GStreamer's
// own tables. Objects that live as long as their class (pad templates, static caps) carry
// GStreamer's may-be-leaked flag and are not counted; what GStreamer loads once for good
// (type finders, decoders, device providers) is loaded before the first watch starts.
class GstLeakWatch
{
public:
    GstLeakWatch()
    {
        gst_init_check(nullptr, nullptr, nullptr);
        warmUp();
        GList *tracers = gst_tracing_get_active_tracers();
        for (GList *l = tracers; l; l = l->next) {
            if (!m_tracer && g_strcmp0(G_OBJECT_TYPE_NAME(l->data), "GstLeaksTracer") == 0)
                m_tracer = GST_TRACER(gst_object_ref(l->data));
        }
        g_list_free_full(tracers, gst_object_unref);
        if (m_tracer)
            g_signal_emit_by_name(m_tracer, "activity-start-tracking");
    }
    ~GstLeakWatch()
    {
        if (m_tracer) {
            g_signal_emit_by_name(m_tracer, "activity-stop-tracking");
            gst_object_unref(m_tracer);
        }
    }
    GstLeakWatch(const GstLeakWatch &) = delete;
    GstLeakWatch &operator=(const GstLeakWatch &) = delete;

    // Whether the environment asks for the tracer (then a missing one is a failure).
    static bool wanted()
    {
        const char *tracers = std::getenv("GST_TRACERS");
        return tracers && std::strstr(tracers, "leaks");
    }
    bool active() const { return m_tracer != nullptr; }

    // "GstPipeline 0x..." for every object created since the last call (or the start) that is
    // still alive.
    QStringList alive()
    {
        QStringList out;
        if (!m_tracer)
            return out;
        GstStructure *checkpoint = nullptr;
        g_signal_emit_by_name(m_tracer, "activity-get-checkpoint", &checkpoint);
        if (!checkpoint)
            return {QStringLiteral("the leaks tracer gave no checkpoint")};
        // An address may be created, freed and reused: count per address.
        QHash<QString, int> balance;
        QHash<QString, QString> typeOf;
        auto tally = [&](const char *field, int step) {
            const GValue *list = gst_structure_get_value(checkpoint, field);
            for (guint i = 0; list && i < gst_value_list_get_size(list); ++i) {
                const GstStructure *s = gst_value_get_structure(gst_value_list_get_value(list, i));
                const QString address = QString::fromUtf8(gst_structure_get_string(s, "address"));
                balance[address] += step;
                if (step > 0)
                    typeOf[address] = QString::fromUtf8(gst_structure_get_string(s, "type-name"));
            }
        };
        tally("objects-created-list", 1);
        tally("objects-removed-list", -1);
        gst_structure_free(checkpoint);
        for (auto it = balance.cbegin(); it != balance.cend(); ++it) {
            if (it.value() <= 0)
                continue;
            void *object = nullptr;
            if (std::sscanf(it.key().toLatin1().constData(), "%p", &object) != 1 || !object)
                continue;
            // Alive: the tracer still holds its weak reference, so the flags can be read.
            const GType type = g_type_from_name(typeOf[it.key()].toUtf8().constData());
            if (isPlaysinkVolume(object, type))
                continue;
            const bool classLifetime = g_type_is_a(type, GST_TYPE_OBJECT)
                                           ? GST_OBJECT_FLAG_IS_SET(object, GST_OBJECT_FLAG_MAY_BE_LEAKED)
                                           : GST_MINI_OBJECT_FLAG_IS_SET(object, GST_MINI_OBJECT_FLAG_MAY_BE_LEAKED);
            if (!classLifetime)
                out << typeOf[it.key()] + QLatin1Char(' ') + it.key();
        }
        out.sort();
        return out;
    }

private:
    // Prerolls every kind of test file once and lists the outputs, so that the plugins,
    // type finders and device providers GStreamer keeps for the rest of the process exist
    // before any watch starts.
    static void warmUp()
    {
        static bool done = false;
        if (done || !AudioFixtures::get().failure().isEmpty())
            return;
        done = true;
        TAudioDevices devices;
        devices.sinkOverride = QStringLiteral("fakesink sync=true");
        QStringList files;
        for (const char *name : {"tone.wav", "tone.mp3", "vbr.mp3", "tone.ogg", "tone.wma", "video.avi", "video_only.avi"})
            files << AudioFixtures::get().path(QString::fromLatin1(name));
        QTemporaryDir dir;
        QFile text(dir.path() + QStringLiteral("/text.mp3"));
        if (text.open(QIODevice::WriteOnly) && text.write("Not a song at all.\n") > 0)
            files << text.fileName();
        text.close();
        for (const QString &file : std::as_const(files)) {
            try {
                TcbAudioPlay(devices, file, 0, {});
            } catch (const EcbAudioPlayError &) {
                // no sound in it: its type finders and demuxer are loaded all the same
            }
        }
        TAudioDevices::Enumerate();
        pumpEvents(50);
    }

    // GStreamer 1.22's playsink keeps the volume element of its software volume (with the
    // element's two pads) after its pipeline is gone: gst-launch-1.0 playbin with the
    // soft-volume flag leaves the same three objects alive. Not ours to free; anything else
    // of the pipeline still counts.
    static bool isPlaysinkVolume(void *object, GType type)
    {
        static const GType volume = g_type_from_name("GstVolume");
        auto unparentedVolume = [](GstObject *o) {
            return o && volume && G_TYPE_CHECK_INSTANCE_TYPE(o, volume) && !GST_OBJECT_PARENT(o);
        };
        if (!volume || !g_type_is_a(type, GST_TYPE_OBJECT))
            return false;
        GstObject *o = GST_OBJECT(object);
        if (GST_IS_PAD(o))
            return unparentedVolume(GST_OBJECT_PARENT(o));
        return unparentedVolume(o);
    }

    GstTracer *m_tracer = nullptr;
};
