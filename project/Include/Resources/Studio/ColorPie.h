#ifndef RESOURCES_COLORPIE_H
#define RESOURCES_COLORPIE_H

#include "Resources/Studio/ColorPieArgs.h"
#include "Tovrane/Event.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/UIBase.h"

namespace Tovrane
{
class AudioPlayer;
class ColorPie;
class Texture;
typedef boost::shared_ptr<ColorPie> ColorPiePtr;
typedef boost::shared_ptr<Texture> TexturePtr;

// A pie of six exactly coloured slices for colour lessons: the child touches a
// slice, drags a drop painted in its colour and lets go; the listeners of
// releaseEvent accept or refuse the colour (the last one called decides, none
// means refused), and an accepted colour dropped near the middle fills the
// centre disc. Children: the pie picture, the pointer drop and, once set, the
// centre disc. Distances and picture positions are measured from the middle
// of the pie picture's bound.
class ColorPie : public UIBase
{
    TOVRANE_DECLARE_RTTI(ColorPie)

public:
    typedef ColorRGBA<unsigned char> Colour;
    typedef Event<bool, const ColorPieArgs&> PieEvent;

    // Colour numbers; a pixel must match red, green and blue exactly.
    struct PieColor
    {
        enum Type : int
        {
            Red = 0,
            Blue = 1,
            Yellow = 2,
            Purple = 3,
            Green = 4,
            Orange = 5,
            None = 6
        };
    };

    ColorPie(GeometryPtr pie, GeometryPtr pointer);
    ~ColorPie() override;

    // Keeps the disc's texture and adds the disc as a child.
    void setCenter(GeometryPtr center);
    // Every non-transparent pixel of the disc, or of the pointer, takes the
    // colour, alpha included.
    void setCenterColor(const Colour& colour);
    void setPointerColor(const Colour& colour);
    void setPointerPos(int x, int y);
    void getTexCoordFromScreenCoord(int& tx, int& ty, int x, int y, TexturePtr texture);
    // Remembers the current number as the previous one and takes the number
    // whose colour is c's; a colour of none of the six keeps the number.
    void setSelectedColorEnum(const Colour& c);
    // No colour, and a white centre.
    void reset();
    // The correct-answer sound for the first colour after none, else the
    // mixing sound.
    void playSFX();

    void onPress(int x, int y) override;
    void onRelease(int x, int y) override;
    // Sliding off gives the pick up: no colour, drop hidden.
    void onRolloff(int x, int y) override;

    int getSelectedColor() const { return selectedColor; }
    int getPreviousColor() const { return previousColor; }
    const Colour& getPickedColor() const { return pickedColor; }
    GeometryPtr getPointer() const { return pointer; }

    PieEvent releaseEvent;
    // Not owned; null keeps the pie silent.
    AudioPlayer* audioPlayer;

protected:
    // The middle of the pie picture's bound, 16.16.
    Vector3<tFixed> getPieCenter() const;
    tFixed squaredDistanceFromCenter(int x, int y) const;
    // Reads the pie pixel under the touch into pickedColor.
    void pick(int x, int y);
    // Red + green + blue of at least 151: dark and empty pixels are no colour.
    static bool isBrightEnough(const Colour& c);
    // The drop follows the finger.
    void movePointer(int x, int y);
    void playSound(const char* name);

    GeometryPtr pointer;
    TexturePtr centerTexture;
    TexturePtr pieTexture;
    bool pressed;
    Colour pickedColor;
    int selectedColor;
    int previousColor;
};
}

#endif
