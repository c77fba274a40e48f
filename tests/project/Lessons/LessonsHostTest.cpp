// Tasks and lessons played in the real host, headless on a fixed step of 20 ms,
// on the generated title: one run per row, its script built by the lesson
// player after the trace events each step waits for (speech lasts a second),
// its phases, sounds, usage records and screenshots compared.
#include "TaskScreenSupport.h"

#include "Resources/Lessons/AnimationLauncherState.h"
#include "Resources/Lessons/ColorsLauncherState.h"
#include "Resources/Lessons/CompositionLauncherState.h"
#include "Resources/Lessons/LinesLauncherState.h"
#include "Resources/Lessons/OrganicShapesLauncherState.h"
#include "Resources/Lessons/SeeingShapesLauncherState.h"
#include "Resources/Lessons/ShapesLauncherState.h"
#include "Resources/Lessons/WarmCoolLauncherState.h"
#include "Resources/Lessons/WildCalmLauncherState.h"
#include "Resources/Profile/TaskDownload.h"
#include "support/FileFaults.h"
#include "TitleFiles.h"

#include <regex>

#ifdef TOVRANE_HOST_PROGRAM

using namespace LessonsTest;

namespace
{
typedef std::vector<std::string> Lines;
Lines operator+(Lines a, const Lines& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
Lines operator*(int n, const Lines& part) { return n > 0 ? part + (n - 1) * part : Lines(); }
const Lines traced = {"TaskIntro", "TaskDraw", "TaskOutro"};
// Three lines of a town task traced, its fourth a sub-lesson of `strokes`, its fifth traced.
Lines walk(int strokes)
{
    return 3 * traced + Lines{"TaskIntro", "TaskSubLesson"} + strokes * traced + Lines{"Epilogue", "FreeFormPrologue"} +
           strokes * Lines{"FreeFormTaskIntro", "FreeFormTaskDraw", "FreeFormTaskOutro"} +
           Lines{"FreeFormEpilogue", "TaskOutro"} + traced;
}

struct LessonsHost;
typedef std::function<void(LessonsHost&)> Step;

// One run: its start, the script (and files) it begins with, the phases and
// usage records expected ("..." first: the last ones), how often sounds whose
// names contain a text start (-1: at least once), the screenshots with their reviewed pictures,
// and what else the run must show.
struct HostCase
{
    const char* name;
    std::string start;
    Step play;
    Lines phases;
    std::vector<std::pair<const char*, int>> sounds;
    Lines records;
    std::vector<std::pair<const char*, const char*>> goldens;
    Step check;
    int frames = 9000;
};

struct LessonsHost : HostFolderTest, ::testing::WithParamInterface<HostCase>
{
    LessonsHost() : HostFolderTest("lessons-host"), player(script) {}
    using HostFolderTest::file;
    using HostFolderTest::expectSameShots;

    int count(const std::string& sound) const { return static_cast<int>(with(sounds, sound).size()); }
    int recorded(const std::string& record) const { return static_cast<int>(with(records, record).size()); }
    // The frame the nth sound whose name contains `sound` started in, or 0.
    unsigned started(const std::string& sound, size_t nth = 0) const
    {
        const std::vector<TraceLine> found = r.all("audio-start", sound);
        return nth < found.size() ? found[nth].frame : 0;
    }
    std::string bytes(const std::string& name) const
    {
        std::ifstream in(file("data/players/0/Scrivlet/" + name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The lesson states the run begins with: 64 writing lessons started, then the art lessons.
    void lessonStates(const std::string& art)
    {
        std::string states;
        for (size_t entry = 0; entry < 64 + art.size(); ++entry)
            states += std::string(1, entry < 64 ? '\1' : art[entry - 64]) + std::string(3, '\0');
        std::filesystem::create_directories(file("data/players/0/Scrivlet"));
        std::ofstream(file("data/players/0/Scrivlet/lesson.bin"), std::ios::binary) << states;
    }
    // The counts printed at each lift of a colouring stroke.
    Lines fillCounts() const { return with(linesOf(r.output), "COLOR_FILL - COLORED: "); }
    void shot(const std::string& when, const std::string& name) { script.at(when, "shot " + file(name)); }
    TovraneTools::Picture picture(const std::string& name) const
    {
        TovraneTools::Picture shot;
        EXPECT_TRUE(TovraneTools::readPng(file(name), shot)) << name;
        return shot;
    }

    Script script;
    LessonPlayer player;
    std::string start, options;
    HostRun r;
    Lines phases, sounds, records;
};

void PrintTo(const HostCase& c, std::ostream* out) { *out << c.name; }

void expectLines(const Lines& want, const Lines& got, const char* what)
{
    const bool tail = !want.empty() && want[0] == "...";
    const size_t n = want.size() - tail;
    if (!want.empty())
    {
        EXPECT_EQ(Lines(want.begin() + tail, want.end()), tail && got.size() >= n ? Lines(got.end() - n, got.end()) : got) << what;
    }
}

TaskStudioState* town(const std::string& stem)
{
    static std::map<std::string, std::unique_ptr<TaskStudioState>> made;
    if (!made[stem])
        made[stem] = state(TaskType::LocationTask, stem, TaskStudioState::findTownLocation(stem)->location);
    return made[stem].get();
}
Screen lastPoints(const Screen& points, ScreenPoint off) { return Screen{points[0], points[1], points[2], points[3], off}; }

// An art lesson with `lines` lines, each traced, the line `wrong` after six
// strokes that start off it. The guide faces the child to say each prompt,
// hint and praise with its mouth moving, and turns back to its picture while
// the child draws; two hints of the location's pool come, at the third wrong
// answer and two or three later, each said once. Without a guide (location
// 45) the same speech is played directly.
HostCase guideTalks(const char* name, int location, size_t lines, size_t wrong)
{
    const std::string hint = "wrong turn hint on done off back";
    const std::string wrongs = "(wrong ){2}" + hint + " (wrong " + hint + " wrong |wrong wrong " + hint + " )";
    std::string talk = "on prompt done off back ";
    Lines phases;
    for (size_t k = 0; k < lines; ++k)
    {
        talk += std::string(k ? " prompt done off back " : "") + (k == wrong ? wrongs : "") + "right turn on praise done";
        phases = phases + Lines{"TaskIntro", "TaskDraw"} + (k == wrong ? 6 : 0) * Lines{"TaskHelp", "TaskDraw"} + Lines{"TaskOutro"};
    }
    if (location == 45)
        talk = std::regex_replace(talk, std::regex("\\b(turn|on|off|back) "), "") + " h_SCRIVLET_YesThatsIt_5.ogg done";
    const std::string question = std::to_string(wrong + 1);
    return {name, "advanced:" + std::to_string(location),
            [location, lines, wrong](LessonsHost& t) {
                const std::unique_ptr<TaskStudioState> lesson = artLesson(location);
                ASSERT_EQ(lines, lesson->getTask()->lines.size());
                Screen off = onScreen(lesson->getTask()->lines.at(wrong), 320, 240);
                for (ScreenPoint& p : off)
                    p.second += 50;
                t.player.playTask(*lesson, 0, wrong);
                for (int k = 0; k < 6; ++k)
                    t.player.stroke("TaskDraw", off, 5);
                t.player.playTask(*lesson, wrong);
            },
            phases + Lines{"Epilogue"}, {{"WrongAnswerSfx", 6}},
            {}, {},
            [location, talk, question](LessonsHost& t) {
                EXPECT_EQ(Lines{"WrongAnswer " + question + "  Out of Bounds"}, with(t.records, "WrongAnswer")) << "at the third";
                const std::unique_ptr<TaskStudioState> lesson = artLesson(location);
                const Task& task = *lesson->getTask();
                const std::string words = LessonPlayer::guideWords(t.r, task);
                EXPECT_TRUE(std::regex_match(words, std::regex(talk))) << words << "\n" << talk;
                int hints = 0;
                for (const std::string& hint : task.waSpeech)
                {
                    EXPECT_GE(1, t.count(hint)) << hint << " said once at most";
                    hints += t.count(hint);
                }
                EXPECT_EQ(2, hints);
            }};
}

// Lesson 11 in a locale: "upper_B" in en-us traced right; "uk_upper_B" in
// en-gb from the wrong end, off the line and lifted early before each right trace.
HostCase writingLesson(bool gb)
{
    const std::string stem = gb ? "uk_upper_B" : "upper_B";
    const int n = gb ? 3 : 2;
    return {gb ? "lesson_en_gb_wrong_first" : "lesson_en_us", "lesson:11",
            [gb](LessonsHost& t) {
                t.options = gb ? "--locale en-gb" : "--locale en-us";
                ScrivletPlayer::getCurrentPlayerData()->locale = gb ? 2 : 0;
                const TaskStudioState lesson(TaskType::WritingLesson, 11, LocationName::WritingLesson);
                ScrivletPlayer::getCurrentPlayerData()->locale = 0;
                const std::vector<TaskLine>& lines = lesson.getTask()->lines;
                for (size_t k = 0; k < lines.size(); ++k)
                {
                    const Screen right = onScreen(lines[k], 320, 240);
                    Screen wrong = k == 0 ? Screen(right.rbegin(), right.rend()) : Screen(right.begin(), right.begin() + right.size() / 2);
                    if (k == 1)
                        wrong.push_back({wrong.back().first + 80, wrong.back().second});
                    if (gb)
                        t.player.stroke("TaskDraw", wrong);
                    t.player.stroke("TaskDraw", right);
                }
            },
            n * (gb ? Lines{"TaskIntro", "TaskDraw", "TaskHelp", "TaskDraw", "TaskOutro"} : traced) + Lines{"Epilogue"},
            {{gb ? "Write_uk_upper_B_3" : "Write_upper_B_3", 1}, {"StartAtTheGreenDot", n}, {"CorrectAnswerSfx", n},
             {"WrongAnswerSfx", gb ? n : 0}, {"StartHrAndDrwALnTHr_3_v0", -gb}, {"StartHrAndKpYrStyls", -gb}},
            {"GameAreaStart WL_" + stem, "ActivityStart WL_" + stem + " NA 1", "CorrectAnswer 1 " + stem + " " + stem,
             "ActivityExit 0 1", "GameAreaExit"},
            {},
            [gb](LessonsHost& t) {
                EXPECT_EQ(gb, t.r.output.find("OFF LINE") != std::string::npos);
                EXPECT_EQ(0u, t.sounds.back().find("h_SCRIVLET_")) << "the closing praise last";
                EXPECT_EQ(3, t.bytes("lesson.bin").at(44)) << "lesson 11 complete";
            }};
}

// A lesson as the menu starts it, played to its end in a game area of its own.
HostCase practice(const char* name, const std::function<LessonLauncherState*()>& make)
{
    return {name, std::string("launcher:") + name,
            [make](LessonsHost& t) { t.player.playLesson(*std::unique_ptr<LessonLauncherState>(make())); }, {}, {}, {}, {},
            [make](LessonsHost& t) {
                const std::unique_ptr<LessonLauncherState> launcher(make());
                EXPECT_EQ(t.player.steps, LessonPlayer::stepsIn(t.r));
                const std::vector<TraceLine> enters = t.r.all("enter");
                ASSERT_LE(3u, enters.size());
                EXPECT_EQ(launcher->getStateName(), enters[1].detail);
                EXPECT_EQ("LauncherStandIn", enters.back().detail) << "the launcher has popped";
                EXPECT_EQ(t.r.all("exit", launcher->getStateName()).size(), t.r.all("enter", launcher->getStateName()).size());
                EXPECT_EQ(1, t.recorded("GameAreaStart " + launcher->getGameArea()));
                EXPECT_EQ(1, t.recorded("GameAreaExit"));
            }};
}

// Frame 230 of a lesson started by the menu: a task's prologue, or a game's
// guide talking; or a task past its prompt, whose guide has turned to its
// picture (as the trace shows) while the child draws.
HostCase lessonLook(const char* name, const char* start, const char* golden, bool guideTurned = false)
{
    return {name, std::string("launcher:") + start,
            [](LessonsHost& t) { t.options = "--screenshot 230:" + t.file("shot.png"); }, {}, {}, {},
            {{"shot.png", golden}},
            [guideTurned](LessonsHost& t) {
                if (!guideTurned)
                    return;
                const unsigned turned = t.r.first("debug", "GUIDE TURN=p1_to_p2").frame;
                EXPECT_TRUE(turned > 0 && turned < 230) << "the guide listens while the child draws";
            },
            240};
}

// A download: a copy of the firehouse task with a picture of its own, quit at once.
HostCase download(const char* name, const std::string& damage, const char* message)
{
    return {name, "download:",
            [damage](LessonsHost& t) {
                const std::string folder = t.file("download/");
                std::filesystem::create_directories(folder + "images/task");
                std::ifstream original(title().path + "tasks/firehouse.task");
                std::string text((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
                if (damage == "background")
                {
                    text.replace(text.find("task/firehouse_background.png"), 29, "own.png");
                    std::ofstream(folder + "images/own.png") << "not a picture";
                }
                std::ofstream(folder + "dlc.task") << (damage == "cut" ? "{\"lines\": " : text);
                TovraneTools::Picture own(640, 480, TovraneTools::Colour{10, 200, 30, 255});
                ASSERT_TRUE(TovraneTools::writePng(folder + "images/task/firehouse_background.png", own));
                t.start += folder;
                t.options = "--screenshot 50:" + t.file("download.png");
                t.script.at("60", "click escape");
                t.script.at("72", "tap 115 160");
            },
            {}, {}, {}, {},
            [damage, message](LessonsHost& t) {
                if (!*message)
                {
                    EXPECT_EQ(200, t.picture("download.png").get(4, 4).g) << "its own picture, not the title's of the same name";
                }
                const std::string folder = damage == "cut" ? t.start.substr(9) + "dlc.task" : "";
                EXPECT_NE(std::string::npos, t.r.output.find(message + folder)) << t.r.output;
                EXPECT_EQ(!*message, !t.records.empty()) << "a refused task writes no usage record";
            }};
}


// A picture a download brings under "images/": its name and size, with alpha
// or without, or only its first 300 bytes.
struct Brought
{
    std::string name;
    int width, height;
    bool alpha = true, cut = false;
    // "canvas", "overlay", "dashed" (the next line's), "shared" (without ".png", a sprite of it in an own
    // shared.tex, as the next line's overlay), "at:ID", "at2:ID" (the overlays of the line logged as ID),
    // "sheet:NAME" (the own shared.tex names a sprite NAME on it; "cut-sheet:NAME", that shared.tex cut
    // short); of no size, the title's picture or sprite
    std::string uses = "";
    // What follows `key` in `uses`, up to a blank; empty without it.
    std::string word(const std::string& key) const
    {
        const size_t at = uses.find(key), from = at + key.size();
        return at == std::string::npos ? std::string() : uses.substr(from, uses.find(' ', from) - from);
    }
};
// What the download's own pictures take in texture memory: sprites at 16
// bits; the background in tiles of 128 pixels at its own bytes a pixel, with
// the canvas over it, two bytes a pixel, held twice once a stroke is taken back.
std::uint64_t tiles(const Brought& p)
{
    return std::uint64_t(p.width + 127) / 128 * ((p.height + 127) / 128) * 128 * 128;
}
std::uint64_t asBackground(const Brought& p) { return tiles(p) * ((p.alpha ? 4 : 3) + 2 * 2); }
std::uint64_t asSprite(const Brought& p) { return std::uint64_t(p.width) * p.height * 2; }

// A copy of the firehouse task bringing pictures: "own/big.png" as its
// background, any other under the title's name of a picture the task shows;
// with `sheets`, copies of the title's sheets of the task and its townsfolk,
// which name those pictures as the download's own. Refused at entry with
// `refusal` ("over": past its count), or played to a stroke off its first line, the quit question
// in the help, then quit: every texture is made, the renderer's own peak is within the entry's
// count and above the pictures as `counted`, and the entry opens each picture once ("whole": played to
// its end, its lines touched once their dashed overlays show). Of the task
// `base`, with `characters` ("scene/name"; "own_scene/k" idles on own/k_idle_001.png and 002).
HostCase ownPictures(const char* name, const std::vector<Brought>& pictures, bool sheets, std::uint64_t counted,
                     const std::string& refusal, const Lines& characters = {}, const std::string& base = "firehouse")
{
    return {name, "download:",
            [pictures, sheets, refusal, characters, base](LessonsHost& t) {
                const std::string folder = t.file("download/");
                std::filesystem::create_directories(folder + "metadata");
                std::ifstream original(title().path + "tasks/" + base + ".task");
                std::string text((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
                int width = 640, height = 480;
                auto next = [&text, &base](const std::string& kind, const std::string& name) {
                    text = std::regex_replace(text, std::regex("task/" + base + "_\\d_" + kind + "\\.png"), name,
                                              std::regex_constants::format_first_only);
                };
                for (const Brought& p : pictures)
                {
                    std::filesystem::create_directories(std::filesystem::path(folder + "images/" + p.name).parent_path());
                    const TovraneTools::Picture picture(p.width, p.height, TovraneTools::Colour{10, 200, 30, 255});
                    const std::string path = folder + "images/" + p.name;
                    ASSERT_TRUE(!p.width || (p.alpha ? TovraneTools::writePng(path, picture) : TovraneTools::writeRgbPng(path, picture)));
                    if (p.cut)
                        std::filesystem::resize_file(path, 300);
                    if (p.name == "own/big.png")
                    {
                        text.replace(text.find("task/" + base + "_background.png"), base.size() + 20, p.name);
                        width = p.width, height = p.height;
                    }
                    if (p.uses.find("canvas") != std::string::npos)
                        text.insert(1, "\"canvas\": \"" + p.name + "\","), width = p.width, height = p.height;
                    if (p.uses.find("overlay") != std::string::npos)
                        next("solid", p.name);
                    if (p.uses.find("dashed") != std::string::npos)
                        next("dashed", p.name);
                    for (const std::string key : {"at:", "at2:"})
                        if (!p.word(key).empty())
                            text.insert(text.find("\"logging_ID\" : \"" + p.word(key) + "\""), (key == "at:" ? "\"overlay\": {\"image\": \"" + p.name +
                                        "\"}, " : "\"overlay2\": \"" + p.name + "\", "));
                    if (p.uses.find("shared") != std::string::npos)
                    {
                        const std::string sprite = p.name.substr(0, p.name.size() - 4);
                        next("solid", sprite);
                        ASSERT_TRUE(TovraneTools::writeBytes(folder + "metadata/shared.tex", TovraneTools::encodeTex({{p.name, {{sprite}}}})));
                    }
                    if (!p.word("sheet:").empty())
                    {
                        const std::string tex = TovraneTools::encodeTex({{p.name, {{p.word("sheet:")}}}});
                        const size_t cut = p.word("cut-").empty() ? 0 : 9;
                        ASSERT_TRUE(TovraneTools::writeBytes(folder + "metadata/shared.tex", tex.substr(0, tex.size() - cut)));
                    }
                }
                for (const std::string& c : characters)
                    text.insert(text.find("[", text.find("character_data")) + 1, "{\"directory\": \"" + c.substr(0, c.find('/')) +
                                "\", \"name\": \"" + c.substr(c.find('/') + 1) + "\", \"pos\": [320, 240, 1], \"scale\": [1, 1, 1]},");
                std::ofstream(folder + "metadata/own_scene.tex");
                std::ofstream(folder + "metadata/own_scene.chr") << std::string("\1k\1\0\0\0\3own\4idle\2\0\0\0", 19);
                for (const char* sheet : {"task_firehouse.tex", "townsfolk.tex"})
                    if (sheets)
                        std::filesystem::copy_file(title().path + "metadata/" + sheet, folder + "metadata/" + sheet);
                std::ofstream(folder + "dlc.task") << text;
                t.start += folder;
                // Each line touched once its dashed overlay shows; the firehouse shot as its sub-lesson
                // begins and once it is entered anew after it.
                if (refusal == "whole")
                    t.lessonStates("\1\1\3"), t.player.playTask(*town(base), 0, base == "firehouse" ? 3 : ~size_t(0));
                if (refusal == "whole" && base == "firehouse")
                {
                    t.script.after("debug", "NEW_STATE=TaskSubLesson");
                    t.shot("+0", "before.png");
                    t.player.playTask(*town(base), 3, 4);
                    t.script.after("debug", "NEW_STATE=FreeFormEpilogue");
                    t.script.after("debug", "NEW_STATE=TaskOutro");
                    t.shot("+0", "after.png");
                    t.player.playTask(*town(base), 4);
                }
                if (refusal == "whole")
                    t.script.text = afterTheBlink(t.script.text);
                if (!refusal.empty())
                    return;
                // Down far from where the first line begins: a wrong start.
                const ScreenPoint begin = onScreen(town(base)->getTask()->lines.at(0), width, height).front();
                const int x = std::max(10, std::min(280, begin.first < 160 ? begin.first + 120 : begin.first - 120));
                const int y = std::max(20, std::min(220, begin.second));
                t.player.stroke("TaskDraw", {{x, y}, {x + 15, y}, {x + 30, y}});
                // Judged at the touch: the quit question in the help, answered no.
                t.script.at("+4", "click escape");
                t.script.at("+16", "tap 205 160");
                t.script.after("debug", "NEW_STATE=TaskDraw");
                t.script.at("+10", "click escape");
                t.script.at("+22", "tap 115 160");
                t.script.text = afterTheBlink(t.script.text);
            },
            // The quit leaves through the exit phase, which has no name.
            refusal.empty() ? Lines{"...", "TaskDraw", "TaskHelp", "TaskDraw", ""} : refusal == "whole" ? Lines{"...", "Epilogue"} : Lines{},
            {}, {}, {},
            [pictures, counted, refusal = refusal, shots = refusal == "whole" && base == "firehouse"](LessonsHost& t) mutable {
                FileFaults::countReadOpens(true);
                const TaskStudioState entry(t.start.substr(9));
                printed([&entry] { entry.hasAssets(); });
                // A picture only the download's own shared.tex names is never read.
                for (const Brought& p : pictures)
                {
                    if (p.width || std::filesystem::exists(title().path + "images/" + p.name))
                    {
                        EXPECT_EQ(p.word("sheet:").empty(), FileFaults::readOpens()[p.name.substr(p.name.rfind('/') + 1)])
                            << p.name << " opened once at entry";
                    }
                }
                refusal = refusal == "over" ? pastBudget(entry.screenTextureBytes()) : refusal == "whole" ? "" : refusal;
                const Lines output = linesOf(t.r.output);
                EXPECT_EQ(refusal.empty() ? Lines{} : Lines{"Refused task file " + t.start.substr(9) + "dlc.task: " + refusal},
                          with(output, "Refused"));
                EXPECT_EQ(Lines{}, with(output, "Out of texture memory"));
                for (const char* hole : {"Could not read", "Could not load", "shared.tex"})
                    EXPECT_EQ(Lines{}, with(output, hole));
                EXPECT_EQ(refusal.empty(), !t.records.empty()) << "a refused task writes no usage record";
                if (!refusal.empty())
                    return;
                const std::uint64_t peak = texturePeak(t.r);
                EXPECT_GT(peak, counted) << "its own pictures were shown";
                EXPECT_LE(peak, entry.screenTextureBytes());
                if (shots)
                    t.expectSameShots("before.png", "after.png", "the same pictures at each entry");
            }};
}
const Brought atlas[] = {{"sheets/task_firehouse_0.png", 1024, 1024}, {"sheets/task_firehouse_1.png", 1024, 1024},
                         {"sheets/townsfolk_0.png", 1024, 1024}};
const Brought dashed[] = {{"own/d1.png", 512, 512, true, false, "dashed"}, {"own/d2.png", 512, 512, true, false, "dashed"},
                          {"own/d3.png", 512, 512, true, false, "dashed"}, {"own/d4.png", 512, 512, true, false, "dashed"},
                          {"own/p1.png", 1400, 1400, true, false, "overlay"}, {"own/p2.png", 1400, 1400, true, false, "overlay"}};

const HostCase cases[] = {
    writingLesson(false),
    writingLesson(true),
    // The firehouse talks in turn, writes its 'F' and, its straight-lines
    // lesson already complete, goes on without it; the picture comes back
    // after the sub-lesson, and the pop waits for the badge window.
    {"location_firehouse", "location:firehouse",
     [](LessonsHost& t) {
         t.lessonStates("\1\1\3");
         t.player.playTask(*town("firehouse"), 0, 3);
         t.script.after("debug", "NEW_STATE=TaskSubLesson");
         t.shot("+0", "before.png");
         t.player.playTask(*town("firehouse"), 3, 4);
         t.script.after("debug", "NEW_STATE=FreeFormEpilogue");
         t.script.after("debug", "NEW_STATE=TaskOutro");
         t.shot("+0", "after.png");
         t.player.playTask(*town("firehouse"), 4);
     },
     walk(3) + Lines{"Epilogue"}, {}, {}, {},
     [](LessonsHost& t) {
         EXPECT_EQ((Lines{"h_BAKER_FirehousePrologue1_3.ogg", "h_FARMER_FirehousePrologue2_3.ogg",
                          "h_BAKER_FirehousePrologue3_3.ogg", "h_FARMER_FirehousePrologue4_3.ogg",
                          "h_BAKER_FirehouseEpilogue1_3.ogg", "h_FARMER_FirehouseEpilogue2_3.ogg"}),
                   with(t.sounds, "_Firehouse")) << "the two talk in turn";
         EXPECT_EQ(0u, t.r.all("enter", "LinesLauncherState").size()) << "the lines lesson of \"DSL\" is complete";
         const unsigned badge = t.started("AchievementNtfctnSfx");
         EXPECT_TRUE(badge > 0 && t.r.first("PopApp").frame >= badge + 25) << "the pop waits for the badge window";
         const std::string player = t.bytes("data.bin"), achievements = t.bytes("achievements.bin");
         ASSERT_TRUE(player.size() == 272u && achievements.size() == 36u);
         EXPECT_EQ((std::vector<int>{3, 1, 1}), (std::vector<int>{player[32], player[36], player[40]})) << "locations 4, 5, 6";
         EXPECT_EQ(1, achievements[3]) << "the firehouse's badge";
         EXPECT_EQ((Lines{"ActivityStart FIR1 NA 1", "ActivityStart FIR2 NA 1", "ActivityStart FIR3 NA 1",
                          "ActivityStart FIR4 NA 1", "ActivityStart DSL NA 1"}),
                   with(t.records, "ActivityStart"));
         t.expectSameShots("before.png", "after.png", "the picture comes back pixel for pixel");
     }},
    // A letter task with its character: the hint, then the quit question
    // answered no while the prompt is said again, then yes.
    {"letter_task", "letter:10",
     [](LessonsHost& t) {
         t.options = "--screenshot 100:" + t.file("letter.png");
         for (const char* event : {"230 click h", "250 click escape", "262 tap 205 160", "340 click escape", "352 tap 115 160"})
             t.script.text += std::string(event) + "\n";
     },
     {}, {{"StartAtTheGreenDot", 3}, {"AreYSrYWntTQt", 2}}, {"...", "ActivityExit 0 3"}, {},
     [](LessonsHost& t) {
         EXPECT_EQ(2u, t.r.all("enter").size());
         const TovraneTools::Colour lr = t.picture("letter.png").get(235, 200);
         EXPECT_TRUE(lr.r > 100 && lr.r < 140 && lr.b > 180) << "the letter character stands at the lower right";
         const auto no = std::find(t.sounds.begin(), t.sounds.end(), "h_VIDORIV_No_3.ogg");
         ASSERT_NE(t.sounds.end(), no);
         EXPECT_EQ("h_SCRIVLET_StartAtTheGreenDot_3.ogg", *(no + 1)) << "the interrupted speech again";
         EXPECT_EQ("h_VIDORIV_Yes_3.ogg", t.sounds.back());
         EXPECT_GT(t.r.first("PopApp").frame, t.started("h_VIDORIV_Yes_3.ogg") + 45)
             << "the speech ends first, then the task and the sequence below leave";
         EXPECT_EQ(1, t.recorded("ActivityStart WL_upper_A NA 1")) << "the hint opens none";
         EXPECT_EQ(1, t.recorded("HintRequest 1 "));
     }},
    download("download_own_picture", "", ""),
    download("download_cut_short", "cut", "Refused task file "),
    download("download_unreadable_background", "background", "its background own.png cannot be read"),
    // Own backgrounds just within and just past what a task screen has,
    // square, tall and wide, with and without alpha.
    ownPictures("download_square_within", {{"own/big.png", 1280, 1280, false}}, false,
                asBackground({"", 1280, 1280, false}), ""),
    ownPictures("download_square_past", {{"own/big.png", 1408, 1408, false}}, false, 0, "over"),
    ownPictures("download_tall_within", {{"own/big.png", 256, 5632}}, false, asBackground({"", 256, 5632}), ""),
    ownPictures("download_tall_past", {{"own/big.png", 256, 5760}}, false, 0, "over"),
    ownPictures("download_wide_within", {{"own/big.png", 5632, 256}}, false, asBackground({"", 5632, 256}), ""),
    ownPictures("download_wide_past", {{"own/big.png", 5760, 256}}, false, 0, "over"),
    // Its own copies of the task's three sheets, on atlases of 1024 pixels.
    ownPictures("download_atlases", {atlas, atlas + 3}, true, 3 * asSprite(atlas[0]), ""),
    // A picture under the name of a title sheet's picture, beside an own
    // background: within, past, and cut short.
    ownPictures("download_title_sheet_name", {{"sheets/townsfolk_0.png", 1024, 1024}, {"own/big.png", 640, 480}}, false,
                asSprite(atlas[0]) + asBackground({"", 640, 480}), ""),
    ownPictures("download_title_sheet_name_past", {{"sheets/townsfolk_0.png", 1448, 1448}, {"own/big.png", 1280, 1280}},
                false, 0, "over"),
    ownPictures("download_title_sheet_name_cut", {{"sheets/townsfolk_0.png", 1448, 1448, true, true}}, false, 0,
                "its character baker (picture sheets/townsfolk_0.png) cannot be read (cut short)"),
    // Every texture counts: one picture's three, the title's pictures, an own character on two pictures.
    ownPictures("download_one_picture_three_uses", {{"own/big.png", 1536, 1536, true, false, "canvas overlay"}}, false, 0, "over"),
    ownPictures("download_title_pictures", {{"own/big.png", 2432, 512}, {"credits/credits_list.png", 0, 0, true, false, "overlay"}},
                false, 0, "over", {"professor/prf", "wild/red", "calm/blu", "seeing_shapes_scv_era/scvss"}),
    ownPictures("download_own_character", {{"own/k_idle_001.png", 1578, 1578}, {"own/k_idle_002.png", 1578, 1578}}, false, 0,
                "over", {"own_scene/k"}, "ferris_wheel"),
    ownPictures("download_rgb_background", {{"own/big.png", 1280, 960, false}}, false, asBackground({"", 1280, 960, false}), ""),
    ownPictures("download_overlays_and_sheet_copies", {{"own/big.png", 1024, 1024}, {"own/a.png", 64, 64, true, false, "overlay"},
                {"own/b.png", 64, 64, true, false, "overlay"}, {"own/c.png", 64, 64, true, false, "overlay"}, {"sheets/task_firehouse_0.png",
                512, 512}, {"sheets/task_firehouse_1.png", 512, 512}, {"sheets/townsfolk_0.png", 512, 512}}, true, asBackground({"", 1024, 1024}), ""),
    // Every line's dashed overlay is shown: four played whole, then with two overlays past; one too large to show is never made.
    ownPictures("download_dashed_overlays", {dashed, dashed + 4}, false, 4 * asSprite(dashed[0]), "whole"),
    ownPictures("download_dashed_overlays_past", {dashed, dashed + 6}, false, 0, "over"),
    ownPictures("download_dashed_overlay_too_large", {{"own/big.png", 1280, 1280, false}, {"own/d.png", 1024, 1024, true, false, "dashed"}},
                false, asBackground({"", 1280, 1280, false}), ""),
    // The shared sheet is the title's: a sprite only a download's own names is missing.
    ownPictures("download_own_shared_sheet", {{"own/ov1.png", 4, 4, true, false, "overlay shared"}}, false, 0,
                "its overlay own/ov1 is missing"),
    // Entered anew after its sub-lesson, the screen takes the shared sheet from the title as at its first
    // entry: an own shared.tex naming the overlay's own picture as a sprite of another picture (2048, then
    // 1448 beside two pads of 1448, or 64) or cut short is never read.
    ownPictures("download_reentry_own_sheet_2048", {{"own/x.png", 4, 4, true, false, "at2:DSL"},
                {"own/huge.png", 2048, 2048, true, false, "sheet:own/x.png"}}, false, asSprite({"", 4, 4}), "whole"),
    ownPictures("download_reentry_own_sheet_pads", {{"own/x.png", 4, 4, true, false, "at:FIR4"},
                {"own/huge.png", 1448, 1448, true, false, "sheet:own/x.png"}, {"own/p1.png", 1448, 1448, true, false, "at2:FIR4"},
                {"own/p2.png", 1448, 1448, true, false, "at2:DSL"}}, false, 2 * asSprite({"", 1448, 1448}), "whole"),
    ownPictures("download_reentry_own_sheet_64", {{"own/x.png", 4, 4, true, false, "at2:DSL"},
                {"own/s.png", 64, 64, true, false, "sheet:own/x.png"}}, false, asSprite({"", 4, 4}), "whole"),
    ownPictures("download_reentry_own_sheet_cut", {{"own/x.png", 4, 4, true, false, "at2:DSL"},
                {"own/s.png", 64, 64, true, false, "cut-sheet:own/x.png"}}, false, asSprite({"", 4, 4}), "whole"),
    // The shared sheet's picture is the title's, made at entry, whatever the download brings of that name.
    ownPictures("download_shared_sheet_picture", {{"sheets/shared_0.png", 4, 4}, {"shared/dialog_box_base.png", 0, 0, true,
                false, "overlay"}, {"own/big.png", 256, 5760}}, false, 0, "over"),
    ownPictures("download_large_picture", {{"own/p.png", 1448, 1448, true, false, "canvas"}}, false, 4 * tiles({"", 1448, 1448}), ""),
    // A picture dragged above its target line (wrong), then below it.
    {"pickup_wrong_then_right", "location:fountain",
     [](LessonsHost& t) {
         t.lessonStates(std::string(19, '\3'));
         t.player.playTask(*town("fountain"), 0, 5);
         const TaskLine& line = town("fountain")->getTask()->lines.at(5);
         const PickupData& box = line.pickup;
         ASSERT_TRUE(box.present);
         const int target = box.boxY + box.winY + box.boxH / 2;
         const Vector2<tFixed> from = at(box.boxX + box.boxW / 2, box.boxY + box.boxH / 2);
         t.player.stroke("TaskPickup", onScreen(line, 640, 480, {from, at(box.boxX, target - 20)}), 20);
         t.script.strokeAfter(120, onScreen(line, 640, 480, {from, at(box.boxX, target + 20)}));
     },
     walk(1) + Lines{"TaskIntro", "TaskPickup", "TaskOutro", "Epilogue"}, {{"WrongAnswerSfx", 1}},
     {"...", "ActivityStart FOU5 NA 1", "CorrectAnswer 6  ", "ActivityExit 0 1", "GameAreaExit"}, {},
     [](LessonsHost& t) {
         const unsigned pickup = t.r.first("debug", "NEW_STATE=TaskPickup").frame;
         EXPECT_EQ(pickup + 22, t.started("WrongAnswerSfx")) << "at the first drop";
         EXPECT_EQ(pickup + 122, t.r.all("audio-start", "CorrectAnswerSfx").back().frame) << "at the second";
     }},
    // A colour line: a wrong pick, the right one, a stroke lifted off the
    // area, then the whole area.
    {"colour_line", "location:library",
     [](LessonsHost& t) {
         t.lessonStates(std::string(19, '\3'));
         t.player.playTask(*town("library"), 0, 5);
         const TaskLine& line = town("library")->getTask()->lines.at(5);
         ASSERT_EQ(ColorPie::PieColor::Red, line.fillColorReq);
         t.script.after("debug", "NEW_STATE=TaskPickColor");
         t.shot("+10", "pie.png");
         t.player.pick("TaskPickColor", 10, ColorPie::PieColor::Blue, "");
         t.player.pick("WrongAnswerSfx", 100, ColorPie::PieColor::Red, "audio-start");
         t.player.stroke("TaskFillArea", lastPoints(LessonPlayer::areaStroke(line, 640, 480, 16), {2, 2}), 10);
         t.script.strokeAfter(80, LessonPlayer::areaStroke(line, 640, 480, 4));
     },
     walk(2) + Lines{"TaskIntro", "TaskPickColor", "TaskFillArea", "TaskOutro", "Epilogue"}, {{"WrongAnswerSfx", 1}}, {},
     {{"pie.png", "lessons/pie_over_colour_line.png"}},
     [](LessonsHost& t) {
         std::vector<std::pair<int, int>> counts;
         for (const std::string& line : t.fillCounts())
         {
             int coloured = 0, white = 0;
             std::sscanf(line.c_str(), "COLOR_FILL - COLORED: %d, WHITE: %d", &coloured, &white);
             counts.push_back({coloured, white});
         }
         ASSERT_EQ(2u, counts.size()) << "one count per lift";
         EXPECT_TRUE(counts[0].first > 0 && counts[0].first < counts[0].second) << "the stroke lifted off the area";
         EXPECT_GT(counts[1].first, 5 * counts[1].second);
         EXPECT_EQ(counts[0].first + counts[0].second, counts[1].first + counts[1].second) << "the same area counted";
         const TraceLine fill = t.r.first("debug", "NEW_STATE=TaskFillArea");
         EXPECT_EQ(fill.frame + 12, t.started("h_VIDORIV_Keep")) << "the fill hint, played at once";
         unsigned picked = 0;
         for (const TraceLine& right : t.r.all("audio-start", "CorrectAnswerSfx"))
             picked = right.frame <= fill.frame ? right.time : picked;
         EXPECT_GE(fill.time - picked, 1000u) << "the pie stays a second after the right pick";
     }},
    // The wild lesson's guide: two wrong picks and a fill lifted off its area,
    // each hint said once the guide has turned from its picture to the child;
    // the area is then coloured while the fill hint is said.
    {"wild_guide_hints", "advanced:46",
     [](LessonsHost& t) {
         const std::vector<TaskLine> lines = artLesson(46)->getTask()->lines;
         ASSERT_EQ(3u, lines.size());
         t.player.stroke("TaskDraw", onScreen(lines[0], 320, 240), 5);
         t.player.pick("TaskPickColor", 10, ColorPie::PieColor::Red);
         t.player.pick("WrongAnswerSfx", 150, ColorPie::PieColor::Blue, "audio-start");
         t.script.after("audio-start", "h_VIDORIV_Tap");
         t.shot("+25", "guide.png");
         t.player.pick("", 140, ColorPie::PieColor::Green, "");
         t.player.stroke("TaskFillArea", lastPoints(LessonPlayer::areaStroke(lines[1], 320, 240, 8), {5, 5}), 10);
         t.script.strokeAfter(40, LessonPlayer::areaStroke(lines[1], 320, 240, 3));
         t.player.pick("TaskPickColor", 10, ColorPie::PieColor::Green);
         t.player.stroke("TaskFillArea", LessonPlayer::areaStroke(lines[2], 320, 240, 3), 10);
     },
     traced + 2 * Lines{"TaskIntro", "TaskPickColor", "TaskFillArea", "TaskOutro"} + Lines{"Epilogue"},
     {{"WrongAnswerSfx", 2}}, {}, {{"guide.png", "lessons/lesson_with_guide.png"}},
     [](LessonsHost& t) {
         const unsigned turn = t.started("h_VIDORIV_", 1) - t.started("WrongAnswerSfx", 0);
         EXPECT_GT(turn, 5u) << "turned from its picture after the prompt";
         EXPECT_EQ(turn, t.started("h_VIDORIV_", 2) - t.started("WrongAnswerSfx", 1)) << "and again after the first hint";
         EXPECT_EQ(turn, t.started("h_VIDORIV_Keep") - (t.r.first("debug", "NEW_STATE=TaskFillArea").frame + 12))
             << "the fill hint is said by the guide too";
         EXPECT_EQ(1, t.count("h_VIDORIV_Keep")) << "and not again once the area is done";
         EXPECT_EQ(2, t.count("h_VIDORIV_ColorTheShape")) << "each colour line's prompt once";
         EXPECT_EQ(3u, t.fillCounts().size()) << "the lift off the area, then each whole area";
     }},
    {"horizon_swap_and_praise", "advanced:45",
     [](LessonsHost& t) {
         t.player.stroke("TaskDraw", onScreen(artLesson(45)->getTask()->lines.at(0), 320, 240), 5);
         t.shot("+20", "traced.png");
         t.script.after("audio-start", "h_SCRIVLET_YesThatsIt_5.ogg");
         t.shot("+1", "praised.png");
     },
     traced + Lines{"Epilogue"}, {{"h_SCRIVLET_YesThatsIt_5.ogg", 1}}, {}, {},
     [](LessonsHost& t) {
         const std::string praise = t.r.first("audio-start", "h_SCRIVLET_YesThatsIt_5.ogg").detail;
         EXPECT_EQ(t.r.first("audio-complete", praise.substr(0, praise.find(' '))).frame,
                   t.r.first("exit", "TaskStudioState").frame) << "the lesson leaves as the praise ends";
         EXPECT_FALSE(t.picture("traced.png").bytes() == t.picture("praised.png").bytes()) << "the picture swapped";
     }},
    // Seven frames; the second frame's button at step 5 and play at step 18;
    // the lesson leaves 3000 ms after the play tap.
    {"animation_seven_frames", "advanced:48",
     [](LessonsHost& t) {
         t.player.toolbarShot = t.file("toolbar.png");
         t.player.playTask(*artLesson(48));
     },
     7 * traced, {{"CorrectAnswerSfx", 8}}, {}, {{"toolbar.png", "lessons/animation_toolbar.png"}},
     [](LessonsHost& t) {
         const unsigned frameTap = t.started("LetsMvTNxtFrm") + 70;
         EXPECT_EQ(frameTap + 1, t.started("CorrectAnswerSfx", 1)) << "the second frame's button taken";
         EXPECT_LT(frameTap, t.started("h_SCRIVLET_InOrdrTSLstCrclYDrw_5.ogg")) << "the lesson waited for it";
         const unsigned playTap = t.r.first("audio-start", "TouchPlyBttn").time + 70 * 20;
         EXPECT_NEAR(3000, static_cast<int>(t.r.first("exit", "TaskStudioState").time - playTap), 20);
     }},
    guideTalks("guide_hints_straight_lines", 38, 2, 0),
    guideTalks("guide_hints_horizontal_line", 39, 2, 1),
    guideTalks("hints_without_guide_horizon", 45, 1, 0),
    {"triangle_traced", "advanced:28", [](LessonsHost& t) { t.player.playTask(*artLesson(28)); }, 3 * traced + Lines{"Epilogue"},
     {{"CorrectAnswerSfx", 3}}, {}, {}, [](LessonsHost&) {}},
    practice("lines:1", [] { return new LinesLauncherState(1, false, false); }),
    practice("lines:2", [] { return new LinesLauncherState(2, false, false); }),
    practice("lines:3", [] { return new LinesLauncherState(3, false, false); }),
    practice("shapes:1", [] { return new ShapesLauncherState(1, false, false); }),
    practice("shapes:2", [] { return new ShapesLauncherState(2, false, false); }),
    practice("shapes:3", [] { return new ShapesLauncherState(3, false, false); }),
    practice("shapes:4", [] { return new ShapesLauncherState(4, false, false); }),
    practice("organic_shapes:1", [] { return new OrganicShapesLauncherState(1, false, false); }),
    practice("organic_shapes:2", [] { return new OrganicShapesLauncherState(2, false, false); }),
    practice("seeing_shapes", [] { return new SeeingShapesLauncherState(false, false); }),
    practice("colors", [] { return new ColorsLauncherState(false, false); }),
    practice("warm_cool", [] { return new WarmCoolLauncherState(false, false); }),
    practice("wild_calm", [] { return new WildCalmLauncherState(false, false); }),
    practice("composition", [] { return new CompositionLauncherState(false, false); }),
    practice("animation", [] { return new AnimationLauncherState(false, false); }),
    // The t-shirt shop's fifth line names the warm and cool lesson, played
    // from the story; its last line is a picture dragged to its place.
    {"story_lesson_from_town", "location:tshirt_shop",
     [](LessonsHost& t) {
         ASSERT_EQ("WCC", town("tshirt_shop")->getTask()->lines.at(4).loggingID);
         t.player.playTask(*town("tshirt_shop"), 0, 4);
         t.player.playLesson(*std::unique_ptr<LessonLauncherState>(new WarmCoolLauncherState(false, false)));
         t.player.playTask(*town("tshirt_shop"), 4);
     },
     {"...", "TaskPickup", "TaskOutro", "Epilogue"}, {}, {}, {},
     [](LessonsHost& t) {
         EXPECT_EQ(t.player.steps, LessonPlayer::stepsIn(t.r));
         EXPECT_EQ(3, t.bytes("lesson.bin").at(256 + 4 * 15)) << "warm and cool complete";
         EXPECT_EQ(0, t.recorded("GameAreaStart WCC")) << "no game area of its own";
         EXPECT_EQ(2, t.recorded("ActivityStart WCC NA 1"))
             << "the game's, and the line's that named it";
     }},
    lessonLook("curve_task_look", "lines:2", "lessons/launcher_curve_task.png", true),
    lessonLook("colors_game_look", "colors", "lessons/launcher_colors_game.png"),
};
}

TEST_P(LessonsHost, PlaysAsExpected)
{
    REQUIRE_LESSONS_TITLE();
    const HostCase& c = GetParam();
    start = c.start;
    c.play(*this);
    HostFolderTest::script(script.text);
    r = runHost("--fixed-step 20 --frames " + std::to_string(c.frames) + " --start " + start + " --script '" +
                file("script.txt") + "' " + options);
    EXPECT_EQ(0, r.status) << r.output;
    const bool ends = c.frames == HostCase().frames;
    EXPECT_EQ(ends ? "PopApp" : "frames", r.first("Exit").detail);
    EXPECT_EQ(ends ? 1u : 0u, r.all("PopApp").size());
    const bool lesson = start.compare(0, 9, "advanced:") == 0;
    if (lesson || start.compare(0, 7, "letter:") == 0)
    {
        EXPECT_EQ("LauncherStandIn", r.first("enter").detail) << "started over the stand-in of what starts it";
    }
    if (lesson)
    {
        EXPECT_EQ(r.first("exit", "TaskStudioState").frame + 2, r.first("PopApp").frame) << "then its launcher";
    }
    // A download's own folders are searched first, and the picture reader
    // names each folder that lacks a picture.
    for (const char* fault : {"Could not find file", "Could not load character", "Assertion"})
        EXPECT_TRUE(start.compare(0, 9, "download:") == 0 || r.output.find(fault) == std::string::npos) << fault;
    phases = phasesIn(r.output);
    const bool wrong = std::count(c.phases.begin(), c.phases.end(), "TaskHelp") > 0;
    EXPECT_EQ(wrong, r.output.find("INVALID") != std::string::npos);
    EXPECT_EQ(wrong, std::count(phases.begin(), phases.end(), "TaskHelp") > 0);
    for (const TraceLine& line : r.all("audio-start"))
        sounds.push_back(line.detail.substr(line.detail.find_last_of('/') + 1));
    records = usageRecords(file("data/usage.log"));
    expectLines(c.phases, phases, "phases");
    expectLines(c.records, records, "usage records");
    for (const auto& sound : c.sounds)
        EXPECT_TRUE(sound.second < 0 ? count(sound.first) > 0 : count(sound.first) == sound.second) << sound.first;
    for (const auto& golden : c.goldens)
        expectShotGolden(golden.first, golden.second);
    c.check(*this);
}

INSTANTIATE_TEST_SUITE_P(Runs, LessonsHost, ::testing::ValuesIn(cases), [](const ::testing::TestParamInfo<HostCase>& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), ':', '_');
    return name;
});

#endif
