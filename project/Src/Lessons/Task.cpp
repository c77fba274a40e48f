#include "Resources/Lessons/Task.h"

#include "Resources/Profile/TaskDownload.h"
#include "EscapeControls.h"

#include <filesystem>
#include <iostream>

namespace Tovrane
{
RandomSource Task::randomSource;
int Task::lastHintPick = 0;
int Task::lastPraisePick = 0;

Task::Task(const std::string& path, TaskStudioState* studio)
    : owner(studio), taskQuestionID(0), debugDraw(0), answer(0), hintCountdown(3), hintAlternation(0),
      audio(nullptr)
{
    if (path.empty())
    {
        fault = "no task file";
        return;
    }
    if (!read(path))
        std::cout << "Refused task file " << escapeControls(path) << ": " << escapeControls(fault) << std::endl;
}

Task::~Task() = default;

std::vector<Task::NamedFile> Task::namedFiles() const
{
    typedef NamedFile::Kind Kind;
    std::vector<NamedFile> files;
    auto add = [&files](Kind::Type kind, const char* what, const std::string& name) {
        if (!name.empty())
            files.push_back(NamedFile{kind, what, name});
    };
    auto addSounds = [&add](const char* what, const std::vector<std::string>& names) {
        for (const std::string& name : names)
            add(Kind::Sound, what, name);
    };
    add(Kind::Picture, "background", background);
    add(Kind::Picture, "picture", canvasImage);
    add(Kind::Sheet, "sprite sheet", metadataID);
    add(Kind::Sound, "music", bgMusic);
    addSounds("prologue speech", prologue);
    addSounds("epilogue speech", epilogue);
    for (const DoodleStruct& character : characters)
        add(Kind::CharacterSheet, "character sheet", character.directory);
    for (const TaskLine& line : lines)
    {
        for (const std::string* overlay : {&line.solidOverlayImage, &line.solidOverlay2Image, &line.dashedOverlayImage,
                                           &line.fixedOverlayImage, &line.fillOverlayImage})
            add(Kind::Sprite, "overlay", *overlay);
        add(Kind::Picture, "fill mask", line.fillMaskImage);
        for (const std::string* picture : {&line.pickup.icon, &line.pickup.begin, &line.pickup.end})
            add(Kind::Sprite, "pick-up picture", *picture);
        addSounds("speech", line.promptAudio);
        addSounds("speech", line.caAudio);
    }
    return files;
}

bool Task::namesFit(const std::string& folder)
{
    typedef NamedFile::Kind Kind;
    for (const NamedFile& file : namedFiles())
    {
        // A sheet is read as its name with ".tex" or ".chr". The title's
        // tasks may name any of its files, but no name holds a control
        // character: a NUL would end it early.
        const bool sheet = file.kind == Kind::Sheet || file.kind == Kind::CharacterSheet;
        const std::string why = !folder.empty() ? TaskDownload::nameFault(sheet ? file.name + ".tex" : file.name)
                                : TaskDownload::hasControlCharacter(file.name) ? "holds a control character"
                                                                                : "";
        if (!why.empty())
        {
            fault = std::string("its ") + file.what + " " + file.name + " " + why;
            return false;
        }
    }
    if (!folder.empty())
        fault = folderFault(folder);
    return fault.empty();
}

std::string Task::folderFault(const std::string& folder)
{
    std::error_code why, ignored;
    const std::string link = TaskDownload::linkLeavingFolder(folder, &why);
    if (!link.empty())
        return "its file " + link +
               (why == std::errc::too_many_symbolic_link_levels ? " is a link loop" : " is a link leading outside its folder");
    std::string what;
    const std::string locked = TaskDownload::unreadableEntry(folder, why, &what);
    if (locked.empty())
        return std::string();
    // The folder itself, when it may not be searched, cannot be looked at.
    if (locked == "." || std::filesystem::is_directory(folder + locked, ignored))
        return "its folder " + locked + " cannot be searched (" + why.message() + ")";
    if (why == std::errc::not_supported)
        return "its file " + locked + (what.empty() ? " is not a plain file" : " is " + what + ", not a plain file");
    return "its file " + locked + " cannot be read (" + why.message() + ")";
}

void Task::enter()
{
    for (TaskLine& line : lines)
        line.enter();
}

void Task::exit()
{
    for (TaskLine& line : lines)
        line.exit();
    // The controllers go to the characters of the next load.
    for (DoodleStruct& character : characters)
    {
        if (character.character)
            character.character->removeController(character.controller);
        character.character.reset();
    }
}

void Task::newQuestion() { hintAlternation = 0; }

void Task::newAnswer()
{
    std::cout << "NEW ANSWER" << std::endl;
    answer = 0;
    for (TaskLine& line : lines)
        line.newAnswer();
}
}
