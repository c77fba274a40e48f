#ifndef RESOURCES_TEXTURIZEEFFECT_H
#define RESOURCES_TEXTURIZEEFFECT_H

#include "Resources/Drawing/Effects/Effect.h"

#include <string>

namespace Tovrane
{
struct TextureEffect
{
    enum Pattern : int
    {
        Wicker = 0,
        Brick = 1,
        Parchment = 2,
        BrushStrokes = 3
    };
};

// Multiplies the picture by a texture image tiled from its top-left corner;
// a strip at the right or bottom narrower than the image stays as it is. A
// missing image leaves the picture unchanged.
class TexturizeEffect : public Effect
{
    TOVRANE_DECLARE_RTTI(TexturizeEffect)

public:
    explicit TexturizeEffect(TextureEffect::Pattern texture);
    ~TexturizeEffect() override;

    void run(TexturePtr picture) override;

    // "images/studio/textures/tex_NN.png" under the title's folder.
    std::string getTexturePath() const;

private:
    TextureEffect::Pattern texture;
};
}

#endif
