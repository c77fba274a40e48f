// The yes/no box, its voice and the speech playlist, with the real audio
// player on the mixer's silent sink and speech files of known length.
#include "DialogsTestSupport.h"

#include "Resources/Dialogs/AudioList.h"
#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/DialogBoxController.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/UIBase.h"

#include "CAudioMPI.h"
#include "CAudioMixer.h"

#include <functional>

using namespace DialogsTest;

namespace
{
typedef std::vector<std::string> Trace;

// Speech files of 100 ms and "other.ogg" of 200 ms; a box with its voice.
class Voice : public Fixture
{
protected:
    static void SetUpTestSuite()
    {
        folder = TestSupport::freshFolder("speech");
        for (const char* name : {"prompt", "no", "yes", "a", "b", "other"})
            TestSupport::writeOgg(folder + name + ".ogg", name[1] == 't' ? 8820 : 4410);
    }
    void SetUp() override
    {
        Fixture::SetUp();
        if (IsSkipped())
            return;
        previous = Vantorel::Kelm::CAudioMPI::SetService(mixer);
        player.reset(new AudioPlayer); // after the title's paths are set
        player->addAudioPath(folder);
        fresh();
    }
    void TearDown() override
    {
        player.reset();
        if (previous)
            Vantorel::Kelm::CAudioMPI::SetService(previous);
    }
    void fresh()
    {
        now = 1000;
        player->stopSpeech();
        box.reset(new DialogBox(false));
        voice.reset(new DialogBoxController);
        voice->audioPlayer = player.get();
        voice->promptSpeech = "prompt.ogg";
        voice->noSpeech = "no.ogg";
        voice->yesSpeech = "yes.ogg";
    }

    // 20 ms frames as a state runs them (audio, the box's controllers, then
    // `each`); the changes of "time speech highlight [stopped]", or of
    // `state` when given.
    Trace run(int frames, const std::function<void()>& each = {}, std::function<std::string()> state = {})
    {
        if (!state)
            state = [this] {
                return speech() + (box->yesHighlight->cullingMode == CullingMode::Show  ? " Y"
                                   : box->noHighlight->cullingMode == CullingMode::Show ? " N"
                                                                                        : " -") +
                       (voice->playing ? "" : " stopped");
            };
        Trace trace;
        for (std::string last; frames-- > 0;)
        {
            mixer->AdvanceClock(20);
            now += 20;
            mixer->DispatchEvents();
            player->update();
            box->updateControllers(now);
            if (each)
                each();
            if (state() != last)
                trace.push_back(std::to_string(now) + " " + (last = state()));
        }
        return trace;
    }
    std::string speech() const
    {
        const std::string file = player->getCurrentSpeechFile();
        return file.empty() ? "quiet" : file;
    }

    static std::string folder;
    unsigned int now = 1000;
    std::shared_ptr<Vantorel::Kelm::CAudioMixer> mixer = std::make_shared<Vantorel::Kelm::CAudioMixer>();
    std::shared_ptr<Vantorel::Kelm::IAudioService> previous;
    std::unique_ptr<AudioPlayer> player;
    DialogBoxPtr box;
    DialogBoxControllerPtr voice;
};
std::string Voice::folder;

// The answers heard, each with whether the box was still shown.
struct Answers
{
    void on(const DialogEventArgs& args) { heard.push_back({args.result, box->cullingMode != CullingMode::Hide}); }
    DialogBox* box;
    std::vector<std::pair<int, bool>> heard;
};
}

