// The entry check of the task studio: every file the task names, and every
// picture a download's own sprite sheets and characters name, is looked up
// before anything is loaded, and each picture the download brings is read
// chunk by chunk, so that a task that could not be shown whole is refused
// with one line rather than run with holes in it. Then what the download's
// screen takes in texture memory is counted: every picture load and play make
// into textures through the state's scene manager is found as load finds it,
// the download's folders first (the shared sheet and its picture, made at
// entry, the title's), walked once and counted as each texture made of it,
// whoever brings it, with the reserve every task screen holds besides.
// Each picture is looked up and opened once in a check. At each exit the
// renderer's own peak is written to the debug log.
#include "Resources/Lessons/TaskStudioState.h"

#include "Resources/Lessons/TaskLine.h"
#include "Resources/Lessons/TaskLineSegment.h"
#include "Resources/Profile/TaskDownload.h"
#include "EscapeControls.h"
#include "Tovrane/DebugLog.h"
#include "Tovrane/GLES1Renderer.h"
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
namespace
{
// A sprite of the flipbook toolbar, which the studio's own sprite manager
// makes from the title: all the toolbar's sprites share its sheet.
const char* const flipbookToolbarSheetSprite = "studio/toolbar/frames_highlight.png";
}

void TaskStudioState::addTitleSharedSheet(SceneManager& sheets) const
{
    sharedSheetPicture.clear();
    std::error_code error;
    if (!std::filesystem::is_regular_file(System::getPath() + "metadata/shared.tex", error))
        return;
    sheets.addSceneInfo("shared");
    if (const SpriteManager::SpriteInfo* loading = sheets.findSprite(GameState::LoadingSprite))
        sharedSheetPicture = "images/" + loading->textureName;
}

