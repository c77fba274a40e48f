#include "TaskGlyphs.h"

#include <map>

namespace TovraneTools
{
namespace
{
typedef std::vector<std::string> Paths;

// Reused bowls and stems of the small letters.
const std::string leftBowl = "M 55 60 C 45 42 5 45 5 75 C 5 105 50 105 55 85";
const std::string rightBowl = "M 10 70 C 25 42 65 45 65 75 C 65 105 25 108 10 88";
const std::string capitalO = "A 45 50 40 50 -90 -450";
const std::string ukCapitalO = "A 45 50 40 50 -60 -420";

const std::map<std::string, Paths>& glyphTable()
{
    static const std::map<std::string, Paths> table = {
        {"0", {"A 35 50 30 50 -90 -450"}},
        {"1", {"M 35 0 L 35 100"}},
        {"uk_1", {"M 15 22 L 35 0 L 35 100"}},
        {"2", {"M 8 25 C 10 -5 62 -8 62 28 C 62 50 30 75 5 100 L 68 100"}},
        {"3", {"M 8 15 C 20 -5 65 -5 62 25 C 60 45 40 48 30 48 C 45 48 68 55 66 75 C 64 105 15 105 5 88"}},
        {"4", {"M 45 0 L 5 65 L 72 65", "M 52 0 L 52 100"}},
        {"uk_4", {"M 30 0 L 8 65 L 72 65", "M 52 30 L 52 100"}},
        {"5", {"M 15 0 L 12 45 C 30 32 68 35 66 68 C 64 105 15 105 5 88", "M 15 0 L 62 0"}},
        {"6", {"M 58 5 C 25 -8 4 35 6 68 C 8 105 64 105 64 70 C 64 38 12 40 7 66"}},
        {"7", {"M 5 0 L 65 0 L 25 100"}},
        {"8", {"M 60 15 C 55 -5 10 -5 10 22 C 10 45 62 52 62 77 C 62 105 6 105 6 77 C 6 52 58 45 60 15"}},
        {"9", {"M 62 25 C 55 -5 8 -5 8 28 C 8 60 58 60 62 28 L 60 100"}},

        {"upper_A", {"M 45 0 L 5 100", "M 45 0 L 85 100", "M 20 62 L 70 62"}},
        {"upper_B", {"M 10 0 L 10 100", "M 10 0 C 80 -2 80 48 10 48 C 85 46 90 102 10 100"}},
        {"uk_upper_B", {"M 10 0 L 10 100", "M 10 0 C 75 0 75 48 10 48", "M 10 48 C 85 48 85 100 10 100"}},
        {"upper_C", {"M 80 15 C 65 -8 5 -5 5 50 C 5 105 65 108 80 85"}},
        {"upper_D", {"M 10 0 L 10 100", "M 10 0 C 100 0 100 100 10 100"}},
        {"upper_E", {"M 10 0 L 10 100", "M 10 0 L 70 0", "M 10 50 L 60 50", "M 10 100 L 70 100"}},
        {"upper_F", {"M 10 0 L 10 100", "M 10 0 L 70 0", "M 10 50 L 60 50"}},
        {"uk_upper_F", {"M 70 0 L 10 0 L 10 100", "M 10 50 L 60 50"}},
        {"upper_G", {"M 80 15 C 65 -8 5 -5 5 50 C 5 105 70 108 82 70 L 82 55 L 50 55"}},
        {"uk_upper_G", {"M 80 15 C 65 -8 5 -5 5 50 C 5 105 70 108 82 70 L 82 55", "M 50 55 L 82 55"}},
        {"upper_H", {"M 10 0 L 10 100", "M 75 0 L 75 100", "M 10 50 L 75 50"}},
        {"upper_I", {"M 40 0 L 40 100", "M 15 0 L 65 0", "M 15 100 L 65 100"}},
        {"upper_J", {"M 60 0 L 60 70 C 60 105 10 105 8 75"}},
        {"uk_upper_J", {"M 20 0 L 75 0", "M 60 0 L 60 70 C 60 105 10 105 8 75"}},
        {"upper_K", {"M 10 0 L 10 100", "M 70 0 L 12 55 L 75 100"}},
        {"upper_L", {"M 10 0 L 10 100 L 65 100"}},
        {"upper_M", {"M 8 100 L 8 0 L 48 70 L 88 0 L 88 100"}},
        {"uk_upper_M", {"M 8 0 L 8 100", "M 8 0 L 48 70 L 88 0 L 88 100"}},
        {"upper_N", {"M 10 0 L 10 100", "M 10 0 L 75 100 L 75 0"}},
        {"upper_O", {capitalO}},
        {"uk_upper_O", {ukCapitalO}},
        {"upper_P", {"M 10 0 L 10 100", "M 10 0 C 80 0 80 52 10 52"}},
        {"upper_Q", {capitalO, "M 50 70 L 85 105"}},
        {"uk_upper_Q", {ukCapitalO, "M 55 75 L 88 100"}},
        {"upper_R", {"M 10 0 L 10 100", "M 10 0 C 80 0 80 52 10 52 L 75 100"}},
        {"upper_S", {"M 75 15 C 62 -6 10 -6 10 24 C 10 52 78 46 78 76 C 78 106 15 108 5 85"}},
        {"upper_T", {"M 45 0 L 45 100", "M 5 0 L 85 0"}},
        {"upper_U", {"M 10 0 L 10 65 C 10 108 75 108 75 65 L 75 0"}},
        {"upper_V", {"M 5 0 L 45 100 L 85 0"}},
        {"upper_W", {"M 5 0 L 28 100 L 50 30 L 72 100 L 95 0"}},
        {"upper_X", {"M 10 0 L 80 100", "M 80 0 L 10 100"}},
        {"upper_Y", {"M 10 0 L 45 50 L 80 0", "M 45 50 L 45 100"}},
        {"upper_Z", {"M 10 0 L 75 0 L 10 100 L 78 100"}},
        {"uk_upper_Z", {"M 10 0 L 75 0 L 10 100", "M 10 100 L 78 100"}},

        {"lower_A", {leftBowl, "M 55 50 L 55 100"}},
        {"lower_B", {"M 10 0 L 10 100", rightBowl}},
        {"lower_C", {"M 55 58 C 42 42 5 45 5 75 C 5 105 45 108 57 90"}},
        {"lower_D", {leftBowl, "M 55 0 L 55 100"}},
        {"lower_E", {"M 8 75 L 58 75 C 58 45 8 42 6 72 C 5 105 45 108 58 92"}},
        {"lower_F", {"M 50 8 C 40 -5 20 0 20 20 L 20 100", "M 5 50 L 45 50"}},
        {"lower_G", {leftBowl, "M 55 50 L 55 122 C 55 145 12 145 8 125"}},
        {"lower_H", {"M 10 0 L 10 100", "M 10 70 C 20 42 60 42 60 70 L 60 100"}},
        {"lower_I", {"M 25 50 L 25 100", "D 25 30"}},
        {"lower_J", {"M 35 50 L 35 122 C 35 145 5 145 2 125", "D 35 30"}},
        {"lower_K", {"M 10 0 L 10 100", "M 55 48 L 12 78 L 58 100"}},
        {"lower_L", {"M 20 0 L 20 100"}},
        {"lower_M",
         {"M 8 50 L 8 100", "M 8 68 C 14 45 45 45 45 68 L 45 100", "M 45 68 C 51 45 82 45 82 68 L 82 100"}},
        {"lower_N", {"M 10 50 L 10 100", "M 10 68 C 16 45 55 45 55 68 L 55 100"}},
        {"lower_O", {"A 30 75 25 25 -90 -450"}},
        {"lower_P", {"M 10 50 L 10 145", rightBowl}},
        {"lower_Q", {leftBowl, "M 55 50 L 55 145"}},
        {"lower_R", {"M 10 50 L 10 100", "M 10 72 C 18 48 40 45 52 55"}},
        {"lower_S", {"M 48 56 C 38 44 8 46 8 62 C 8 78 50 72 50 88 C 50 106 12 106 5 94"}},
        {"lower_T", {"M 25 10 L 25 100", "M 8 50 L 45 50"}},
        {"lower_U", {"M 10 50 L 10 80 C 10 106 50 106 55 80", "M 55 50 L 55 100"}},
        {"lower_V", {"M 5 50 L 30 100 L 55 50"}},
        {"lower_W", {"M 5 50 L 20 100 L 38 60 L 56 100 L 72 50"}},
        {"lower_X", {"M 8 50 L 55 100", "M 55 50 L 8 100"}},
        {"lower_Y", {"M 8 50 L 32 98", "M 56 50 L 28 120 C 22 138 10 140 4 134"}},
        {"lower_Z", {"M 8 50 L 55 50 L 8 100 L 58 100"}},
    };
    return table;
}

// The UK forms of these small letters end their last stroke with a flick.
const char* const flickedLetters = "ABCDEFGHIKLMNPQTUYZ";
}

std::vector<std::string> writingStems()
{
    std::vector<std::string> stems;
    for (char c = '0'; c <= '9'; ++c)
        stems.push_back(std::string(1, c));
    for (char c = 'A'; c <= 'Z'; ++c)
        stems.push_back(std::string("upper_") + c);
    for (char c = 'A'; c <= 'Z'; ++c)
        stems.push_back(std::string("lower_") + c);
    for (const auto& entry : glyphTable())
        if (entry.first.compare(0, 3, "uk_") == 0)
            stems.push_back(entry.first);
    for (const char* c = flickedLetters; *c; ++c)
        stems.push_back(std::string("uk_lower_") + *c);
    return stems;
}

bool glyphStrokes(const std::string& stem, std::vector<Stroke>& strokes, std::string& why)
{
    const bool flicked = stem.size() == 10 && stem.compare(0, 9, "uk_lower_") == 0 &&
                         std::string(flickedLetters).find(stem[9]) != std::string::npos;
    const auto found = glyphTable().find(flicked ? stem.substr(3) : stem);
    if (found == glyphTable().end())
    {
        why = "no writing lesson is called " + stem;
        return false;
    }
    strokes.clear();
    for (const std::string& path : found->second)
    {
        Stroke stroke;
        if (!parsePath(path, stroke, why))
            return false;
        strokes.push_back(stroke);
    }
    if (flicked)
    {
        // A short curl up and to the right from the end of the last stroke.
        for (auto s = strokes.rbegin(); s != strokes.rend(); ++s)
            if (!isDot(*s))
            {
                const Point end = s->back().end;
                s->push_back(Piece{end, Point{end.x + 14, end.y - 6}, {Point{end.x + 2, end.y + 8}}});
                break;
            }
    }
    return true;
}
}
