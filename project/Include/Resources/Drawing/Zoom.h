#ifndef RESOURCES_ZOOM_H
#define RESOURCES_ZOOM_H

#include "Resources/Drawing/Tool.h"

namespace Tovrane
{
class Zoom;
typedef boost::shared_ptr<Zoom> ZoomPtr;

struct ZoomToolState
{
    enum Type : int
    {
        ZoomIn = 0,
        ZoomOut = 1
    };
};

// Magnifies or reduces the canvas view by one step, centred on the touched
// picture point. Acts once per touch.
class Zoom : public Tool
{
    TOVRANE_DECLARE_RTTI(Zoom)

public:
    explicit Zoom(ZoomToolState::Type state);
    ~Zoom() override;

    void use(Canvas* canvas, int x, int y) override;

    ZoomToolState::Type getState() const { return state; }

private:
    ZoomToolState::Type state;
};
}

#endif
