#include "Platform/AudioTestTone.h"

#include "CAudioEventMessage.h"
#include "CAudioMPI.h"
#include "CAudioMixer.h"
#include "IEventListener.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

using namespace Vantorel::Kelm;

namespace
{
const tEventType allAudio[] = {kAllAudioEvents};

// Records every message it is handed.
class Recorder : public IEventListener
{
public:
    Recorder() : IEventListener(allAudio, 1) {}
    explicit Recorder(tEventType only) : IEventListener(&only, 1) {}

    tEventStatus Notify(const IEventMessage& message) override
    {
        const CAudioEventMessage* audio = dynamic_cast<const CAudioEventMessage*>(&message);
        types.push_back(message.GetEventType());
        ids.push_back(audio ? audio->GetAudioID() : kNoAudioID);
        payloads.push_back(audio ? audio->GetPayload() : 0);
        return kEventStatusOKConsumed;
    }

    std::vector<tEventType> types;
    std::vector<tAudioID> ids;
    std::vector<tAudioPayload> payloads;
};

const tAudioOptionsFlags once = kAudioOptionsDoneMsgAfterComplete;
const tAudioOptionsFlags looped = kAudioOptionsDoneMsgAfterComplete | kAudioOptionsLooped;

class AudioMixer : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = AudioTestTone::makeFolder("audio-mixer-");
        ASSERT_FALSE(folder.empty());
        ASSERT_TRUE(AudioTestTone::write(folder + "tone500.ogg", 22050));        // 500 ms at 44100
        ASSERT_TRUE(AudioTestTone::write(folder + "tone300.ogg", 6615, 22050, 2)); // 300 ms at 22050, stereo
        ASSERT_TRUE(AudioTestTone::write(folder + "tone100.ogg", 4410));         // 100 ms
        ASSERT_TRUE(AudioTestTone::write(folder + "tone1s.ogg", 44100));
        ASSERT_TRUE(AudioTestTone::write(folder + "empty.ogg", 0));
        ASSERT_TRUE(AudioTestTone::write(folder + "noise3s.ogg", 3 * 44100, 44100, 1, 0.0f));
    }

    // Advances the sink in frames of step ms and dispatches after each, until
    // an event arrives or limit ms have passed; returns the clock at arrival
    // (or past the limit).
    unsigned int runUntilEvent(CAudioMixer& mixer, Recorder& recorder, unsigned int step, unsigned int limit)
    {
        unsigned int now = 0;
        while (now <= limit)
        {
            mixer.AdvanceClock(step);
            now += step;
            mixer.DispatchEvents();
            if (!recorder.ids.empty())
                return now;
        }
        return now;
    }

    std::string path(const char* name) { return folder + name; }

    static std::string folder;
    CAudioMixer mixer;
    Recorder recorder;
};

std::string AudioMixer::folder;
}

TEST_F(AudioMixer, OneShotCompletesWhenItsLastSampleHasPlayedAndNotBefore)
{
    tAudioID id = mixer.StartAudio(path("tone500.ogg"), 101, 127, 0, &recorder, 7, once);
    ASSERT_NE(kNoAudioID, id);

    mixer.AdvanceClock(490);
    mixer.DispatchEvents();
    EXPECT_TRUE(recorder.ids.empty());
    EXPECT_TRUE(mixer.IsAudioPlaying(id));

    mixer.AdvanceClock(10);
    EXPECT_FALSE(mixer.IsAudioPlaying(id));
    EXPECT_TRUE(recorder.ids.empty()) << "events wait for DispatchEvents";
    EXPECT_EQ(1, mixer.DispatchEvents());
    ASSERT_EQ(1u, recorder.ids.size());
    EXPECT_EQ(kAudioCompletedEvent, recorder.types[0]);
    EXPECT_EQ(id, recorder.ids[0]);
    EXPECT_EQ(7u, recorder.payloads[0]);

    EXPECT_EQ(0, mixer.DispatchEvents()) << "a completion is handed out once";
}

TEST_F(AudioMixer, ResampledStereoToneLastsItsOwnLength)
{
    tAudioID id = mixer.StartAudio(path("tone300.ogg"), 51, 127, 0, &recorder, 0, once);
    ASSERT_NE(kNoAudioID, id);
    EXPECT_EQ(300u, runUntilEvent(mixer, recorder, 10, 2000));
    ASSERT_EQ(1u, recorder.ids.size());
    EXPECT_EQ(id, recorder.ids[0]);
}

