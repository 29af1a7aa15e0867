#pragma once

// Owning handles for the GLib and GStreamer references the player holds. Each releases its
// reference once, when it goes; none of them takes a reference by itself: construct from a
// call that returns one (transfer full) or ref first.

#include <gst/gst.h>

#include <memory>

namespace GstRefs {

struct ObjectUnref
{
    void operator()(gpointer p) const { gst_object_unref(p); }
};
struct MessageUnref
{
    void operator()(GstMessage *m) const { gst_message_unref(m); }
};
struct CapsUnref
{
    void operator()(GstCaps *c) const { gst_caps_unref(c); }
};
struct ErrorFree
{
    void operator()(GError *e) const { g_error_free(e); }
};
struct CharFree
{
    void operator()(gchar *s) const { g_free(s); }
};
struct QueryUnref
{
    void operator()(GstQuery *q) const { gst_query_unref(q); }
};

template <typename T> using ObjectRef = std::unique_ptr<T, ObjectUnref>;
using ElementRef = ObjectRef<GstElement>;
using BusRef = ObjectRef<GstBus>;
using PadRef = ObjectRef<GstPad>;
using MessageRef = std::unique_ptr<GstMessage, MessageUnref>;
using CapsRef = std::unique_ptr<GstCaps, CapsUnref>;
using ErrorRef = std::unique_ptr<GError, ErrorFree>;
using CharRef = std::unique_ptr<gchar, CharFree>;
using QueryRef = std::unique_ptr<GstQuery, QueryUnref>;

// A new element, its floating reference sunk so that the handle owns it; empty when the
// factory is missing.
inline ElementRef makeElement(const char *factory, const char *name = nullptr)
{
    GstElement *e = gst_element_factory_make(factory, name);
    return ElementRef(e ? GST_ELEMENT(gst_object_ref_sink(e)) : nullptr);
}

// A second owner of an element the caller keeps.
inline ElementRef share(GstElement *e)
{
    return ElementRef(e ? GST_ELEMENT(gst_object_ref(e)) : nullptr);
}

} // namespace GstRefs
