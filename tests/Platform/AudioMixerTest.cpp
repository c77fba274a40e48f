#include "support/DataRoot.h"

#include "CAudioEventMessage.h"
#include "CAudioMPI.h"
#include "CAudioMixer.h"
#include "IEventListener.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <thread>
#include <vector>

using namespace Vantorel::Kelm;

namespace
{
const tEventType allAudio[] = {kAllAudioEvents};

// Records the id of every completion it is handed.
class Recorder : public IEventListener
{
public:
    explicit Recorder(const tEventType* types = allAudio) : IEventListener(types, 1) {}
    tEventStatus Notify(const IEventMessage& message) override
    {
        const CAudioEventMessage* audio = dynamic_cast<const CAudioEventMessage*>(&message);
        EXPECT_EQ(kAudioCompletedEvent, message.GetEventType());
        ids.push_back(audio ? audio->GetAudioID() : kNoAudioID);
        payloads.push_back(audio ? audio->GetPayload() : 0);
        return kEventStatusOKConsumed;
    }
    std::vector<tAudioID> ids;
    std::vector<tAudioPayload> payloads;
};

const tAudioOptionsFlags once = kAudioOptionsDoneMsgAfterComplete;
const tAudioOptionsFlags looped = kAudioOptionsDoneMsgAfterComplete | kAudioOptionsLooped;

// Waits on the real clock, dispatching, until the recorder hears something; ms since `started`.
long waitForEvent(CAudioMixer& mixer, Recorder& recorder, std::chrono::steady_clock::time_point started)
{
    while (recorder.ids.empty() && std::chrono::steady_clock::now() - started < std::chrono::seconds(5))
    {
        mixer.DispatchEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
}

class AudioMixer : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = TestSupport::freshFolder("audio-mixer");
        ASSERT_FALSE(folder.empty());
        ASSERT_TRUE(TestSupport::writeOgg(folder + "tone500.ogg", 22050));        // 500 ms at 44100
        ASSERT_TRUE(TestSupport::writeOgg(folder + "tone300.ogg", 6615, 22050, 2)); // 300 ms at 22050, stereo
        ASSERT_TRUE(TestSupport::writeOgg(folder + "tone100.ogg", 4410));
        ASSERT_TRUE(TestSupport::writeOgg(folder + "tone1s.ogg", 44100));
        ASSERT_TRUE(TestSupport::writeOgg(folder + "empty.ogg", 0));
        ASSERT_TRUE(TestSupport::writeOgg(folder + "noise3s.ogg", 3 * 44100, 44100, 1, 0.0));
        // Chained files: parts of other rates and channels joined end to end,
        // each with a serial number of its own. The first part of chain.ogg
        // fits in one page.
        const auto part = [](long frames, int rate, int channels) {
            static unsigned int serial = 10;
            return TovraneTools::encodeOgg(frames, rate, channels, 440.0, false, ++serial);
        };
        std::ofstream(folder + "chain.ogg", std::ios::binary)
            << part(13230, 44100, 2) + part(8000, 8000, 1); // 300 + 1000 ms
        std::ofstream(folder + "chain3.ogg", std::ios::binary)
            << part(4000, 8000, 1) + part(4410, 44100, 2) + part(4410, 22050, 1); // 500 + 100 + 200 ms
    }

    tAudioID start(const char* name, tAudioOptionsFlags flags = once, IEventListener* listener = nullptr)
    {
        return mixer.StartAudio(folder + name, 51, 127, 0, listener ? listener : &recorder, 0, flags);
    }

    // Advances the sink in frames of step ms, dispatching after each, until an
    // event arrives or limit ms have passed; the clock at arrival (or past the limit).
    unsigned int runUntilEvent(unsigned int step, unsigned int limit = 5000)
    {
        unsigned int now = 0;
        while (now <= limit && recorder.ids.empty())
        {
            mixer.AdvanceClock(step);
            now += step;
            mixer.DispatchEvents();
        }
        return now;
    }

    static std::string folder;
    CAudioMixer mixer;
    Recorder recorder;
};

std::string AudioMixer::folder;
}

TEST_F(AudioMixer, OneShotCompletesWhenItsLastSampleHasPlayedAndNotBefore)
{
    tAudioID id = mixer.StartAudio(folder + "tone500.ogg", 101, 127, 0, &recorder, 7, once);
    ASSERT_NE(kNoAudioID, id);
    mixer.AdvanceClock(490);
    mixer.DispatchEvents();
    EXPECT_TRUE(recorder.ids.empty());
    EXPECT_TRUE(mixer.IsAudioPlaying(id));
    mixer.AdvanceClock(10);
    EXPECT_FALSE(mixer.IsAudioPlaying(id));
    EXPECT_TRUE(recorder.ids.empty()) << "events wait for DispatchEvents";
    EXPECT_EQ(1, mixer.DispatchEvents());
    EXPECT_EQ(std::vector<tAudioID>{id}, recorder.ids);
    EXPECT_EQ(7u, recorder.payloads[0]);
    EXPECT_EQ(0, mixer.DispatchEvents()) << "a completion is handed out once";
}

