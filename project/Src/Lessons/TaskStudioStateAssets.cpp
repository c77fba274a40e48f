// The entry check of the task studio: every file the task names, and every
// picture a download's own sprite sheets and characters name, is looked up
// before anything is loaded, so that a task that could not be shown whole is
// refused with one line rather than run with holes in it.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Profile/TaskDownload.h"
#include "Tovrane/SceneManager.h"
#include "Tovrane/System.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>

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

std::string TaskStudioState::lookupFault(const std::string& file) const
{
    std::string failure;
    if (!findAsset(file, &failure).empty())
        return std::string();
    return failure.empty() ? "is missing" : "cannot be looked up (" + failure + ")";
}

bool TaskStudioState::hasAssets() const
{
    const std::string fault = assetFault();
    if (fault.empty())
        return true;
    std::cout << "Refused task file " << taskPath << ": " << fault << std::endl;
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
        if (fault.empty())
            fault = lookupFault(file);
        // Characters without a sheet are left out at load.
        if (named.kind == Kind::CharacterSheet && fault == "is missing")
            continue;
        if (!fault.empty())
            return std::string("its ") + named.what + " " + shown + " " + fault;
    }
    if (downloadFolder.empty())
        return std::string();

    // Then the characters' sheets, as load reads them.
    std::vector<std::string> scenes = {task->metadataID};
    for (const DoodleStruct& character : task->characters)
        if (!findAsset("metadata/" + character.directory + ".tex").empty())
        {
            sheets.addSceneInfo(character.directory);
            sheetNames.push_back(character.directory);
            scenes.push_back(character.directory);
        }
    return ownSheetFault(sheetNames, sheets.getSpriteInfo(), scenes);
}

std::string TaskStudioState::ownSheetFault(const std::vector<std::string>& sheetNames,
                                           const std::map<std::string, SpriteManager::SpriteInfo>& sprites,
                                           const std::vector<std::string>& scenes) const
{
    // Each picture once, however many sprites or frames show it.
    std::set<std::string> checked;
    auto pictureFault = [this, &checked](const std::string& picture) {
        if (!checked.insert(picture).second)
            return std::string();
        const std::string outside = TaskDownload::nameFault(picture);
        return outside.empty() ? lookupFault("images/" + picture) : outside;
    };
    // The description of that name the download itself brings, read; false
    // when it brings none.
    auto readOwn = [this](const std::string& file, SceneManager& into) {
        const std::string path = findAsset("metadata/" + file);
        std::ifstream in;
        if (path.compare(0, downloadFolder.size(), downloadFolder) == 0)
            in.open(path, std::ios::in | std::ios::binary);
        if (!in.is_open())
            return false;
        if (file.compare(file.size() - 4, 4, ".chr") == 0)
            into.readCharacterInfo(static_cast<std::istream&>(in));
        else
            into.readSpriteInfo(static_cast<std::istream&>(in));
        return true;
    };
    for (const std::string& sheet : sheetNames)
    {
        SceneManager description;
        if (!readOwn(sheet + ".tex", description))
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
        if (!readOwn(scene + ".chr", description))
            continue;
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
