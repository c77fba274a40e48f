#ifndef TOVRANE_ALPHASTATE_H
#define TOVRANE_ALPHASTATE_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/GraphicsState.h"
#include "Tovrane/Mathematics/Fixed.h"

namespace Tovrane
{
// Blend factors; the two constant-colour factors have no OpenGL ES 1 equivalent.
struct BlendFactor
{
    enum Type : int
    {
        Zero = 0,
        One = 1,
        SourceColor = 2,
        InverseSourceColor = 3,
        SourceAlpha = 4,
        InverseSourceAlpha = 5,
        DestinationAlpha = 6,
        InverseDestinationAlpha = 7,
        DestinationColor = 8,
        InverseDestinationColor = 9,
        SourceAlphaSaturate = 10,
        ConstantColor = 11,
        InverseConstantColor = 12
    };
};

// How source and destination are combined; renderers accept only Add.
struct BlendFunction
{
    // A fixed underlying type, so that a stray value can be held and refused.
    enum Type : int
    {
        Add = 0
    };
};

// Alpha test comparison.
struct TestFunction
{
    enum Type : int
    {
        Always = 0,
        Equal = 1,
        Greater = 2,
        GEqual = 3,
        Less = 4,
        LEqual = 5,
        Never = 6,
        NotEqual = 7
    };
};

// Blending and alpha testing. The owner sets the fields directly before
// handing the state to a renderer.
class AlphaState : public GraphicsState
{
    TOVRANE_DECLARE_RTTI(AlphaState)

public:
    AlphaState();
    ~AlphaState() override = default;

    BlendFactor::Type getSourceBlend() const { return sourceBlend; }
    BlendFactor::Type getDestinationBlend() const { return destinationBlend; }
    BlendFunction::Type getBlendFunction() const { return blendFunction; }

    bool blendEnabled;
    BlendFactor::Type sourceBlend;
    BlendFactor::Type destinationBlend;
    BlendFunction::Type blendFunction;
    ColorRGBA<tFixed> constantColor;
    bool testEnabled;
    TestFunction::Type testFunction;
    tFixed reference;
};

typedef boost::shared_ptr<AlphaState> AlphaStatePtr;
}

#endif