TEST_F(AudioMixer, CompletionsFollowTheirLengthsWithSeveralStreams)
{
    tAudioID shortID = mixer.StartAudio(path("tone100.ogg"), 51, 127, 0, &recorder, 0, once);
    tAudioID longID = mixer.StartAudio(path("tone500.ogg"), 101, 127, 0, &recorder, 0, once);
    EXPECT_EQ(100u, runUntilEvent(mixer, recorder, 20, 2000));
    ASSERT_EQ(1u, recorder.ids.size());
    EXPECT_EQ(shortID, recorder.ids[0]);
    EXPECT_TRUE(mixer.IsAudioPlaying());
    mixer.AdvanceClock(400);
    mixer.DispatchEvents();
    ASSERT_EQ(2u, recorder.ids.size());
    EXPECT_EQ(longID, recorder.ids[1]);
    EXPECT_FALSE(mixer.IsAudioPlaying());
}

TEST_F(AudioMixer, ClockStepsThatDoNotDivideTheRateLoseNoTime)
{
    // 3 ms is 132.3 frames: the remainder must carry over.
    tAudioID id = mixer.StartAudio(path("tone1s.ogg"), 51, 127, 0, &recorder, 0, once);
    ASSERT_NE(kNoAudioID, id);
    unsigned int at = runUntilEvent(mixer, recorder, 3, 3000);
    EXPECT_GE(at, 1000u);
    EXPECT_LT(at, 1003u);
}

TEST_F(AudioMixer, LoopedStreamNeverCompletes)
{
    tAudioID id = mixer.StartAudio(path("tone100.ogg"), 201, 45, 0, &recorder, 0x40000000, looped);
    for (int frame = 0; frame < 100; ++frame)
    {
        mixer.AdvanceClock(33);
        mixer.DispatchEvents();
    }
    EXPECT_TRUE(recorder.ids.empty());
    EXPECT_TRUE(mixer.IsAudioPlaying(id));

    tAudioID empty = mixer.StartAudio(path("empty.ogg"), 201, 45, 0, &recorder, 0, looped);
    ASSERT_NE(kNoAudioID, empty);
    mixer.AdvanceClock(100);
    EXPECT_TRUE(mixer.IsAudioPlaying(empty)) << "an empty looped file plays silence, it does not spin";

    mixer.StopAudio(id, false);
    mixer.StopAudio(empty, false);
    mixer.DispatchEvents();
    EXPECT_FALSE(mixer.IsAudioPlaying());
    EXPECT_TRUE(recorder.ids.empty()) << "stopping sends no completion";
}

TEST_F(AudioMixer, StopSendsNoCompletionEvenLater)
{
    tAudioID id = mixer.StartAudio(path("tone100.ogg"), 51, 127, 0, &recorder, 0, once);
    mixer.AdvanceClock(50);
    mixer.StopAudio(id, false);
    EXPECT_FALSE(mixer.IsAudioPlaying(id));
    mixer.AdvanceClock(500);
    EXPECT_EQ(0, mixer.DispatchEvents());
    mixer.StopAudio(id, false); // a finished or unknown id is harmless
    mixer.StopAudio(kNoAudioID, false);
}

TEST_F(AudioMixer, EmptyOneShotCompletesAtOnce)
{
    tAudioID id = mixer.StartAudio(path("empty.ogg"), 51, 127, 0, &recorder, 0, once);
    ASSERT_NE(kNoAudioID, id);
    mixer.AdvanceClock(1);
    mixer.DispatchEvents();
    ASSERT_EQ(1u, recorder.ids.size());
    EXPECT_EQ(id, recorder.ids[0]);
}

TEST_F(AudioMixer, IdsAreNeverReused)
{
    std::vector<tAudioID> ids;
    for (int i = 0; i < 20; ++i)
    {
        tAudioID id = mixer.StartAudio(path("tone100.ogg"), 51, 127, 0, &recorder, 0, once);
        ASSERT_NE(kNoAudioID, id);
        for (tAudioID earlier : ids)
            EXPECT_NE(earlier, id);
        ids.push_back(id);
        mixer.StopAudio(id, false);
    }
}

