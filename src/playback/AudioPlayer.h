#pragma once

#include "core/Errors.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <memory>

// A failure of the playback component. ErrorCode is the 32-bit result of the failed call
// (GStreamer errors are mapped to stable codes, see AudioPlay.cpp) or one of the component's
// own codes below; message() is the English text the error log shows.
class EcbAudioPlayError : public SonaloError
{
public:
    EcbAudioPlayError(QString message, qint32 errorCode)
        : SonaloError(std::move(message)), m_errorCode(errorCode) {}
    qint32 ErrorCode() const noexcept { return m_errorCode; }

private:
    qint32 m_errorCode;
};

// The component's own checks.
inline constexpr qint32 kErrorNoAudioStream = 1000;     // "Specified file doesn't have any audio stream."
inline constexpr qint32 kErrorNotConnected = 1001;      // "Selected audio device not connected"
// A parameter out of range (volume, balance, positioning flags).
inline constexpr qint32 kErrorInvalidArgument = qint32(0x80070057u);

// Positioning flags of SetPosition (the callers always pass kSeekAbsolute).
inline constexpr quint32 kSeekNoPositioning = 0;
inline constexpr quint32 kSeekAbsolute = 1;
inline constexpr quint32 kSeekRelative = 2;

// Capability bits of Capabilities().
inline constexpr quint32 kCanSeekAbsolute = 0x1;
inline constexpr quint32 kCanSeekForwards = 0x2;
inline constexpr quint32 kCanSeekBackwards = 0x4;
inline constexpr quint32 kCanGetCurrentPos = 0x8;
inline constexpr quint32 kCanGetStopPos = 0x10;
inline constexpr quint32 kCanGetDuration = 0x20;

// Identifier of the one time format positions use: 100-ns units.
inline const QString &mediaTimeFormat()
{
    static const QString id = QStringLiteral("{7B785574-8C82-11CF-BC0C-00AA00AC74F6}");
    return id;
}

// Player states.
inline constexpr int kStateBuilt = 0;
inline constexpr int kStatePaused = 1;
inline constexpr int kStateRunning = 2;

// One song being played. The playback control creates one per song it starts and destroys it
// before the next. All calls happen on the window thread; every failure raises
// EcbAudioPlayError.
//
// The end of a song: with Loop set, the player restarts at 0 by itself and then calls
// OnComplete. Without Loop it calls the owner's next-song callback (given to the factory),
// which may destroy this very player; the player touches nothing of itself after that call.
class IAudioPlayer
{
public:
    virtual ~IAudioPlayer() = default;

    // Runs and waits (bounded) until running; State() becomes 2.
    virtual void Play() = 0;
    // Pauses and waits (bounded) until paused; State() becomes 1. The position stays.
    virtual void Pause() = 0;

    // Current position in the time format of GetTimeFormat() (100-ns units).
    virtual qint64 GetPosition() = 0;
    // Moves the position; flags kSeekAbsolute (or kSeekRelative to the current position,
    // kSeekNoPositioning for none). The stop position stays at the end.
    virtual void SetPosition(qint64 position, quint32 flags) = 0;
    virtual QString GetTimeFormat() = 0;

    // Length in 100-ns units, 0 when unknown.
    virtual qint64 Duration() const = 0;
    // Seeking capability bits (kCanSeekAbsolute, kCanGetDuration, ...).
    virtual quint32 Capabilities() const = 0;
    virtual int State() const = 0;

    virtual bool Loop() const = 0;
    virtual void SetLoop(bool loop) = 0;

    // The file named at creation, unchanged (full Unicode).
    virtual QString FileName() const = 0;

    // Hundredths of a decibel: 0 full volume, -10000 silence; outside that range raises
    // kErrorInvalidArgument with "One of the parameters is invalid.".
    virtual int GetVolume() = 0;
    virtual void SetVolume(int volume) = 0;
    // -10000 left only ... 0 centre ... 10000 right only (hundredths of a decibel by which
    // the other channel is lowered); outside that range raises kErrorInvalidArgument.
    virtual int GetBalance() = 0;
    virtual void SetBalance(int balance) = 0;

    // The ten equalizer bands in decibels (centres 29 Hz ... 15 kHz, -24..+12), heard at once;
    // all 0 passes the sound unchanged. A player without an equalizer plays unchanged.
    virtual void SetEqualizer(const std::array<double, 10> &gains) = 0;

    // Called after an end of song that Loop turned into a restart.
    std::function<void(IAudioPlayer &)> OnComplete;
    // Called when a stream names what it plays now ("Artist - Title" or a title).
    std::function<void(const QString &title)> OnStreamTitle;
};

// How the playback control gets a player: the file, the index into AudioDevices, and the
// callback that asks the owner for the next song when a song ends without Loop. Raises
// EcbAudioPlayError when the file cannot be played.
using AudioPlayerFactory = std::function<std::unique_ptr<IAudioPlayer>(
    const QString &fileName, int deviceIndex, std::function<void()> onCompleteNext)>;

// The message of a parameter out of range.
inline EcbAudioPlayError invalidArgumentError()
{
    return EcbAudioPlayError(QStringLiteral("GStreamer call failed: 80070057\rOne of the parameters is invalid."),
                             kErrorInvalidArgument);
}
