// The audio player's rules on a fake platform service, then real Ogg files on
// the mixer's silent sink, then loader threads racing the frames.
#include "support/DataRoot.h"
#include "support/SilentAudio.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/System.h"
#include "Tovrane/Texture.h"

#include "CAudioEventMessage.h"
#include "CAudioMPI.h"
#include "CAudioMixer.h"
#include "CSystemData.h"
#include "IAudioService.h"
#include "IEventListener.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <thread>
#include <utility>

using namespace Tovrane;
using namespace Vantorel::Kelm;

namespace
{
typedef std::vector<std::string> Lines;

// Lines written by the fake service and the callbacks, in order.
using TestSupport::Journal;

// A one-shot callback: writes "<name> <channel> <notification>" when called
// and "<name> released" when the player frees it.
class Callback : public AudioPlayer::BaseDelegate
{
public:
    typedef std::function<void(const AudioEventArgs&)> Action;
    Callback(Journal& journal, const std::string& name, Action action = Action())
        : journal(journal), name(name), action(action)
    {
    }
    ~Callback() override { journal.add(name + " released"); }
    void operator()(const AudioEventArgs& args) override
    {
        journal.add(name + " " + std::to_string(args.type) + " " + std::to_string(args.notification));
        if (action)
            action(args);
    }

private:
    Journal& journal;
    std::string name;
    Action action;
};

// A platform audio service that plays nothing: files "exist" when the test
// says so, streams play until the test completes them, and every call is
// written to the journal.
class FakeAudio : public IAudioService
{
public:
    struct Start
    {
        std::string path;
        int priority, volume, pan;
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
        const tAudioID id = files.count(path) ? nextID++ : kNoAudioID;
        journal.add(id == kNoAudioID ? "miss " + path : "start " + std::to_string(id) + " " + path);
        if (id != kNoAudioID)
        {
            playing.insert(id);
            started.emplace(id, starts.back());
        }
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
        CAudioEventMessage message(kAudioCompletedEvent, id, started.at(id).payload);
        started.at(id).listener->Notify(message);
    }

    Journal& journal;
    std::set<std::string> files;
    std::vector<Start> starts;
    std::map<tAudioID, Start> started;
    std::set<tAudioID> playing;
    tAudioID nextID = 100;
};

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
        player.reset(new AudioPlayer);
        AudioPlayer::getInstance(); // made once per process: its set-up lines are not the test's
        journal.take();
    }
    void TearDown() override
    {
        player.reset();
        CAudioMPI::SetService(previous);
        AudioPlayer::musicVolume = 45;
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

    // Runs steps separated by ';' and returns the journal since the last
    // "take": "music|speech|sfx FILE [CALLBACK]" plays a file of the title
    // (one that exists nowhere when written "?FILE"), "done ID" completes a
    // stream, "update", "stop music|speech|sfx|all", "take" forgets the journal.
    Lines run(const std::string& script)
    {
        std::istringstream steps(script);
        for (std::string step; std::getline(steps, step, ';');)
        {
            std::istringstream words(step);
            std::string verb, file, name;
            words >> verb >> file >> name;
            Callback* heard = name.empty() ? nullptr : callback(name);
            const std::string sound = file.empty() || file[0] != '?' ? titleFile(file) : file.substr(1);
            if (verb == "update")
                player->update();
            else if (verb == "take")
                journal.take();
            else if (verb == "done")
                fake->complete(std::stoi(file));
            else if (verb == "stop")
                file == "music" ? player->stopMusic()
                : file == "speech" ? player->stopSpeech()
                : file == "sfx"    ? player->stopSfx()
                                   : player->stopAllAudio();
            else if (verb == "music")
                player->playMusic(sound, heard);
            else if (verb == "speech")
                player->playSpeech(sound, heard);
            else if (verb == "sfx")
                player->playSfx(sound, heard);
            else
                ADD_FAILURE() << "unknown step " << step;
        }
        return journal.take();
    }

    Journal journal;
    std::shared_ptr<FakeAudio> fake;
    std::shared_ptr<IAudioService> previous;
    std::unique_ptr<AudioPlayer> player;
    std::string universal, title;
};

