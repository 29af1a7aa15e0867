#include "shell/MediaKeyFilter.h"

#include "shell/MediaKeys.h"

#include <QKeyEvent>

MediaKeyFilter::MediaKeyFilter(PlaybackControl &playback, QObject *parent) : QObject(parent), m_playback(playback) {}

bool MediaKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // A held key repeats; one press is one command.
        if (!key->isAutoRepeat() && runMediaCommand(mediaCommandFromQtKey(key->key()), m_playback))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
