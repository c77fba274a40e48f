#include "Tovrane/GraphicsState.h"

TOVRANE_IMPLEMENT_RTTI(Tovrane, GraphicsState, Object);
