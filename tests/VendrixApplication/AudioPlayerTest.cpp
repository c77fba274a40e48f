#include "VendrixApplication/AudioPlayerTestSupport.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/System.h"

#include "CAudioEventMessage.h"
#include "CAudioMPI.h"
#include "CSystemData.h"
#include "IAudioService.h"
#include "IEventListener.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

using namespace Tovrane;
using namespace Vantorel::Kelm;
using AudioPlayerTestSupport::Callback;
using AudioPlayerTestSupport::Journal;

namespace
{
// A platform audio service that plays nothing: files "exist" when the test
// says so, streams play until the test completes or finishes them, and every
// call is written to the journal.
class FakeAudio : public IAudioService
{
public:
    struct Start
    {
        std::string path;
        int priority;
        int volume;
        int pan;
        IEventListener* listener;
        tAudioPayload payload;
        tAudioOptionsFlags flags;
    };

    explicit FakeAudio(Journal& journal) : journal(journal) {}

    void SetMasterVolume(tAudioVolume volume) override { journal.add("master " + std::to_string(volume)); }
    void SetPriorityPolicy(tPriorityPolicy policy) override { journal.add("policy " + std::to_string(policy)); }

    tAudioID StartAudio(const std::string& path, tAudioPriority priority, tAudioVolume volume, tAudioPan pan,
        IEventListener* listener, tAudioPayload payload, tAudioOptionsFlags flags) override
    {
        starts.push_back(Start{path, priority, volume, pan, listener, payload, flags});
        if (!files.count(path))
        {
            journal.add("miss " + path);
            return kNoAudioID;
        }
        tAudioID id = nextID++;
        playing.insert(id);
        listeners[id] = listener;
        payloads[id] = payload;
        journal.add("start " + std::to_string(id) + " " + path);
        return id;
    }

    void StopAudio(tAudioID id, bool) override
    {
        playing.erase(id);
        journal.add("stop " + std::to_string(id));
    }

    bool IsAudioPlaying(tAudioID id) override { return playing.count(id) != 0; }
    bool IsAudioPlaying() override { return !playing.empty(); }

    void SetAudioVolume(tAudioID id, tAudioVolume volume) override
    {
        journal.add("volume " + std::to_string(id) + " " + std::to_string(volume));
    }

    void PauseAudioSystem() override { journal.add("pause"); }
    void ResumeAudioSystem() override { journal.add("resume"); }

    // The stream ends by itself and its completion reaches its listener.
    void complete(tAudioID id)
    {
        playing.erase(id);
        CAudioEventMessage message(kAudioCompletedEvent, id, payloads[id]);
        listeners.at(id)->Notify(message);
    }

    // The stream ends; its completion has not been delivered yet.
    void finish(tAudioID id) { playing.erase(id); }

    Journal& journal;
    std::set<std::string> files;
    std::vector<Start> starts;
    std::set<tAudioID> playing;
    std::map<tAudioID, IEventListener*> listeners;
    std::map<tAudioID, tAudioPayload> payloads;
    tAudioID nextID = 100;
};

typedef std::vector<std::string> Lines;

class AudioPlayerRules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fake = std::make_shared<FakeAudio>(journal);
        previous = CAudioMPI::SetService(fake);
        AudioPlayer::musicVolume = 45;
        universal = CSystemData::Instance()->GetUniversalAudioPath().raw();
        title = System::getPath() + "audio/";
    }

    void TearDown() override
    {
        player.reset();
        CAudioMPI::SetService(previous);
        AudioPlayer::musicVolume = 45;
    }

    AudioPlayer& make()
    {
        player.reset(new AudioPlayer);
        return *player;
    }

    // A file the title's audio folder holds.
    std::string titleFile(const std::string& name)
    {
        fake->files.insert(title + name);
        return name;
    }

    Callback* callback(const std::string& name, Callback::Action action = Callback::Action())
    {
        return new Callback(journal, name, action);
    }

    Journal journal;
    std::shared_ptr<FakeAudio> fake;
    std::shared_ptr<IAudioService> previous;
    std::unique_ptr<AudioPlayer> player;
    std::string universal;
    std::string title;
};

std::string id(AudioPlayer::tAudioID value) { return std::to_string(value); }
}

