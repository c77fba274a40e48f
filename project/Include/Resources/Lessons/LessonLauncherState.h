#ifndef RESOURCES_LESSONLAUNCHERSTATE_H
#define RESOURCES_LESSONLAUNCHERSTATE_H

#include "Tovrane/GameState.h"

#include <string>

namespace Tovrane
{
// One sub-lesson of an art lesson: the part index that chooses it, its
// usage-log game-area code and the advanced-lesson entry that finishing it
// from the story marks complete.
struct LessonPart
{
    int index;
    const char* code;
    int entry;
};

// Base of the nine lesson launchers: a state kept on the stack below the
// lesson's steps. Made from the story (both flags true) it records the lesson
// as complete and, destroyed unfinished, makes the task studio that started
// it leave too; made from the menu (both false) it opens a game area of its
// own. A launcher finishes at its first entry; its next update saves a story
// run, clears the task studio's skip and pops it.
class LessonLauncherState : public GameState
{
public:
    ~LessonLauncherState() override;

    void enter() override;
    void update(unsigned int ms) override;

    bool isDone() const { return done; }
    bool isFromStory() const { return fromStory; }
    bool skipsTaskOnAbort() const { return skipTaskOnAbort; }
    const std::string& getGameArea() const { return gameArea; }
    // The advanced-lesson entry this run records.
    int getEntry() const { return entry; }

protected:
    // The part of the table whose index matches, else the first part with
    // an empty game-area code.
    LessonLauncherState(const LessonPart* parts, int partCount, int index, bool fromStory, bool skipTaskOnAbort);

private:
    bool done;
    bool fromStory;
    bool skipTaskOnAbort;
    std::string gameArea;
    int entry;
};
}

#endif
