#pragma once

#include "playback/AudioDevices.h"
#include "playback/AudioPlayer.h"

#include <QString>

#include <functional>
#include <memory>

class Playbin;

// The one playback engine of the program: a long-lived playbin that plays song after song.
// While gapless play is on, every player the factory makes borrows it, and the file that
// follows is handed to it ahead of the end, so it joins without a gap; off, every player gets
// a fresh playbin of its own, as before. Window thread only.
class PlaybackEngine
{
public:
    // devices must outlive the engine.
    explicit PlaybackEngine(const TAudioDevices &devices);
    ~PlaybackEngine();
    PlaybackEngine(const PlaybackEngine &) = delete;
    PlaybackEngine &operator=(const PlaybackEngine &) = delete;

    bool gapless() const { return m_gapless; }
    // Takes effect at the next song.
    void setGapless(bool on) { m_gapless = on; }

    // Asked on the window thread shortly before the playing song's data ends: the resolved
    // file that will follow it, or an empty text when nothing (or nothing known) does.
    void setNextSongSource(std::function<QString()> source);

    // The ReplayGain factor of each file, asked on the window thread before it is heard (see
    // Playbin::setGainSource); for the players with a playbin of their own too.
    void setGainSource(std::function<double(const QString &)> source);

    // Players for the playback control. The engine must outlive them.
    AudioPlayerFactory Factory();

    // The long-lived playbin for output deviceIndex (built again for another output).
    Playbin &shared(int deviceIndex);
    const TAudioDevices &devices() const { return m_devices; }

private:
    void silenceShared();

    const TAudioDevices &m_devices;
    std::unique_ptr<Playbin> m_shared;
    std::function<QString()> m_nextSong;
    std::function<double(const QString &)> m_gainSource;
    bool m_gapless = true;
};
