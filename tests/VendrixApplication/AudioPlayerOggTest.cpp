#include "Platform/AudioTestTone.h"
#include "VendrixApplication/AudioPlayerTestSupport.h"

#include "Tovrane/AudioPlayer.h"

#include "CAudioMPI.h"
#include "CAudioMixer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

using namespace Tovrane;
using namespace Vantorel::Kelm;
using AudioPlayerTestSupport::Callback;
using AudioPlayerTestSupport::Journal;

namespace
{
typedef std::vector<std::string> Lines;

// The player on the real mixer with its silent sink, driven frame by frame as
// the host does: advance the clock, hand out the events, update the state.
class AudioPlayerOgg : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = AudioTestTone::makeFolder("audio-player-");
        ASSERT_FALSE(folder.empty());
        ASSERT_TRUE(AudioTestTone::write(folder + "h_TEST_Line_1.ogg", 17640));          // 400 ms
        ASSERT_TRUE(AudioTestTone::write(folder + "h_TEST_Pop_6.ogg", 2205, 22050, 2));  // 100 ms
        ASSERT_TRUE(AudioTestTone::write(folder + "h_MUSIC_Loop_6.ogg", 8820));         // 200 ms
        std::ofstream(folder + "h_TEST_Broken_6.ogg") << "not a sound";
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
    }

    void frame()
    {
        mixer->AdvanceClock(step);
        now += step;
        mixer->DispatchEvents();
        player->update();
    }

    // Runs frames until the journal has a line; returns the clock then.
    unsigned int runUntilHeard(unsigned int limit)
    {
        while (now < limit)
        {
            frame();
            heard = journal.take();
            if (!heard.empty())
                return now;
        }
        return now;
    }

    Callback* callback(const std::string& name) { return new Callback(journal, name); }

    static std::string folder;
    const unsigned int step = 20;
    unsigned int now = 0;
    Journal journal;
    Lines heard;
    std::shared_ptr<CAudioMixer> mixer;
    std::shared_ptr<IAudioService> previous;
    std::unique_ptr<AudioPlayer> player;
};

std::string AudioPlayerOgg::folder;
}

TEST_F(AudioPlayerOgg, SpokenLineCompletesAtTheFrameItsLengthIsReached)
{
    ASSERT_NE(kNoAudioID, player->playSpeech("h_TEST_Line_1.ogg", callback("line")));
    EXPECT_EQ("h_TEST_Line_1.ogg", player->getCurrentSpeechFile());
    unsigned int at = runUntilHeard(2000);
    EXPECT_EQ(400u, at);
    EXPECT_EQ((Lines{"line 1 1", "line released"}), heard);
    EXPECT_FALSE(player->isSpeechPlaying());
    EXPECT_EQ("", player->getCurrentSpeechFile());
}

TEST_F(AudioPlayerOgg, PollingSeesTheLinePlayUntilItsEnd)
{
    player->playSpeech("h_TEST_Line_1.ogg");
    unsigned int frames = 0;
    while (player->isSpeechPlaying() && frames < 100)
    {
        frame();
        ++frames;
    }
    EXPECT_EQ(400u, now);
}

TEST_F(AudioPlayerOgg, ResampledEffectAndLoopedMusicPlayTogether)
{
    player->playMusic("h_MUSIC_Loop_6.ogg", callback("music"));
    player->playSfx("h_TEST_Pop_6.ogg", callback("pop"));
    EXPECT_EQ(100u, runUntilHeard(2000));
    EXPECT_EQ((Lines{"pop 2 1", "pop released"}), heard);

    // The music loops on and never completes.
    EXPECT_EQ(2000u, runUntilHeard(2000));
    EXPECT_TRUE(player->isMusicPlaying());
    player->stopMusic();
    EXPECT_EQ((Lines{"music 0 2", "music released"}), journal.take());
    EXPECT_FALSE(mixer->IsAudioPlaying());
}

TEST_F(AudioPlayerOgg, ReplacedEffectIsCutOffAndItsLateCompletionIgnored)
{
    player->playSfx("h_TEST_Pop_6.ogg", callback("first"));
    frame();
    player->playSfx("h_TEST_Pop_6.ogg", callback("second"));
    EXPECT_EQ((Lines{"first 2 2", "first released"}), journal.take());
    EXPECT_EQ(120u, runUntilHeard(2000));
    EXPECT_EQ((Lines{"second 2 1", "second released"}), heard);
}

TEST_F(AudioPlayerOgg, MissingAndBrokenFilesStopTheirCallbacksAndTheGameGoesOn)
{
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(kNoAudioID, player->playSfx("h_TEST_Absent_6.ogg", callback("absent")));
    std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, said.find("Could not find file h_TEST_Absent_6.ogg\n"));

    ::testing::internal::CaptureStdout();
    EXPECT_EQ(kNoAudioID, player->playSpeech("h_TEST_Broken_6.ogg", callback("broken")));
    said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, said.find("h_TEST_Broken_6.ogg"));
    EXPECT_NE(std::string::npos, said.find("Could not find file h_TEST_Broken_6.ogg\n"));

    EXPECT_TRUE(journal.take().empty());
    frame();
    EXPECT_EQ((Lines{"absent 2 2", "absent released", "broken 1 2", "broken released"}), journal.take());
}

TEST_F(AudioPlayerOgg, PlayerDestroyedWithACompletionQueuedIsNeverReached)
{
    player->playSfx("h_TEST_Pop_6.ogg", callback("pop"));
    mixer->AdvanceClock(200); // completed; its event waits for the dispatch
    player.reset();
    EXPECT_EQ((Lines{"pop released"}), journal.take());
    EXPECT_EQ(0, mixer->DispatchEvents());
}

TEST_F(AudioPlayerOgg, PausedAudioHoldsTheLine)
{
    player->playSpeech("h_TEST_Line_1.ogg", callback("line"));
    frame();
    player->pauseAllAudio();
    for (int i = 0; i < 50; ++i)
        frame();
    EXPECT_TRUE(journal.take().empty());
    EXPECT_TRUE(player->isSpeechPlaying());
    player->resumeAllAudio();
    unsigned int resumed = now;
    EXPECT_EQ(resumed + 380, runUntilHeard(5000));
}