TEST_F(AudioMixer, TonesCompleteAfterTheirOwnLength)
{
    const struct
    {
        const char* file;
        unsigned int step, earliest, latest;
    } cases[] = {
        {"tone300.ogg", 10, 300, 300}, // resampled stereo
        {"tone1s.ogg", 3, 1000, 1002}, // 3 ms is 132.3 frames: the remainder must carry over
        {"empty.ogg", 1, 1, 1},        // an empty one-shot completes at once
        {"chain.ogg", 10, 1300, 1300}, // each part at its own rate
        {"chain3.ogg", 5, 800, 800},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        recorder.ids.clear();
        tAudioID id = start(c.file);
        ASSERT_NE(kNoAudioID, id);
        const unsigned int at = runUntilEvent(c.step);
        EXPECT_GE(at, c.earliest);
        EXPECT_LE(at, c.latest);
        EXPECT_EQ(std::vector<tAudioID>{id}, recorder.ids);
    }

    // Several streams at once each complete after their own length.
    recorder.ids.clear();
    tAudioID shortID = start("tone100.ogg"), longID = start("tone500.ogg");
    EXPECT_EQ(100u, runUntilEvent(20));
    EXPECT_TRUE(mixer.IsAudioPlaying());
    mixer.AdvanceClock(400);
    mixer.DispatchEvents();
    EXPECT_EQ((std::vector<tAudioID>{shortID, longID}), recorder.ids);
    EXPECT_FALSE(mixer.IsAudioPlaying());
}

TEST_F(AudioMixer, LoopedStreamsNeverCompleteAndStoppedOnesStaySilent)
{
    tAudioID loop = start("tone100.ogg", looped), empty = start("empty.ogg", looped), stopped = start("tone100.ogg"),
             chain = start("chain3.ogg", looped); // comes back to its first part's rate at every pass
    ASSERT_NE(kNoAudioID, empty);
    mixer.AdvanceClock(50);
    mixer.StopAudio(stopped, false);
    EXPECT_FALSE(mixer.IsAudioPlaying(stopped));
    for (int frame = 0; frame < 100; ++frame)
    {
        mixer.AdvanceClock(33);
        mixer.DispatchEvents();
    }
    EXPECT_TRUE(mixer.IsAudioPlaying(loop));
    EXPECT_TRUE(mixer.IsAudioPlaying(empty)) << "an empty looped file plays silence, it does not spin";
    EXPECT_TRUE(mixer.IsAudioPlaying(chain));
    mixer.StopAudio(chain, false);
    mixer.StopAudio(loop, false);
    mixer.StopAudio(empty, false);
    mixer.StopAudio(stopped, false); // a finished or unknown id is harmless
    mixer.StopAudio(kNoAudioID, false);
    EXPECT_EQ(0, mixer.DispatchEvents());
    EXPECT_FALSE(mixer.IsAudioPlaying());
    EXPECT_TRUE(recorder.ids.empty()) << "stopping sends no completion";

    std::set<tAudioID> ids = {loop, empty, stopped, chain};
    for (int i = 0; i < 20; ++i)
    {
        tAudioID id = start("tone100.ogg");
        EXPECT_TRUE(ids.insert(id).second) << "ids are never reused";
        mixer.StopAudio(id, false);
    }
}

