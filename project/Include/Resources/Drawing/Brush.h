#ifndef RESOURCES_BRUSH_H
#define RESOURCES_BRUSH_H

#include "Resources/Drawing/Tool.h"
#include "Tovrane/Texture.h"

namespace Tovrane
{
class Brush;
typedef boost::shared_ptr<Brush> BrushPtr;

// Every painting tool (pencil, brush, chalk, marker, crayon, airbrush): one dab
// covers the mask pixels whose alpha is 255 with the pattern's colours, palette
// entry 0 being the foreground and entry 1 the background colour. Without a
// mask the whole pattern image is copied.
class Brush : public Tool
{
    TOVRANE_DECLARE_RTTI(Brush)

public:
    // The largest mask size, and the period of the pattern under the dabs.
    static const int MaxBrushSize = 32;

    Brush();
    // The brush keeps its own copy of a palette pattern, so its colours never
    // change another brush's.
    Brush(TexturePtr mask, TexturePtr pattern);
    ~Brush() override;

    void setForegroundColor(const ColorRGBA<unsigned char>& colour) override;
    void setBackgroundColor(const ColorRGBA<unsigned char>& colour) override;
    // A dab centred on (x, y): its top-left corner is (x - w / 2, y - w / 2),
    // w the mask's width (the pattern's without a mask).
    void use(Canvas* canvas, int x, int y) override;

    const TexturePtr& getMask() const { return mask; }
    const TexturePtr& getPattern() const { return pattern; }
    void setPattern(TexturePtr newPattern);

protected:
    TexturePtr mask;
    TexturePtr pattern;
};
}

#endif