TEST_F(AudioPlayerRules, ChannelsStartWithTheirPriorityVolumeAndOptions)
{
    AudioPlayer& audio = make();
    audio.playMusic(titleFile("h_MUSIC_Map_6.ogg"));
    audio.playSpeech(titleFile("h_SCRIVLET_Hello_1.ogg"));
    audio.playSfx(titleFile("h_SX_Pop_6.ogg"));
    ASSERT_EQ(3u, fake->starts.size());

    const FakeAudio::Start& music = fake->starts[0];
    EXPECT_EQ(title + "h_MUSIC_Map_6.ogg", music.path);
    EXPECT_EQ(201, music.priority);
    EXPECT_EQ(45, music.volume);
    EXPECT_EQ(0x40000000u, music.payload);
    EXPECT_EQ(3u, music.flags);

    const FakeAudio::Start& speech = fake->starts[1];
    EXPECT_EQ(101, speech.priority);
    EXPECT_EQ(127, speech.volume);
    EXPECT_EQ(0u, speech.payload);
    EXPECT_EQ(1u, speech.flags);

    const FakeAudio::Start& sfx = fake->starts[2];
    EXPECT_EQ(51, sfx.priority);
    EXPECT_EQ(127, sfx.volume);
    EXPECT_EQ(1u, sfx.flags);

    for (const FakeAudio::Start& start : fake->starts)
    {
        EXPECT_EQ(0, start.pan);
        EXPECT_NE(nullptr, start.listener);
        EXPECT_EQ(fake->starts[0].listener, start.listener) << "one listener per player";
    }
    EXPECT_TRUE(audio.isMusicPlaying());
    EXPECT_TRUE(audio.isSpeechPlaying());
    EXPECT_TRUE(audio.isSfxPlaying());
}

TEST_F(AudioPlayerRules, FoldersAreSearchedFromTheLastAddedBackToTheSharedOne)
{
    AudioPlayer& audio = make();
    audio.addAudioPath("/downloads/task7/audio/");
    fake->files.insert(universal + "h_SX_Shared_6.ogg");
    AudioPlayer::tAudioID shared = audio.playSfx("h_SX_Shared_6.ogg");
    ASSERT_EQ(3u, fake->starts.size());
    EXPECT_EQ("/downloads/task7/audio/h_SX_Shared_6.ogg", fake->starts[0].path);
    EXPECT_EQ(title + "h_SX_Shared_6.ogg", fake->starts[1].path);
    EXPECT_EQ(universal + "h_SX_Shared_6.ogg", fake->starts[2].path);
    EXPECT_NE(kNoAudioID, shared);
    EXPECT_TRUE(audio.isSfxPlaying());

    // Present in the added folder and the title's: the added one wins.
    fake->starts.clear();
    fake->files.insert("/downloads/task7/audio/h_ROSA_Line_3.ogg");
    titleFile("h_ROSA_Line_3.ogg");
    audio.playSpeech("h_ROSA_Line_3.ogg");
    ASSERT_EQ(1u, fake->starts.size());
    EXPECT_EQ("/downloads/task7/audio/h_ROSA_Line_3.ogg", fake->starts[0].path);
}

TEST_F(AudioPlayerRules, BuiltInSoundsNameTheirFiles)
{
    AudioPlayer& audio = make();
    const char* names[] = {"h_KROM_WrongAnswerSfx_6.ogg", "h_KROM_DeadClickSfx_6.ogg",
        "h_KROM_CorrectAnswerSfx_6.ogg", "h_KROM_AchievementNtfctnSfx_6.ogg", "h_KROM_LimitSfx_6.ogg"};
    for (int sound = 0; sound < 5; ++sound)
    {
        titleFile(names[sound]);
        audio.playSfx(static_cast<BaseAudio::Type>(sound));
        EXPECT_EQ(title + names[sound], fake->starts.back().path);
        EXPECT_EQ(51, fake->starts.back().priority);
    }

    // Any other value names no file: nothing starts, the channel is idle and
    // its callback waits for the next start or stop.
    size_t before = fake->starts.size();
    audio.playSfx(static_cast<BaseAudio::Type>(5), callback("none"));
    EXPECT_EQ(before, fake->starts.size());
    EXPECT_FALSE(audio.isSfxPlaying());
    audio.update();
    journal.take();
    audio.stopSfx();
    EXPECT_EQ((Lines{"none 2 2", "none released"}), journal.take());
}

TEST_F(AudioPlayerRules, EmptyNameStartsNothingAndReportsNothing)
{
    AudioPlayer& audio = make();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(kNoAudioID, audio.playSpeech("", callback("quiet")));
    audio.update();
    EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
    EXPECT_TRUE(fake->starts.empty());
    EXPECT_TRUE(journal.take().empty());
    EXPECT_EQ("", audio.getCurrentSpeechFile());
}

