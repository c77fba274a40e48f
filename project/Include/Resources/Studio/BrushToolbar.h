#ifndef RESOURCES_BRUSHTOOLBAR_H
#define RESOURCES_BRUSHTOOLBAR_H

#include "Resources/Studio/ToolSelectToolbar.h"

namespace Tovrane
{
class BrushToolbar;
typedef boost::shared_ptr<BrushToolbar> BrushToolbarPtr;

// The seven drawing tools, in tool order: pencil, brush, fill, chalk, marker,
// crayon and airbrush.
class BrushToolbar : public ToolSelectToolbar
{
    TOVRANE_DECLARE_RTTI(BrushToolbar)

public:
    BrushToolbar();
    ~BrushToolbar() override;

private:
    void initialize();
};
}

#endif
