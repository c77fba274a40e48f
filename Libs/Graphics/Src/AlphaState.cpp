#include "Tovrane/AlphaState.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, AlphaState, GraphicsState);

// Blending and alpha testing off; the usual "over" factors ready for when
// blending is switched on.
AlphaState::AlphaState()
    : blendEnabled(false),
      sourceBlend(BlendFactor::SourceAlpha),
      destinationBlend(BlendFactor::InverseSourceAlpha),
      blendFunction(BlendFunction::Add),
      constantColor(tFixed(0), tFixed(0), tFixed(0), tFixed(1)),
      testEnabled(false),
      testFunction(TestFunction::Always),
      reference(0)
{
}
}
