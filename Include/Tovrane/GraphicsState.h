#ifndef TOVRANE_GRAPHICSSTATE_H
#define TOVRANE_GRAPHICSSTATE_H

#include "Tovrane/Object.h"

namespace Tovrane
{
// Common base of the fixed-function drawing settings a renderer applies as a whole.
class GraphicsState : public Object
{
    TOVRANE_DECLARE_RTTI(GraphicsState)

public:
    GraphicsState() = default;
    ~GraphicsState() override = default;
};

typedef boost::shared_ptr<GraphicsState> GraphicsStatePtr;
}

#endif
