#include "Resources/Studio/ColorPie.h"

#include "Resources/Studio/ColorPicture.h"
#include "Tovrane/Assert.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Texture.h"

#include <cstdio>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, ColorPie, UIBase);

namespace
{
// The six colours, by colour number.
const ColorPie::Colour PieColours[6] = {ColorPie::Colour(192, 0, 0, 255),   ColorPie::Colour(0, 0, 192, 255),
                                        ColorPie::Colour(240, 240, 0, 255), ColorPie::Colour(144, 0, 192, 255),
                                        ColorPie::Colour(48, 144, 0, 255),  ColorPie::Colour(240, 144, 0, 255)};

// Darker pixels (red + green + blue below this) are no colour.
const int LeastBrightness = 151;
// A drop closer than 15 pixels to the middle lands on the centre.
const tFixed DropDistanceSq(225);
}

ColorPie::ColorPie(GeometryPtr pie, GeometryPtr pointer) :
    audioPlayer(nullptr), pointer(pointer), pieTexture(pie->getTexture()), pressed(false),
    pickedColor(0, 0, 0, 0), selectedColor(PieColor::None), previousColor(PieColor::None)
{
    pointer->cullingMode = CullingMode::Hide;
    addChild(pie);
    addChild(pointer);
}

ColorPie::~ColorPie() {}

void ColorPie::setCenter(GeometryPtr center)
{
    centerTexture = center->getTexture();
    addChild(center);
}

void ColorPie::setCenterColor(const Colour& colour)
{
    TOVRANE_ASSERT(centerTexture && "The colour pie has no centre");
    ColorPicture::fillOpaque(centerTexture, colour);
}

void ColorPie::setPointerColor(const Colour& colour) { ColorPicture::fillOpaque(pointer->getTexture(), colour); }

void ColorPie::setPointerPos(int x, int y)
{
    pointer->setPosition(Vector3<tFixed>(tFixed(x), tFixed(y), tFixed(2)));
    pointer->setTransformCurrent(false);
}

void ColorPie::getTexCoordFromScreenCoord(int& tx, int& ty, int x, int y, TexturePtr texture)
{
    ColorPicture::getTexCoord(tx, ty, x, y, getPieCenter(), texture ? texture->getWidth() : 0,
                              texture ? texture->getHeight() : 0);
}

void ColorPie::setSelectedColorEnum(const Colour& c)
{
    std::printf("COLOR = r:%d g:%d b:%d\n", c.r, c.g, c.b);
    std::fflush(stdout);
    previousColor = selectedColor;
    for (int i = 0; i < 6; ++i)
        if (ColorPicture::isSameColor(c, PieColours[i]))
            selectedColor = i;
}

void ColorPie::reset()
{
    selectedColor = PieColor::None;
    setCenterColor(Colour(255, 255, 255, 255));
}

void ColorPie::playSFX()
{
    if (!audioPlayer)
        return;
    if (previousColor == PieColor::None)
        audioPlayer->playSfx(BaseAudio::CorrectAnswer);
    else
        audioPlayer->playSfx("h_SX_ColorsMixedSfx_6.ogg");
}

Vector3<tFixed> ColorPie::getPieCenter() const { return ColorPicture::getCenter(getChild(0)); }

tFixed ColorPie::squaredDistanceFromCenter(int x, int y) const
{
    const Vector3<tFixed> center = getPieCenter();
    return ColorPicture::squaredDistance(tFixed(x) - center.x, tFixed(y) - center.y);
}

void ColorPie::pick(int x, int y)
{
    int tx, ty;
    getTexCoordFromScreenCoord(tx, ty, x, y, pieTexture);
    pickedColor = ColorPicture::getPixel(pieTexture, tx, ty);
}

bool ColorPie::isBrightEnough(const Colour& c) { return c.r + c.g + c.b >= LeastBrightness; }

void ColorPie::movePointer(int x, int y)
{
    int tx, ty;
    getTexCoordFromScreenCoord(tx, ty, x, y, pieTexture);
    setPointerPos(tx, (pieTexture ? pieTexture->getHeight() : 0) - ty);
}

void ColorPie::playSound(const char* name)
{
    if (audioPlayer)
        audioPlayer->playSfx(name);
}

void ColorPie::onPress(int x, int y)
{
    if (!pressed)
    {
        pick(x, y);
        if (!isBrightEnough(pickedColor))
            selectedColor = PieColor::None;
        else
        {
            setPointerColor(pickedColor);
            setSelectedColorEnum(pickedColor);
            pointer->cullingMode = CullingMode::Show;
        }
        pressed = true;
    }
    movePointer(x, y);
}

void ColorPie::onRelease(int x, int y)
{
    pointer->cullingMode = CullingMode::Hide;
    const bool accepted = releaseEvent(ColorPieArgs(selectedColor, pickedColor));
    if (squaredDistanceFromCenter(x, y) < DropDistanceSq)
    {
        if (accepted)
        {
            playSFX();
            setCenterColor(pickedColor);
        }
    }
    else
        playSound("h_SX_ColorWheelSfx_6.ogg");
    pressed = false;
}

void ColorPie::onRolloff(int, int)
{
    pressed = false;
    selectedColor = PieColor::None;
    pointer->cullingMode = CullingMode::Hide;
}
}
