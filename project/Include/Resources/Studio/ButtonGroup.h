#ifndef RESOURCES_BUTTONGROUP_H
#define RESOURCES_BUTTONGROUP_H

#include "Tovrane/Button.h"

#include <vector>

namespace Tovrane
{
class ButtonGroup;
typedef boost::shared_ptr<ButtonGroup> ButtonGroupPtr;

// A push button whose picture is one of several looks (a released and a
// pressed picture each), switched to follow the studio's choice. Switching
// keeps the button's place, listeners, click sound and highlight. Looks not
// shown are held only here, detached from the scene.
class ButtonGroup : public Button
{
    TOVRANE_DECLARE_RTTI(ButtonGroup)

public:
    // No look yet; the interface's select sound as click sound.
    ButtonGroup();
    ~ButtonGroup() override;

    // Appends a look; the first one added is shown at once.
    void addGroup(SpatialPtr released, SpatialPtr pressed);
    // Shows look `index`; an index outside the looks added changes nothing.
    void showGroup(int index);

    int getGroupQuantity() const { return static_cast<int>(releasedGeos.size()); }

private:
    std::vector<SpatialPtr> releasedGeos;
    std::vector<SpatialPtr> pressedGeos;
};
}

#endif
