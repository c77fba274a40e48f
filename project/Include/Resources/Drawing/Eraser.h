#ifndef RESOURCES_ERASER_H
#define RESOURCES_ERASER_H

#include "Resources/Drawing/Brush.h"

namespace Tovrane
{
class Eraser;
typedef boost::shared_ptr<Eraser> EraserPtr;

// A brush whose colours are fixed: opaque white on pictures, transparent on
// flipbook frames. Colours given to it are ignored.
class Eraser : public Brush
{
    TOVRANE_DECLARE_RTTI(Eraser)

public:
    static const ColorRGBA<unsigned char> white;
    static const ColorRGBA<unsigned char> clear;

    Eraser();
    Eraser(TexturePtr mask, TexturePtr pattern);
    ~Eraser() override;

    void setTransparency(bool transparent);
    bool getTransparency() const { return transparent; }

    void setForegroundColor(const ColorRGBA<unsigned char>& colour) override;
    void setBackgroundColor(const ColorRGBA<unsigned char>& colour) override;

private:
    bool transparent;
};
}

#endif