std::string TaskStudioState::findAsset(const std::string& file, std::string* failure) const
{
    namespace fs = std::filesystem;
    // The shared sheet's picture is never the download's, even where the
    // download's folder is the title's own.
    const std::string ownFolder = file == sharedSheetPicture ? std::string() : downloadFolder;
    for (const std::string& root : {ownFolder, System::getPath()})
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

const TaskStudioState::Found& TaskStudioState::lookUp(const std::string& file) const
{
    const auto known = foundFiles.find(file);
    if (known != foundFiles.end())
        return known->second;
    Found& found = foundFiles[file];
    found.first = findAsset(file, &found.second);
    return found;
}

std::string TaskStudioState::lookupFault(const std::string& file) const
{
    const std::string& path = lookUp(file).first;
    if (path.empty())
    {
        const std::string& failure = lookUp(file).second;
        return failure.empty() ? "is missing" : "cannot be looked up (" + failure + ")";
    }
    // A picture of the download's own is walked chunk by chunk, without its
    // pixels; the title's are whole.
    if (!isOwn(path) || file.compare(0, 7, "images/") != 0)
        return std::string();
    return walk(path).first;
}

bool TaskStudioState::isOwn(const std::string& path) const
{
    return !downloadFolder.empty() && path.compare(0, downloadFolder.size(), downloadFolder) == 0;
}

const TaskStudioState::Walked& TaskStudioState::walk(const std::string& path) const
{
    const auto known = walkedPictures.find(path);
    if (known != walkedPictures.end())
        return known->second;
    Walked& walked = walkedPictures[path];
    walked.first = TaskDownload::pictureFault(path, &walked.second);
    return walked;
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
    // Files may have changed since an earlier entry.
    walkedPictures.clear();
    foundFiles.clear();
    // The sheets load reads before the lines' sprites: a sprite they list
    // needs its sheet's picture, any other sprite name is a picture itself.
    // A download's own shared sheet is never read.
    SceneManager sheets;
    addTitleSharedSheet(sheets);
    if (!downloadFolder.empty())
        sheets.addMetadataPath(downloadFolder + "metadata/");
    std::vector<std::string> sheetNames = {task->metadataID, "studio", "color_masks"};
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
    const std::string fault = ownSheetFault(sheetNames, sheets.getSpriteInfo(), scenes);
    return fault.empty() ? textureFault() : fault;
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
    for (const std::string& sheet : sheetNames)
    {
        SceneManager description;
        if (!readDescription(sheet + ".tex", description, nullptr, true))
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
        if (!readDescription(scene + ".chr", description, &refused, true))
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

bool TaskStudioState::readDescription(const std::string& file, SceneManager& into, std::string* refused,
                                      bool ownOnly) const
{
    const std::string path = findAsset("metadata/" + file);
    std::string text;
    if (path.empty() || (ownOnly && !isOwn(path)) ||
        !readRegularFile(path.c_str(), text, SceneManager::MaxDescriptionBytes))
        return false;
    std::istringstream in(text);
    // Without `refused`, a refused animation was said by the check before.
    std::string unsaid;
    if (file.compare(file.size() - 4, 4, ".chr") == 0)
        into.readCharacterInfo(static_cast<std::istream&>(in), refused ? refused : &unsaid);
    else
        into.readSpriteInfo(static_cast<std::istream&>(in));
    return true;
}

std::vector<TaskStudioState::LoadedPicture> TaskStudioState::loadedPictures() const
{
    std::vector<LoadedPicture> pictures;
    // A new scene manager searches the title's folder alone.
    SceneManager screen;
    addTitleSharedSheet(screen);
    auto scene = [this, &screen](const std::string& name) {
        readDescription(name + ".tex", screen);
        readDescription(name + ".chr", screen);
    };
    // A sprite of the sheets read so far, else a picture of that name.
    auto sprite = [&pictures, &screen](const std::string& name, Shown shown) {
        const SpriteManager::SpriteInfo* info = screen.findSprite(name);
        pictures.push_back({info ? info->textureName : name, shown, "sprite", name});
    };
    // Every frame of every animation of the character.
    auto character = [&pictures, &screen](const std::string& name, Shown shown) {
        const auto entry = screen.getCharacterInfo().find(name);
        if (entry == screen.getCharacterInfo().end())
            return;
        for (const SceneManager::AnimationInfo& animation : entry->second.animations)
        {
            std::string frame = SceneManager::firstFrameName(name, animation);
            for (int n = 0; n < animation.frameCount; ++n, SceneManager::nextFrameName(frame))
            {
                const SpriteManager::SpriteInfo* info = screen.findSprite(frame);
                pictures.push_back({info ? info->textureName : frame, shown, "character", name});
            }
        }
    };

    scene(task->metadataID);
    readDescription("studio.tex", screen);
    readDescription("color_masks.tex", screen);
    pictures.push_back({task->background, Shown::Background, "background", task->background});
    if (!task->canvasImage.empty())
        pictures.push_back({task->canvasImage, Shown::Canvas, "picture", task->canvasImage});
    // The sprites every task screen shows besides the task's own: the loading
    // picture and badge window of the game state, the colour pie, and the
    // lines' guide and debug dots.
    sprite(GameState::LoadingSprite, Shown::OtherSprite);
    sprite(GameState::BadgeWindowSprite, Shown::OtherSprite);
    for (const char* name : {ColorPieSprites[0], ColorPieSprites[1], ColorPieSprites[2], TaskLine::GuideDotSprites[0],
                             TaskLine::GuideDotSprites[1], TaskLineSegment::DebugDotSprite})
        sprite(name, Shown::Sprite);
    for (const TaskLine& line : task->lines)
    {
        // The fill mask is read, never shown. A dashed overlay is shown while
        // its line is drawn or coloured, never by a sub-lesson's or a
        // pick-up's line, and by every line in a writing sub-lesson's free
        // drawing.
        const bool dashed = taskType == TaskType::WritingSubLesson || (line.subLessonPath.empty() && !line.pickup.present);
        for (const std::string* name : {&line.pickup.icon, &line.pickup.begin, &line.pickup.end, &line.solidOverlayImage,
                                        &line.solidOverlay2Image})
            if (!name->empty())
                sprite(*name, Shown::Sprite);
        for (const std::string* name : {&line.dashedOverlayImage, &line.fixedOverlayImage, &line.fillOverlayImage})
            if (!name->empty() && (dashed || name != &line.dashedOverlayImage))
                sprite(*name, Shown::Overlay);
        if (line.animation.present)
            character(line.animation.characterName, Shown::Sprite);
    }
    // Each character's scene is read just before it is made.
    for (const DoodleStruct& record : task->characters)
    {
        if (lookUp("metadata/" + record.directory + ".tex").first.empty())
            continue;
        scene(record.directory);
        character(record.name, Shown::Sprite);
    }
    // Who joins in play: an art lesson's guide and the characters beside it,
    // the animation lesson's guide and flipbook toolbar (whose sprites share
    // one sheet), a letter task's letter character.
    const LessonStaging* staging = taskType == TaskType::AdvancedLesson ? findLessonStaging(location) : nullptr;
    if (staging)
    {
        for (const char* name : staging->scenes)
            if (name)
                scene(name);
        for (const char* name : {staging->guide, staging->extras[0].id, staging->extras[1].id})
            if (name)
                character(name, Shown::OtherSprite);
    }
    else if (taskType == TaskType::AdvancedLesson && location == LocationName::LastAdvancedLesson)
    {
        scene("animation");
        character("scv", Shown::OtherSprite);
        sprite(flipbookToolbarSheetSprite, Shown::OtherSprite);
    }
    else if (taskType == TaskType::LetterTask)
    {
        scene("dizavo_duv");
        character("lr", Shown::OtherSprite);
    }
    return pictures;
}

std::string TaskStudioState::countPictures(std::uint64_t& bytes) const
{
    bytes = 0;
    // Sprites by the name the texture cache knows them by: one texture each,
    // however many sprites and frames show it.
    std::set<std::string> sprites;
    const TaskDownload::PictureShape* background = nullptr;
    bool sixteenBits = false;
    for (const LoadedPicture& loaded : loadedPictures())
    {
        const std::string& path = lookUp("images/" + loaded.picture).first;
        // A missing picture makes no texture; load says so.
        if (path.empty())
            continue;
        const Walked& walked = walk(path);
        if (!walked.first.empty() && isOwn(path))
            return std::string("its ") + loaded.what + " " + loaded.name +
                   (loaded.name == loaded.picture ? "" : " (picture " + loaded.picture + ")") + " " + walked.first;
        if (!walked.first.empty())
            continue;
        const TaskDownload::PictureShape& shape = walked.second;
        const bool isBackground = loaded.picture == task->background;
        switch (loaded.shown)
        {
        case Shown::Background:
            background = &shape;
            break;
        case Shown::Canvas:
            bytes += CanvasCopies * shape.tiledBytes(TileSize, 2);
            sixteenBits = sixteenBits || isBackground;
            break;
        case Shown::Sprite:
        case Shown::Overlay:
        case Shown::OtherSprite:
            // Load turns the cached picture to 16 bits for an overlay too
            // large to show as for any sprite it makes; that overlay's
            // texture is never made.
            sixteenBits = sixteenBits || (isBackground && loaded.shown != Shown::OtherSprite);
            if (loaded.shown == Shown::Overlay && (shape.width > MaxOverlaySide || shape.height > MaxOverlaySide))
                break;
            if (sprites.insert(loaded.picture).second)
                bytes += static_cast<std::uint64_t>(shape.width) * shape.height * 2;
            break;
        }
    }
    const bool flipbook = taskType == TaskType::AdvancedLesson && location == LocationName::LastAdvancedLesson;
    if (background)
    {
        // The tiles take the pixels of the cached picture as they are when
        // the background is made. A picture of four bytes a pixel may be a
        // palette one, which is expanded rather than turned to 16 bits.
        const std::uint32_t pixel = sixteenBits && background->pixelBytes == 3 ? 2 : background->pixelBytes;
        bytes += background->tiledBytes(TileSize, pixel);
        // The flipbook's frames take the blank canvas's place before it is shown.
        if (task->canvasImage.empty() && !flipbook)
            bytes += CanvasCopies * background->tiledBytes(TileSize, 2);
    }
    if (flipbook)
    {
        // Each frame shown, one more held by a stroke taken back, and the
        // onion skin at four bytes a pixel.
        TaskDownload::PictureShape frame;
        frame.width = FlipbookWidth;
        frame.height = FlipbookHeight;
        bytes += (AnimationFrames + 1) * frame.tiledBytes(TileSize, 2) + frame.tiledBytes(TileSize, 4);
    }
    return std::string();
}

std::uint64_t TaskStudioState::screenTextureBytes() const
{
    walkedPictures.clear();
    foundFiles.clear();
    std::uint64_t bytes = 0;
    countPictures(bytes);
    return bytes + TaskDownload::ScreenReserve;
}

std::string TaskStudioState::textureFault() const
{
    std::uint64_t bytes = 0;
    const std::string fault = countPictures(bytes);
    if (!fault.empty())
        return fault;
    bytes += TaskDownload::ScreenReserve;
    if (bytes > GraphicsRenderer::TextureBudget)
        return "its pictures need " + std::to_string(bytes) + " bytes of texture memory, more than the " +
               std::to_string(GraphicsRenderer::TextureBudget) + " a task screen has";
    return std::string();
}

void TaskStudioState::debugLog_TexturePeak()
{
    if (const GLES1Renderer* shown = getRenderer())
        DebugLog::writeString("TEXTURE PEAK=" + std::to_string(shown->getPeakTextureBytes()) + "\n");
}
}
