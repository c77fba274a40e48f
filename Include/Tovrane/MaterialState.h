#ifndef TOVRANE_MATERIALSTATE_H
#define TOVRANE_MATERIALSTATE_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/GraphicsState.h"
#include "Tovrane/Mathematics/Fixed.h"

namespace Tovrane
{
// Lighting material, applied to both faces. The owner sets the fields directly.
class MaterialState : public GraphicsState
{
    TOVRANE_DECLARE_RTTI(MaterialState)

public:
    MaterialState();
    ~MaterialState() override = default;

    ColorRGBA<tFixed> emissive;
    ColorRGBA<tFixed> ambient;
    ColorRGBA<tFixed> diffuse;
    ColorRGBA<tFixed> specular;
    tFixed shininess;
};

typedef boost::shared_ptr<MaterialState> MaterialStatePtr;
}

#endif
