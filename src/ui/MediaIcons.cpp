#include "ui/MediaIcons.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>

QIcon MediaIcons::icon(Icon which, const QWidget *styleOf)
{
    struct Entry
    {
        const char *themeName;
        QStyle::StandardPixmap fallback;
    };
    static constexpr Entry kEntries[] = {
        {"media-playback-start", QStyle::SP_MediaPlay},
        {"media-playback-pause", QStyle::SP_MediaPause},
        {"media-skip-backward", QStyle::SP_MediaSkipBackward},
        {"media-skip-forward", QStyle::SP_MediaSkipForward},
        {"audio-volume-high", QStyle::SP_MediaVolume},
        {"audio-volume-muted", QStyle::SP_MediaVolumeMuted},
    };
    const Entry &e = kEntries[int(which)];
    QStyle *style = styleOf ? styleOf->style() : QApplication::style();
    return QIcon::fromTheme(QLatin1String(e.themeName), style->standardIcon(e.fallback, nullptr, styleOf));
}
