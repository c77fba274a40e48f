#ifndef TOVRANE_SCENEMANAGER_H
#define TOVRANE_SCENEMANAGER_H

#include "Tovrane/SpriteManager.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <fstream>
#include <istream>
#include <map>
#include <string>
#include <vector>

namespace Tovrane
{
class AnimatedSprite;
class Character;
typedef boost::shared_ptr<AnimatedSprite> AnimatedSpritePtr;
typedef boost::shared_ptr<Character> CharacterPtr;

// The sprite manager of a game state, with the characters of its scenes.
//
// A ".chr" character description is a run of character records up to the end
// of the file, little-endian, without header or padding:
//   record:    u8 n, n bytes character name, i32 count, count animations
//   animation: u8 d, d bytes frame folder, u8 a, a bytes animation name,
//              i32 frame count (1 to 999)
// The frames of animation A of character K in folder F are the sprites
// F/K_A_001.png, F/K_A_002.png ... of the sprite sheets of the same manager.
// The first record of a name wins, within a file and between files.
//
// A manager is used by one thread at a time.
class SceneManager : public SpriteManager
{
public:
    struct AnimationInfo
    {
        std::string directory;
        std::string name;
        std::int32_t frameCount = 0;
    };

    struct CharacterInfo
    {
        std::string name;
        std::vector<AnimationInfo> animations;
    };

    // Frame counts a description may give.
    static const int MinFrameCount = 1;
    static const int MaxFrameCount = 999;
    // Frames of all the animations one description gives, together.
    static const int MaxFramesInAll = 4096;

    SceneManager();
    ~SceneManager();

    // The scene's sprite sheets (scene + ".tex") and characters (scene + ".chr").
    void addSceneInfo(const std::string& scene);
    // Reads the first description of that name found on the metadata folders,
    // newest first; a missing one is no error (a scene need not have
    // characters).
    void addCharacterInfo(const std::string& fileName);
    // Reads every record of an open description, then closes it.
    void readCharacterInfo(std::ifstream& file);
    // The same on any stream; false when the data ends inside a record, whose
    // part is then dropped. Animations with a frame count outside 1 to 999,
    // or past MaxFramesInAll frames of the description in all, are dropped
    // with a message; the rest of their record is kept. With `refused` the
    // first one is said there, as "animation A of character C has N frames…",
    // instead of on standard output.
    bool readCharacterInfo(std::istream& in, std::string* refused = nullptr);

    // A new character with every animation of its description, all hidden and
    // stopped; null (and a message) for a name no description lists.
    CharacterPtr getCharacter(const std::string& name);
    // A new animated sprite of `frameCount` frames, the sprites named like
    // `firstFrame` ("..._001.png") with the number counting up. On return the
    // name carries the number after the last frame.
    AnimatedSpritePtr getAnimation(std::string& firstFrame, int frameCount);
    // The name of the first frame of an animation of a character.
    static std::string firstFrameName(const std::string& character, const AnimationInfo& animation);
    // Counts the three digits before a four-character extension up by one,
    // carrying from the last digit to the first ("009" to "010", "099" to
    // "100"); names without such digits are left alone.
    static void nextFrameName(std::string& name);

    const std::map<std::string, CharacterInfo>& getCharacterInfo() const { return characters; }

private:
    std::map<std::string, CharacterInfo> characters;
};
}

#endif
