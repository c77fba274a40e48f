#ifndef TOVRANE_TOOLS_TASKASSETS_H
#define TOVRANE_TOOLS_TASKASSETS_H

#include "TaskPaths.h"
#include "TaskScenes.h"
#include "TitleManifest.h"

#include <set>
#include <string>
#include <vector>

namespace TovraneTools
{
// One line of a task as the generator writes it.
struct LineRecipe
{
    Stroke stroke;                     // empty for a line that is not traced
    std::string loggingID;
    int zoom = 0;
    std::string lessonID;              // a writing sub-lesson
    const ColourArea* area = nullptr;  // a line to colour
    // A line whose picture is dragged from its box (x, y, size square)
    // by winY pixels; size 0 for none.
    struct Pickup
    {
        int x = 0, y = 0, size = 0, winY = 0;
    } pickup;
    std::vector<std::string> prompt;
    std::vector<std::string> praise;
    // A whole-picture overlay shown once the line is finished; empty for none.
    Picture finished;
};

// A task character: one of the townsfolk, where it stands and whether it
// speaks first.
struct CharacterSpec
{
    std::string name;
    int x, y;
    bool talksFirst;
};

struct TaskRecipe
{
    std::string stem;
    int width = 320, height = 240;
    std::string background;
    std::string music;
    std::string loggingIDs[4];
    std::vector<std::string> prologue;
    std::vector<std::string> epilogue;
    std::vector<CharacterSpec> characters;
    std::vector<LineRecipe> lines;
    int thickness = 10;                // of the solid overlays
};

// Adds task files and what they name to a manifest. Assets that several
// tasks share are added once.
class TaskAssets
{
public:
    TaskAssets(TitleManifest& manifest, std::set<std::string>& names) : manifest(manifest), names(names) {}

    // "tasks/<stem>.task", its sheet "task_<stem>" of overlays, its masks and
    // every sound it names. False, with the reason, when something does not fit.
    bool addTask(const TaskRecipe& recipe, std::string& why);
    // A speech or music file of about a second, once.
    void addSound(const std::string& name);
    // A picture under images/, once.
    void addPicture(const std::string& name, const Picture& image);
    // The scene "townsfolk": every town character with the animations of its
    // poses, turns, bodies and mouths.
    void addTownsfolk();

private:
    bool claim(const std::string& asset) { return names.insert(asset).second; }

    TitleManifest& manifest;
    std::set<std::string>& names;
};
}

#endif
