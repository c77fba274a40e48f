#include "Resources/Studio/ColorWheel.h"

#include "Resources/Studio/ColorPicture.h"
#include "Tovrane/Assert.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Texture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, ColorWheel, UIBase);

namespace
{
const char* const WheelSound = "h_SX_ColorWheelSfx_6.ogg";
const char* const MixedSound = "h_SX_ColorsMixedSfx_6.ogg";

// Degrees per radian as the wheel has always counted them (180 / 3.14): a
// half turn is 180.09 degrees, just past the last sector.
const float DegreesPerRadian = 57.3248405f;

// A drag shorter than 10 pixels is a tap.
const tFixed TapDistanceSq(100);

// The mixing table, RRGGBB, row and column by colour index 0 to 6.
const std::uint32_t MixingTable[49] = {
    0xFFFFFF, 0xFF0000, 0x0000FF, 0xFFFF00, 0x00FF00, 0x7F00FF, 0xFF7F00, // none
    0xFF0000, 0xFF0000, 0x7F00FF, 0xFF7F00, 0xBDB76B, 0xC71585, 0xE34234, // red
    0x0000FF, 0x7F00FF, 0x0000FF, 0x00FF00, 0x66CDAA, 0x3D0082, 0x8B4513, // blue
    0xFFFF00, 0xFF7F00, 0x00FF00, 0xFFFF00, 0x7FFF00, 0x8B4513, 0xFFBF00, // yellow
    0x00FF00, 0xBDB76B, 0x66CDAA, 0x7FFF00, 0x00FF00, 0x8B4513, 0x8B4513, // green
    0x7F00FF, 0xC71585, 0x3D0082, 0x8B4513, 0x8B4513, 0x7F00FF, 0x8B4513, // purple
    0xFF7F00, 0xE34234, 0x8B4513, 0xFFBF00, 0x8B4513, 0x8B4513, 0xFF7F00  // orange
};

unsigned char clampChannel(float value)
{
    return static_cast<unsigned char>(std::min(255.0f, std::max(0.0f, value)));
}

// Halves (darken) or doubles (lighten, up to 255) red, green and blue.
ColorWheel::Colour shade(ColorWheel::Colour c, int index)
{
    const float factor = index == ColorWheel::ColorIndex::Darken ? 0.5f : 2.0f;
    c.r = clampChannel(static_cast<float>(c.r) * factor);
    c.g = clampChannel(static_cast<float>(c.g) * factor);
    c.b = clampChannel(static_cast<float>(c.b) * factor);
    return c;
}

float toPixels(tFixed squared) { return static_cast<float>(squared.getRaw()) * (1.0f / 65536.0f); }

tFixed squaredLength(const Vector3<tFixed>& v)
{
    return ColorPicture::squaredDistance(v.x, v.y) + ColorPicture::squaredDistance(v.z, tFixed());
}
}

ColorWheel::ColorWheel(GeometryPtr wheel, GeometryPtr pointer) :
    audioPlayer(nullptr), innerRadiusSq(576), outerRadiusSq(5625), pointer(pointer), pressed(false),
    pressColor(0, 0, 0, 0), centerColor(0, 0, 0, 255), outlineColor(240, 240, 240, 255), angle(0.0f),
    firstIndex(ColorIndex::None), secondIndex(ColorIndex::None), mixed(false), ratio(0.0f)
{
    addChild(wheel);
    addChild(pointer);
    setPointerLocation(78, 53);
    pointer->cullingMode = CullingMode::Hide;
    setupColorMap();
}

ColorWheel::~ColorWheel() {}

void ColorWheel::setupColorMap()
{
    for (int i = 0; i < 49; ++i)
    {
        const std::uint32_t rgb = MixingTable[i];
        colorMap[i] = Colour(static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                             static_cast<unsigned char>(rgb), 255);
    }
}

void ColorWheel::setCenter(GeometryPtr center) { centerTexture = center ? center->getTexture() : TexturePtr(); }

void ColorWheel::setCenterColor(const Colour& c)
{
    if (!centerTexture)
        return;
    // The disc's texture is a 16-bit page: four bits a channel match exactly.
    const Colour q(c.r & 0xF0, c.g & 0xF0, c.b & 0xF0, c.a & 0xF0);
    const unsigned char o = (c.r >= 240 && c.g >= 240 && c.b >= 240) ? 0 : 240;
    ColorPicture::swapColours(centerTexture, centerColor, q, outlineColor, Colour(o, o, o, 255));
    centerColor = q;
    outlineColor = Colour(o, o, o, 0);
}

