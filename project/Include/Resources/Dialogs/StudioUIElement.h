#ifndef RESOURCES_STUDIOUIELEMENT_H
#define RESOURCES_STUDIOUIELEMENT_H

#include "Tovrane/SpriteManager.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>

namespace Tovrane
{
// Mix-in of every studio interface node (toolbars, colour screen, pickers),
// inherited beside the node base. The elements share one sprite manager that
// holds the studio's sprite sheets: read on the first request, released when
// the last element is destroyed, so leaving the studio frees the sheets and
// the next studio reads them again. Not guarded: elements are built on the
// loader thread and destroyed on the main thread, never both at once.
class StudioUIElement
{
public:
    StudioUIElement();
    ~StudioUIElement();

    // The shared manager, made and loaded with the sheets when there is none.
    // Not owned by the caller.
    static SpriteManager* getSpriteManager();

    // The sprite-sheet descriptions the manager reads, in order.
    static const char* const SheetNames[];
    static const int SheetCount;

    StudioUIElement(const StudioUIElement&) = delete;
    StudioUIElement& operator=(const StudioUIElement&) = delete;

private:
    static std::int32_t elementCount;
    static boost::shared_ptr<SpriteManager> spriteManagerInstance;
};
}

#endif