TEST_F(AudioPlayerRules, MissingFileIsReportedAndItsCallbackHearsStoppedAtTheNextUpdate)
{
    AudioPlayer& audio = make();
    ::testing::internal::CaptureStdout();
    AudioPlayer::tAudioID result = audio.playSfx("h_SX_Nowhere_6.ogg", callback("lost"));
    EXPECT_EQ("Could not find file h_SX_Nowhere_6.ogg\n", ::testing::internal::GetCapturedStdout());
    EXPECT_EQ(kNoAudioID, result);
    EXPECT_EQ(2u, fake->starts.size()) << "both default folders were tried";
    journal.take();

    audio.update();
    EXPECT_EQ((Lines{"lost 2 2", "lost released"}), journal.take());
    audio.update();
    audio.stopSfx();
    EXPECT_TRUE(journal.take().empty()) << "called once only";

    // A new start on the channel clears the report before the update.
    ::testing::internal::CaptureStdout();
    audio.playSpeech("h_SCRIVLET_Gone_1.ogg", callback("first"));
    ::testing::internal::GetCapturedStdout();
    AudioPlayer::tAudioID line = audio.playSpeech(titleFile("h_SCRIVLET_Here_1.ogg"), callback("second"));
    journal.take();
    audio.update();
    EXPECT_TRUE(journal.take().empty());
    fake->complete(line);
    audio.update();
    EXPECT_EQ((Lines{"second 1 1", "second released"}), journal.take());
}

TEST_F(AudioPlayerRules, NewLineStopsTheOldOneAndTellsItsCallbackBeforeStarting)
{
    AudioPlayer& audio = make();
    AudioPlayer::tAudioID first = audio.playSpeech(titleFile("h_SCRIVLET_One_1.ogg"), callback("one"));
    journal.take();
    AudioPlayer::tAudioID second = audio.playSpeech(titleFile("h_SCRIVLET_Two_1.ogg"), callback("two"));
    EXPECT_EQ((Lines{"stop " + id(first), "one 1 2", "one released", "start " + id(second) + " " + title +
                         "h_SCRIVLET_Two_1.ogg"}),
        journal.take());

    // The old line's completion comes late: it matches no channel.
    fake->complete(first);
    audio.update();
    EXPECT_TRUE(journal.take().empty());
    EXPECT_EQ("h_SCRIVLET_Two_1.ogg", audio.getCurrentSpeechFile());

    fake->complete(second);
    EXPECT_TRUE(journal.take().empty()) << "callbacks wait for the update";
    audio.update();
    EXPECT_EQ((Lines{"two 1 1", "two released"}), journal.take());
    audio.update();
    audio.stopSpeech();
    EXPECT_TRUE(journal.take().empty());
}

TEST_F(AudioPlayerRules, LoopedMusicHearsStoppedAndCompletedOnlyWhenReported)
{
    AudioPlayer& audio = make();
    AudioPlayer::tAudioID music = audio.playMusic(titleFile("h_MUSIC_Map_6.ogg"), callback("map"));
    journal.take();
    audio.stopMusic();
    EXPECT_EQ((Lines{"stop " + id(music), "map 0 2", "map released"}), journal.take());
    audio.stopMusic();
    EXPECT_TRUE(journal.take().empty()) << "a stopped stream is not stopped again";

    music = audio.playMusic(titleFile("h_MUSIC_Town_6.ogg"), callback("town"));
    audio.update();
    journal.take();
    fake->complete(music);
    audio.update();
    EXPECT_EQ((Lines{"town 0 1", "town released"}), journal.take());
}

TEST_F(AudioPlayerRules, OneFramesCompletionsRunMusicThenEffectsThenSpeech)
{
    AudioPlayer& audio = make();
    AudioPlayer::tAudioID speech = audio.playSpeech(titleFile("h_SCRIVLET_Hi_1.ogg"), callback("speech"));
    AudioPlayer::tAudioID sfx = audio.playSfx(titleFile("h_SX_Ding_6.ogg"), callback("sfx"));
    AudioPlayer::tAudioID music = audio.playMusic(titleFile("h_MUSIC_End_6.ogg"), callback("music"));
    journal.take();
    fake->complete(speech);
    fake->complete(sfx);
    fake->complete(music);
    audio.update();
    EXPECT_EQ((Lines{"music 0 1", "music released", "sfx 2 1", "sfx released", "speech 1 1", "speech released"}),
        journal.take());
}

