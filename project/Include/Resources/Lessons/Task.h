#ifndef RESOURCES_TASK_H
#define RESOURCES_TASK_H

#include "Resources/Lessons/DoodleStruct.h"
#include "Resources/Lessons/TaskLine.h"
#include "Resources/Lessons/TaskType.h"
#include "Resources/Lessons/TouchType.h"

#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Vector2.h"
#include "Tovrane/RandomSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Tovrane
{
class AudioPlayer;
class TaskStudioState;

// One task file read into memory: its texts, speech lists, characters and
// lines, and the judging state of the line being worked on. Made by the task
// studio that runs it, which it asks for its kind and location.
//
// A file that cannot be run (missing, not JSON, no lines or too many lines
// or characters, a tracing line without segments, numbers out of range) is
// refused: one line on standard output names the file and the fault, and the
// studio runs nothing of it. So is a task naming a file with a control
// character, and a downloaded task that names a file outside its folder or
// with a name part too long for the file system, or whose folder holds a link
// leading out of it or anything that may not be read.
class Task
{
public:
    // A file the task names, with what it is for messages.
    struct NamedFile
    {
        struct Kind
        {
            enum Type : int
            {
                // A picture file of "images/".
                Picture,
                // A sprite of a sheet, or else a picture file of that name.
                Sprite,
                // The task's sprite sheet, "metadata/" + name + ".tex".
                Sheet,
                // A character's sheet; load goes on without one.
                CharacterSheet,
                // A sound of "audio/".
                Sound
            };
        };
        Kind::Type kind;
        const char* what;
        std::string name;
    };

    // Range limits of a runnable file.
    static const int MaxRadius = 1000;
    static const int MaxSamplesPerSegment = 4096;
    // All lines together, so that a small file cannot ask for a huge path.
    static const int MaxSamplesPerTask = 65536;
    static const int MaxLessonID = 61;
    // Each line and character loads pictures and animations of its own: a
    // small file must not ask for thousands. The title's tasks have at most
    // 7 lines and 2 characters.
    static const int MaxLines = 64;
    static const int MaxCharacters = 16;
    // The canvas zooms in twice at most: a larger "zoom" zooms in this often.
    static constexpr int MaxZoom = 2;

    Task(const std::string& path, TaskStudioState* studio);
    ~Task();

    bool isRefused() const { return !fault.empty(); }
    // Why the file was refused, empty when it was not.
    const std::string& getFault() const { return fault; }

    // Every file name the task gives, empty ones left out, in file order.
    std::vector<NamedFile> namedFiles() const;

    void enter();
    // Releases the scene objects of the lines and characters.
    void exit();
    void newQuestion();
    // A new attempt on every line; prints "NEW ANSWER".
    void newAnswer();

    // Judges one touch on a line and sets answer: 0 going on, 1 line done,
    // 2 wrong start, 3 lifted early, 4 off the line, 5 wrong dot. A wrong
    // answer plays the wrong-answer sound and a hint at once.
    void verifyTouch(const int& line, const eTouchType& type, const Vector2<tFixed>& pos);
    bool isAtEndPoint(const int& line, const Vector2<tFixed>& pos, const bool& unused) const;
    bool isAtRestorePoint(const int& line, const Vector2<tFixed>& pos) const;
    // Whole-pixel distance tests: within radius, and the squared distance.
    static bool vVerifyDist(const Vector2<tFixed>& a, const Vector2<tFixed>& b, const int& radius);
    static std::int64_t vDist(const Vector2<tFixed>& a, const Vector2<tFixed>& b);
    static float angleBetween(const Vector2<float>& a, const Vector2<float>& b);

    // Speech pools, built while the file is read.
    void initCASpeech();
    void initWASpeech(const eTaskType& type);
    void initEpilogueSpeech(const eTaskType& type);
    // A hint after a wrong answer on the line.
    void playWASpeech(const int& line, const bool& force);
    // The instruction that fits the answer, in writing lessons.
    void playWAInstrSpeech();
    // The praise for a finished line.
    std::vector<std::string> getCASpeech(const int& line);

    // Where the speech choices take their random numbers; empty means rand().
    static RandomSource randomSource;
    // The hint and the praise picked last, kept from task to task.
    static int lastHintPick;
    static int lastPraisePick;

    TaskStudioState* owner;
    std::string loggingIDs[4];
    int taskQuestionID;
    std::string bgMusic;
    std::string background;
    std::string canvasImage;
    int debugDraw;
    int answer;
    int hintCountdown;
    int hintAlternation;
    AudioPlayer* audio;
    std::vector<TaskLine> lines;
    std::vector<std::string> prologue;
    std::vector<std::string> epilogue;
    std::vector<std::string> caSpeech;
    std::vector<std::string> waSpeech;
    std::vector<std::string> waInstrSpeech;
    std::string metadataID;
    std::vector<DoodleStruct> characters;

    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;

private:
    // Reads the whole file; false (with the fault set) for a file that
    // cannot be run.
    bool read(const std::string& path);
    // No name holds a control character; a downloaded task's (`folder` not
    // empty) also stay inside its folder and can be looked up, and its folder
    // holds nothing that leads out of it or hides from the check; false, with
    // the fault set, when not.
    bool namesFit(const std::string& folder);
    // A link leading out of the download's folder or a folder in it that may
    // not be searched, as the fault says it; empty when there is none.
    static std::string folderFault(const std::string& folder);
    // The hint on the task's audio, or through the lesson guide.
    void say(const std::string& name);
    int random(unsigned int modulus) const;
    // An entry of the pool other than the one picked last time.
    const std::string* pickWithoutRepeat(const std::vector<std::string>& pool, int& last) const;

    std::string fault;
};
}

#endif
