// The yes/no box, its voice and the speech playlist, with the real audio
// player on the mixer's silent sink and speech files of known length.
#include "DialogsTestSupport.h"
#include "Platform/AudioTestTone.h"

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

// Speech of 100 ms ("prompt", "no", "yes", "a", "b") and 200 ms ("other").
class Voice : public Fixture
{
public:
    static void SetUpTestSuite()
    {
        folder = AudioTestTone::makeFolder("dialogs-audio-");
        for (const char* name : {"prompt", "no", "yes", "a", "b"})
            AudioTestTone::write(folder + name + ".ogg", 4410);
        AudioTestTone::write(folder + "other.ogg", 8820);
    }
    static void TearDownTestSuite() { fs::remove_all(folder); }
    void SetUp() override
    {
        Fixture::SetUp();
        mixer = std::make_shared<Vantorel::Kelm::CAudioMixer>();
        previous = Vantorel::Kelm::CAudioMPI::SetService(mixer);
        player.reset(new AudioPlayer);
        player->addAudioPath(folder);
        fresh();
    }
    // A new box with its voice, the clock at 1000 ms.
    void fresh()
    {
        now = 1000;
        box.reset(new DialogBox(false));
        voice.reset(new DialogBoxController);
        voice->audioPlayer = player.get();
        voice->promptSpeech = "prompt.ogg";
        voice->noSpeech = "no.ogg";
        voice->yesSpeech = "yes.ogg";
    }
    void TearDown() override
    {
        box.reset();
        voice.reset();
        player.reset();
        Vantorel::Kelm::CAudioMPI::SetService(previous);
    }

