#ifndef TESTS_HOST_GAMEANSWERS_H
#define TESTS_HOST_GAMEANSWERS_H

// How a script answers each art-lesson game of the generated title right to
// its end: its events timed from the first frame of a run that starts with
// the game (entered in frame 2), and the usage-log records that follow.

#include <string>
#include <vector>

struct GameAnswers
{
    const char* game;  // the --start game: name
    const char* state; // the state's class name, as the trace shows it
    std::string script;
    std::vector<std::string> records;
};

// Drags from a point into the colour pie's centre (156, 64) of the generated title.
inline std::string dropOnPie(const std::string& at, const std::string& from)
{
    return at + " down " + from + "\n" + at + " move 156 64\n" + at + " up 156 64\n";
}

inline const std::vector<GameAnswers>& gameAnswers()
{
    const std::string red = "156 26", yellow = "189 83", blue = "123 83";
    static const std::vector<GameAnswers> games = {
        {"sky_ground", "SkyGroundState", "3000ms tap 10 40\n7500ms tap 300 200\n",
         {"ActivityStart CPH NA 1", "CorrectAnswer 27  IDENTIFIED SKY", "CorrectAnswer 27  IDENTIFIED GROUND",
          "ActivityExit 0 1"}},
        {"mixing_colors", "MixingColorsState",
         dropOnPie("5000ms", red) + dropOnPie("8000ms", yellow) + dropOnPie("14000ms", red) + dropOnPie("17000ms", blue) +
             dropOnPie("23000ms", yellow) + dropOnPie("26000ms", blue),
         {"ActivityStart PSC NA 1", "CorrectAnswer 23  MIXED YELLOW-RED", "CorrectAnswer 23  MIXED BLUE-RED",
          "CorrectAnswer 23  DRAGGED BLUE", "ActivityExit 0 1"}},
        {"moving_objects", "MovingObjectsState",
         "3000ms down 83 53\n3000ms move 83 153\n3000ms up 83 153\n3500ms down 257 52\n3500ms move 257 152\n"
         "3500ms up 257 152\n4000ms down 233 191\n4000ms move 233 91\n4000ms up 233 91\n4500ms down 102 198\n"
         "4500ms move 102 98\n4500ms up 102 98\n",
         {"ActivityStart CPH NA 1", "CorrectAnswer 28  CORRECTLY PLACED OBJECTS", "ActivityExit 0 1"}},
        {"pick_pineapples", "PickPineapplesState", "2500ms tap 85 145\n7000ms tap 211 88\n",
         {"ActivityStart CPH NA 1", "CorrectAnswer 28  IDENTIFIED CLOSE OBJECT",
          "CorrectAnswer 28  IDENTIFIED FAR OBJECT", "ActivityExit 0 1"}},
        {"warm_cool", "WarmCoolState", "2500ms tap 64 48\n7500ms tap 160 20\n",
         {"ActivityStart WCC NA 1", "CorrectAnswer 24  IDENTIFIED WARM COLOR",
          "CorrectAnswer 25  IDENTIFIED COOL COLOR", "ActivityExit 0 1"}},
    };
    return games;
}

// The answers of the game whose state is `state`, or null.
inline const GameAnswers* answersOf(const std::string& state)
{
    for (const GameAnswers& game : gameAnswers())
        if (state == game.state)
            return &game;
    return nullptr;
}

#endif
