#ifndef RESOURCES_SHAPETOOLBAR_H
#define RESOURCES_SHAPETOOLBAR_H

#include "Resources/Studio/ToolSelectToolbar.h"

namespace Tovrane
{
class ShapeToolbar;
typedef boost::shared_ptr<ShapeToolbar> ShapeToolbarPtr;

// The five shape outlines: triangle, rectangle, circle, star and line (the
// row's order is not the tools' numbering).
class ShapeToolbar : public ToolSelectToolbar
{
    TOVRANE_DECLARE_RTTI(ShapeToolbar)

public:
    ShapeToolbar();
    ~ShapeToolbar() override;

private:
    void initialize();
};
}

#endif
