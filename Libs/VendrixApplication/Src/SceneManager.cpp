#include "Tovrane/SceneManager.h"

#include "Tovrane/AnimatedSprite.h"
#include "Tovrane/BinaryReader.h"
#include "Tovrane/Character.h"
#include "EscapeControls.h"
#include "Tovrane/Geometry.h"

#include <iostream>
#include <sstream>

namespace Tovrane
{
namespace
{
constexpr auto readBytes = &BinaryReader::readBytes;
constexpr auto readInt = &BinaryReader::readInt;
constexpr auto readString = &BinaryReader::readString;
}

void SceneManager::nextFrameName(std::string& name)
{
    if (name.size() < 7)
        return;
    const size_t first = name.size() - 7;
    for (size_t i = first + 3; i-- > first;)
    {
        if (name[i] < '0' || name[i] > '9')
            return;
        if (name[i] != '9')
        {
            ++name[i];
            return;
        }
        name[i] = '0';
    }
}

std::string SceneManager::firstFrameName(const std::string& character, const AnimationInfo& animation)
{
    return animation.directory + "/" + character + "_" + animation.name + "_001.png";
}

SceneManager::SceneManager() = default;

SceneManager::~SceneManager() { characters.clear(); }

void SceneManager::addSceneInfo(const std::string& scene)
{
    addSpriteInfo(scene + ".tex");
    addCharacterInfo(scene + ".chr");
}

void SceneManager::addCharacterInfo(const std::string& fileName)
{
    std::string path, text;
    if (readDescription(fileName, path, text) <= 0)
        return;
    std::istringstream file(text);
    if (!readCharacterInfo(static_cast<std::istream&>(file)))
        std::cout << "Character description cut short: " << escapeControls(path) << std::endl;
}

void SceneManager::readCharacterInfo(std::ifstream& file)
{
    if (!readCharacterInfo(static_cast<std::istream&>(file)))
        std::cout << "Character description cut short" << std::endl;
    file.close();
}

bool SceneManager::readCharacterInfo(std::istream& in, std::string* refused)
{
    // A few bytes of description make up to 999 frames each: the frames of
    // all its animations together are bounded too.
    std::int64_t framesInAll = 0;
    for (;;)
    {
        // The end of the data before a record's first byte is the normal end.
        char length;
        if (!readBytes(in, &length, 1))
            return true;
        CharacterInfo info;
        info.name.assign(static_cast<unsigned char>(length), '\0');
        std::int32_t count;
        if (!readBytes(in, &info.name[0], static_cast<std::streamsize>(info.name.size())) || !readInt(in, count))
            return false;

        // Entries are appended as they are read, never reserved from the
        // count: a count far beyond the data ends at the end of the data.
        for (std::int32_t n = 0; n < count; ++n)
        {
            AnimationInfo animation;
            if (!readString(in, animation.directory) || !readString(in, animation.name) ||
                !readInt(in, animation.frameCount))
                return false;
            const bool counted = animation.frameCount >= MinFrameCount && animation.frameCount <= MaxFrameCount;
            if (!counted || framesInAll + animation.frameCount > MaxFramesInAll)
            {
                const std::string which = escapeControls(animation.name) + " of character " +
                                          escapeControls(info.name);
                const std::string frames = std::to_string(animation.frameCount) +
                                           (counted ? " frames, past " + std::to_string(MaxFramesInAll) + " in all"
                                                    : " frames (1 to 999 allowed)");
                if (!refused)
                    std::cout << "Animation " << which << " refused: " << frames << std::endl;
                else if (refused->empty())
                    *refused = "animation " + which + " has " + frames;
                continue;
            }
            framesInAll += animation.frameCount;
            info.animations.push_back(animation);
        }
        // The first description of a name wins.
        characters.insert(std::make_pair(info.name, info));
    }
}

CharacterPtr SceneManager::getCharacter(const std::string& name)
{
    std::map<std::string, CharacterInfo>::const_iterator entry = characters.find(name);
    if (entry == characters.end())
    {
        std::cout << "Could not load character: " << escapeControls(name) << std::endl;
        return CharacterPtr();
    }

    CharacterPtr character(new Character);
    for (const AnimationInfo& animation : entry->second.animations)
    {
        std::string frame = firstFrameName(name, animation);
        character->addAnimation(animation.name, getAnimation(frame, animation.frameCount));
    }
    return character;
}

AnimatedSpritePtr SceneManager::getAnimation(std::string& firstFrame, int frameCount)
{
    if (frameCount > MaxFrameCount)
    {
        // Three digits name at most 999 frames.
        std::cout << "Animation " << escapeControls(firstFrame) << " limited to 999 frames" << std::endl;
        frameCount = MaxFrameCount;
    }
    AnimatedSpritePtr sprite(new AnimatedSprite);
    for (int i = 0; i < frameCount; ++i)
    {
        sprite->setFrame(getSprite(firstFrame, PixelFormat::RGBA4444), i);
        nextFrameName(firstFrame);
    }
    return sprite;
}
}