    // Runs 20 ms frames as a state does; after each, `each` may act. Returns
    // the changes of "time speech highlight [stopped]".
    Trace run(int frames, const std::function<void()>& each = {})
    {
        Trace trace;
        std::string last;
        for (int f = 0; f < frames; ++f)
        {
            mixer->AdvanceClock(20);
            now += 20;
            mixer->DispatchEvents();
            player->update();
            box->updateControllers(now);
            if (each)
                each();
            std::string state = speech();
            state += box->yesHighlight->cullingMode == CullingMode::Show  ? " Y"
                     : box->noHighlight->cullingMode == CullingMode::Show ? " N"
                                                                          : " -";
            if (!voice->playing)
                state += " stopped";
            if (state != last)
                trace.push_back(std::to_string(now) + " " + (last = state));
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
    std::shared_ptr<Vantorel::Kelm::CAudioMixer> mixer;
    std::shared_ptr<Vantorel::Kelm::IAudioService> previous;
    std::unique_ptr<AudioPlayer> player;
    DialogBoxPtr box;
    DialogBoxControllerPtr voice;
};
std::string Voice::folder;

struct Answers
{
    void on(const DialogEventArgs& args)
    {
        results.push_back(args.result);
        shownWhenTold = box->cullingMode != CullingMode::Hide;
    }
    DialogBox* box;
    std::vector<int> results;
    bool shownWhenTold = false;
};
}

TEST_F(Voice, TheBoxReportsItsAnswerToItsListenersAndThenHides)
{
    EXPECT_EQ(6, box->getChildQuantity());
    EXPECT_EQ(7, DialogBoxPtr(new DialogBox(true))->getChildQuantity()) << "with the prompt picture";
    EXPECT_EQ(CullingMode::Hide, box->yesHighlight->cullingMode);
    EXPECT_EQ(CullingMode::Hide, box->noHighlight->cullingMode);
    box->showYesButtonHighlight();
    box->showNoButtonHighlight();
    EXPECT_EQ(CullingMode::Hide, box->yesHighlight->cullingMode);
    EXPECT_EQ(CullingMode::Show, box->noHighlight->cullingMode);

    box->onNoButton(ButtonEventArgs()); // nobody listens: answered and hidden all the same
    EXPECT_EQ(2, box->result);
    EXPECT_EQ(CullingMode::Hide, box->cullingMode);
    Answers answers;
    answers.box = box.get();
    box->dialogEvent += new DialogBox::DialogEvent::MethodDelegate<Answers>(&answers, &Answers::on);
    for (int button = 1; button <= 3; ++button)
    {
        box->cullingMode = CullingMode::Show;
        boost::dynamic_pointer_cast<UIBase>(box->getChild(button))->onRelease(0, 0);
        EXPECT_TRUE(answers.shownWhenTold);
        EXPECT_EQ(CullingMode::Hide, box->cullingMode);
    }
    EXPECT_EQ((std::vector<int>{1, 2, 3}), answers.results) << "yes, no, close";
}

TEST_F(Voice, TheQuestionThenNoThenYesEachAfterTheSpeechBefore)
{
    box->addController(voice);
    EXPECT_EQ(Trace{"1020 quiet - stopped"}, run(1)) << "not asked yet";
    player->playSpeech("other.ogg");
    voice->restart();
    EXPECT_EQ((Trace{"1040 other.ogg -", "1220 prompt.ogg -", "1320 no.ogg N", "1420 yes.ogg Y",
                     "1520 quiet - stopped"}),
              run(30));

    // A restart while No is explained starts again from the question.
    voice->restart();
    int framesOfNo = 0;
    Trace trace = run(14, [&] {
        if (voice->step == 2 && ++framesOfNo == 3)
            voice->restart();
    });
    EXPECT_EQ((Trace{"1640 prompt.ogg -", "1740 no.ogg N", "1780 quiet -", "1800 prompt.ogg -", "1900 no.ogg N"}),
              trace);
}

TEST_F(Voice, ShortQuestionsAndMissingPieces)
{
    const struct
    {
        const char* name;
        std::function<void(Voice&)> setUp;
        Trace trace;
    } cases[] = {
        {"no answers", [](Voice& t) { t.voice->noSpeech = t.voice->yesSpeech = ""; },
         {"1020 prompt.ogg -", "1120 quiet - stopped"}},
        {"no question", [](Voice& t) { t.voice->promptSpeech = ""; },
         {"1020 quiet -", "1040 no.ogg N", "1140 yes.ogg Y", "1240 quiet - stopped"}},
        {"no player", [](Voice& t) { t.voice->audioPlayer = nullptr; }, {"1020 quiet -"}},
        {"no box", [](Voice& t) { t.box->removeController(t.voice); }, {"1020 prompt.ogg -", "1120 quiet - stopped"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        fresh();
        box->addController(voice);
        c.setUp(*this);
        voice->restart();
        // Without a box the owner updates the controller itself.
        EXPECT_EQ(c.trace, run(20, [this] {
                      if (!voice->getObject())
                          voice->update(now);
                  }));
    }
}

TEST_F(Voice, ThePlaylistPausesAnUpdateBetweenFilesAndWaitsOutOtherSpeech)
{
    AudioList list;
    list.init({"a.ogg", "missing.ogg", "", "b.ogg"});
    for (int i = 0; i < 5; ++i)
        list.update();
    EXPECT_EQ(0, list.index) << "no player, no progress";
    EXPECT_FALSE(list.isDone());

    list.audioPlayer = player.get();
    Trace trace;
    std::string last;
    const std::string printed = output([&] {
        for (int f = 0; f < 40; ++f)
        {
            mixer->AdvanceClock(20);
            now += 20;
            mixer->DispatchEvents();
            player->update();
            list.update();
            if (now == 1060)
                player->playSpeech("other.ogg");
            const std::string state =
                std::to_string(list.index) + (list.started ? "+ " : "- ") + speech() + (list.isDone() ? " done" : "");
            if (state != last)
                trace.push_back(std::to_string(now) + " " + (last = state));
        }
    });
    EXPECT_EQ((Trace{"1020 0+ a.ogg", "1060 0+ other.ogg", "1260 1- quiet", "1280 1+ quiet", "1300 2- quiet",
                     "1320 2+ quiet", "1340 3- quiet", "1360 3+ b.ogg", "1460 4- quiet done"}),
              trace);
    EXPECT_NE(std::string::npos, printed.find("Could not find file missing.ogg"));
    list.reset();
    EXPECT_FALSE(list.isDone());
}
