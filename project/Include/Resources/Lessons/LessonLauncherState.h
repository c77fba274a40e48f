#ifndef RESOURCES_LESSONLAUNCHERSTATE_H
#define RESOURCES_LESSONLAUNCHERSTATE_H

#include "Tovrane/GameState.h"

#include <string>

namespace Tovrane
{
// One step of a lesson: what the launcher pushes at one entry.
struct LessonStep
{
    enum Kind : int
    {
        Movie,
        Task,
        Game,
        End
    };
    Kind kind;
    // The movie file of "flash/" or the task file relative to the title.
    const char* file;
    // The task's location.
    int location;
    // The mini-game of a game step.
    GameState* (*makeGame)();
    // The advanced-lesson entry a story run marks complete here, or -1:
    // after the push, or at an end step.
    int record;
    // The achievement a story run unlocks at an end step, before the record, or -1.
    int achievement;

    static LessonStep movie(const char* file, int record = -1) { return {Movie, file, 0, nullptr, record, -1}; }
    static LessonStep task(const char* file, int location) { return {Task, file, location, nullptr, -1, -1}; }
    template <class G> static LessonStep game() { return {Game, nullptr, 0, &makeOf<G>, -1, -1}; }
    static LessonStep end(int record = -1, int achievement = -1) { return {End, nullptr, 0, nullptr, record, achievement}; }

private:
    template <class G> static GameState* makeOf() { return new G; }
};

// One sub-lesson of an indexed lesson: the index that chooses it, its first
// step and its usage-log game-area code.
struct LessonPart
{
    int index;
    int firstStep;
    const char* code;
};

// The group entry an indexed lesson completes once all its member entries
// are complete, with its achievement (or -1).
struct LessonGroupCheck
{
    int entry;
    int achievement;
    int members[4];
    int memberCount;
};

// A lesson's steps, its sub-lessons and its group (null for a single lesson).
struct LessonTable
{
    const LessonStep* steps;
    int stepCount;
    const LessonPart* parts;
    int partCount;
    const LessonGroupCheck* group;
};

// Base of the nine lesson launchers: a state kept on the stack below the
// lesson's steps. Every entry pushes the state of the current step and
// advances; an end step pushes nothing and the next update pops it. Made
// from the story (both flags true) it records the lesson as complete and,
// destroyed unfinished, makes the task studio that started it leave too;
// made from the menu (both false) it opens a game area of its own and
// leaves the profile alone.
class LessonLauncherState : public GameState
{
public:
    ~LessonLauncherState() override;

    void enter() override;
    void update(unsigned int ms) override;
    void exit() override;

    bool isDone() const { return done; }
    bool isFromStory() const { return fromStory; }
    bool skipsTaskOnAbort() const { return skipTaskOnAbort; }
    const std::string& getGameArea() const { return gameArea; }
    int getStep() const { return step; }
    // The steps, sub-lessons and group of the launcher's lesson.
    const LessonTable& getLesson() const { return lesson; }

protected:
    // The part whose index matches starts the run, else step 0 with an
    // empty game-area code.
    LessonLauncherState(const LessonTable& table, int index, bool fromStory, bool skipTaskOnAbort);

private:
    void runStep(const LessonStep& current);

    const LessonTable& lesson;
    int step;
    bool done;
    bool fromStory;
    bool skipTaskOnAbort;
    std::string gameArea;
};
}

#endif
