// The task studio played in process from its prologue to its pop: a writing
// lesson traced right and wrong, a location task with its talkers, sub-lesson,
// art lesson and badge, a launcher abandoned, a letter task's hint and quit
// question, and downloaded tasks.
#include "TaskScreenTestSupport.h"

#include "Resources/Lessons/LinesLauncherState.h"

#include <algorithm>

using namespace TaskScreenTest;

namespace
{
typedef std::vector<Vector2<tFixed>> Points;

std::string fileName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

bool isLauncher(TaskRun& run) { return dynamic_cast<LessonLauncherState*>(run.harness.current().get()) != nullptr; }

std::vector<std::string> tracedPhases(size_t lines)
{
    std::vector<std::string> phases;
    for (size_t k = 0; k < lines; ++k)
        phases.insert(phases.end(), {"TaskIntro", "TaskDraw", "TaskOutro"});
    phases.push_back("Epilogue");
    return phases;
}

// The picture of the current canvas, as equal-sized RGBA5551 bytes.
std::vector<std::uint8_t> picture(TaskStudioState* state)
{
    TexturePtr copy = state->studio->canvas->getLayer()->getTexture();
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(copy->getPixels());
    return std::vector<std::uint8_t>(bytes, bytes + copy->getSize());
}

// A touch on a button of the quit question: (x, y) in screen pixels.
void click(TaskRun& run, int x, int y)
{
    run.frame();
    run.touch(x, y, true);
    run.touch(x, y, false);
    run.frame();
}
const int YesX = 115, NoX = 205, ButtonY = 160;
}

