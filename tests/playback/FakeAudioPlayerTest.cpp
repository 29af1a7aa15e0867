#include "support/FakeAudioPlayer.h"

#include <gtest/gtest.h>

// The fake stands in for the GStreamer player in tests of the playback control, so it must
// keep the same contract: failures as EcbAudioPlayError, Loop handled inside, the next-song
// callback free to destroy the player.

TEST(FakeAudioPlayer, CreateAndPlayFailuresCarryCodeAndMessage)
{
    FakeAudioScript script;
    script.failOnCreate[QStringLiteral("bad.mp3")] = {1000, QStringLiteral("Specified file doesn't have any audio stream.")};
    script.failOnPlay[QStringLiteral("silent.mp3")] = {1001, QStringLiteral("Selected audio device not connected")};
    AudioPlayerFactory make = script.factory();

    try {
        make(QStringLiteral("bad.mp3"), 0, {});
        FAIL() << "no exception";
    } catch (const EcbAudioPlayError &e) {
        EXPECT_EQ(e.ErrorCode(), 1000);
        EXPECT_EQ(e.message(), QStringLiteral("Specified file doesn't have any audio stream."));
    }
    EXPECT_EQ(script.alive, 0);
    EXPECT_EQ(script.current, nullptr);

    std::unique_ptr<IAudioPlayer> p = make(QStringLiteral("silent.mp3"), 0, {});
    EXPECT_EQ(p->State(), kStateBuilt);
    EXPECT_THROW(p->Play(), EcbAudioPlayError);
    EXPECT_EQ(p->State(), kStateBuilt);
    p.reset();
    EXPECT_EQ(script.calls, (QStringList{QStringLiteral("create bad.mp3 0"), QStringLiteral("create silent.mp3 0"),
                                         QStringLiteral("play silent.mp3"), QStringLiteral("destroy silent.mp3")}));
}

TEST(FakeAudioPlayer, ReportsScriptedValues)
{
    FakeAudioScript script;
    script.duration = 12345;
    script.capabilities = kCanGetDuration;
    script.timeFormat = QStringLiteral("{00000000-0000-0000-0000-000000000000}");
    auto p = script.factory()(QStringLiteral("a.wav"), 3, {});
    EXPECT_EQ(p->Duration(), 12345);
    EXPECT_EQ(p->Capabilities(), kCanGetDuration);
    EXPECT_EQ(p->GetTimeFormat(), script.timeFormat);
    EXPECT_EQ(p->FileName(), QStringLiteral("a.wav"));
    EXPECT_EQ(script.current->DeviceIndex(), 3);
}

TEST(FakeAudioPlayer, PositionsAndRanges)
{
    FakeAudioScript script;
    script.duration = 1000;
    auto p = script.factory()(QStringLiteral("a.wav"), 0, {});
    FakeAudioPlayer *fake = script.current;
    fake->advance(100);
    EXPECT_EQ(p->GetPosition(), 0) << "time passes only while running";
    p->Play();
    fake->advance(100);
    EXPECT_EQ(p->GetPosition(), 100);
    p->SetPosition(50, kSeekRelative);
    EXPECT_EQ(p->GetPosition(), 150);
    p->SetPosition(5000, kSeekAbsolute);
    EXPECT_EQ(p->GetPosition(), 1000);
    EXPECT_THROW(p->SetPosition(0, 7), EcbAudioPlayError);

    struct Case { int value; bool ok; };
    for (const Case c : {Case{0, true}, Case{-10000, true}, Case{100, false}, Case{-10001, false}}) {
        try {
            p->SetVolume(c.value);
            EXPECT_TRUE(c.ok) << c.value;
            EXPECT_EQ(p->GetVolume(), c.value);
        } catch (const EcbAudioPlayError &e) {
            EXPECT_FALSE(c.ok) << c.value;
            EXPECT_EQ(e.ErrorCode(), kErrorInvalidArgument);
            EXPECT_TRUE(e.message().endsWith(QStringLiteral("\rOne of the parameters is invalid.")));
        }
    }
    EXPECT_THROW(p->SetBalance(10001), EcbAudioPlayError);
    p->SetBalance(-10000);
    EXPECT_EQ(p->GetBalance(), -10000);
}

TEST(FakeAudioPlayer, LoopRestartsAndCallsOnComplete)
{
    FakeAudioScript script;
    int next = 0;
    auto p = script.factory()(QStringLiteral("a.wav"), 0, [&] { ++next; });
    int completes = 0;
    p->OnComplete = [&](IAudioPlayer &) { ++completes; };
    p->SetLoop(true);
    p->Play();
    script.current->advance(500);
    script.current->finish();
    EXPECT_EQ(next, 0);
    EXPECT_EQ(completes, 1);
    EXPECT_EQ(p->GetPosition(), 0);
    EXPECT_EQ(p->State(), kStateRunning);
}

TEST(FakeAudioPlayer, NextSongCallbackMayDestroyThePlayer)
{
    FakeAudioScript script;
    AudioPlayerFactory make = script.factory();
    std::unique_ptr<IAudioPlayer> player;
    int started = 0;
    std::function<void()> next = [&] {
        // What the playback control does: replace the player from inside its callback.
        player = make(QStringLiteral("song%1.mp3").arg(++started), 0, next);
        player->Play();
    };
    player = make(QStringLiteral("song0.mp3"), 0, next);
    player->Play();
    script.current->finish();
    script.current->finish();
    EXPECT_EQ(started, 2);
    EXPECT_EQ(player->FileName(), QStringLiteral("song2.mp3"));
    EXPECT_EQ(script.alive, 1);
    EXPECT_TRUE(script.calls.contains(QStringLiteral("destroy song0.mp3")));
    EXPECT_TRUE(script.calls.contains(QStringLiteral("destroy song1.mp3")));
}
