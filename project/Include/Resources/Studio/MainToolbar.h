#ifndef RESOURCES_MAINTOOLBAR_H
#define RESOURCES_MAINTOOLBAR_H

#include "Resources/Studio/Toolbar.h"

namespace Tovrane
{
class MainToolbar;
typedef boost::shared_ptr<MainToolbar> MainToolbarPtr;

// The studio's fixed bottom row of ten buttons, 32 units apart: drawing
// tools, colour and size, shapes, stamp, effect, eraser, undo, zoom, file and
// studio mode. The groups among them show the studio's current choice; over
// the colour-and-size button lies one of three colour masks. It decides
// nothing itself and never hides itself on a click.
class MainToolbar : public Toolbar
{
    TOVRANE_DECLARE_RTTI(MainToolbar)

public:
    // The buttons by index.
    enum
    {
        ToolsButton = 0,
        ColorButton = 1,
        ShapesButton = 2,
        StampButton = 3,
        EffectButton = 4,
        EraserButton = 5,
        UndoButton = 6,
        ZoomButton = 7,
        FileButton = 8,
        ModeButton = 9
    };

    MainToolbar();
    ~MainToolbar() override;

    // Shows colour mask `index` (0 small, 1 medium, 2 large) alone; an index
    // outside the masks changes nothing.
    void showMask(int index);
    NodePtr getMaskNode() const { return maskNode; }

private:
    void initialize();

    NodePtr maskNode;
};
}

#endif