TEST(TaskScreenThreadTest, AWritingLessonTracedRecordsItsStateAndExactlyItsUsage)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    for (int locale : {0, 2})
    {
        player->locale = locale;
        const std::string stem = locale ? "uk_upper_B" : "upper_B";
        TaskRun run;
        testing::internal::CaptureStderr();
        TaskStudioState* lesson = run.push(new TaskStudioState(TaskType::WritingLesson, 11, LocationName::WritingLesson));
        EXPECT_EQ(stem + ".task", fileName(lesson->getTaskPath()));
        const size_t lines = lesson->getTask()->lines.size();
        EXPECT_EQ(locale ? 3u : 2u, lines);
        for (size_t k = 0; k < lines; ++k)
        {
            ASSERT_TRUE(run.untilDrawing()) << k;
            run.traceLine();
        }
        ASSERT_TRUE(run.until([&] { return run.stackSize() == 1; })) << "the pop ends the lesson";
        EXPECT_EQ(tracedPhases(lines), phasesIn(testing::internal::GetCapturedStderr()));

        EXPECT_EQ("h_SCRIVLET_Write_" + stem + "_3.ogg", run.spoken.front()) << "the third prologue entry";
        EXPECT_EQ(lines, static_cast<size_t>(std::count(run.spoken.begin(), run.spoken.end(),
                                                        "h_SCRIVLET_StartAtTheGreenDot_3.ogg")));
        EXPECT_EQ(0u, run.spoken.back().find("h_SCRIVLET_")) << "one closing praise: " << run.spoken.back();
        EXPECT_EQ(TaskState::Complete, player->getLessonState(11));
        std::ifstream saved(player->getLessonDataPath(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
        ASSERT_EQ(332u, bytes.size());
        EXPECT_EQ(3, bytes[44]) << "lesson 11 in \"lesson.bin\"";
        EXPECT_EQ((std::vector<std::string>{"GameAreaStart WL_" + stem, "ActivityStart WL_" + stem + " NA 1",
                                            "CorrectAnswer 1 " + stem + " " + stem, "ActivityExit 0 1", "GameAreaExit"}),
                  run.records());
    }
    player->locale = 0;
}

TEST(TaskScreenThreadTest, AWrongStrokeLeadsThroughHelpAndIsTakenBack)
{
    REQUIRE_LESSONS_TITLE();
    const struct
    {
        const char* name;
        int answer;
        std::function<Points(const Points&)> stroke;
    } wrong[] = {
        {"wrong end", 2, [](const Points& p) { return Points(p.rbegin(), p.rend()); }},
        {"off the line", 4, [](const Points& p) {
             return Points{p[0], p[1], p[2], Vector2<tFixed>(p[2].x + tFixed(90), p[2].y)};
         }},
        {"early lift", 3, [](const Points& p) { return Points(p.begin(), p.begin() + p.size() / 2); }},
    };
    for (const auto& fault : wrong)
    {
        TaskRun run;
        TaskStudioState* lesson = run.push(new TaskStudioState(TaskType::WritingLesson, 11, LocationName::WritingLesson));
        ASSERT_TRUE(run.untilDrawing());
        const std::vector<std::uint8_t> blank = picture(lesson);
        testing::internal::CaptureStderr();
        run.stroke(fault.stroke(lesson->getTask()->lines[0].allPoints));
        EXPECT_EQ(fault.answer, lesson->getTask()->answer) << fault.name;
        EXPECT_TRUE(lesson->getAudioPlayer()->isSfxPlaying()) << fault.name << ": the wrong-answer sound";
        ASSERT_TRUE(run.untilDrawing()) << fault.name;
        EXPECT_EQ((std::vector<std::string>{"TaskHelp", "TaskDraw"}), phasesIn(testing::internal::GetCapturedStderr()))
            << fault.name;
        EXPECT_EQ(fault.answer == 3 ? "h_SCRIVLET_StartHrAndKpYrStyls_3.ogg"
                                    : fault.answer == 2 ? "h_SCRIVLET_StartHrAndDrwALnTHr_3_v0.ogg" : run.spoken.back(),
                  run.spoken.back())
            << fault.name << ": the instruction";
        EXPECT_TRUE(blank == picture(lesson)) << fault.name << ": the stroke is taken back";
        run.traceLine();
        EXPECT_TRUE(run.untilPhase(TaskStudioState::TaskOutro, 5)) << fault.name << ": a right trace then finishes";
    }
}

TEST(TaskScreenThreadTest, ALocationTalksInTurnRunsItsSubLessonAndArtLessonAndEarnsItsBadge)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    TaskRun run;
    TaskStudioState* town = run.push(new TaskStudioState(TaskType::LocationTask, "tasks/firehouse.task", LocationName::Firehouse));
    std::vector<std::string> talkers;
    run.onSpeech = [&](const std::string&) {
        if (run.current() == town && town->getState() == TaskStudioState::Prologue)
            for (const DoodleStruct& who : town->getTask()->characters)
                if (who.talking)
                    talkers.push_back(who.name);
    };
    ASSERT_TRUE(run.untilPhase(TaskStudioState::TaskIntro));
    EXPECT_EQ((std::vector<std::string>{"baker", "farmer", "baker", "farmer"}), talkers);
    EXPECT_EQ(TaskState::Started, player->locationStates[LocationName::Firehouse]);

    std::vector<std::uint8_t> beforeSubLesson;
    int launchers = 0;
    bool windowKeptItOnTheStack = false, launcherShown = false;
    while (run.stackSize() > 1)
    {
        launchers += isLauncher(run) && !launcherShown;
        launcherShown = isLauncher(run);
        TaskStudioState* now = run.current();
        if (now == town && town->getState() == TaskStudioState::TaskSubLesson && beforeSubLesson.empty())
            beforeSubLesson = picture(town);
        if (now == town && town->currentLine == 4 && town->getState() == TaskStudioState::TaskDraw)
        {
            EXPECT_TRUE(beforeSubLesson == picture(town)) << "the picture comes back pixel for pixel";
        }
        windowKeptItOnTheStack |= now == town && town->isAchievementWindowVisible();
        if (now && (now->getState() == TaskStudioState::TaskDraw || now->getState() == TaskStudioState::FreeFormTaskDraw) &&
            now->touchStage == 1)
            run.traceLine();
        else
            run.frame();
        ASSERT_LT(run.harness.app->getApplicationTime(), 200000u) << "the location never ends";
    }
    EXPECT_EQ(1, launchers) << "the unfinished lines lesson of \"DSL\"";
    EXPECT_EQ(TaskState::Complete, player->getAdvancedLessonState(2));
    EXPECT_TRUE(windowKeptItOnTheStack);
    EXPECT_EQ(TaskState::Complete, player->locationStates[LocationName::Firehouse]);
    EXPECT_TRUE(player->hasBadge(static_cast<BadgeName::Type>(3)));
    EXPECT_EQ(TaskState::Available, player->locationStates[LocationName::Library]);
    EXPECT_EQ(TaskState::Available, player->locationStates[LocationName::Fountain]);
    EXPECT_TRUE(TaskStudioState::completedLastLocation);

    // The same lesson finished: its line launches nothing.
    TaskRun again;
    town = again.push(new TaskStudioState(TaskType::LocationTask, "tasks/rise_and_shine_cafe.task",
                                          LocationName::RiseAndShineCafe));
    town->currentLine = 4;
    town->setState(TaskStudioState::TaskIntro, 0);
    ASSERT_TRUE(again.until([&] { return isLauncher(again) || again.current()->getState() == TaskStudioState::TaskDraw; }));
    EXPECT_FALSE(isLauncher(again));
}