TEST_F(AudioPlayerRules, CompletionWithoutCallbackIsClearedAndARestartClearsAPendingOne)
{
    AudioPlayer& audio = make();
    AudioPlayer::tAudioID first = audio.playSfx(titleFile("h_SX_A_6.ogg"));
    fake->complete(first);
    audio.update();
    audio.playSfx(titleFile("h_SX_B_6.ogg"), callback("b"));
    audio.update();
    journal.take();
    audio.update();
    EXPECT_TRUE(journal.take().empty()) << "no completion left over";

    // Completed, then restarted before the update: the new sound's callback
    // must not hear the old completion.
    AudioPlayer::tAudioID c = audio.playSfx(titleFile("h_SX_C_6.ogg"), callback("c"));
    fake->complete(c);
    audio.playSfx(titleFile("h_SX_D_6.ogg"), callback("d"));
    journal.take();
    audio.update();
    EXPECT_TRUE(journal.take().empty());
    EXPECT_TRUE(audio.isSfxPlaying());
}

TEST_F(AudioPlayerRules, UnknownCompletionsAndOtherEventsAreIgnored)
{
    AudioPlayer& audio = make();
    audio.playSpeech(titleFile("h_SCRIVLET_Hi_1.ogg"), callback("line"));
    IEventListener* listener = fake->starts[0].listener;
    journal.take();

    CAudioEventMessage stranger(kAudioCompletedEvent, 9999, 0);
    EXPECT_EQ(1, listener->Notify(stranger));
    CAudioEventMessage none(kAudioCompletedEvent, kNoAudioID, 0);
    listener->Notify(none);
    IEventMessage other(0x10000402u);
    EXPECT_EQ(0, listener->Notify(other));
    audio.update();
    EXPECT_TRUE(journal.take().empty());
    EXPECT_TRUE(listener->IsListeningTo(kAudioCompletedEvent));
}

TEST_F(AudioPlayerRules, StopAllAudioCallsNoCallbackAndDestructionReleasesThemUncalled)
{
    AudioPlayer& audio = make();
    AudioPlayer::tAudioID music = audio.playMusic(titleFile("h_MUSIC_A_6.ogg"), callback("music"));
    AudioPlayer::tAudioID speech = audio.playSpeech(titleFile("h_SCRIVLET_B_1.ogg"), callback("speech"));
    AudioPlayer::tAudioID sfx = audio.playSfx(titleFile("h_SX_C_6.ogg"), callback("sfx"));
    journal.take();
    audio.stopAllAudio();
    EXPECT_EQ((Lines{"stop " + id(music), "stop " + id(speech), "stop " + id(sfx)}), journal.take());
    audio.update();
    EXPECT_TRUE(journal.take().empty());

    audio.stopSpeech();
    EXPECT_EQ((Lines{"speech 1 2", "speech released"}), journal.take());

    player.reset();
    Lines lines = journal.take();
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ((Lines{"stop " + id(music), "stop " + id(speech), "stop " + id(sfx)}),
        (Lines{lines.begin(), lines.begin() + 3}))
        << "the destructor stops its three streams unasked";
    EXPECT_EQ((std::set<std::string>{"music released", "sfx released"}),
        (std::set<std::string>{lines.begin() + 3, lines.end()}))
        << "and frees the waiting callbacks uncalled";
}

TEST_F(AudioPlayerRules, CallbackThatStartsItsOwnChannelAgainKeepsItsNewCallback)
{
    AudioPlayer& audio = make();
    titleFile("h_SCRIVLET_Next_1.ogg");
    AudioPlayer::tAudioID next = kNoAudioID;
    AudioPlayer::tAudioID first = audio.playSpeech(titleFile("h_SCRIVLET_First_1.ogg"),
        callback("first", [&](const AudioEventArgs& args) {
            if (args.notification == AudioNotification::Completed)
                next = audio.playSpeech("h_SCRIVLET_Next_1.ogg", callback("next"));
        }));
    fake->complete(first);
    journal.take();
    audio.update();
    Lines lines = journal.take();
    ASSERT_NE(kNoAudioID, next);
    EXPECT_EQ((Lines{"first 1 1", "start " + id(next) + " " + title + "h_SCRIVLET_Next_1.ogg", "first released"}),
        lines);
    EXPECT_TRUE(audio.isSpeechPlaying());

    fake->complete(next);
    audio.update();
    EXPECT_EQ((Lines{"next 1 1", "next released"}), journal.take());
}

