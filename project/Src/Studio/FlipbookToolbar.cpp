#include "Resources/Studio/FlipbookToolbar.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, FlipbookToolbar, Toolbar);

FlipbookToolbar::FlipbookToolbar()
{
    initialize();
    hideOnClick = false;
}

FlipbookToolbar::~FlipbookToolbar() {}

void FlipbookToolbar::initialize()
{
    // The frames look alike; only their place tells them apart.
    for (int i = 0; i < FrameCount; ++i)
    {
        ButtonPtr frame = makeButton("frame");
        addButtonHighlight(frame, "studio/toolbar/frame_highlight.png");
        addButton(frame, tFixed(24));
    }
    ButtonGroupPtr play = makeGroup({"play", "stop"});
    addButtonHighlight(play, "studio/toolbar/play_highlight.png");
    addButton(play, tFixed(32));

    setToolbarHighlight(getSprite("studio/toolbar/frames_highlight.png"));
    showToolbarHighlight(false);
    showButtonHighlight(0);
}
}