TEST(TaskScreenThreadTest, ALauncherLeftUnfinishedMakesTheTaskLeaveWithReasonThree)
{
    REQUIRE_LESSONS_TITLE();
    // A lesson whose first step is still under way when it is abandoned.
    struct Abandoned : LinesLauncherState
    {
        Abandoned() : LinesLauncherState(1, true, true) {}
        void enter() override { GameState::enter(); }
    };
    TaskRun run;
    run.push(new TaskStudioState(TaskType::LocationTask, "tasks/firehouse.task", LocationName::Firehouse));
    ASSERT_TRUE(run.untilDrawing());
    Application::PushGameState(new Abandoned);
    run.frame();
    Application::PopGameState();
    ASSERT_TRUE(run.until([&] { return run.stackSize() == 1; }, 10));
    run.frame();
    EXPECT_FALSE(TaskStudioState::skip);
    const std::vector<std::string> records = run.records();
    ASSERT_LE(2u, records.size());
    EXPECT_EQ((std::vector<std::string>{"ActivityExit 0 3", "GameAreaExit"}),
              std::vector<std::string>(records.end() - 2, records.end()));
}

TEST(TaskScreenThreadTest, ALetterTaskReplaysItsPromptOnAHintAndQuitsWithTheLetterSequence)
{
    REQUIRE_LESSONS_TITLE();
    TaskRun run;
    Application::PushGameState(new Below);
    run.frame();
    TaskStudioState* letter = run.push(new TaskStudioState(TaskType::LetterTask, 10, LocationName::WritingLesson));
    ASSERT_TRUE(run.until([&] { return letter->dizavoDuv != nullptr; }, 5)) << "the letter character";
    EXPECT_EQ("p1", letter->dizavoDuvController->getPose());

    ASSERT_TRUE(run.untilDrawing());
    const std::string prompt = letter->getTask()->lines[0].promptAudio.at(0);
    const size_t prompts = std::count(run.spoken.begin(), run.spoken.end(), prompt);
    run.button(0x200);
    ASSERT_TRUE(run.untilDrawing());
    EXPECT_EQ(prompts + 1, static_cast<size_t>(std::count(run.spoken.begin(), run.spoken.end(), prompt)));

    // No: the interrupted speech again. Yes: the letter task and the sequence below go.
    letter->getAudioPlayer()->playSpeech(prompt);
    run.button(0x100);
    EXPECT_TRUE(letter->quitDialogOpen);
    EXPECT_TRUE(letter->getAudioPlayer()->getCurrentSpeechFile().empty() ||
                letter->getAudioPlayer()->getCurrentSpeechFile() == "h_SCRIVLET_AreYSrYWntTQt_4.ogg");
    click(run, NoX, ButtonY);
    EXPECT_FALSE(letter->quitDialogOpen);
    EXPECT_EQ(prompt, letter->getAudioPlayer()->getCurrentSpeechFile());
    run.button(0x20);
    click(run, YesX, ButtonY);
    ASSERT_TRUE(run.until([&] { return run.stackSize() == 1; }, 200));
    const std::vector<std::string> records = run.records();
    EXPECT_EQ(1, std::count(records.begin(), records.end(), "ActivityStart WL_upper_A NA 1"));
    EXPECT_EQ(1, std::count(records.begin(), records.end(), "HintRequest 1 "));
    EXPECT_EQ("ActivityExit 0 3", records.back()) << "a letter task opens no game area";
}

TEST(TaskScreenThreadTest, ADownloadedTaskUsesItsOwnPictureAndABrokenOneIsLeft)
{
    REQUIRE_LESSONS_TITLE();
    const std::string folder = title().scratch + "/download/", broken = title().scratch + "/broken/";
    std::filesystem::create_directories(folder + "images/task");
    std::filesystem::create_directories(broken);
    std::filesystem::copy_file(title().path + "tasks/firehouse.task", folder + "dlc.task");
    TexturePtr own(new Texture(640, 480, PixelFormat::RGBA8888));
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            own->setPixel(ColorRGBA<unsigned char>(10, 200, 30, 255), x, y);
    ASSERT_TRUE(own->save(folder + "images/task/firehouse_background.png"));
    std::ofstream(broken + "dlc.task") << "{\"lines\": ";

    TaskRun run;
    TaskStudioState* town = run.push(new TaskStudioState(folder));
    EXPECT_EQ(LocationName::Lesson, town->getLocation());
    EXPECT_EQ(ColorRGBA<unsigned char>(10, 200, 30, 255),
              town->getSceneManager().getTexture("task/firehouse_background.png")->getPixel(5, 5));
    run.button(0x100);
    click(run, YesX, ButtonY);
    ASSERT_TRUE(run.until([&] { return run.stackSize() == 1; }, 200));

    const std::vector<std::string> out = printed([&] {
        run.push(new TaskStudioState(broken));
        run.frame();
    });
    EXPECT_EQ(1, std::count_if(out.begin(), out.end(), [&](const std::string& line) {
                  return line.find("Refused task file " + broken + "dlc.task") == 0;
              }));
    EXPECT_EQ(1u, run.stackSize()) << "the run goes on without it";
}
