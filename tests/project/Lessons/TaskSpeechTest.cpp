// Hints, instructions and praise: which pool, how often, never the same
// twice, and the writing lesson's closing praise.
#include "LessonsTestSupport.h"

#include <random>

using namespace LessonsTest;

namespace
{
// A drawing line and a colouring line of the given colour codes.
std::string speechTask(int colour, int colourEx)
{
    return R"({"background": "b.png", "metadata_id": "m", "epilogue": ["e1.ogg"], "lines": [
        {"ca_audio": ["well.ogg"], "segments": [{"x1": 100, "control_points_x": [50], "control_points_y": [0]}]},
        {"fill_mask": "m.png", "fill_color_req": )" + std::to_string(colour) + R"(, "fill_color_req_ex": )" +
           std::to_string(colourEx) + "}]}";
}

struct Speech : ::testing::Test
{
    void SetUp() override
    {
        REQUIRE_LESSONS_TITLE();
        recorder.reset(new Recording);
        Task::lastHintPick = Task::lastPraisePick = 0;
        Task::randomSource = [this] { return static_cast<int>(random() & 0x7fffffff); };
    }
    void TearDown() override { Task::randomSource = RandomSource(); }

    Task& make(eTaskType type, int where, const std::string& text = speechTask(1, 0))
    {
        made = state(type, writeTask("speech.task", text), static_cast<LocationName::Type>(where));
        made->getTask()->audio = recorder->player.get();
        return *made->getTask();
    }
    // What the wrong answers on a line say, one entry per answer ("" for silence).
    std::vector<std::string> hints(Task& task, int line, int answers)
    {
        std::vector<std::string> said;
        for (int i = 0; i < answers; ++i)
        {
            recorder->audio->take();
            task.playWASpeech(line, false);
            const std::vector<std::string> played = recorder->audio->take();
            said.push_back(played.empty() ? "" : played.back());
        }
        return said;
    }

    std::mt19937 random{107};
    std::unique_ptr<Recording> recorder; // after the title: the player asks for the paths
    std::unique_ptr<TaskStudioState> made;
};
}

TEST_F(Speech, HintsComeFromThePoolOfTheLocationAndNeverTwiceTheSame)
{
    struct Pool
    {
        eTaskType type;
        int location;
        size_t size;
        const char* first;
    };
    const Pool pools[] = {{TaskType::LocationTask, 4, 15, "h_SCRIVLET_NotQuite_3.ogg"},
                          {TaskType::AdvancedLesson, 45, 15, "h_SCRIVLET_NotQuite_3.ogg"},
                          {TaskType::LetterTask, 26, 3, "h_DIZAVODUV_LetMeHelpYouOut_3.ogg"},
                          {TaskType::LocationTask, 38, 2, "h_VIDORIV_StartHrAndDrwALnTHr_3.ogg"},
                          {TaskType::LocationTask, 40, 2, "h_REVAD_StartHrAndDrwALnTHr_3.ogg"},
                          {TaskType::LocationTask, 29, 3, "h_ZUDARAZE_Oops_5.ogg"},
                          {TaskType::LocationTask, 27, 3, "h_SCRIVLET_StartHrAndDrwALnTHr_3.ogg"},
                          {TaskType::LocationTask, 48, 2, "h_SCRIVLET_DrawACrclStrtngHr_3.ogg"},
                          {TaskType::LocationTask, 47, 2, "h_VIDORIV_ThatsNtQtClmClrWrLkn_3.ogg"}};
    for (const Pool& pool : pools)
    {
        const Task& task = make(pool.type, pool.location);
        EXPECT_EQ(pool.size, task.waSpeech.size()) << pool.location;
        EXPECT_EQ(pool.first, task.waSpeech.at(0)) << pool.location;
    }

    // A location task: silent twice, then a hint every 2 or 3 wrong answers,
    // the very first never entry 0 and no entry twice in a row.
    Task& task = make(TaskType::LocationTask, 4);
    const std::vector<std::string> said = hints(task, 0, 300);
    EXPECT_EQ("", said[0]);
    EXPECT_EQ("", said[1]);
    EXPECT_NE("", said[2]);
    EXPECT_NE(task.waSpeech[0], said[2]);
    std::string last = said[2];
    int gap = 0;
    for (size_t i = 3; i < said.size(); ++i, ++gap)
        if (!said[i].empty())
        {
            EXPECT_TRUE(gap == 1 || gap == 2) << i;
            EXPECT_NE(last, said[i]) << i;
            last = said[i];
            gap = -1;
        }

    // A letter task hints at every wrong answer; a pool of one repeats itself.
    Task& letter = make(TaskType::LetterTask, 26);
    for (const std::string& hint : hints(letter, 0, 20))
        EXPECT_TRUE(hint.find("h_DIZAVODUV_") == 0) << hint;
    letter.waSpeech = {"only.ogg"};
    EXPECT_EQ(std::vector<std::string>(4, "only.ogg"), hints(letter, 0, 4));
    letter.waSpeech.clear();
    EXPECT_EQ(std::vector<std::string>(2, ""), hints(letter, 0, 2));

    // An advanced lesson hands its hints to the lesson's guide.
    Task& lesson = make(TaskType::AdvancedLesson, 46);
    lesson.hintCountdown = 1;
    EXPECT_EQ(std::vector<std::string>{""}, hints(lesson, 0, 1));
    EXPECT_TRUE(made->hintSpeechPending);
    EXPECT_TRUE(made->pendingHintSpeech == "h_VIDORIV_ThatsNtQtWldClrWrLkn_3.ogg" ||
                made->pendingHintSpeech == "h_VIDORIV_TapGreenOnTheWheel_3.ogg");
}

