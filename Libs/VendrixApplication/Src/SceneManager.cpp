#include "Tovrane/SceneManager.h"

#include "Tovrane/AnimatedSprite.h"
#include "Tovrane/BinaryReader.h"
#include "Tovrane/Character.h"
#include "Tovrane/Geometry.h"

#include <iostream>

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
    const std::vector<std::string>& paths = getMetadataPaths();
    for (size_t i = paths.size(); i-- > 0;)
    {
        const std::string path = paths[i] + fileName;
        std::ifstream file(path.c_str(), std::ios::in | std::ios::binary);
        if (!file.is_open())
            continue;
        if (!readCharacterInfo(static_cast<std::istream&>(file)))
            std::cout << "Character description cut short: " << path << std::endl;
        file.close();
        return;
    }
}

void SceneManager::readCharacterInfo(std::ifstream& file)
{
    if (!readCharacterInfo(static_cast<std::istream&>(file)))
        std::cout << "Character description cut short" << std::endl;
    file.close();
}

bool SceneManager::readCharacterInfo(std::istream& in)
{
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
            if (animation.frameCount < MinFrameCount || animation.frameCount > MaxFrameCount)
            {
                std::cout << "Animation " << animation.name << " of character " << info.name << " refused: "
                          << animation.frameCount << " frames (1 to 999 allowed)" << std::endl;
                continue;
            }
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
        std::cout << "Could not load character: " << name << std::endl;
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
        std::cout << "Animation " << firstFrame << " limited to 999 frames" << std::endl;
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
