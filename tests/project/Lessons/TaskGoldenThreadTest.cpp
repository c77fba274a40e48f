// The task studio's screens drawn through the OpenGL ES 1 renderer and
// compared with reviewed pictures in tests/data/lessons/.
#include "LessonsTestSupport.h"
#include "project/Drawing/DrawingTestSupport.h"

#include "KelmOpenGLConfig.h"

#include <cstring>

using namespace LessonsTest;

namespace
{
// The frame last drawn, top row first.
TexturePtr shown()
{
    const std::vector<std::uint8_t> frame = Vantorel::Kelm::KelmOpenGLConfig::readFrame();
    TexturePtr picture(new Texture(320, 240, PixelFormat::RGBA8888));
    std::memcpy(picture->getPixels(), frame.data(), picture->getSize());
    return picture;
}
}

TEST(TaskGoldenThreadTest, ALessonBeforeAndAfterTracingALocationWithItsTalkersAndTheQuitQuestion)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer::getCurrentPlayerData()->locale = 0;
    {
        TaskRun run;
        TaskStudioState* lesson = run.push(new TaskStudioState(TaskType::WritingLesson, 11, LocationName::WritingLesson));
        ASSERT_TRUE(run.untilDrawing());
        ASSERT_TRUE(run.until([&] { return lesson->blinkCount == 1; })) << "the dashed guide shown by its first blink";
        DrawingTest::expectGolden(shown(), "lesson_before_tracing", "lessons");
        // A stroke that leaves the line halfway is taken back before the
        // help: the picture after tracing holds the right strokes only.
        const std::vector<Vector2<tFixed>>& points = lesson->getTask()->lines[0].allPoints;
        std::vector<Vector2<tFixed>> wrong(points.begin(), points.begin() + points.size() / 2);
        wrong.push_back(wrong.back() + at(60, 0));
        run.stroke(wrong);
        ASSERT_EQ(TaskStudioState::TaskHelp, lesson->getState());
        for (int k = 0; k < 2; ++k)
        {
            ASSERT_TRUE(run.untilDrawing());
            run.traceLine();
        }
        ASSERT_TRUE(run.untilPhase(TaskStudioState::Epilogue));
        run.frame();
        DrawingTest::expectGolden(shown(), "lesson_after_tracing", "lessons");
        run.button(0x100);
        run.frame();
        ASSERT_TRUE(lesson->quitDialogOpen);
        DrawingTest::expectGolden(shown(), "quit_question", "lessons");
    }
    TaskRun run;
    run.push(new TaskStudioState(TaskType::LocationTask, "tasks/firehouse.task", LocationName::Firehouse));
    for (int i = 0; i < 30; ++i)
        run.frame();
    DrawingTest::expectGolden(shown(), "location_with_talkers", "lessons");
    ASSERT_TRUE(run.untilPhase(TaskStudioState::TaskIntro));
    EXPECT_EQ(TaskState::Started, ScrivletPlayer::getCurrentPlayerData()->locationStates[LocationName::Firehouse])
        << "the prologue heard";
}
