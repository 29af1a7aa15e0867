#pragma once

// The pieces a playbin is built from, one job each: the output, the filter chain (tap,
// balance, volume) and the classification of a failed preroll. Only the player's own units
// include this header.

#include "playback/AudioDevices.h"
#include "playback/AudioPlayer.h"
#include "playback/GstRefs.h"

#include <QByteArray>
#include <QStringList>

namespace PlaybinParts {

// Raises EcbAudioPlayError when GStreamer cannot start.
void ensureGstInit();

// The display names of the Audio/Sink devices; with devicesOut also the devices (the caller
// frees the list with g_list_free_full(.., gst_object_unref)). No sound server: none.
QStringList audioSinkDevices(GList **devicesOut);

// The output: the override of tests and benchmarks, the chosen device, or the default.
GstRefs::ElementRef makeOutput(const TAudioDevices &devices, int deviceIndex);

// Whether an autoaudiosink found no real output and fell back to its fake sink.
bool autoSinkFellBack(GstElement *sink);

// audioconvert ! interleaved caps [tap] ! volume (song gain) ! equalizer ! audiopanorama !
// volume, in one bin with ghost pads.
// The tap sees the decoded sound before balance and volume change it, as the visualisations
// expect. A missing balance or volume element leaves its pointer empty; without the converter
// or the caps filter there is no chain at all (bin empty).
struct Filters
{
    GstRefs::ElementRef bin;
    GstElement *tap = nullptr;      // owned by bin
    GstElement *panorama = nullptr; // owned by bin
    GstElement *level = nullptr;    // owned by bin
    GstElement *equalizer = nullptr; // owned by bin
    GstElement *songGain = nullptr;  // owned by bin: the ReplayGain of the song that plays
};
Filters makeFilters();

// The 18-byte WAVEFORMATEX block of the caps on pad; empty when they are not audio.
QByteArray waveFormatOf(GstPad *pad);

// What a failed preroll means for the caller: no audio stream (only video), an output that
// cannot be opened, or GStreamer's own error.
EcbAudioPlayError classifyFailure(GstMessage *failure, GstElement *pipeline, GstElement *output);

} // namespace PlaybinParts