TEST_F(AudioPlayerRules, CutOffCallbackThatRestartsItsChannelIsCutOffInTurn)
{
    AudioPlayer& audio = make();
    titleFile("h_SCRIVLET_Retry_1.ogg");
    audio.playSpeech(titleFile("h_SCRIVLET_A_1.ogg"), callback("a", [&](const AudioEventArgs& args) {
        if (args.notification == AudioNotification::Stopped)
            audio.playSpeech("h_SCRIVLET_Retry_1.ogg", callback("retry"));
    }));
    AudioPlayer::tAudioID b = audio.playSpeech(titleFile("h_SCRIVLET_B_1.ogg"), callback("b"));
    Lines lines = journal.take();
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "retry 1 2"));
    EXPECT_EQ((std::set<AudioPlayer::tAudioID>{b}), fake->playing) << "no stream is left behind";
    EXPECT_EQ("h_SCRIVLET_B_1.ogg", audio.getCurrentSpeechFile());
    fake->complete(b);
    audio.update();
    EXPECT_EQ((Lines{"b 1 1", "b released"}), journal.take());
}

TEST_F(AudioPlayerRules, SpeechFileNameLastsAsLongAsTheLine)
{
    AudioPlayer& audio = make();
    EXPECT_EQ("", audio.getCurrentSpeechFile());
    AudioPlayer::tAudioID line = audio.playSpeech(titleFile("h_SCRIVLET_Story_4.ogg"));
    EXPECT_EQ("h_SCRIVLET_Story_4.ogg", audio.getCurrentSpeechFile());
    fake->finish(line);
    EXPECT_EQ("", audio.getCurrentSpeechFile());
    EXPECT_FALSE(audio.isSpeechPlaying());
}

TEST_F(AudioPlayerRules, MusicVolumeReachesPlayingMusicAndEveryLaterStart)
{
    AudioPlayer& audio = make();
    audio.setMusicVolume(50);
    // The shared service may be set up by this first use (master volume and
    // policy); nothing else may reach it.
    Lines lines = journal.take();
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& line) {
                                   return line.rfind("master ", 0) == 0 || line.rfind("policy ", 0) == 0;
                               }),
                lines.end());
    EXPECT_TRUE(lines.empty()) << "no music plays: nothing to change";
    AudioPlayer other;
    AudioPlayer::tAudioID music = other.playMusic(titleFile("h_MUSIC_Menu_6.ogg"));
    EXPECT_EQ(50, fake->starts.back().volume);

    AudioPlayer::tAudioID mine = audio.playMusic(titleFile("h_MUSIC_Map_6.ogg"));
    journal.take();
    audio.setMusicVolume(60);
    EXPECT_EQ((Lines{"volume " + id(mine) + " 60"}), journal.take());
    EXPECT_EQ(60, AudioPlayer::musicVolume.load());
    (void)music;
}

TEST_F(AudioPlayerRules, PauseResumeAndAnyStreamGoToTheWholeService)
{
    AudioPlayer& audio = make();
    EXPECT_FALSE(audio.isAudioPlaying());
    AudioPlayer other;
    AudioPlayer::tAudioID id = other.playSfx(titleFile("h_SX_A_6.ogg"));
    EXPECT_TRUE(audio.isAudioPlaying()) << "any stream of the process";
    EXPECT_TRUE(audio.isAudioPlaying(id));
    journal.take();
    audio.pauseAllAudio();
    audio.resumeAllAudio();
    EXPECT_EQ((Lines{"pause", "resume"}), journal.take());
}

TEST_F(AudioPlayerRules, MemberFunctionCallbacks)
{
    struct Listener
    {
        void heard(const AudioEventArgs& args) { heardArgs.push_back(args.notification); }
        std::vector<int> heardArgs;
    } listener;
    AudioPlayer& audio = make();
    AudioPlayer::tAudioID line = audio.playSpeech(titleFile("h_SCRIVLET_Hi_1.ogg"),
        new AudioPlayer::AudioEvent::MethodDelegate<Listener>(&listener, &Listener::heard));
    fake->complete(line);
    audio.update();
    EXPECT_EQ((std::vector<int>{1}), listener.heardArgs);
}

namespace
{
// Makes the service through the player on a fake; exits 0 when it was made
// once, with full master volume and priority policy 1.
void makeServiceAndExit()
{
    Journal journal;
    CAudioMPI::SetService(std::make_shared<FakeAudio>(journal));
    boost::shared_ptr<CAudioMPI> first = AudioPlayer::getInstance();
    boost::shared_ptr<CAudioMPI> second = AudioPlayer::getInstance();
    bool ok = first && first == second && journal.take() == Lines{"master 127", "policy 1"};
    std::exit(ok ? 0 : 1);
}
}

// Run in a fresh process, so that the service is surely made there.
TEST(AudioPlayerDeathTest, ServiceIsMadeOnceWithFullVolumeAndPolicyOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(makeServiceAndExit(), ::testing::ExitedWithCode(0), "");
}
