#pragma once

#include <QString>
#include <QStringList>

// The audio outputs a player can be given, by index. One list for the program's run, filled
// at start-up and passed by reference to whoever creates players.
struct TAudioDevices
{
    // Entry 0 is "Default": the sound server's default output (autoaudiosink). Then every
    // output device the system reports, by display name, in its order.
    QStringList names;

    // When not empty, a GStreamer launch description ("fakesink sync=true") that every player
    // uses as its output instead of the chosen device. Tests and benchmarks set it so that no
    // sound card is needed; Enumerate() takes it from the environment variable
    // SONALO_AUDIO_SINK.
    QString sinkOverride;

    // "Default" followed by the Audio/Sink devices of a device monitor. A system without a
    // sound server simply has no further entries.
    static TAudioDevices Enumerate();
};
