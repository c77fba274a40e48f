#ifndef RESOURCES_TASKSTUDIOSTATE_H
#define RESOURCES_TASKSTUDIOSTATE_H

#include "Resources/Lessons/Task.h"
#include "Resources/Lessons/TaskType.h"
#include "Resources/Profile/LocationName.h"

#include "Tovrane/CharacterController.h"
#include "Tovrane/GameState.h"
#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Vector2.h"
#include "Tovrane/UIPicker.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Tovrane
{
class ScrivletPlayer;

// The game state in which every guided drawing activity runs: writing lessons,
// location tasks (built in or downloaded), letter tasks, writing sub-lessons
// and advanced lessons. The task file is read when the state is made; the
// state then steps through its phases frame by frame.
//
// A refused task file, like a pending skip, makes the state pop itself at
// its first entry without loading anything.
class TaskStudioState : public GameState
{
public:
    // The phases; the state-change log prints their names.
    enum eState : int
    {
        Prologue = 0,
        TaskIntro = 1,
        TaskHelp = 2,
        TaskDraw = 3,
        TaskSubLesson = 4,
        TaskPickup = 5,
        TaskPickColor = 6,
        TaskFillArea = 7,
        TaskOutro = 8,
        Epilogue = 9,
        Exit = 10,
        FreeFormPrologue = 11,
        FreeFormTaskIntro = 12,
        FreeFormTaskHelp = 13,
        FreeFormTaskDraw = 14,
        FreeFormTaskOutro = 15,
        FreeFormEpilogue = 16,
        LessonPrologue = 17,
        LessonIntro = 18,
        LessonAnim = 19,
        LessonOutro = 20,
        LessonEpilogue = 21,
        LessonHelp = 22
    };

    static const int WritingLessonCount = 62;
    // Task-file stems of the writing lessons by lesson id: column 0 the UK
    // letter forms, column 1 the US forms.
    static const char* const writingLessons[WritingLessonCount][2];

    // A writing lesson, letter task or writing sub-lesson by lesson id (0-61).
    TaskStudioState(const eTaskType& type, int id, LocationName::Type location);
    // A task file relative to the title folder.
    TaskStudioState(const eTaskType& type, const std::string& path, LocationName::Type location);
    // A downloaded location task: the folder holds "dlc.task".
    explicit TaskStudioState(const std::string& folder);
    ~TaskStudioState() override;

    void enter() override;
    void load() override;
    void update(unsigned int ms) override;
    void exit() override;

    void setState(const eState& newState, const int& newStep);
    void setCurrentStep(int line);
    void debugLog_StateChanged();
    // The advanced-lesson guide turns to its talk pose.
    bool advanceLessonStartTalk();

    eTaskType getTaskType() const { return taskType; }
    LocationName::Type getLocation() const { return location; }
    Task* getTask() const { return task.get(); }
    eState getState() const { return state; }
    int getStep() const { return step; }
    bool isStateChanged() const { return stateChanged; }
    unsigned int getStateStartTime() const { return stateStartTime; }
    const std::string& getDownloadFolder() const { return downloadFolder; }
    // The task file the state read.
    const std::string& getTaskPath() const { return taskPath; }

    // Set by a lesson launcher left unfinished and by quitting a writing
    // sub-lesson: the next task studio entered pops itself.
    static bool skip;
    // Width and height of the picture, 16.16; set when a task studio loads.
    static Vector2<tFixed> screenSize;
    static int nextLessonID;
    static bool completedLastLocation;

    bool quitDialogOpen;
    bool quitConfirmed;
    UIPicker uiPicker;
    int currentLine;
    bool activityOpen;
    int activityExitReason;
    bool showDebugDots;
    bool drawingModeOn;
    bool canvasRestored;
    std::string interruptedSpeech;
    ScrivletPlayer* playerData;
    int lastTouchState;
    bool keepZoom;
    bool hintRequested;
    int wrongCount;
    int lessonStep;
    // The writing lesson the id constructor was given; -1 for a task file.
    int lessonID;
    // The advanced-lesson guide and the speech it is to say next.
    CharacterControllerPtr lessonCharacterController;
    bool lessonCharacterTalkPose;
    std::string pendingHintSpeech;
    bool hintSpeechPending;

private:
    // The steps all constructors share once the task file is known.
    void construct(const std::string& file);
    // The per-run reset, the usage-log game area and the debug line.
    void initialize();
    void updateExit();
    void updateFreeFormTaskHelp();
    void updateFreeFormTaskOutro();
    void updateFreeFormEpilogue();

    eTaskType taskType;
    LocationName::Type location;
    std::unique_ptr<Task> task;
    std::string taskPath;
    std::string downloadFolder;
    eState state;
    int step;
    bool stateChanged;
    std::uint32_t stateStartTime;
    std::uint32_t currentTime;
    // This entry pops the state (a skip or a refused task), decided by enter
    // before the loader starts.
    bool poppingAtEntry;
};
}

#endif