TEST_F(AudioMixer, MissingBrokenAndCutFilesGiveNoIdAndAMessage)
{
    std::ofstream(folder + "garbage.ogg", std::ios::binary) << "this is not an Ogg Vorbis file, only text";
    std::ofstream(folder + "zero.ogg", std::ios::binary);
    std::ifstream in(folder + "noise3s.ogg", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 20000u);
    std::ofstream(folder + "headers.ogg", std::ios::binary) << bytes.substr(0, 60); // cut inside the headers
    std::ofstream(folder + "half.ogg", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    ASSERT_EQ(0, ::mkfifo((folder + "pipe.ogg").c_str(), 0644));  // never waited on

    ::testing::internal::CaptureStdout();
    for (const char* name : {"absent.ogg", "garbage.ogg", "zero.ogg", "headers.ogg", "pipe.ogg"})
        EXPECT_EQ(kNoAudioID, start(name)) << name;
    // Half the data: the headers are whole, the sound stops where the data does.
    const tAudioID half = start("half.ogg");
    const std::string said = ::testing::internal::GetCapturedStdout();
    for (const char* name : {"garbage.ogg", "zero.ogg", "headers.ogg"})
        EXPECT_NE(std::string::npos, said.find(name)) << name;
    EXPECT_NE(std::string::npos, said.find("pipe.ogg: it is a pipe\n")) << said;
    ASSERT_NE(kNoAudioID, half) << said;
    const unsigned int at = runUntilEvent(10);
    EXPECT_GT(at, 500u);
    EXPECT_LT(at, 3000u);
    EXPECT_EQ(std::vector<tAudioID>{half}, recorder.ids);
}

TEST_F(AudioMixer, OnlyFlaggedStreamsOfInterestedLiveListenersReport)
{
    const tEventType otherService = 0x10000801u, completion = kAudioCompletedEvent;
    Recorder other(&otherService), exact(&completion);
    std::unique_ptr<Recorder> gone(new Recorder);
    start("tone100.ogg", 0);
    start("tone100.ogg", once, &other);
    mixer.StartAudio(folder + "tone100.ogg", 51, 127, 0, nullptr, 0, once);
    start("tone100.ogg", once, &exact);
    start("tone100.ogg", once, gone.get());
    start("tone500.ogg", once, gone.get());
    mixer.AdvanceClock(200); // completions queued, one for the listener about to go
    gone.reset();
    EXPECT_EQ(1, mixer.DispatchEvents());
    EXPECT_EQ(1u, exact.ids.size());
    mixer.AdvanceClock(500); // the other stream of the destroyed listener ends silently
    EXPECT_EQ(0, mixer.DispatchEvents());
    EXPECT_TRUE(recorder.ids.empty());
    EXPECT_TRUE(other.ids.empty());
}

TEST_F(AudioMixer, PauseHoldsEveryStream)
{
    tAudioID id = start("tone100.ogg");
    mixer.AdvanceClock(60);
    mixer.PauseAudioSystem();
    mixer.AdvanceClock(1000);
    mixer.DispatchEvents();
    EXPECT_TRUE(recorder.ids.empty());
    EXPECT_TRUE(mixer.IsAudioPlaying(id)) << "a paused stream still plays";
    mixer.ResumeAudioSystem();
    EXPECT_EQ(40u, runUntilEvent(10));
}

TEST_F(AudioMixer, RealTimeClockCompletesAfterTheToneHasHadItsTime)
{
    mixer.UseRealTimeClock();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_NE(kNoAudioID, start("tone300.ogg"));
    EXPECT_GE(waitForEvent(mixer, recorder, started), 300);
    EXPECT_EQ(1u, recorder.ids.size());
    mixer.UseVirtualClock();
}

TEST_F(AudioMixer, TitleFaceReachesTheInstalledServiceAndItsDefaultListener)
{
    std::shared_ptr<CAudioMixer> own = std::make_shared<CAudioMixer>();
    std::shared_ptr<IAudioService> before = CAudioMPI::SetService(own);
    {
        CAudioMPI audio(&recorder);
        Recorder direct;
        tAudioID first = audio.StartAudio(Glib::ustring(folder + "tone100.ogg"), 51, 127, 0, nullptr, 0, once);
        tAudioID second = audio.StartAudio(Glib::ustring(folder + "tone100.ogg"), 51, 127, 0, &direct, 0, once);
        EXPECT_TRUE(audio.IsAudioPlaying(first));
        EXPECT_FALSE(mixer.IsAudioPlaying()) << "the test's own mixer is not the installed one";
        own->AdvanceClock(100);
        own->DispatchEvents();
        EXPECT_EQ(std::vector<tAudioID>{first}, recorder.ids);
        EXPECT_EQ(std::vector<tAudioID>{second}, direct.ids);
    }
    CAudioMPI::SetService(before);
}

// SDL's dummy driver runs a real device thread at the pace of real time.
TEST(AudioDeviceThreadTest, DummyDeviceCompletesAfterTheToneHasPlayed)
{
    std::string folder = TestSupport::freshFolder("audio-device");
    ASSERT_TRUE(TestSupport::writeOgg(folder + "tone300.ogg", 13230));
    ASSERT_TRUE(TestSupport::writeOgg(folder + "loop.ogg", 4410));
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    CAudioMixer mixer;
    if (!mixer.OpenDevice())
        GTEST_SKIP() << "SDL's dummy audio driver is not available";
    ASSERT_TRUE(mixer.HasDevice());

    Recorder recorder;
    tAudioID loop = mixer.StartAudio(folder + "loop.ogg", 201, 45, 0, &recorder, 0x40000000, looped);
    const auto started = std::chrono::steady_clock::now();
    tAudioID id = mixer.StartAudio(folder + "tone300.ogg", 101, 127, 0, &recorder, 0, once);
    ASSERT_NE(kNoAudioID, id);
    EXPECT_GE(waitForEvent(mixer, recorder, started), 300);
    EXPECT_EQ(std::vector<tAudioID>{id}, recorder.ids);
    EXPECT_TRUE(mixer.IsAudioPlaying(loop));

    // Back to the silent sink: the device closes and the loop goes on there.
    mixer.UseVirtualClock();
    EXPECT_FALSE(mixer.HasDevice());
    mixer.AdvanceClock(1000);
    EXPECT_EQ(0, mixer.DispatchEvents());
    EXPECT_TRUE(mixer.IsAudioPlaying(loop));
}

// Without a sound device the player reads the mixer's one line, not the sound
// libraries' own diagnostics (ALSA prints several when it finds no card).
TEST(AudioDevice, NoDeviceIsOneLine)
{
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    CAudioMixer mixer;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool opened = mixer.OpenDevice();
    const std::string output = testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();
    if (opened)
        GTEST_SKIP() << "this machine has a sound device";
    EXPECT_EQ("", errors);
    EXPECT_EQ(0u, output.find("Audio: no sound device (")) << output;
    EXPECT_EQ(1, std::count(output.begin(), output.end(), '\n')) << output;
}
