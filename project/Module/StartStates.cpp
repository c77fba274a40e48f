// The one place that names the states the game can start in. Adding a
// state is one line of the table.
#include "StartStates.h"

#include "LauncherStandIn.h"

#include "Resources/FrontEnd/PlumoLogoState.h"
#include "Resources/Lessons/AnimationLauncherState.h"
#include "Resources/Lessons/ColorsLauncherState.h"
#include "Resources/Lessons/CompositionLauncherState.h"
#include "Resources/Lessons/LinesLauncherState.h"
#include "Resources/Lessons/OrganicShapesLauncherState.h"
#include "Resources/Lessons/SeeingShapesLauncherState.h"
#include "Resources/Lessons/ShapesLauncherState.h"
#include "Resources/Lessons/TaskStudioState.h"
#include "Resources/Lessons/WarmCoolLauncherState.h"
#include "Resources/Lessons/WildCalmLauncherState.h"
#include "Resources/MiniGames/MixingColorsState.h"
#include "Resources/MiniGames/MovingObjectsState.h"
#include "Resources/MiniGames/PickPineapplesState.h"
#include "Resources/MiniGames/SkyGroundState.h"
#include "Resources/MiniGames/WarmCoolState.h"
#include "Resources/Studio/DrawingStudioState.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace Tovrane
{
namespace
{
struct StartState
{
    const char* name;
    // What follows "name:" in the option, for the message; null when the
    // state takes no argument (and then none may be given).
    const char* argument;
    GameState* (*make)(const std::string& argument);
    // Whether the argument names something there is; null: any argument.
    bool (*valid)(const std::string& argument);
};

// The art lessons' task files by location, 27 to 48, as their launchers name them.
const char* const advancedLessons[] = {
    "seeing_shapes", "shapes_eq_triangle", "shapes_triangle_2", "shapes_rectangle", "shapes_square", "shapes_circle",
    "shapes_ellipse", "shapes_hexigon", "cloud", "tree", "car", "straight_line", "horizontal_line", "vertical_line",
    "curve", "waves", "diagonal_line", "zigzag", "horizon_line", "wild", "calm", "animation"};

// A whole number from `low` to `high` written in decimal digits alone, or -1.
int numberIn(const std::string& text, int low, int high)
{
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value >= low && value <= high ? static_cast<int>(value) : -1;
}

int lessonOf(const std::string& text) { return numberIn(text, 0, TaskStudioState::WritingLessonCount - 1); }

int advancedOf(const std::string& text)
{
    return numberIn(text, LocationName::FirstAdvancedLesson, LocationName::LastAdvancedLesson);
}

std::string folderOf(std::string text)
{
    if (!text.empty() && text.back() != '/')
        text += '/';
    return text;
}

// The lesson launchers by start name, as the menu makes them (practice); the
// single lessons take no index, the others a sub-lesson from 1 to `parts`
// (as the menu numbers them) or none for the whole lesson.
struct Launcher
{
    const char* name;
    GameState* (*make)(int index);
    int parts;
};

const Launcher launchers[] = {
    {"lines", [](int i) -> GameState* { return new LinesLauncherState(i, false, false); }, 3},
    {"shapes", [](int i) -> GameState* { return new ShapesLauncherState(i, false, false); }, 4},
    {"organic_shapes", [](int i) -> GameState* { return new OrganicShapesLauncherState(i, false, false); }, 2},
    {"seeing_shapes", [](int) -> GameState* { return new SeeingShapesLauncherState(false, false); }, 0},
    {"colors", [](int) -> GameState* { return new ColorsLauncherState(false, false); }, 0},
    {"warm_cool", [](int) -> GameState* { return new WarmCoolLauncherState(false, false); }, 0},
    {"wild_calm", [](int) -> GameState* { return new WildCalmLauncherState(false, false); }, 0},
    {"composition", [](int) -> GameState* { return new CompositionLauncherState(false, false); }, 0},
    {"animation", [](int) -> GameState* { return new AnimationLauncherState(false, false); }, 0},
};

// The launcher and index "NAME" or "NAME:INDEX" names, or null.
const Launcher* launcherOf(const std::string& text, int& index)
{
    const size_t colon = text.find(':');
    for (const Launcher& launcher : launchers)
        if (text.compare(0, colon, launcher.name) == 0)
        {
            if (colon == std::string::npos)
            {
                index = 0;
                return &launcher;
            }
            index = launcher.parts > 0 ? numberIn(text.substr(colon + 1), 1, launcher.parts) : -1;
            return index >= 1 ? &launcher : nullptr;
        }
    return nullptr;
}

// A lesson's mini-game over the stand-in of its launcher.
template <class Game> GameState* overLauncher(const std::string&)
{
    return new LauncherStandIn([]() -> GameState* { return new Game; });
}

const StartState startStates[] = {
    {"", nullptr, [](const std::string&) -> GameState* { return new PlumoLogoState; }, nullptr},
    {"studio", nullptr, [](const std::string&) -> GameState* { return new DrawingStudioState; }, nullptr},
    {"studio", "FILE",
     [](const std::string& file) -> GameState* {
         return new DrawingStudioState(file, DrawingStudioState::BlankIntroSpeech);
     },
     nullptr},
    {"game:sky_ground", nullptr, overLauncher<SkyGroundState>, nullptr},
    {"game:mixing_colors", nullptr, overLauncher<MixingColorsState>, nullptr},
    {"game:moving_objects", nullptr, overLauncher<MovingObjectsState>, nullptr},
    {"game:pick_pineapples", nullptr, overLauncher<PickPineapplesState>, nullptr},
    {"game:warm_cool", nullptr, overLauncher<WarmCoolState>, nullptr},
    // Tasks as their makers push them: the menu's writing lesson, the letter
    // sequence's letter, the map's location, the taxi stand's download and a
    // launcher's art lesson.
    {"lesson", "ID",
     [](const std::string& id) -> GameState* {
         return new TaskStudioState(TaskType::WritingLesson, lessonOf(id), LocationName::WritingLesson);
     },
     [](const std::string& id) { return lessonOf(id) >= 0; }},
    {"letter", "ID",
     [](const std::string& id) -> GameState* {
         const int lesson = lessonOf(id);
         return new LauncherStandIn(
             [lesson] { return new TaskStudioState(TaskType::LetterTask, lesson, LocationName::WritingLesson); });
     },
     [](const std::string& id) { return lessonOf(id) >= 0; }},
    {"location", "NAME",
     [](const std::string& name) -> GameState* {
         return new TaskStudioState(TaskType::LocationTask, "tasks/" + name + ".task",
                                    TaskStudioState::findTownLocation(name)->location);
     },
     [](const std::string& name) { return TaskStudioState::findTownLocation(name) != nullptr; }},
    {"download", "FOLDER", [](const std::string& folder) -> GameState* { return new TaskStudioState(folderOf(folder)); },
     [](const std::string& folder) {
         // A name too long or a folder that may not be searched is no folder.
         std::error_code error;
         return std::filesystem::is_directory(folder, error) && ::access(folder.c_str(), X_OK) == 0;
     }},
    // A lesson as the menu starts it, over a stand-in of the menu.
    {"launcher", "NAME[:INDEX]",
     [](const std::string& text) -> GameState* {
         int index = 0;
         const Launcher* launcher = launcherOf(text, index);
         return new LauncherStandIn([launcher, index] { return launcher->make(index); });
     },
     [](const std::string& text) {
         int index = 0;
         return launcherOf(text, index) != nullptr;
     }},
    {"advanced", "LOCATION",
     [](const std::string& where) -> GameState* {
         const int location = advancedOf(where);
         return new LauncherStandIn([location] {
             return new TaskStudioState(TaskType::AdvancedLesson,
                                        std::string("tasks/") + advancedLessons[location - LocationName::FirstAdvancedLesson] + ".task",
                                        static_cast<LocationName::Type>(location));
         });
     },
     [](const std::string& where) { return advancedOf(where) >= 0; }},
};

// The table line for the name, or null.
const StartState* find(const std::string& name)
{
    const size_t colon = name.find(':');
    const std::string word = name.substr(0, colon);
    const bool hasArgument = colon != std::string::npos;
    if (hasArgument && colon + 1 == name.size())
        return nullptr;
    // A name without an argument may itself hold a colon ("game:warm_cool").
    for (const StartState& state : startStates)
        if (state.argument ? hasArgument && word == state.name : name == state.name)
            return !state.valid || state.valid(name.substr(colon + 1)) ? &state : nullptr;
    return nullptr;
}
}

GameState* StartStates::make(const std::string& name)
{
    const StartState* state = find(name);
    if (!state)
        return nullptr;
    const size_t colon = name.find(':');
    return state->make(colon == std::string::npos ? std::string() : name.substr(colon + 1));
}

bool StartStates::isKnown(const std::string& name) { return find(name) != nullptr; }

std::string StartStates::knownNames()
{
    std::string names;
    for (const StartState& state : startStates)
    {
        if (!*state.name)
            continue;
        if (!names.empty())
            names += ", ";
        names += state.name;
        if (state.argument)
            names += std::string(":") + state.argument;
    }
    return names;
}
}
