#include "Platform/AudioTestTone.h"

#include "Tovrane/AudioPlayer.h"

#include "CAudioMPI.h"
#include "CAudioMixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

using namespace Tovrane;
using namespace Vantorel::Kelm;

namespace
{
// Counts its calls and its release.
class Counted : public AudioPlayer::BaseDelegate
{
public:
    Counted(std::atomic<int>& calls, std::atomic<int>& released, std::atomic<int>& repeated)
        : calls(calls), released(released), repeated(repeated)
    {
    }
    ~Counted() override { ++released; }
    void operator()(const AudioEventArgs&) override
    {
        if (called++)
            ++repeated;
        ++calls;
    }

private:
    std::atomic<int>& calls;
    std::atomic<int>& released;
    std::atomic<int>& repeated;
    int called = 0;
};

// A loader thread starts, stops and changes volume on the player while the
// main thread runs frames: clock, events and the player's update.
class AudioPlayerThreadTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = AudioTestTone::makeFolder("audio-thread-");
        ASSERT_TRUE(AudioTestTone::write(folder + "h_TEST_Short_1.ogg", 441));  // 10 ms
        ASSERT_TRUE(AudioTestTone::write(folder + "h_TEST_Mid_6.ogg", 2205));   // 50 ms
        ASSERT_TRUE(AudioTestTone::write(folder + "h_MUSIC_Loop_6.ogg", 2205));
    }

    void SetUp() override
    {
        mixer = std::make_shared<CAudioMixer>();
        previous = CAudioMPI::SetService(mixer);
        player.reset(new AudioPlayer);
        player->addAudioPath(folder);
    }

    void TearDown() override
    {
        player.reset();
        CAudioMPI::SetService(previous);
        AudioPlayer::musicVolume = 45;
    }

    void frame()
    {
        mixer->AdvanceClock(10);
        mixer->DispatchEvents();
        player->update();
    }

    static std::string folder;
    std::shared_ptr<CAudioMixer> mixer;
    std::shared_ptr<IAudioService> previous;
    std::unique_ptr<AudioPlayer> player;
};

std::string AudioPlayerThreadTest::folder;
}

TEST_F(AudioPlayerThreadTest, LoaderCallsWhileTheMainThreadUpdates)
{
    std::atomic<int> calls(0), released(0), repeated(0);
    std::atomic<bool> loading(true);
    const int rounds = 300;

    std::thread loader([&]() {
        for (int i = 0; i < rounds; ++i)
        {
            if (i % 50 == 0)
                player->playMusic("h_MUSIC_Loop_6.ogg");
            player->setMusicVolume(static_cast<std::uint8_t>(30 + i % 31));
            player->playSpeech("h_TEST_Short_1.ogg", new Counted(calls, released, repeated));
            player->playSfx(i % 7 == 0 ? "h_TEST_Missing_6.ogg" : "h_TEST_Mid_6.ogg",
                new Counted(calls, released, repeated));
            player->isSpeechPlaying();
            player->getCurrentSpeechFile();
            if (i % 11 == 0)
                player->stopSfx();
            std::this_thread::yield();
        }
        loading = false;
    });

    ::testing::internal::CaptureStdout();
    while (loading)
        frame();
    loader.join();
    for (int i = 0; i < 20; ++i)
        frame();
    ::testing::internal::GetCapturedStdout();

    player->stopMusic();
    EXPECT_FALSE(mixer->IsAudioPlaying()) << "no stream was left behind by racing starts";
    player.reset();
    EXPECT_EQ(2 * rounds, released.load()) << "every callback is freed once";
    EXPECT_EQ(2 * rounds, calls.load()) << "every callback heard how its sound ended";
    EXPECT_EQ(0, repeated.load()) << "no callback was called twice";
}

TEST_F(AudioPlayerThreadTest, TwoThreadsRestartingOneChannelLeaveOneStream)
{
    std::atomic<int> calls(0), released(0), repeated(0);
    auto restart = [&]() {
        for (int i = 0; i < 200; ++i)
        {
            player->playSpeech("h_TEST_Mid_6.ogg", new Counted(calls, released, repeated));
            player->playMusic("h_MUSIC_Loop_6.ogg");
        }
    };
    std::thread other(restart);
    restart();
    other.join();

    EXPECT_TRUE(player->isSpeechPlaying());
    EXPECT_TRUE(player->isMusicPlaying());
    player->stopSpeech();
    player->stopMusic();
    EXPECT_FALSE(mixer->IsAudioPlaying()) << "each channel holds one stream";
    EXPECT_EQ(400, calls.load());
    EXPECT_EQ(400, released.load());
    EXPECT_EQ(0, repeated.load());
}