std::string id(AudioPlayer::tAudioID value) { return std::to_string(value); }
}

TEST_F(AudioPlayerRules, ChannelsStartWithTheirPriorityVolumeAndOptionsAndBuiltInSoundsNameTheirFiles)
{
    player->playMusic(titleFile("h_MUSIC_Map_6.ogg"));
    player->playSpeech(titleFile("h_SCRIVLET_Hello_1.ogg"));
    player->playSfx(titleFile("h_SX_Pop_6.ogg"));
    EXPECT_TRUE(player->isMusicPlaying() && player->isSpeechPlaying() && player->isSfxPlaying());
    for (const char* sound : {"WrongAnswer", "DeadClick", "CorrectAnswer", "AchievementNtfctn", "Limit"})
        titleFile(std::string("h_KROM_") + sound + "Sfx_6.ogg");
    for (int sound = 0; sound < 5; ++sound)
        player->playSfx(static_cast<BaseAudio::Type>(sound));
    // File, priority, volume, payload, flags and pan of each start; one
    // listener for the whole player.
    Lines starts;
    for (const FakeAudio::Start& s : fake->starts)
    {
        char line[160];
        std::snprintf(line, sizeof line, "%s %d %d %lx %lx %d%s", s.path.substr(title.size()).c_str(), s.priority,
                      s.volume, static_cast<unsigned long>(s.payload), static_cast<unsigned long>(s.flags), s.pan,
                      s.listener && s.listener == fake->starts[0].listener ? "" : " (another listener)");
        starts.push_back(line);
    }
    EXPECT_EQ((Lines{"h_MUSIC_Map_6.ogg 201 45 40000000 3 0", "h_SCRIVLET_Hello_1.ogg 101 127 0 1 0",
                     "h_SX_Pop_6.ogg 51 127 0 1 0", "h_KROM_WrongAnswerSfx_6.ogg 51 127 0 1 0",
                     "h_KROM_DeadClickSfx_6.ogg 51 127 0 1 0", "h_KROM_CorrectAnswerSfx_6.ogg 51 127 0 1 0",
                     "h_KROM_AchievementNtfctnSfx_6.ogg 51 127 0 1 0", "h_KROM_LimitSfx_6.ogg 51 127 0 1 0"}),
              starts);

    // Any other value names no file: nothing starts, the channel is idle and
    // its callback waits for the next start or stop.
    player->playSfx(static_cast<BaseAudio::Type>(5), callback("none"));
    EXPECT_EQ(8u, fake->starts.size());
    EXPECT_FALSE(player->isSfxPlaying());
    player->update();
    journal.take();
    player->stopSfx();
    EXPECT_EQ((Lines{"none 2 2", "none released"}), journal.take());
}

TEST_F(AudioPlayerRules, FoldersAreSearchedFromTheLastAddedBackToTheSharedOne)
{
    player->addAudioPath("/downloads/task7/audio/");
    fake->files.insert(universal + "h_SX_Shared_6.ogg");
    EXPECT_NE(kNoAudioID, player->playSfx("h_SX_Shared_6.ogg"));
    EXPECT_EQ((Lines{"miss /downloads/task7/audio/h_SX_Shared_6.ogg", "miss " + title + "h_SX_Shared_6.ogg",
                     "start 100 " + universal + "h_SX_Shared_6.ogg"}),
              journal.take());
    EXPECT_TRUE(player->isSfxPlaying());

    // Present in the added folder and the title's: the added one wins.
    fake->files.insert("/downloads/task7/audio/h_ROSA_Line_3.ogg");
    EXPECT_EQ((Lines{"start 101 /downloads/task7/audio/h_ROSA_Line_3.ogg"}), run("speech h_ROSA_Line_3.ogg"));

    // Added again (the task entered anew), a folder is still searched once, and first.
    player->addAudioPath(title);
    player->addAudioPath("/downloads/task7/audio/");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ((Lines{"miss /downloads/task7/audio/h_SX_Gone_6.ogg", "miss " + title + "h_SX_Gone_6.ogg",
                     "miss " + universal + "h_SX_Gone_6.ogg"}),
              run("stop sfx; take; sfx ?h_SX_Gone_6.ogg"));
    EXPECT_EQ("Could not find file h_SX_Gone_6.ogg\n", ::testing::internal::GetCapturedStdout());
}

