#pragma once

#include "playback/AudioPlayer.h"

#include <QHash>
#include <QString>
#include <QStringList>

class FakeAudioPlayer;

// What the fake players do and what they were asked, shared by every fake a factory makes.
// For tests of code that drives an IAudioPlayer (the playback control); the component itself
// is tested on real GStreamer.
struct FakeAudioScript
{
    struct Failure
    {
        qint32 code = 0;
        QString message;
    };

    // Creating (or the first Play of) a player for one of these file names raises.
    QHash<QString, Failure> failOnCreate;
    QHash<QString, Failure> failOnPlay;

    // What new players report.
    qint64 duration = 1800000000;             // 180 s in 100-ns units
    quint32 capabilities = kCanSeekAbsolute | kCanSeekForwards | kCanSeekBackwards
                           | kCanGetCurrentPos | kCanGetStopPos | kCanGetDuration;
    QString timeFormat = mediaTimeFormat();

    // Every call as one line: "create FILE DEVICE", "play FILE", "pause FILE",
    // "seek FILE POS FLAGS", "loop FILE 1", "volume FILE V", "balance FILE B", "equalizer FILE G0 ... G9",
    // "destroy FILE".
    QStringList calls;

    // The newest player still alive (nullptr when it was destroyed).
    FakeAudioPlayer *current = nullptr;
    int alive = 0;

    // A factory that makes fake players following this script. The script must outlive
    // every player it made.
    AudioPlayerFactory factory();
};

class FakeAudioPlayer : public IAudioPlayer
{
public:
    FakeAudioPlayer(FakeAudioScript &script, const QString &fileName, int deviceIndex,
                    std::function<void()> onCompleteNext);
    ~FakeAudioPlayer() override;

    void Play() override;
    void Pause() override;
    qint64 GetPosition() override { return m_position; }
    void SetPosition(qint64 position, quint32 flags) override;
    QString GetTimeFormat() override { return m_script.timeFormat; }
    qint64 Duration() const override { return m_duration; }
    quint32 Capabilities() const override { return m_capabilities; }
    int State() const override { return m_state; }
    bool Loop() const override { return m_loop; }
    void SetLoop(bool loop) override;
    QString FileName() const override { return m_fileName; }
    int GetVolume() override { return m_volume; }
    void SetVolume(int volume) override;
    int GetBalance() override { return m_balance; }
    void SetBalance(int balance) override;
    void SetEqualizer(const std::array<double, 10> &gains) override;
    const std::array<double, 10> &Equalizer() const { return m_equalizer; }

    int DeviceIndex() const { return m_deviceIndex; }

    // The song reached its end, as the real player handles it: with Loop a restart at 0 and
    // OnComplete, otherwise the owner's next-song callback. The player may be destroyed by
    // that callback; the caller must not use it afterwards.
    void finish();
    // Lets time pass while running (100-ns units).
    void advance(qint64 amount);

private:
    FakeAudioScript &m_script;
    QString m_fileName;
    int m_deviceIndex;
    std::function<void()> m_onCompleteNext;
    qint64 m_duration;
    quint32 m_capabilities;
    qint64 m_position = 0;
    int m_state = kStateBuilt;
    bool m_loop = false;
    bool m_played = false;
    int m_volume = 0;
    int m_balance = 0;
    std::array<double, 10> m_equalizer{};
};
