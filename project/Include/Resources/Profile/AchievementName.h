#ifndef RESOURCES_ACHIEVEMENTNAME_H
#define RESOURCES_ACHIEVEMENTNAME_H

namespace Tovrane
{
// The nine achievements, by their byte in "achievements.bin". The usage log
// knows achievement n as id 28 + n.
struct AchievementName
{
    enum Type : int
    {
        Town = 0,
        UppercaseLetters = 1,
        LowercaseLetters = 2,
        Numbers = 3,
        Lines = 4,
        Shapes = 5,
        WarmCoolColors = 6,
        Composition = 7,
        Animation = 8
    };
};
}

#endif