void ColorWheel::setPointerColor(const Colour& colour)
{
    if (pointer)
        ColorPicture::fillOpaque(pointer->getTexture(), colour);
}

void ColorWheel::setPointerLocation(int x, int y)
{
    pointer->setPosition(Vector3<tFixed>(tFixed(x), tFixed(y), tFixed(1)));
    pointer->setTransformCurrent(false);
}

void ColorWheel::getTexCoordFromScreenCoord(int& tx, int& ty, int x, int y, TexturePtr texture)
{
    ColorPicture::getTexCoord(tx, ty, x, y, getWheelCenter(), texture ? texture->getWidth() : 0,
                              texture ? texture->getHeight() : 0);
}

int ColorWheel::getIndexFromAngle(float degrees, const Vector3<tFixed>& v)
{
    const float r2 = toPixels(squaredLength(v));
    std::cout << r2 << std::endl;
    if (400.0f < r2 && r2 < 962.0f)
        return v.y <= tFixed() ? ColorIndex::Lighten : ColorIndex::Darken;
    if (degrees < 0.0f)
    {
        if (-60.0f < degrees)
            return ColorIndex::Blue;
        if (-120.0f < degrees && degrees < -60.0f)
            return ColorIndex::Purple;
        if (-180.0f < degrees && degrees < -120.0f)
            return ColorIndex::Red;
        return ColorIndex::None;
    }
    if (0.0f < degrees && degrees < 60.0f)
        return ColorIndex::Green;
    if (60.0f < degrees && degrees < 120.0f)
        return ColorIndex::Yellow;
    if (120.0f < degrees && degrees < 180.0f)
        return ColorIndex::Orange;
    return ColorIndex::None;
}

int ColorWheel::getSecondaryIndex(int a, int b)
{
    if (a == b || a >= ColorIndex::Darken)
        return b;
    if (b >= ColorIndex::Darken)
        return a;
    const int pair = std::min(a, b) * 10 + std::max(a, b);
    if (pair == 12)
        return ColorIndex::Purple;
    if (pair == 13)
        return ColorIndex::Orange;
    if (pair == 23)
        return ColorIndex::Green;
    TOVRANE_ASSERT(false && "Non prime color passed into getSecondaryIndex()");
    return ColorIndex::None;
}

ColorWheel::Colour ColorWheel::getMixerColor() const
{
    const bool firstShades = firstIndex >= ColorIndex::Darken, secondShades = secondIndex >= ColorIndex::Darken;
    if (firstShades != secondShades)
    {
        // A shade with no colour (the ring dragged into an empty centre)
        // shades what the centre shows.
        const int m = std::min(firstIndex, secondIndex);
        return shade(m != ColorIndex::None ? colorMap[m] : centerColor, std::max(firstIndex, secondIndex));
    }
    // Only table entries are read; a state outside the table leaves the colour.
    if (firstIndex < 0 || firstIndex > 6 || secondIndex < 0 || secondIndex > 6)
        return centerColor;
    Colour c = colorMap[firstIndex * 7 + secondIndex];
    c.r = clampChannel(static_cast<float>(c.r) * ratio);
    c.g = clampChannel(static_cast<float>(c.g) * ratio);
    c.b = clampChannel(static_cast<float>(c.b) * ratio);
    return c;
}

bool ColorWheel::isSameColor(const Colour& a, const Colour& b) { return ColorPicture::isSameColor(a, b); }

Vector3<tFixed> ColorWheel::getWheelCenter() const { return ColorPicture::getCenter(getChild(0)); }

TexturePtr ColorWheel::getWheelTexture() const
{
    SpatialPtr wheel = getChild(0);
    if (!wheel || !wheel->getType().isDerived(Geometry::RuntimeType))
        return TexturePtr();
    return static_cast<Geometry&>(*wheel).getTexture();
}

void ColorWheel::playSound(const char* name)
{
    if (audioPlayer)
        audioPlayer->playSfx(name);
}

void ColorWheel::endPress()
{
    pointer->cullingMode = CullingMode::Hide;
    pressed = false;
}

