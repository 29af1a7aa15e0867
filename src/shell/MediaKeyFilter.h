#pragma once

#include <QObject>

class PlaybackControl;

// Catches the keyboard's media keys anywhere in the program (installed on the application)
// and hands them to the one media command dispatch.
class MediaKeyFilter : public QObject
{
    Q_OBJECT
public:
    MediaKeyFilter(PlaybackControl &playback, QObject *parent = nullptr);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PlaybackControl &m_playback;
};
