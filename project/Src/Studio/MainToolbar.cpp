#include "Resources/Studio/MainToolbar.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, MainToolbar, Toolbar);

namespace
{
const char* const Highlight = "studio/toolbar/highlight.png";
}

MainToolbar::MainToolbar()
{
    initialize();
    hideOnClick = false;
}

MainToolbar::~MainToolbar() { maskNode.reset(); }

void MainToolbar::initialize()
{
    const tFixed advance(32);

    ButtonGroupPtr tools = makeGroup({"pencil", "brush", "fill", "chalk", "marker", "crayon", "airbrush"});
    addButtonHighlight(tools, Highlight);
    addButton(tools, advance);

    ButtonGroupPtr size = makeGroup({"small_picker", "medium_picker", "large_picker"});
    size->showGroup(1);
    addButton(size, advance);

    maskNode.reset(new Node);
    for (const char* mask : {"color_masks/mask_small_toolbar.png", "color_masks/mask_medium_toolbar.png",
                             "color_masks/mask_large_toolbar.png"})
        maskNode->addChild(getSprite(mask));
    size->addChild(maskNode);
    showMask(1);

    ButtonGroupPtr shapes = makeGroup({"triangle", "rectangle", "circle", "star", "line"});
    addButtonHighlight(shapes, Highlight);
    addButton(shapes, advance);

    ButtonPtr stamp = makeButton("stamp");
    addButtonHighlight(stamp, Highlight);
    addButton(stamp, advance);

    addButton(makeButton("effect"), advance);

    ButtonPtr eraser = makeButton("eraser");
    addButtonHighlight(eraser, Highlight);
    addButton(eraser, advance);

    addButton(makeButton("undo"), advance);
    addButton(makeGroup({"zoom_in", "zoom_out"}), advance);
    addButton(makeButton("file"), advance);
    addButton(makeGroup({"flipbook", "art"}), advance);

    setToolbarHighlight(getSprite("studio/toolbar/toolbar_highlight.png"));
    showToolbarHighlight(false);
    showButtonHighlight(ToolsButton);
}

void MainToolbar::showMask(int index)
{
    if (!maskNode || index < 0 || index >= maskNode->getChildQuantity())
        return;
    for (int i = 0; i < maskNode->getChildQuantity(); ++i)
        maskNode->getChild(i)->cullingMode = CullingMode::Hide;
    maskNode->getChild(index)->cullingMode = CullingMode::Show;
}
}