void ColorWheel::onPress(int x, int y)
{
    const Vector3<tFixed> center = getWheelCenter();
    const tFixed dx = tFixed(x) - center.x, dy = tFixed(y) - center.y;
    const tFixed d2 = ColorPicture::squaredDistance(dx, dy);
    TexturePtr wheel = getWheelTexture();
    int tx, ty;
    getTexCoordFromScreenCoord(tx, ty, x, y, wheel);
    if (d2 <= outerRadiusSq)
        setPointerLocation(tx, (wheel ? wheel->getHeight() : 0) - ty);
    if (pressed || d2 < innerRadiusSq || d2 > outerRadiusSq)
        return;

    pressColor = ColorPicture::getPixel(wheel, tx, ty);
    pressed = true;
    pressPoint = Vector3<tFixed>(tFixed(x), tFixed(y), center.z);
    setPointerColor(pressColor);
    if (pressColor.a != 0)
        pointer->cullingMode = CullingMode::Show;

    // The direction of the press: acos of the x part of the unit vector,
    // negative below the centre.
    const Vector3<tFixed> v(dx, dy, -center.z);
    const double lengthSq = toPixels(squaredLength(v));
    const tFixed length = tFixed::fromRaw(static_cast<std::int32_t>(std::sqrt(lengthSq) * 65536.0));
    float cosine = 1.0f;
    if (length > tFixed())
        cosine = std::min(1.0f, std::max(-1.0f, (dx * (tFixed(1) / length)).toFloat()));
    float radians = std::acos(cosine);
    if (center.y - tFixed(y) > tFixed())
        radians = -radians;
    angle = radians * DegreesPerRadian;
}

void ColorWheel::onRelease(int x, int y)
{
    const Vector3<tFixed> center = getWheelCenter();
    const tFixed d2 = ColorPicture::squaredDistance(tFixed(x) - center.x, tFixed(y) - center.y);
    if (pressed && d2 <= innerRadiusSq)
        mix(center);
    else
        tap(x, y, d2, center);
    endPress();
}

void ColorWheel::onRolloff(int, int) { endPress(); }

void ColorWheel::tap(int x, int y, tFixed d2, const Vector3<tFixed>& center)
{
    // Without a recorded press the last one's point is measured against:
    // a touch that began in the centre and ends near it still picks.
    const tFixed dd = ColorPicture::squaredDistance(pressPoint.x - tFixed(x), pressPoint.y - tFixed(y));
    if (dd >= TapDistanceSq)
        return;
    TexturePtr wheel = getWheelTexture();
    int tx, ty;
    getTexCoordFromScreenCoord(tx, ty, x, y, wheel);
    const Colour c = ColorPicture::getPixel(wheel, tx, ty);
    std::cout << "POINT1: " << (tFixed(x) - center.x).toFloat() << ", " << (tFixed(y) - center.y).toFloat()
              << std::endl;
    if (c.a == 0)
        return;
    firstIndex = getIndexFromAngle(angle, Vector3<tFixed>(center.x - tFixed(x), center.y - tFixed(y), tFixed()));
    secondIndex = ColorIndex::None;
    mixed = false;
    ratio = (toPixels(d2) - toPixels(innerRadiusSq)) / (toPixels(outerRadiusSq) - toPixels(innerRadiusSq));
    playSound(WheelSound);
    setCenterColor(c);
    colorEvent(c);
}

void ColorWheel::mix(const Vector3<tFixed>& center)
{
    const Vector3<tFixed> v = center - pressPoint;
    const int i = getIndexFromAngle(angle, v);
    // A press on a sector border names no colour: nothing to mix.
    if (i == ColorIndex::None)
        return;
    const float q =
        (toPixels(squaredLength(v)) - toPixels(innerRadiusSq)) / (toPixels(outerRadiusSq) - toPixels(innerRadiusSq));
    Colour c = centerColor;
    if (firstIndex == ColorIndex::None)
    {
        firstIndex = i;
        secondIndex = ColorIndex::None;
        ratio = q;
        playSound(MixedSound);
        c = getMixerColor();
        if (c.a != 0)
            setCenterColor(c);
    }
    else if (i >= ColorIndex::Darken)
    {
        // The inner ring shades what the centre shows. The first index counts
        // too: a mixture begun on the light half is lightened by either half.
        secondIndex = i;
        c = shade(c, std::max(firstIndex, i));
        playSound(MixedSound);
        if (c.a != 0)
            setCenterColor(c);
    }
    else if (secondIndex == ColorIndex::None || !mixed)
    {
        secondIndex = i;
        ratio = (ratio + q) / 2.0f;
        c = getMixerColor();
        playSound(MixedSound);
        if ((firstIndex >= 4 || secondIndex >= 4) && firstIndex < ColorIndex::Darken &&
            secondIndex < ColorIndex::Darken)
            mixed = true;
        else
        {
            firstIndex = getSecondaryIndex(firstIndex, secondIndex);
            mixed = false;
        }
        if (c.a != 0)
            setCenterColor(c);
    }
    else
    {
        // The mixture is complete: one colour too many.
        if (audioPlayer)
            audioPlayer->playSfx(BaseAudio::WrongAnswer);
        c.a = 0;
    }
    colorEvent(c);
}
}
