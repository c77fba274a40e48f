#ifndef RESOURCES_MINIGAMESTATE_H
#define RESOURCES_MINIGAMESTATE_H

#include "Resources/Dialogs/DialogEventArgs.h"
#include "Tovrane/ActivityExitReason.h"
#include "Tovrane/GameState.h"
#include "Tovrane/RandomSource.h"
#include "Tovrane/UIPicker.h"

#include <string>

namespace Tovrane
{
class Character;
class CharacterController;
class DialogBox;
class DialogBoxController;
typedef boost::shared_ptr<Character> CharacterPtr;
typedef boost::shared_ptr<CharacterController> CharacterControllerPtr;
typedef boost::shared_ptr<DialogBox> DialogBoxPtr;
typedef boost::shared_ptr<DialogBoxController> DialogBoxControllerPtr;

// What the art-lesson mini-games share: the guide who speaks every line, the
// quit question, the activity and answer records, and leaving the stack.
//
// A game is pushed by its lesson launcher, which waits directly below it.
// It leaves the stack exactly once: one pop after its closing line, or two
// (itself and the launcher) when the child confirms the quit question;
// whichever comes first wins and the other pops nothing.
//
// Each game decides itself when touches reach the quit dialog and when the
// repeat button works; this class offers the steps.
class MiniGameState : public GameState
{
public:
    // Button words the games compare whole: one button held alone.
    static const std::uint32_t BackButton = 0x20;
    static const std::uint32_t MenuButton = 0x100;
    static const std::uint32_t RepeatButton = 0x200;

    // Shows the loading picture and stays on the stack; writes the activity
    // start with the game's code.
    explicit MiniGameState(const std::string& activityCode);
    // Writes the activity end with the exit reason.
    ~MiniGameState() override;

    // The quit question's answer (1 yes, 2 no, 3 close).
    void dialogBoxCallback(const DialogEventArgs& args);

    bool isInputReady() const { return inputReady; }
    bool isDialogOpen() const { return dialogOpen; }
    bool hasLeft() const { return left; }
    ActivityExitReason::Type getExitReason() const { return exitReason; }
    int getWrongCount() const { return wrongCount; }
    const std::string& getCurrentInstruction() const { return currentInstruction; }
    CharacterPtr getGuide() const { return guide; }
    CharacterControllerPtr getGuideController() const { return guideController; }
    DialogBoxPtr getDialogBox() const { return dialogBox; }
    NodePtr getDialogHolder() const { return dialogHolder; }

    // The game's own state machine: which talk or wait (0 waiting for the
    // child), and the step within it.
    void setState(int newState, int newStep);
    int getState() const { return state; }
    int getStep() const { return step; }

    // Where rand() is taken from; empty: the standard generator. Tests
    // script it.
    RandomSource randomSource;

protected:
    // The character of that name from the scenes added so far, with a new
    // controller attached that idles in "p1_idle" (and blinks with
    // "p1_blink" when asked). Null when the title lacks it (the scene
    // manager says so); the controller then stays alone, doing nothing.
    CharacterPtr makeCharacter(const std::string& name, CharacterControllerPtr& controller, bool blink);
    // The guide "scv": idle "p1_idle", random mouth "p1_talk", with or
    // without the blink "p1_blink".
    void makeGuide(bool blink);
    // The quit question box, hidden in its holder under the scene root, its
    // buttons handed to the picker.
    void buildQuitDialog();

    // The back and menu buttons alone, and the repeat button alone.
    static bool isQuitButton(const Vantorel::Kelm::tButtonData2& button);
    static bool isRepeatButton(const Vantorel::Kelm::tButtonData2& button);
    // Shows and voices the quit question unless the guide speaks; true when
    // it opened.
    bool openQuitDialog();
    // What a game adds to every answer of the quit question.
    virtual void onQuitAnswered(int result);

    // The guide turns to the child ("p2_to_p1", idle "p1_idle") or away
    // ("p1_to_p2", idle "p2_idle"), with the matching blink when asked.
    void turnToChild(bool blink);
    void turnAway(bool blink);
    // No turn of the guide is queued or playing (also without a guide).
    bool isGuideIdle() const;
    bool isSpeaking() const;
    // Once the guide stands still, says the current instruction with a
    // moving mouth and returns true; false while it still turns.
    bool sayInstructionWhenIdle();

    // One step a frame of the talk of the games that ask two questions
    // (phase 0 and 2 ask, 1 and 3 follow a right answer; state 1 while the
    // guide talks): the guide turns to the child, says the current
    // instruction and turns away; then the second question follows the
    // first praise, the game leaves after the second, and otherwise waits
    // for the child (state 0). The speech waits for the answer sound when
    // asked.
    void stepQuestionTalk(int& state, int& step, int& phase, const char* secondQuestion, bool afterSound);

    // Records a correct answer at once; counts a wrong one and records
    // every third.
    void logCorrect(int answerId, const std::string& text);
    void logWrong(int answerId, const std::string& text);

    // The closing pop: the game alone leaves, once.
    void finish();
    // The next number of the random source, 0 or more.
    int nextRandom();

    UIPicker picker;
    CharacterPtr guide;
    CharacterControllerPtr guideController;
    std::string currentInstruction;
    NodePtr dialogHolder;
    DialogBoxControllerPtr dialogController;
    DialogBoxPtr dialogBox;
    bool dialogOpen;
    bool inputReady;
    ActivityExitReason::Type exitReason;
    int wrongCount;
    int state;
    int step;
    // A pop has been asked for: nothing may pop again.
    bool left;
};
}

#endif