TEST_F(AudioPlayerRules, MissingFileIsReportedAndItsCallbackHearsStoppedAtTheNextUpdate)
{
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(kNoAudioID, player->playSpeech("", callback("quiet"))) << "an empty name: nothing at all";
    EXPECT_EQ(Lines{}, run("update"));
    EXPECT_TRUE(fake->starts.empty());
    EXPECT_EQ((Lines{"lost 2 2", "lost released"}), run("sfx ?h_SX_Nowhere_6.ogg lost; take; update"));
    EXPECT_EQ("Could not find file h_SX_Nowhere_6.ogg\n", ::testing::internal::GetCapturedStdout());
    EXPECT_EQ(2u, fake->starts.size()) << "both default folders were tried";
    EXPECT_EQ(Lines{}, run("update; stop sfx")) << "called once only";

    // A new start on the channel clears the report before the update.
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(Lines{}, run("speech ?h_SCRIVLET_Gone_1.ogg first; speech h_SCRIVLET_Here_1.ogg second; take; update"));
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ((Lines{"second 1 1", "second released"}), run("done 100; update"));
}

TEST_F(AudioPlayerRules, NewLineStopsTheOldOneAndTellsItsCallbackBeforeStarting)
{
    EXPECT_EQ((Lines{"stop 100", "one 1 2", "one released", "start 101 " + title + "h_SCRIVLET_Two_1.ogg"}),
              run("speech h_SCRIVLET_One_1.ogg one; take; speech h_SCRIVLET_Two_1.ogg two"));
    // The old line's completion comes late: it matches no channel.
    EXPECT_EQ(Lines{}, run("done 100; update"));
    EXPECT_EQ("h_SCRIVLET_Two_1.ogg", player->getCurrentSpeechFile());
    EXPECT_EQ(Lines{}, run("done 101")) << "callbacks wait for the update";
    EXPECT_EQ("", player->getCurrentSpeechFile()) << "the name lasts as long as the line plays";
    EXPECT_EQ((Lines{"two 1 1", "two released"}), run("update"));
    EXPECT_EQ(Lines{}, run("update; stop speech"));
}

TEST_F(AudioPlayerRules, LoopedMusicIsStoppedOnceAndOneFramesCompletionsRunMusicThenEffectsThenSpeech)
{
    EXPECT_EQ((Lines{"stop 100", "map 0 2", "map released"}), run("music h_MUSIC_Map_6.ogg map; take; stop music"));
    EXPECT_EQ(Lines{}, run("stop music")) << "a stopped stream is not stopped again";
    EXPECT_EQ((Lines{"music 0 1", "music released", "sfx 2 1", "sfx released", "speech 1 1", "speech released"}),
              run("speech h_SCRIVLET_Hi_1.ogg speech; sfx h_SX_Ding_6.ogg sfx; music h_MUSIC_End_6.ogg music; take;"
                  "done 101; done 102; done 103; update"));
}

TEST_F(AudioPlayerRules, CompletionWithoutCallbackIsClearedAndARestartClearsAPendingOne)
{
    EXPECT_EQ(Lines{}, run("sfx h_SX_A_6.ogg; done 100; update; sfx h_SX_B_6.ogg b; update; take; update"))
        << "no completion left over";
    // Completed, then restarted before the update: the new sound's callback
    // must not hear the old completion.
    EXPECT_EQ(Lines{}, run("sfx h_SX_C_6.ogg c; done 102; sfx h_SX_D_6.ogg d; take; update"));
    EXPECT_TRUE(player->isSfxPlaying());
}

TEST_F(AudioPlayerRules, UnknownCompletionsAndOtherEventsAreIgnored)
{
    player->playSpeech(titleFile("h_SCRIVLET_Hi_1.ogg"), callback("line"));
    IEventListener* listener = fake->starts[0].listener;
    journal.take();
    CAudioEventMessage stranger(kAudioCompletedEvent, 9999, 0);
    EXPECT_EQ(1, listener->Notify(stranger));
    CAudioEventMessage none(kAudioCompletedEvent, kNoAudioID, 0);
    listener->Notify(none);
    IEventMessage other(0x10000402u);
    EXPECT_EQ(0, listener->Notify(other));
    player->update();
    EXPECT_TRUE(journal.take().empty());
    EXPECT_TRUE(listener->IsListeningTo(kAudioCompletedEvent));
}

