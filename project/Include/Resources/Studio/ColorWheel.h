#ifndef RESOURCES_COLORWHEEL_H
#define RESOURCES_COLORWHEEL_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Event.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/UIBase.h"

namespace Tovrane
{
class AudioPlayer;
class ColorWheel;
class Texture;
typedef boost::shared_ptr<ColorWheel> ColorWheelPtr;
typedef boost::shared_ptr<Texture> TexturePtr;

// The colour screen's wheel: a tap takes the colour of the wheel picture under
// the finger; a drag from the wheel into the centre disc mixes paint (two
// primaries give their secondary, a third colour completes the mixture, drags
// from the inner ring darken or lighten). Every result goes to colorEvent,
// alpha 0 meaning "no new colour" (a refused mixture).
//
// Child 0 is the wheel picture (sampled by touch), child 1 the pointer drop
// that follows the finger. All distances, angles and picture positions are
// measured from the middle of child 0's bound, not the widget's, which grows
// with the pointer. The centre disc is shown by the owner; the wheel only
// recolours its texture.
class ColorWheel : public UIBase
{
    TOVRANE_DECLARE_RTTI(ColorWheel)

public:
    typedef ColorRGBA<unsigned char> Colour;

    // Where a press lies; also the rows and columns of the mixing table.
    struct ColorIndex
    {
        enum Type : int
        {
            None = 0, // also exactly on a sector border
            Red = 1,
            Blue = 2,
            Yellow = 3,
            Green = 4,
            Purple = 5,
            Orange = 6,
            Darken = 8, // inner ring below the centre
            Lighten = 9 // inner ring level with or above the centre
        };
    };

    ColorWheel(GeometryPtr wheel, GeometryPtr pointer);
    ~ColorWheel() override;

    // Keeps the centre disc's texture for recolouring; the disc is not added.
    void setCenter(GeometryPtr center);
    // Paints the disc (and every picture sharing its texture) in the colour
    // reduced to four bits a channel, with a black rim on white-ish colours
    // and a light grey one otherwise.
    void setCenterColor(const Colour& colour);
    void setPointerColor(const Colour& colour);
    void setPointerLocation(int x, int y);

    void getTexCoordFromScreenCoord(int& tx, int& ty, int x, int y, TexturePtr texture);
    // The colour under a press in direction `angle` (degrees), v pointing
    // from the touch to the centre. Writes |v|² to standard output.
    int getIndexFromAngle(float angle, const Vector3<tFixed>& v);
    // The secondary of two primaries; an inner-ring index gives the other one.
    static int getSecondaryIndex(int a, int b);
    Colour getMixerColor() const;
    static bool isSameColor(const Colour& a, const Colour& b);
    void setupColorMap();

    void onPress(int x, int y) override;
    void onRelease(int x, int y) override;
    // Ends the press and hides the pointer.
    void onRolloff(int x, int y) override;

    int getFirstIndex() const { return firstIndex; }
    int getSecondIndex() const { return secondIndex; }
    bool isMixed() const { return mixed; }
    float getRatio() const { return ratio; }
    float getAngle() const { return angle; }
    bool isPressed() const { return pressed; }
    const Colour& getCenterColor() const { return centerColor; }
    GeometryPtr getPointer() const { return pointer; }

    Event<void, const Colour&> colorEvent;
    // Not owned; null keeps the wheel silent.
    AudioPlayer* audioPlayer;

protected:
    // The middle of the wheel picture's bound, 16.16.
    Vector3<tFixed> getWheelCenter() const;
    TexturePtr getWheelTexture() const;
    // Ends a gesture: pointer hidden, no press recorded.
    void endPress();
    void playSound(const char* name);
    // The release paths.
    void tap(int x, int y, tFixed d2, const Vector3<tFixed>& center);
    void mix(const Vector3<tFixed>& center);

    tFixed innerRadiusSq;
    tFixed outerRadiusSq;
    GeometryPtr pointer;
    TexturePtr centerTexture;
    bool pressed;
    Vector3<tFixed> pressPoint;
    Colour pressColor;
    Colour centerColor;
    Colour outlineColor;
    float angle;
    int firstIndex;
    int secondIndex;
    bool mixed;
    float ratio;
    Colour colorMap[49];
};
}

#endif
