// The one place that names the states the game can start in. Adding a
// state is one line of the table.
#include "StartStates.h"

#include "LauncherStandIn.h"

#include "Resources/FrontEnd/PlumoLogoState.h"
#include "Resources/MiniGames/MixingColorsState.h"
#include "Resources/MiniGames/MovingObjectsState.h"
#include "Resources/MiniGames/PickPineapplesState.h"
#include "Resources/MiniGames/SkyGroundState.h"
#include "Resources/MiniGames/WarmCoolState.h"
#include "Resources/Studio/DrawingStudioState.h"

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
};

// A lesson's mini-game over the stand-in of its launcher.
template <class Game> GameState* overLauncher(const std::string&)
{
    return new LauncherStandIn([]() -> GameState* { return new Game; });
}

const StartState startStates[] = {
    {"", nullptr, [](const std::string&) -> GameState* { return new PlumoLogoState; }},
    {"studio", nullptr, [](const std::string&) -> GameState* { return new DrawingStudioState; }},
    {"studio", "FILE", [](const std::string& file) -> GameState* {
         return new DrawingStudioState(file, DrawingStudioState::BlankIntroSpeech);
     }},
    {"game:sky_ground", nullptr, overLauncher<SkyGroundState>},
    {"game:mixing_colors", nullptr, overLauncher<MixingColorsState>},
    {"game:moving_objects", nullptr, overLauncher<MovingObjectsState>},
    {"game:pick_pineapples", nullptr, overLauncher<PickPineapplesState>},
    {"game:warm_cool", nullptr, overLauncher<WarmCoolState>},
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
            return &state;
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
