#ifndef TOVRANE_GAMELOG_H
#define TOVRANE_GAMELOG_H

#include "Tovrane/ActivityExitReason.h"

#include <string>

namespace Tovrane
{
// The usage log: one operation per kind of entry, each appending one platform
// record at once. No state, no result.
class GameLog
{
public:
    // Product id, part number and package version of the running title.
    static void titleStart();
    // 1 for a normal end, 3 otherwise.
    static void titleEnd(bool normal);
    static void gameStart(const std::string& game);
    static void gameEnd();
    static void gameAreaStart(const std::string& area);
    static void gameAreaEnd();
    static void activityStart(const std::string& activity, const std::string& detail, const std::string& level);
    static void activityEnd(ActivityExitReason::Type reason);
    static void activityPaused();
    static void activityResumed();
    static void correctAnswer(int number, const std::string& question, const std::string& answer);
    static void wrongAnswer(int number, const std::string& question, const std::string& answer);
    static void hintRequest(int number, const std::string& hint);
    static void achievementEarned(short achievement);

    GameLog() = delete;
};
}

#endif
