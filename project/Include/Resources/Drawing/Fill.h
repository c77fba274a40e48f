#ifndef RESOURCES_FILL_H
#define RESOURCES_FILL_H

#include "Resources/Drawing/Tool.h"
#include "Tovrane/Texture.h"

namespace Tovrane
{
class Fill;
typedef boost::shared_ptr<Fill> FillPtr;

// Paints the connected region around the touched pixel whose colours are
// close to the touched colour, with the foreground colour laid out in a
// pattern (palette index 0 gives the foreground, any other index the
// background colour). Acts once per touch.
class Fill : public Tool
{
    TOVRANE_DECLARE_RTTI(Fill)

public:
    // Without a pattern the region takes the foreground colour alone.
    Fill();
    explicit Fill(TexturePtr pattern);
    ~Fill() override;

    void use(Canvas* canvas, int x, int y) override;

    TexturePtr getPattern() const { return pattern; }

    // Fills an RGBA5551 picture in place: every pixel 4-connected to (x, y)
    // through pixels that pass the region test (Canvas::canFill) against the
    // seed pixel (x, y)
    // takes the pattern's colour at (x mod pattern width, y mod pattern
    // height). A seed outside the picture changes nothing. The pattern must be
    // a Palette8 image or empty. Scanline spans, no recursion.
    static void fillTexture(Texture& picture, int x, int y, const ColorRGBA<unsigned char>& foreground,
                            const ColorRGBA<unsigned char>& background, const TexturePtr& pattern);

private:
    TexturePtr pattern;
};
}

#endif