TEST_F(Voice, TheBoxReportsItsAnswerToItsListenersAndThenHides)
{
    EXPECT_EQ(6, box->getChildQuantity());
    EXPECT_EQ(7, DialogBoxPtr(new DialogBox(true))->getChildQuantity()) << "with the prompt picture";
    box->showYesButtonHighlight();
    box->showNoButtonHighlight();
    EXPECT_TRUE(box->noHighlight->cullingMode == CullingMode::Show && box->yesHighlight->cullingMode == CullingMode::Hide);
    box->onNoButton(ButtonEventArgs()); // nobody listens: answered and hidden all the same
    EXPECT_TRUE(box->result == 2 && box->cullingMode == CullingMode::Hide);
    Answers answers{box.get(), {}};
    box->dialogEvent += new DialogBox::DialogEvent::MethodDelegate<Answers>(&answers, &Answers::on);
    for (int button = 1; button <= 3; ++button) // yes, no, close
    {
        box->cullingMode = CullingMode::Show;
        boost::dynamic_pointer_cast<UIBase>(box->getChild(button))->onRelease(0, 0);
        EXPECT_EQ(CullingMode::Hide, box->cullingMode);
    }
    EXPECT_EQ((std::vector<std::pair<int, bool>>{{1, true}, {2, true}, {3, true}}), answers.heard);
}

TEST_F(Voice, TheQuestionThenNoThenYesEachAfterTheSpeechBefore)
{
    box->addController(voice);
    player->playSpeech("other.ogg");
    voice->restart();
    EXPECT_EQ((Trace{"1020 other.ogg -", "1200 prompt.ogg -", "1300 no.ogg N", "1400 yes.ogg Y", "1500 quiet - stopped"}),
              run(30));
    voice->restart(); // and again, restarted while No is explained
    int framesOfNo = 0;
    EXPECT_EQ((Trace{"1620 prompt.ogg -", "1720 no.ogg N", "1760 quiet -", "1780 prompt.ogg -", "1880 no.ogg N"}), run(14, [&] {
                  if (voice->step == 2 && ++framesOfNo == 3)
                      voice->restart();
              }));

    const struct
    {
        std::function<void()> change;
        Trace trace;
    } cases[] = {
        {[this] { voice->noSpeech = voice->yesSpeech = ""; }, {"1020 prompt.ogg -", "1120 quiet - stopped"}},
        {[this] { voice->promptSpeech = ""; },
         {"1020 quiet -", "1040 no.ogg N", "1140 yes.ogg Y", "1240 quiet - stopped"}},
        {[this] { voice->audioPlayer = nullptr; }, {"1020 quiet -"}},
        {[this] { box->removeController(voice); }, {"1020 prompt.ogg -", "1120 quiet - stopped"}},
    };
    for (const auto& c : cases)
    {
        fresh();
        box->addController(voice);
        c.change();
        voice->restart();
        EXPECT_EQ(c.trace, run(20, [this] {
                      if (!voice->getObject()) // unattached: its owner runs it
                          voice->update(now);
                  }));
    }
}

TEST_F(Voice, ThePlaylistPausesAnUpdateBetweenFilesAndWaitsOutOtherSpeech)
{
    AudioList list;
    list.init({"a.ogg", "missing.ogg", "", "b.ogg"});
    for (int i = 0; i < 3; ++i)
        list.update();
    EXPECT_TRUE(list.index == 0 && !list.isDone()) << "no player, no progress";
    list.audioPlayer = player.get();
    Trace trace;
    const std::string printed = output([&] {
        trace = run(
            25,
            [&] {
                list.update();
                if (now == 1060)
                    player->playSpeech("other.ogg");
            },
            [&] { return std::to_string(list.index) + (list.started ? "+ " : "- ") + speech() + (list.isDone() ? " done" : ""); });
    });
    EXPECT_EQ((Trace{"1020 0+ a.ogg", "1060 0+ other.ogg", "1260 1- quiet", "1280 1+ quiet", "1300 2- quiet",
                     "1320 2+ quiet", "1340 3- quiet", "1360 3+ b.ogg", "1460 4- quiet done"}),
              trace);
    EXPECT_NE(std::string::npos, printed.find("Could not find file missing.ogg"));
    list.reset();
    EXPECT_FALSE(list.isDone());
}