TEST_F(AudioMixer, MissingAndBrokenFilesGiveNoIdAndAMessage)
{
    EXPECT_EQ(kNoAudioID, mixer.StartAudio(path("absent.ogg"), 51, 127, 0, &recorder, 0, once));

    {
        std::ofstream out(path("garbage.ogg"), std::ios::binary);
        out << "this is not an Ogg Vorbis file at all, only text that says so";
    }
    {
        std::ofstream out(path("zero.ogg"), std::ios::binary);
    }
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(kNoAudioID, mixer.StartAudio(path("garbage.ogg"), 51, 127, 0, &recorder, 0, once));
    EXPECT_EQ(kNoAudioID, mixer.StartAudio(path("zero.ogg"), 51, 127, 0, &recorder, 0, once));
    std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, said.find("garbage.ogg"));
    EXPECT_NE(std::string::npos, said.find("zero.ogg"));

    EXPECT_FALSE(mixer.IsAudioPlaying());
    mixer.AdvanceClock(100);
    EXPECT_EQ(0, mixer.DispatchEvents());
}

TEST_F(AudioMixer, CutFileEndsEarlyWithoutHarm)
{
    std::ifstream in(path("noise3s.ogg"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 20000u);
    auto cut = [&](size_t keep) {
        std::ofstream out(path("cut.ogg"), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(keep));
    };

    // Half the data: the headers are whole, the sound stops where the data does.
    cut(bytes.size() / 2);
    ::testing::internal::CaptureStdout();
    tAudioID id = mixer.StartAudio(path("cut.ogg"), 51, 127, 0, &recorder, 0, once);
    unsigned int at = id == kNoAudioID ? 0 : runUntilEvent(mixer, recorder, 10, 5000);
    std::string said = ::testing::internal::GetCapturedStdout();
    ASSERT_NE(kNoAudioID, id) << said;
    EXPECT_GT(at, 500u);
    EXPECT_LT(at, 3000u);
    EXPECT_EQ(1u, recorder.ids.size());

    // Cut inside the headers: it cannot be played at all.
    cut(60);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(kNoAudioID, mixer.StartAudio(path("cut.ogg"), 51, 127, 0, &recorder, 0, once));
    EXPECT_NE(std::string::npos, ::testing::internal::GetCapturedStdout().find("cut.ogg"));
}

TEST_F(AudioMixer, OnlyFlaggedStreamsOfInterestedListenersReport)
{
    Recorder other(0x10000801u); // an event of another service
    mixer.StartAudio(path("tone100.ogg"), 51, 127, 0, &recorder, 0, 0);
    mixer.StartAudio(path("tone100.ogg"), 51, 127, 0, &other, 0, once);
    mixer.StartAudio(path("tone100.ogg"), 51, 127, 0, nullptr, 0, once);
    mixer.AdvanceClock(200);
    EXPECT_EQ(0, mixer.DispatchEvents());
    EXPECT_TRUE(recorder.ids.empty());
    EXPECT_TRUE(other.ids.empty());

    Recorder exact(kAudioCompletedEvent);
    mixer.StartAudio(path("tone100.ogg"), 51, 127, 0, &exact, 0, once);
    mixer.AdvanceClock(200);
    EXPECT_EQ(1, mixer.DispatchEvents());
    EXPECT_EQ(1u, exact.ids.size());
}

TEST_F(AudioMixer, DestroyedListenerIsNeverReached)
{
    std::unique_ptr<Recorder> gone(new Recorder);
    mixer.StartAudio(path("tone100.ogg"), 51, 127, 0, gone.get(), 0, once);
    mixer.StartAudio(path("tone500.ogg"), 51, 127, 0, gone.get(), 0, once);
    mixer.StartAudio(path("tone100.ogg"), 51, 127, 0, &recorder, 0, once);
    mixer.AdvanceClock(200); // two completions queued, one for the listener about to go
    gone.reset();
    EXPECT_EQ(1, mixer.DispatchEvents());
    mixer.AdvanceClock(500); // the other stream of the destroyed listener ends silently
    EXPECT_EQ(0, mixer.DispatchEvents());
    EXPECT_EQ(1u, recorder.ids.size());
}

TEST_F(AudioMixer, PauseHoldsEveryStream)
{
    tAudioID id = mixer.StartAudio(path("tone100.ogg"), 51, 127, 0, &recorder, 0, once);
    mixer.AdvanceClock(60);
    mixer.PauseAudioSystem();
    mixer.AdvanceClock(1000);
    mixer.DispatchEvents();
    EXPECT_TRUE(recorder.ids.empty());
    EXPECT_TRUE(mixer.IsAudioPlaying(id)) << "a paused stream still plays";
    mixer.ResumeAudioSystem();
    EXPECT_EQ(40u, runUntilEvent(mixer, recorder, 10, 500));
}

TEST_F(AudioMixer, RealTimeClockCompletesAfterTheToneHasHadItsTime)
{
    mixer.UseRealTimeClock();
    auto started = std::chrono::steady_clock::now();
    tAudioID id = mixer.StartAudio(path("tone300.ogg"), 51, 127, 0, &recorder, 0, once);
    ASSERT_NE(kNoAudioID, id);
    while (recorder.ids.empty() && std::chrono::steady_clock::now() - started < std::chrono::seconds(5))
    {
        mixer.DispatchEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    ASSERT_EQ(1u, recorder.ids.size());
    EXPECT_GE(elapsed.count(), 300);
    mixer.UseVirtualClock();
}

TEST_F(AudioMixer, TitleFaceReachesTheInstalledServiceAndItsDefaultListener)
{
    std::shared_ptr<CAudioMixer> own = std::make_shared<CAudioMixer>();
    std::shared_ptr<IAudioService> before = CAudioMPI::SetService(own);
    {
        CAudioMPI audio(&recorder);
        Recorder direct;
        tAudioID first = audio.StartAudio(Glib::ustring(path("tone100.ogg")), 51, 127, 0, nullptr, 0, once);
        tAudioID second = audio.StartAudio(Glib::ustring(path("tone100.ogg")), 51, 127, 0, &direct, 0, once);
        EXPECT_TRUE(audio.IsAudioPlaying(first));
        EXPECT_TRUE(audio.IsAudioPlaying());
        EXPECT_FALSE(mixer.IsAudioPlaying()) << "the test's own mixer is not the installed one";
        own->AdvanceClock(100);
        own->DispatchEvents();
        ASSERT_EQ(1u, recorder.ids.size());
        EXPECT_EQ(first, recorder.ids[0]);
        ASSERT_EQ(1u, direct.ids.size());
        EXPECT_EQ(second, direct.ids[0]);
    }
    CAudioMPI::SetService(before);
}

// SDL's dummy driver runs a real device thread at the pace of real time.
TEST(AudioDeviceThreadTest, DummyDeviceCompletesAfterTheToneHasPlayed)
{
    std::string folder = AudioTestTone::makeFolder("audio-device-");
    ASSERT_TRUE(AudioTestTone::write(folder + "tone300.ogg", 13230));
    ASSERT_TRUE(AudioTestTone::write(folder + "loop.ogg", 4410));
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    CAudioMixer mixer;
    if (!mixer.OpenDevice())
        GTEST_SKIP() << "SDL's dummy audio driver is not available";
    ASSERT_TRUE(mixer.HasDevice());

    Recorder recorder;
    tAudioID loop = mixer.StartAudio(folder + "loop.ogg", 201, 45, 0, &recorder, 0x40000000, looped);
    auto started = std::chrono::steady_clock::now();
    tAudioID id = mixer.StartAudio(folder + "tone300.ogg", 101, 127, 0, &recorder, 0, once);
    ASSERT_NE(kNoAudioID, id);
    while (recorder.ids.empty() && std::chrono::steady_clock::now() - started < std::chrono::seconds(5))
    {
        mixer.DispatchEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    ASSERT_EQ(1u, recorder.ids.size());
    EXPECT_EQ(id, recorder.ids[0]);
    EXPECT_GE(elapsed.count(), 300);
    EXPECT_TRUE(mixer.IsAudioPlaying(loop));

    // Back to the silent sink: the device closes and the loop goes on there.
    mixer.UseVirtualClock();
    EXPECT_FALSE(mixer.HasDevice());
    mixer.AdvanceClock(1000);
    EXPECT_EQ(0, mixer.DispatchEvents());
    EXPECT_TRUE(mixer.IsAudioPlaying(loop));
}