TEST_F(AudioPlayerRules, StopAllAudioCallsNoCallbackAndDestructionReleasesThemUncalled)
{
    const Lines stops{"stop 100", "stop 101", "stop 102"};
    EXPECT_EQ(stops, run("music h_MUSIC_A_6.ogg music; speech h_SCRIVLET_B_1.ogg speech; sfx h_SX_C_6.ogg sfx; take;"
                         "stop all; update"));
    EXPECT_EQ((Lines{"speech 1 2", "speech released"}), run("stop speech"));
    player.reset();
    Lines lines = journal.take();
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ(stops, Lines(lines.begin(), lines.begin() + 3)) << "the destructor stops its three streams unasked";
    EXPECT_EQ((std::set<std::string>{"music released", "sfx released"}),
              std::set<std::string>(lines.begin() + 3, lines.end()))
        << "and frees the waiting callbacks uncalled";
}

TEST_F(AudioPlayerRules, CallbacksThatStartTheirOwnChannelAgain)
{
    titleFile("h_SCRIVLET_Next_1.ogg");
    AudioPlayer::tAudioID next = kNoAudioID;
    AudioPlayer::tAudioID first = player->playSpeech(titleFile("h_SCRIVLET_First_1.ogg"),
        callback("first", [&](const AudioEventArgs& args) {
            if (args.notification == AudioNotification::Completed)
                next = player->playSpeech("h_SCRIVLET_Next_1.ogg", callback("next"));
        }));
    fake->complete(first);
    journal.take();
    player->update();
    Lines lines = journal.take();
    ASSERT_NE(kNoAudioID, next);
    EXPECT_EQ((Lines{"first 1 1", "start " + id(next) + " " + title + "h_SCRIVLET_Next_1.ogg", "first released"}),
              lines);
    EXPECT_TRUE(player->isSpeechPlaying());
    fake->complete(next);
    player->update();
    EXPECT_EQ((Lines{"next 1 1", "next released"}), journal.take());

    // Cut off by a new line, a callback that restarts its channel is cut off in turn.
    titleFile("h_SCRIVLET_Retry_1.ogg");
    player->playSpeech(titleFile("h_SCRIVLET_A_1.ogg"), callback("a", [&](const AudioEventArgs& args) {
        if (args.notification == AudioNotification::Stopped)
            player->playSpeech("h_SCRIVLET_Retry_1.ogg", callback("retry"));
    }));
    AudioPlayer::tAudioID b = player->playSpeech(titleFile("h_SCRIVLET_B_1.ogg"), callback("b"));
    lines = journal.take();
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "retry 1 2"));
    EXPECT_EQ((std::set<AudioPlayer::tAudioID>{b}), fake->playing) << "no stream is left behind";
    EXPECT_EQ("h_SCRIVLET_B_1.ogg", player->getCurrentSpeechFile());
    fake->complete(b);
    player->update();
    EXPECT_EQ((Lines{"b 1 1", "b released"}), journal.take());
}

TEST_F(AudioPlayerRules, MusicVolumePauseResumeAndAnyStreamGoToTheWholeService)
{
    EXPECT_FALSE(player->isAudioPlaying());
    player->setMusicVolume(50);
    EXPECT_EQ(Lines{}, journal.take()) << "nothing plays: nothing to change";
    AudioPlayer other;
    AudioPlayer::tAudioID theirs = other.playMusic(titleFile("h_MUSIC_Menu_6.ogg"));
    EXPECT_EQ(50, fake->starts.back().volume);
    EXPECT_TRUE(player->isAudioPlaying()) << "any stream of the process";
    EXPECT_TRUE(player->isAudioPlaying(theirs));

    AudioPlayer::tAudioID mine = player->playMusic(titleFile("h_MUSIC_Map_6.ogg"));
    journal.take();
    player->setMusicVolume(60);
    EXPECT_EQ((Lines{"volume " + id(mine) + " 60"}), journal.take());
    EXPECT_EQ(60, AudioPlayer::musicVolume.load());
    player->pauseAllAudio();
    player->resumeAllAudio();
    EXPECT_EQ((Lines{"pause", "resume"}), journal.take());
}