TEST_F(Speech, ColouringLinesAlternateTheirTwoHints)
{
    Task& task = make(TaskType::LocationTask, 4, speechTask(1, 0));
    const std::string notThat = "h_VIDORIV_ThatsNtClrWrLkngFrTr_3.ogg", tap = "h_VIDORIV_TapBlueOnTheWheel_3.ogg";
    EXPECT_EQ((std::vector<std::string>{notThat, tap, notThat}), hints(task, 1, 3));
    task.newQuestion();
    EXPECT_EQ((std::vector<std::string>{notThat, tap}), hints(task, 1, 2));
    EXPECT_EQ(3, task.hintCountdown) << "colour hints do not count down";

    struct Codes
    {
        int colour, colourEx;
        const char* first;
        const char* second;
    };
    const Codes codes[] = {{8, 0, "h_VIDORIV_ThatsNtAClClrTryAgn_3.ogg", "h_SCRIVLET_CoolClrsArBlGrnAndP_3.ogg"},
                           {7, 0, "h_VIDORIV_ThatsNtAWrmClrTryAgn_3.ogg", "h_SCRIVLET_WarmClrsArRdYllwAnd_3.ogg"},
                           {9, 1, "h_VIDORIV_ThatsNtQtClmClrWrLkn_3.ogg", "h_VIDORIV_TapPrplOrGrnOnThWhl_3.ogg"},
                           {4, 2, "h_VIDORIV_ThatsNtQtWldClrWrLkn_3.ogg", "h_VIDORIV_TapGreenOnTheWheel_3.ogg"},
                           {6, 0, "", ""}};
    for (const Codes& c : codes)
    {
        Task& coloured = make(TaskType::LocationTask, 4, speechTask(c.colour, c.colourEx));
        EXPECT_EQ((std::vector<std::string>{c.first, c.second}), hints(coloured, 1, 2)) << c.colour;
        EXPECT_EQ(0, coloured.hintAlternation) << "flipped twice";
    }
}

TEST_F(Speech, WritingLessonsSpeakInstructionsAndEndWithOnePraise)
{
    Task& task = make(TaskType::WritingLesson, 26);
    EXPECT_EQ((std::vector<std::string>{"", "", ""}), hints(task, 0, 3)) << "hints come as instructions";
    const std::pair<int, const char*> instructions[] = {{2, "h_SCRIVLET_StartHrAndDrwALnTHr_3_v0.ogg"},
                                                        {3, "h_SCRIVLET_StartHrAndKpYrStyls_3.ogg"},
                                                        {5, "h_SCRIVLET_PutTheDotHere_3.ogg"}, {1, nullptr}, {0, nullptr}};
    for (const auto& instruction : instructions)
    {
        task.answer = instruction.first;
        task.playWAInstrSpeech();
        const std::vector<std::string> played = recorder->audio->take();
        EXPECT_EQ(instruction.second ? std::vector<std::string>{instruction.second} : std::vector<std::string>(), played);
    }
    task.answer = 4;
    for (int i = 0; i < 10; ++i)
    {
        task.playWAInstrSpeech();
        const std::string said = recorder->audio->take().at(0);
        EXPECT_TRUE(said == task.waInstrSpeech[0] || said == task.waInstrSpeech[1]) << said;
    }
    EXPECT_EQ(std::vector<std::string>{"well.ogg"}, task.getCASpeech(0));

    // The closing praise: one of four, a quarter of the draws each.
    const std::pair<int, const char*> bands[] = {{0, "h_SCRIVLET_ThatsRight_5.ogg"}, {249, "h_SCRIVLET_ThatsRight_5.ogg"},
                                                 {250, "h_SCRIVLET_NiceWork_5.ogg"}, {749, "h_SCRIVLET_GreatWriting_5.ogg"},
                                                 {1999, "h_SCRIVLET_Scrivtastic_5.ogg"}};
    for (const auto& band : bands)
    {
        Task::randomSource = [&band] { return band.first; };
        EXPECT_EQ(std::vector<std::string>{band.second}, make(TaskType::WritingSubLesson, 26).epilogue);
    }
    EXPECT_EQ(std::vector<std::string>{"e1.ogg"}, make(TaskType::LocationTask, 4).epilogue);

    // The praise of letter tasks: one of eight, never twice in a row.
    Task::randomSource = [this] { return static_cast<int>(random() & 0x7fffffff); };
    Task& letter = make(TaskType::LetterTask, 26);
    std::string last;
    for (int i = 0; i < 50; ++i)
    {
        const std::vector<std::string> praise = letter.getCASpeech(0);
        ASSERT_EQ(1u, praise.size());
        EXPECT_TRUE(praise[0].find("h_DIZAVODUV_") == 0 && praise[0] != last) << praise[0];
        last = praise[0];
    }
    Task& location = make(TaskType::LocationTask, 4);
    location.answer = 3;
    location.playWAInstrSpeech();
    EXPECT_TRUE(recorder->audio->take().empty()) << "only writing lessons";
}
