#ifndef RESOURCES_FLIPBOOKTOOLBAR_H
#define RESOURCES_FLIPBOOKTOOLBAR_H

#include "Resources/Studio/Toolbar.h"

namespace Tovrane
{
class FlipbookToolbar;
typedef boost::shared_ptr<FlipbookToolbar> FlipbookToolbarPtr;

// The flipbook row: twelve frame buttons 24 units apart, reporting 0 to 11,
// then the play/stop group (look 0 play, 1 stop) reporting 12. The row never
// hides itself; the highlight marks the frame shown.
class FlipbookToolbar : public Toolbar
{
    TOVRANE_DECLARE_RTTI(FlipbookToolbar)

public:
    static const int FrameCount = 12;
    static const int PlayButton = FrameCount;

    FlipbookToolbar();
    ~FlipbookToolbar() override;

private:
    void initialize();
};
}

#endif
