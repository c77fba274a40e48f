// The yes/no box, its voice and the speech playlist on the generated title,
// with the real audio player on a silent mixer and speech of known length.
#include "support/DataRoot.h"
#include "support/SilentAudio.h"

#include "Resources/Dialogs/AudioList.h"
#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/DialogBoxController.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/UIBase.h"

#include <functional>

using namespace Tovrane;
using TestSupport::printed;

namespace
{
typedef std::vector<std::string> Trace;

// Speech files of 100 ms and "other.ogg" of 200 ms; a box with its voice.
struct Voice : ::testing::Test
{
    void SetUp() override
    {
        if (!TestSupport::useGeneratedTitle())
            GTEST_SKIP() << "no generated title, or the system data was configured before";
        for (const char* name : {"prompt", "no", "yes", "a", "b", "other"})
            TestSupport::writeOgg(folder + name + ".ogg", name[1] == 't' ? 8820 : 4410);
        fresh();
    }
    void fresh()
    {
        audio.reset(); // gives the service back before the next takes it
        audio.reset(new TestSupport::SilentAudio(folder, 1000));
        box.reset(new DialogBox(false));
        voice.reset(new DialogBoxController);
        voice->audioPlayer = audio->player.get();
        voice->promptSpeech = "prompt.ogg";
        voice->noSpeech = "no.ogg";
        voice->yesSpeech = "yes.ogg";
    }

    // 20 ms frames as a state runs them: the audio, the box's controllers (or
    // the voice alone), the playlist, then `each`; the changes of view().
    Trace run(int frames, const std::function<void()>& each = {})
    {
        Trace trace;
        for (std::string last; frames-- > 0;)
        {
            audio->frame();
            box->updateControllers(audio->now);
            if (list)
                list->update();
            if (!voice->getObject()) // an unattached voice is run by its owner
                voice->update(audio->now);
            if (each)
                each();
            if (view() != last)
                trace.push_back(std::to_string(audio->now) + " " + (last = view()));
        }
        return trace;
    }
    // The speech file or "quiet"; for the box then "Y", "N" or "-" as it marks
    // Yes, No or neither, and "stopped"; for a playlist first its index and
    // "+" once started, then "done" at its end.
    std::string view() const
    {
        const std::string spoken = audio->player->getCurrentSpeechFile(), file = spoken.empty() ? "quiet" : spoken;
        if (list)
            return std::to_string(list->index) + (list->started ? "+ " : "- ") + file + (list->isDone() ? " done" : "");
        auto shown = [](const GeometryPtr& mark) { return mark->cullingMode == CullingMode::Show; };
        return file + (shown(box->yesHighlight) ? " Y" : shown(box->noHighlight) ? " N" : " -") +
               (voice->playing ? "" : " stopped");
    }

    const std::string folder = TestSupport::freshFolder("speech");
    std::unique_ptr<TestSupport::SilentAudio> audio;
    DialogBoxPtr box;
    DialogBoxControllerPtr voice;
    AudioList* list = nullptr;
    // The answers heard, each with whether the box was still shown.
    void answer(const DialogEventArgs& args) { answers.push_back({args.result, box->cullingMode != CullingMode::Hide}); }
    std::vector<std::pair<int, bool>> answers;
};

}

TEST_F(Voice, TheBoxReportsItsAnswerToItsListenersAndThenHides)
{
    box->onNoButton(ButtonEventArgs()); // nobody listens: answered and hidden all the same
    EXPECT_TRUE(box->result == 2 && box->cullingMode == CullingMode::Hide);
    box->dialogEvent += new DialogBox::DialogEvent::MethodDelegate<Voice>(this, &Voice::answer);
    for (int button = 1; button <= 3; ++button) // yes, no, close
    {
        box->cullingMode = CullingMode::Show;
        boost::dynamic_pointer_cast<UIBase>(box->getChild(button))->onRelease(0, 0);
        EXPECT_EQ(CullingMode::Hide, box->cullingMode);
    }
    EXPECT_EQ((std::vector<std::pair<int, bool>>{{1, true}, {2, true}, {3, true}}), answers);
}

TEST_F(Voice, TheQuestionThenNoThenYesEachAfterTheSpeechBefore)
{
    // Restarted while No is explained, it asks again.
    box->addController(voice);
    voice->restart();
    EXPECT_EQ((Trace{"1020 prompt.ogg -", "1120 no.ogg N", "1160 quiet -", "1180 prompt.ogg -", "1280 no.ogg N"}),
              run(14, [&] {
                  if (voice->step == 2 && audio->now == 1160)
                      voice->restart();
              }));
    // Each case changes a fresh box before its voice starts.
    const std::pair<std::function<void()>, Trace> cases[] = {
        {[this] { audio->player->playSpeech("other.ogg"); },
         {"1020 other.ogg -", "1200 prompt.ogg -", "1300 no.ogg N", "1400 yes.ogg Y", "1500 quiet - stopped"}},
        {[this] { voice->noSpeech = voice->yesSpeech = ""; }, {"1020 prompt.ogg -", "1120 quiet - stopped"}},
        {[this] { voice->promptSpeech = ""; }, {"1020 quiet -", "1040 no.ogg N", "1140 yes.ogg Y", "1240 quiet - stopped"}},
        {[this] { voice->audioPlayer = nullptr; }, {"1020 quiet -"}},
        {[this] { box->removeController(voice); }, {"1020 prompt.ogg -", "1120 quiet - stopped"}},
    };
    for (const auto& c : cases)
    {
        fresh();
        box->addController(voice);
        c.first();
        voice->restart();
        EXPECT_EQ(c.second, run(30));
    }
}

TEST_F(Voice, ThePlaylistPausesAnUpdateBetweenFilesAndWaitsOutOtherSpeech)
{
    AudioList playlist;
    playlist.init({"a.ogg", "missing.ogg", "", "b.ogg"});
    list = &playlist;
    EXPECT_EQ((Trace{"1020 0- quiet"}), run(3)) << "no player, no progress";
    playlist.audioPlayer = audio->player.get();
    Trace trace;
    const std::string said = printed([&] {
        trace = run(25, [&] {
            if (audio->now == 1120)
                audio->player->playSpeech("other.ogg");
        });
    });
    EXPECT_EQ((Trace{"1080 0+ a.ogg", "1120 0+ other.ogg", "1320 1- quiet", "1340 1+ quiet", "1360 2- quiet",
                     "1380 2+ quiet", "1400 3- quiet", "1420 3+ b.ogg", "1520 4- quiet done"}),
              trace);
    EXPECT_NE(std::string::npos, said.find("Could not find file missing.ogg"));
    playlist.reset();
    EXPECT_FALSE(playlist.isDone());
}
