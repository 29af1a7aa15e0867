#include "playback/GstErrors.h"

#include <algorithm>

namespace GstErrors {

namespace {
constexpr quint32 kGstFacility = 0x80470000u;
} // namespace

qint32 gstErrorCode(GQuark domain, int code)
{
    quint32 d = 5;
    if (domain == GST_CORE_ERROR)
        d = 1;
    else if (domain == GST_LIBRARY_ERROR)
        d = 2;
    else if (domain == GST_RESOURCE_ERROR)
        d = 3;
    else if (domain == GST_STREAM_ERROR)
        d = 4;
    return qint32(kGstFacility | d << 8 | quint32(std::clamp(code, 0, 255)));
}

EcbAudioPlayError checkResultError(qint32 code, const QString &description)
{
    return EcbAudioPlayError(QStringLiteral("GStreamer call failed: %1\r%2")
                                 .arg(QString::number(quint32(code), 16).toUpper(), description.left(300)),
                             code);
}

EcbAudioPlayError gstError(GQuark domain, int code, const QString &description)
{
    return checkResultError(gstErrorCode(domain, code), description);
}

QString gstStandardText(GQuark domain, int code)
{
    gchar *text = gst_error_get_message(domain, code);
    const QString s = QString::fromUtf8(text);
    g_free(text);
    return s;
}

EcbAudioPlayError gstError(const GError *err)
{
    return gstError(err->domain, err->code, QString::fromUtf8(err->message));
}

EcbAudioPlayError noAudioStream()
{
    return EcbAudioPlayError(QStringLiteral("Specified file doesn't have any audio stream."), kErrorNoAudioStream);
}

EcbAudioPlayError notConnected()
{
    return EcbAudioPlayError(QStringLiteral("Selected audio device not connected"), kErrorNotConnected);
}

} // namespace GstErrors
