// Every task file of the generated title: read without a message, everything
// it names present, and every traced line traced by touches along its own
// points; wrong touches on the writing lessons get their answers.
#include "LessonsTestSupport.h"

#include <algorithm>
#include <set>
#include <fstream>
#include <iterator>

using namespace LessonsTest;

namespace
{
const std::set<std::string> launchCodes = {"DSL", "DCL", "DDL", "CPH", "DWO", "DOC", "SEC", "SET", "SER",
                                           "TRI", "REC", "CIR", "HEX", "PSC", "WCC", "WCA", "AFB"};

bool exists(const std::string& file) { return std::filesystem::exists(title().path + file); }

std::string bytesOf(const std::string& file)
{
    std::ifstream in(title().path + file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Down on the first point, along every point, up on the last: the answer.
int trace(Task& task, int index, size_t upTo)
{
    const std::vector<Vector2<tFixed>>& points = task.lines[index].allPoints;
    task.newAnswer();
    task.verifyTouch(index, TouchType::Down, points[0]);
    for (size_t k = 1; k <= upTo; ++k)
        task.verifyTouch(index, TouchType::Move, points[k]);
    task.verifyTouch(index, TouchType::Up, points[upTo]);
    return task.answer;
}

int touch(Task& task, int index, eTouchType type, Vector2<tFixed> pos, bool fresh)
{
    if (fresh)
        task.newAnswer();
    task.verifyTouch(index, type, pos);
    return task.answer;
}

Vector2<tFixed> offset(const Vector2<tFixed>& p, int dx, int dy) { return Vector2<tFixed>(p.x + tFixed(dx), p.y + tFixed(dy)); }

// A detour from p that is near no point of the line.
Vector2<tFixed> awayFrom(const TaskLine& line, const Vector2<tFixed>& p)
{
    const int d = 3 * line.radius;
    for (const auto& step : {std::make_pair(d, d), std::make_pair(-d, -d), std::make_pair(d, -d), std::make_pair(-d, d)})
    {
        const Vector2<tFixed> there = offset(p, step.first, step.second);
        if (std::none_of(line.allPoints.begin(), line.allPoints.end(),
                         [&](const Vector2<tFixed>& q) { return Task::vVerifyDist(q, there, line.radius); }))
            return there;
    }
    return offset(p, 0, 10 * d);
}
}

TEST(TitleTasksTest, EveryTaskReadsWithWhatItNamesAndEveryTracedLineIsTraced)
{
    REQUIRE_LESSONS_TITLE();
    Recording recording;
    std::vector<std::pair<std::string, int>> stems; // stem and location; 26 for writing lessons
    for (const auto& entry : std::filesystem::directory_iterator(title().path + "tasks"))
    {
        const std::string stem = entry.path().stem().string();
        const auto art = std::find(std::begin(lessonStems), std::end(lessonStems), stem);
        const TaskStudioState::TownLocation* town = TaskStudioState::findTownLocation(stem);
        stems.push_back({stem, town ? town->location : art != std::end(lessonStems) ? 27 + int(art - std::begin(lessonStems)) : 26});
    }
    ASSERT_EQ(134u, stems.size());
    EXPECT_EQ(91, std::count_if(stems.begin(), stems.end(), [](const std::pair<std::string, int>& s) { return s.second == 26; }));
    std::set<int> requirements; // of the colour lines of location tasks
    int pickups = 0;
    for (const auto& stem : stems)
    {
        SCOPED_TRACE(stem.first);
        const eTaskType type = stem.second == 26 ? TaskType::WritingLesson
                               : stem.second < 27 ? TaskType::LocationTask
                                                  : TaskType::AdvancedLesson;
        std::unique_ptr<TaskStudioState> made;
        const std::vector<std::string> output =
            printed([&] { made = state(type, stem.first, static_cast<LocationName::Type>(stem.second)); });
        for (const std::string& line : output)
            EXPECT_TRUE(line.empty() || line == "NUM_TEST_POINTS: 0") << line; // dots are of no length
        Task& task = *made->getTask();
        ASSERT_FALSE(task.isRefused());
        task.audio = recording.player.get();

        // What the file names is in the title.
        EXPECT_TRUE(exists("images/" + task.background) && exists("metadata/" + task.metadataID + ".tex"));
        const std::string sheet = bytesOf("metadata/" + task.metadataID + ".tex");
        std::vector<std::string> sounds = task.prologue;
        sounds.push_back(task.bgMusic);
        for (const DoodleStruct& who : task.characters)
            EXPECT_TRUE(exists("metadata/" + who.directory + ".chr")) << who.name;
        int dots = 0, subLessons = 0, launching = 0, colouring = 0;
        for (size_t i = 0; i < task.lines.size(); ++i)
        {
            TaskLine& line = task.lines[i];
            sounds.insert(sounds.end(), line.promptAudio.begin(), line.promptAudio.end());
            sounds.insert(sounds.end(), line.caAudio.begin(), line.caAudio.end());
            for (const std::string& overlay : {line.solidOverlayImage, line.dashedOverlayImage, line.fillOverlayImage})
                EXPECT_TRUE(overlay.empty() || sheet.find(overlay) != std::string::npos) << overlay;
            if (!line.fillMaskImage.empty())
            {
                // The mask has the picture's size and holds the box.
                const TexturePtr mask = Texture::fromFile(title().path + "images/" + line.fillMaskImage);
                const TexturePtr picture = Texture::fromFile(title().path + "images/" + task.background);
                ASSERT_TRUE(mask && picture) << line.fillMaskImage;
                EXPECT_TRUE(mask->getWidth() == picture->getWidth() && mask->getHeight() == picture->getHeight());
                const TaskLine::Box& box = line.fillBox;
                EXPECT_TRUE(box.x >= tFixed(0) && box.y >= tFixed(0) && box.w > tFixed(0) && box.h > tFixed(0) &&
                            box.x + box.w <= tFixed(mask->getWidth()) && box.y + box.h <= tFixed(mask->getHeight()));
                if (type == TaskType::LocationTask)
                    requirements.insert(line.fillColorReq);
            }
            if (line.pickup.present)
            {
                EXPECT_NE(std::string::npos, sheet.find(line.pickup.icon));
                ++pickups;
            }
            // A sub-lesson runs the writing lesson of its character.
            const int c = line.subLessonChar;
            const int lesson = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 61 : c - 55;
            EXPECT_TRUE(line.subLessonPath.empty() ||
                        exists(std::string("tasks/") + TaskStudioState::writingLessons[lesson][1] + ".task"));
            colouring += !line.fillMaskImage.empty();
            subLessons += !line.subLessonPath.empty();
            launching += launchCodes.count(line.loggingID) != 0;
            if (!line.isTracing())
                continue;
            const size_t n = line.allPoints.size();
            dots += line.isDotLine();
            // Judged quietly; the answers are compared once the debug lines are gone.
            std::vector<std::pair<int, int>> answers; // wanted, given
            const int index = static_cast<int>(i), r = line.radius;
            printed([&] {
                answers.push_back({1, trace(task, index, n - 1)});
                if (type != TaskType::WritingLesson)
                    return;
                if (line.isDotLine())
                {
                    answers.push_back({5, touch(task, index, TouchType::Down, offset(line.allPoints[0], r + 6, 0), true)});
                    return;
                }
                if (!Task::vVerifyDist(line.allPoints[0], line.allPoints[n - 1], r))
                    answers.push_back({2, touch(task, index, TouchType::Down, line.allPoints[n - 1], true)});
                touch(task, index, TouchType::Down, line.allPoints[0], true);
                answers.push_back({4, touch(task, index, TouchType::Move, awayFrom(line, line.allPoints[1]), false)});
                if (n >= 4)
                    answers.push_back({3, trace(task, index, n / 4)});
            });
            for (const auto& answer : answers)
                EXPECT_EQ(answer.first, answer.second) << "line " << i;
        }
        for (const std::string& sound : sounds)
            EXPECT_TRUE(exists("audio/" + sound)) << sound;

        if (type == TaskType::WritingLesson)
        {
            EXPECT_GE(task.prologue.size(), 3u);
            EXPECT_EQ(1u, task.epilogue.size());
            EXPECT_NE(std::string::npos, task.loggingIDs[1].find(stem.first));
        }
        else if (type == TaskType::LocationTask)
        {
            EXPECT_EQ(2u, task.characters.size());
            EXPECT_TRUE(dots >= 1 && subLessons >= 1 && launching >= 1);
            EXPECT_TRUE(std::any_of(task.lines.begin(), task.lines.end(), [](const TaskLine& l) { return l.zoom != 0; }));
        }
        EXPECT_TRUE(stem.first != "animation" || task.lines.size() == 7u);
        EXPECT_TRUE(stem.first != "seeing_shapes" || task.lines.size() >= 4u);
        EXPECT_TRUE((stem.first != "wild" && stem.first != "calm") || colouring >= 1);
        EXPECT_TRUE(stem.first != "wild" || task.lines.back().fillColorReqEx == 2);
        EXPECT_TRUE(stem.first != "calm" || task.lines.back().fillColorReqEx == 1);
    }
    EXPECT_EQ((std::set<int>{0, 1, 2, 3, 4, 5, 7, 8, 9}), requirements);
    EXPECT_GE(pickups, 1);
}
