#include "shell/MediaKeyFilter.h"

#include "shell/MediaKeys.h"

#include <QKeyEvent>

MediaKeyFilter::MediaKeyFilter(PlaybackControl &playback, QObject *parent) : QObject(parent), m_playback(playback) {}

bool MediaKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // A held key repeats; one press is one command, except that a held volume key keeps
        // moving the level.
        const MediaCommand command = mediaCommandFromQtKey(key->key());
        const bool repeats = command == MediaCommand::VolumeUp || command == MediaCommand::VolumeDown;
        if ((!key->isAutoRepeat() || repeats) && runMediaCommand(command, m_playback))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
