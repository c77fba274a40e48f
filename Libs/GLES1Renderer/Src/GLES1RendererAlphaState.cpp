#include "Tovrane/GLES1Renderer.h"

#include "GLES1Tables.h"
#include "Tovrane/Assert.h"

namespace Tovrane
{
void GLES1Renderer::setAlphaState(AlphaStatePtr alpha)
{
    TOVRANE_ASSERT(alpha->getBlendFunction() == BlendFunction::Add && "Add is the only available blend function");
    const BlendFactor::Type source = alpha->getSourceBlend();
    const BlendFactor::Type destination = alpha->getDestinationBlend();
    TOVRANE_ASSERT(source != BlendFactor::ConstantColor && source != BlendFactor::InverseConstantColor &&
                   "Constant color is not available");
    TOVRANE_ASSERT(destination != BlendFactor::ConstantColor && destination != BlendFactor::InverseConstantColor &&
                   "Constant color is not available");
    // The enumerations can hold a few values past their last name; none may index the tables.
    TOVRANE_ASSERT(source <= BlendFactor::SourceAlphaSaturate && destination <= BlendFactor::SourceAlphaSaturate &&
                   "Unknown blend factor");
    TOVRANE_ASSERT(alpha->testFunction <= TestFunction::NotEqual && "Unknown alpha test function");

    if (alpha->blendEnabled)
    {
        glEnable(GL_BLEND);
        glBlendFunc(GLES1Tables::blendFactor[source], GLES1Tables::blendFactor[destination]);
    }
    else
        glDisable(GL_BLEND);

    if (alpha->testEnabled)
    {
        glEnable(GL_ALPHA_TEST);
        // The fixed-point form takes the 16.16 reference as it is.
        glAlphaFuncx(GLES1Tables::testFunction[alpha->testFunction], alpha->reference.getRaw());
    }
    else
        glDisable(GL_ALPHA_TEST);
}
}
