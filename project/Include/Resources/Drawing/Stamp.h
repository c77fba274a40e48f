#ifndef RESOURCES_STAMP_H
#define RESOURCES_STAMP_H

#include "Resources/Drawing/Tool.h"
#include "Tovrane/Texture.h"

namespace Tovrane
{
class Stamp;
typedef boost::shared_ptr<Stamp> StampPtr;

// Presses a small ready-made picture into the drawing, centred on the touched
// point, in the picture's own colours: palette index 0 is background and is
// not painted. One touch places one stamp.
class Stamp : public Tool
{
    TOVRANE_DECLARE_RTTI(Stamp)

public:
    Stamp();
    explicit Stamp(TexturePtr image);
    ~Stamp() override;

    // Keeps the Palette8 image and builds its mask (alpha 255 where the index
    // is not 0).
    void setStampTexture(TexturePtr image);
    // The image's top-left corner goes to (x - w / 2, y - w / 2), w its width.
    void use(Canvas* canvas, int x, int y) override;

    TexturePtr getImage() const { return image; }
    TexturePtr getMask() const { return mask; }

private:
    TexturePtr mask;
    TexturePtr image;
};
}

#endif
