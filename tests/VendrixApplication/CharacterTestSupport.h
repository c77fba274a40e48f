#ifndef TESTS_VENDRIXAPPLICATION_CHARACTERTESTSUPPORT_H
#define TESTS_VENDRIXAPPLICATION_CHARACTERTESTSUPPORT_H

// Character descriptions, sprite sheets and their pictures, written by the
// tests themselves.

#include "SceneGraph/SpriteTestSupport.h"

#include "Tovrane/AnimatedSprite.h"
#include "Tovrane/Character.h"
#include "Tovrane/LipFlapController.h"

#include <cstdint>
#include <string>
#include <vector>

namespace CharacterTestSupport
{
using SpriteTestSupport::putInt;
using SpriteTestSupport::putString;

struct Animation
{
    std::string directory;
    std::string name;
    std::int32_t frames;
};

struct Record
{
    std::string name;
    std::vector<Animation> animations;
    std::int32_t count = -1; // the count written; by default the number of animations
};

// The bytes of a ".chr" description.
inline std::string encode(const std::vector<Record>& records)
{
    std::string out;
    for (const Record& record : records)
    {
        putString(out, record.name);
        putInt(out, record.count >= 0 ? record.count : static_cast<std::int32_t>(record.animations.size()));
        for (const Animation& animation : record.animations)
        {
            putString(out, animation.directory);
            putString(out, animation.name);
            putInt(out, animation.frames);
        }
    }
    return out;
}

// "dir/character_animation_NNN.png"
inline std::string frameName(const std::string& directory, const std::string& character,
                             const std::string& animation, int frame)
{
    char number[8];
    std::snprintf(number, sizeof(number), "%03d", frame);
    return directory + "/" + character + "_" + animation + "_" + number + ".png";
}

// Sprite records for every frame of the animations of the records, each
// cut from the same 8 x 8 corner of the sheet and placed at x = the frame
// number, y = the animation's index in its record, so that a built frame
// tells which sprite it was made from.
inline SpriteTestSupport::Block frameSprites(const std::string& sheet, const std::vector<Record>& records)
{
    SpriteTestSupport::Block block;
    block.texture = sheet;
    for (const Record& record : records)
        for (size_t a = 0; a < record.animations.size(); ++a)
        {
            const Animation& animation = record.animations[a];
            for (int i = 1; i <= animation.frames && i <= 999; ++i)
                block.records.push_back(SpriteTestSupport::sprite(
                    frameName(animation.directory, record.name, animation.name, i), 0, 8, 0, 8, i,
                    static_cast<int>(a)));
        }
    return block;
}

// The frame number a built frame was made from (see frameSprites).
inline int frameNumberOf(const Tovrane::SpatialPtr& frame)
{
    // The quad's lower-left corner lies at the record's x: its centre at x + 4.
    return frame->getPosition().x.toInt() - 4;
}

inline Tovrane::AnimatedSpritePtr spriteOf(const Tovrane::SpatialPtr& node)
{
    return boost::dynamic_pointer_cast<Tovrane::AnimatedSprite>(node);
}

// The character's children in drawing order, each "name frames@current
// culling" and its controllers, "A" (animation) or "L" (lip flap), with its
// repeat when it plays ("A wrap") or "stop"; a child is named by the first
// of `names` that is its animation, "?" by none.
inline std::string state(const Tovrane::Character& character, const std::vector<std::string>& names)
{
    using namespace Tovrane;
    static const char* const culling[] = {"inherit", "hide", "show"};
    static const char* const repeat[] = {"clamp", "reverse", "pingpong", "wrap"};
    std::string out;
    for (int i = 0; i < character.getChildQuantity(); ++i)
    {
        SpatialPtr child = character.getChild(i);
        std::string name = "?";
        for (auto n = names.rbegin(); n != names.rend(); ++n)
            if (character.getAnimation(*n) == child)
                name = *n;
        AnimatedSpritePtr sprite = spriteOf(child);
        out += (i ? " | " : "") + name + " " + std::to_string(sprite->getFrameCount()) + "@" +
               std::to_string(sprite->getCurrentFrame()) + " " + culling[child->cullingMode];
        for (int c = 0; c < child->getControllerQuantity(); ++c)
        {
            ControllerPtr controller = child->getController(c);
            out += controller->getType().isDerived(LipFlapController::RuntimeType) ? " L " : " A ";
            out += controller->isPlaying() ? repeat[controller->repeatType] : "stop";
        }
    }
    return out;
}

// An animated sprite of `frames` empty frames.
inline Tovrane::AnimatedSpritePtr framesOf(int frames)
{
    Tovrane::AnimatedSpritePtr sprite(new Tovrane::AnimatedSprite);
    for (int i = 0; i < frames; ++i)
        sprite->setFrame(Tovrane::SpatialPtr(new Tovrane::Node), i);
    return sprite;
}
}

#endif
