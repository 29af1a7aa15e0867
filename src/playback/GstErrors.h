#pragma once

#include "playback/AudioPlayer.h"

#include <QString>

#include <gst/gst.h>

// Error codes. Every GStreamer error (a GError of one of its domains) becomes one stable
// 32-bit code, shown in hexadecimal by the "GStreamer call failed" message:
//     0x80470000 | domain << 8 | code
// domain 1 core, 2 library, 3 resource, 4 stream, 5 any other domain; code is the GStreamer
// error code of that domain (GstCoreError, GstLibraryError, GstResourceError,
// GstStreamError), limited to 0..255. Examples: a missing file (resource error 3,
// "Resource not found.") is 80470303, text or noise named .mp3 (stream error 4, "Could not
// determine type of stream.") is 80470404, a missing decoder (core error 12) is 8047010C, a
// failed seek (core error 9) is 80470109, a state change that did not finish in time (core
// error 4) is 80470104. The description is GStreamer's message (at most 300 characters).
namespace GstErrors {

qint32 gstErrorCode(GQuark domain, int code);
// The CheckResult message form: "GStreamer call failed: CODE\rDESCRIPTION".
EcbAudioPlayError checkResultError(qint32 code, const QString &description);
EcbAudioPlayError gstError(GQuark domain, int code, const QString &description);
EcbAudioPlayError gstError(const GError *err);
// GStreamer's own text for one of its error codes.
QString gstStandardText(GQuark domain, int code);
EcbAudioPlayError noAudioStream();
EcbAudioPlayError notConnected();

} // namespace GstErrors
