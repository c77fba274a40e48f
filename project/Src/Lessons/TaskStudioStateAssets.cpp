// The entry check of the task studio: every file the task names, and every
// picture a download's own sprite sheets and characters name, is looked up
// before anything is loaded, and each picture the download brings is read
// chunk by chunk and counted against the texture memory a task screen leaves,
// so that a task that could not be shown whole is refused with one line
// rather than run with holes in it.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Profile/TaskDownload.h"
#include "EscapeControls.h"
#include "Tovrane/SceneManager.h"
#include "Tovrane/System.h"

#include "RegularFile.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

namespace Tovrane
{
std::string TaskStudioState::findAsset(const std::string& file, std::string* failure) const
{
    namespace fs = std::filesystem;
    for (const std::string& root : {downloadFolder, System::getPath()})
    {
        if (root.empty())
            continue;
        std::error_code error;
        const fs::file_status status = fs::status(root + file, error);
        if (fs::is_regular_file(status))
            return root + file;
        // No such file, or a file where a folder should be: the next folder.
        if (!error || status.type() == fs::file_type::not_found)
            continue;
        // A name too long, a folder that may not be searched: not taken for
        // a missing file, which the title's folder could stand in for.
        if (failure)
            *failure = error.message();
        return std::string();
    }
    return std::string();
}

std::string TaskStudioState::lookupFault(const std::string& file, OwnPictures* own, Shown shown) const
{
    std::string failure;
    const std::string path = findAsset(file, &failure);
    if (path.empty())
        return failure.empty() ? "is missing" : "cannot be looked up (" + failure + ")";
    // A picture of the download's own is walked chunk by chunk, without its
    // pixels; the title's are whole.
    if (downloadFolder.empty() || path.compare(0, downloadFolder.size(), downloadFolder) != 0 ||
        file.compare(0, 7, "images/") != 0)
        return std::string();
    TaskDownload::PictureShape shape;
    const std::string fault = TaskDownload::pictureFault(path, &shape);
    // The background and the canvas are shown in square tiles; the canvas
    // takes two bytes a pixel.
    std::uint64_t bytes = shape.bytes();
    if (shown == Shown::Background)
        bytes = shape.tiledBytes(TileSize, shape.pixelBytes) +
                (task->canvasImage.empty() ? shape.tiledBytes(TileSize, 2) : 0);
    else if (shown == Shown::Canvas)
        bytes = shape.tiledBytes(TileSize, 2);
    if (own)
        (*own)[path] = std::max((*own)[path], bytes);
    return fault;
}

bool TaskStudioState::hasAssets() const
{
    const std::string fault = assetFault();
    if (fault.empty())
        return true;
    std::cout << "Refused task file " << escapeControls(taskPath) << ": " << escapeControls(fault) << std::endl;
    return false;
}

std::string TaskStudioState::assetFault() const
{
    // The sheets load reads before the lines' sprites: a sprite they list
    // needs its sheet's picture, any other sprite name is a picture itself.
    SceneManager sheets;
    if (!downloadFolder.empty())
        sheets.addMetadataPath(downloadFolder + "metadata/");
    std::vector<std::string> sheetNames = {"shared", task->metadataID, "studio", "color_masks"};
    for (const std::string& sheet : sheetNames)
        if (!findAsset("metadata/" + sheet + ".tex").empty())
            sheets.addSpriteInfo(sheet + ".tex");
    typedef Task::NamedFile::Kind Kind;
    // The download's own pictures the task shows, by path, with what each
    // takes in texture memory.
    OwnPictures own;
    for (const Task::NamedFile& named : task->namedFiles())
    {
        // Missing sounds are reported when they would play.
        if (named.kind == Kind::Sound)
            continue;
        std::string shown = named.name, file = "images/" + named.name, fault;
        if (named.kind == Kind::Sheet || named.kind == Kind::CharacterSheet)
        {
            shown += ".tex";
            file = "metadata/" + shown;
        }
        else if (const SpriteManager::SpriteInfo* sprite =
                     named.kind == Kind::Sprite ? sheets.findSprite(named.name) : nullptr)
        {
            // A download's sheet may name its picture anywhere.
            shown += " (sheet picture " + sprite->textureName + ")";
            file = "images/" + sprite->textureName;
            if (!downloadFolder.empty())
                fault = TaskDownload::nameFault(sprite->textureName);
        }
        // A fill mask is read, never shown: it takes no texture memory.
        const std::string what = named.what;
        const bool picture = named.kind == Kind::Picture;
        const Shown how = picture && what == "background" ? Shown::Background
                            : picture && what == "picture" ? Shown::Canvas
                                                           : Shown::Whole;
        if (fault.empty())
            fault = lookupFault(file, picture && what == "fill mask" ? nullptr : &own, how);
        // Characters without a sheet are left out at load.
        if (named.kind == Kind::CharacterSheet && fault == "is missing")
            continue;
        if (!fault.empty())
            return std::string("its ") + named.what + " " + shown + " " + fault;
    }
    if (downloadFolder.empty())
        return std::string();

    // Then the characters' sheets, as load reads them; their descriptions
    // are read once, below, where a refused one is said in one line.
    // Each scene once, however many characters share it.
    std::vector<std::string> scenes = {task->metadataID};
    for (const DoodleStruct& character : task->characters)
        if (std::find(scenes.begin(), scenes.end(), character.directory) == scenes.end() &&
            !findAsset("metadata/" + character.directory + ".tex").empty())
        {
            sheets.addSpriteInfo(character.directory + ".tex");
            sheetNames.push_back(character.directory);
            scenes.push_back(character.directory);
        }
    const std::string fault = ownSheetFault(sheetNames, sheets.getSpriteInfo(), scenes, own);
    if (!fault.empty())
        return fault;
    // Beside what the title's largest task screen takes.
    std::uint64_t bytes = 0;
    for (const auto& picture : own)
        bytes += picture.second;
    if (bytes > TaskDownload::OwnPictureBudget)
        return "its own pictures need " + std::to_string(bytes) + " bytes of texture memory, more than the " +
               std::to_string(TaskDownload::OwnPictureBudget) + " a task screen leaves";
    return std::string();
}

std::string TaskStudioState::ownSheetFault(const std::vector<std::string>& sheetNames,
                                           const std::map<std::string, SpriteManager::SpriteInfo>& sprites,
                                           const std::vector<std::string>& scenes, OwnPictures& own) const
{
    // Each picture once, however many sprites or frames show it.
    std::set<std::string> checked;
    auto pictureFault = [this, &checked, &own](const std::string& picture) {
        if (!checked.insert(picture).second)
            return std::string();
        const std::string outside = TaskDownload::nameFault(picture);
        return outside.empty() ? lookupFault("images/" + picture, &own) : outside;
    };
    // The description of that name the download itself brings, read; false
    // when it brings none. A character animation the reader refuses (its
    // frame count) goes to `refused`.
    auto readOwn = [this](const std::string& file, SceneManager& into, std::string* refused) {
        const std::string path = findAsset("metadata/" + file);
        std::string text;
        if (path.compare(0, downloadFolder.size(), downloadFolder) != 0 ||
            !readRegularFile(path.c_str(), text, SceneManager::MaxDescriptionBytes))
            return false;
        std::istringstream in(text);
        if (file.compare(file.size() - 4, 4, ".chr") == 0)
            into.readCharacterInfo(static_cast<std::istream&>(in), refused);
        else
            into.readSpriteInfo(static_cast<std::istream&>(in));
        return true;
    };
    for (const std::string& sheet : sheetNames)
    {
        SceneManager description;
        if (!readOwn(sheet + ".tex", description, nullptr))
            continue;
        for (const auto& sprite : description.getSpriteInfo())
        {
            const std::string fault = pictureFault(sprite.second.textureName);
            if (!fault.empty())
                return "its sprite sheet " + sheet + ".tex (picture " + sprite.second.textureName + ") " + fault;
        }
    }
    // A frame is a sprite of the sheets load reads, else a picture itself.
    for (const std::string& scene : scenes)
    {
        SceneManager description;
        std::string refused;
        if (!readOwn(scene + ".chr", description, &refused))
            continue;
        if (!refused.empty())
            return "its character description " + scene + ".chr: " + refused;
        for (const auto& character : description.getCharacterInfo())
            for (const SceneManager::AnimationInfo& animation : character.second.animations)
            {
                std::string frame = SceneManager::firstFrameName(character.first, animation);
                for (int n = 0; n < animation.frameCount; ++n, SceneManager::nextFrameName(frame))
                {
                    const auto sprite = sprites.find(frame);
                    const std::string picture = sprite == sprites.end() ? frame : sprite->second.textureName;
                    const std::string fault = pictureFault(picture);
                    if (!fault.empty())
                        return "its character " + character.first + " (picture " + picture + ") " + fault;
                }
            }
    }
    return std::string();
}
}