// Run in a fresh process, so that the service is surely made there: once,
// with full master volume and priority policy 1.
TEST(AudioPlayerDeathTest, ServiceIsMadeOnceWithFullVolumeAndPolicyOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Journal journal;
            CAudioMPI::SetService(std::make_shared<FakeAudio>(journal));
            boost::shared_ptr<CAudioMPI> first = AudioPlayer::getInstance();
            const bool once = first && first == AudioPlayer::getInstance();
            std::exit(once && journal.take() == Lines{"master 127", "policy 1"} ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

namespace
{
// The player on the real mixer with its silent sink, driven frame by frame as
// the host does: advance the clock, hand out the events, update the player.
class AudioPlayerOgg : public ::testing::Test, public TestSupport::SilentAudio
{
protected:
    AudioPlayerOgg() : SilentAudio(folder) {}
    static void SetUpTestSuite()
    {
        folder = TestSupport::freshFolder("audio-player");
        ASSERT_TRUE(TestSupport::writeOgg(folder + "h_TEST_Line_1.ogg", 17640));         // 400 ms
        ASSERT_TRUE(TestSupport::writeOgg(folder + "h_TEST_Pop_6.ogg", 2205, 22050, 2)); // 100 ms
        ASSERT_TRUE(TestSupport::writeOgg(folder + "h_MUSIC_Loop_6.ogg", 8820));        // 200 ms
        ASSERT_TRUE(TestSupport::writeOgg(folder + "h_TEST_Short_1.ogg", 441));         // 10 ms
    }
    void TearDown() override { player.reset(); } // its callbacks write into the journal

    // Runs frames until the journal has a line; returns the clock then.
    unsigned int runUntilHeard(unsigned int limit)
    {
        while (now < limit)
        {
            frame();
            heard = journal.take();
            if (!heard.empty())
                break;
        }
        return now;
    }
    Callback* callback(const std::string& name) { return new Callback(journal, name); }

    static std::string folder;
    Journal journal;
    Lines heard;
};

std::string AudioPlayerOgg::folder;
}

TEST_F(AudioPlayerOgg, LinesEndAtTheirLengthEffectsAreResampledAndMusicLoops)
{
    player->playMusic("h_MUSIC_Loop_6.ogg", callback("music"));
    ASSERT_NE(kNoAudioID, player->playSpeech("h_TEST_Line_1.ogg", callback("line")));
    player->playSfx("h_TEST_Pop_6.ogg", callback("pop"));
    EXPECT_EQ("h_TEST_Line_1.ogg", player->getCurrentSpeechFile());
    EXPECT_EQ(100u, runUntilHeard(2000));
    EXPECT_EQ((Lines{"pop 2 1", "pop released"}), heard);
    while (now < 2000 && journal.take().empty())
    {
        EXPECT_TRUE(player->isSpeechPlaying()) << now;
        frame();
    }
    EXPECT_EQ(400u, now);
    player->playSpeech("h_TEST_Line_1.ogg", callback("again"));
    EXPECT_EQ(800u, runUntilHeard(2000));
    EXPECT_EQ((Lines{"again 1 1", "again released"}), heard);
    EXPECT_EQ("", player->getCurrentSpeechFile());
    // The music loops on and never completes.
    EXPECT_EQ(2000u, runUntilHeard(2000));
    EXPECT_TRUE(player->isMusicPlaying());
    player->stopMusic();
    EXPECT_EQ((Lines{"music 0 2", "music released"}), journal.take());
    EXPECT_FALSE(mixer->IsAudioPlaying());
}

// Names that are not found reach the terminal escaped, by the player, the
// mixer and the picture reader: a newline in a download's name cannot forge
// a second line, nor an escape sequence reach the terminal.
TEST_F(AudioPlayerOgg, NamesNotFoundArePrintedEscaped)
{
    const struct
    {
        std::string name, shown;
    } names[] = {{"two\nlines", "two\\nlines"}, {"\x1b[2J", "\\x1b[2J"}};
    for (const auto& n : names)
    {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(kNoAudioID, player->playSfx(n.name + ".ogg"));
        EXPECT_FALSE(Texture::fromFile(folder + n.name + ".png"));
        const std::string out = testing::internal::GetCapturedStdout(), err = testing::internal::GetCapturedStderr();
        EXPECT_EQ("Could not find file " + n.shown + ".ogg\nCould not find file " + folder + n.shown + ".png\n", out);
        EXPECT_NE(std::string::npos, err.find("Audio: no file " + folder + n.shown + ".ogg (")) << err;
        EXPECT_EQ(std::string::npos, (out + err).find(n.name)) << n.shown;
    }
}

TEST_F(AudioPlayerOgg, PlayerDestroyedWithACompletionQueuedIsNeverReached)
{
    player->playSfx("h_TEST_Pop_6.ogg", callback("pop"));
    mixer->AdvanceClock(200); // completed; its event waits for the dispatch
    player.reset();
    EXPECT_EQ((Lines{"pop released"}), journal.take());
    EXPECT_EQ(0, mixer->DispatchEvents());
}

// A loader thread starts, stops and changes volume on the player while the
// main thread runs frames; every callback must be called and freed once.
class AudioPlayerThreadTest : public AudioPlayerOgg
{
protected:
    // Every callback named in the journal was called once and released once.
    void expectEachCalledAndReleasedOnce(size_t count)
    {
        std::map<std::string, int> calls, releases;
        for (const std::string& line : journal.take())
        {
            const size_t space = line.find(' ');
            ++(line.substr(space + 1) == "released" ? releases : calls)[line.substr(0, space)];
        }
        EXPECT_EQ(count, calls.size()) << "every callback heard how its sound ended";
        EXPECT_EQ(count, releases.size()) << "every callback is freed";
        for (const auto& entry : calls)
            EXPECT_EQ(1, entry.second) << entry.first << " called twice";
        for (const auto& entry : releases)
            EXPECT_EQ(1, entry.second) << entry.first << " freed twice";
    }
};

TEST_F(AudioPlayerThreadTest, LoaderCallsWhileTheMainThreadUpdates)
{
    std::atomic<bool> loading(true);
    const int rounds = 300;
    std::thread loader([&]() {
        for (int i = 0; i < rounds; ++i)
        {
            if (i % 50 == 0)
                player->playMusic("h_MUSIC_Loop_6.ogg");
            player->setMusicVolume(static_cast<std::uint8_t>(30 + i % 31));
            player->playSpeech("h_TEST_Short_1.ogg", callback("speech" + std::to_string(i)));
            player->playSfx(i % 7 == 0 ? "h_TEST_Missing_6.ogg" : "h_TEST_Pop_6.ogg",
                            callback("sfx" + std::to_string(i)));
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
        frame(10);
    loader.join();
    for (int i = 0; i < 20; ++i)
        frame(10);
    ::testing::internal::GetCapturedStdout();

    player->stopMusic();
    EXPECT_FALSE(mixer->IsAudioPlaying()) << "no stream was left behind by racing starts";
    player.reset();
    expectEachCalledAndReleasedOnce(2 * rounds);
}

TEST_F(AudioPlayerThreadTest, TwoThreadsRestartingOneChannelLeaveOneStream)
{
    auto restart = [&](const std::string& thread) {
        for (int i = 0; i < 200; ++i)
        {
            player->playSpeech("h_TEST_Pop_6.ogg", callback(thread + std::to_string(i)));
            player->playMusic("h_MUSIC_Loop_6.ogg");
        }
    };
    std::thread other(restart, "other");
    restart("main");
    other.join();
    EXPECT_TRUE(player->isSpeechPlaying());
    EXPECT_TRUE(player->isMusicPlaying());
    player->stopSpeech();
    player->stopMusic();
    EXPECT_FALSE(mixer->IsAudioPlaying()) << "each channel holds one stream";
    expectEachCalledAndReleasedOnce(400);
}
