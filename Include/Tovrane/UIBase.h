#ifndef TOVRANE_UIBASE_H
#define TOVRANE_UIBASE_H

#include "Tovrane/Node.h"

#include <string>

namespace Tovrane
{
class UIBase;
typedef boost::shared_ptr<UIBase> UIBasePtr;

// Common base of the touch widgets: a node showing an up picture, a down
// picture while pressed and an optional highlight, with a click sound the
// picker plays when the widget is released under the finger. A widget takes
// touches while neither it nor any ancestor is hidden (culling mode Hide).
// Positions given to onPress, onRelease and onRolloff are picker coordinates:
// x from the left, y up from the bottom of the screen.
class UIBase : public Node
{
    TOVRANE_DECLARE_RTTI(UIBase)

public:
    // No pictures, no highlight, no click sound.
    UIBase();
    // Both pictures become children (the up picture first), the down picture
    // hidden; the click sound is the interface's select sound.
    UIBase(SpatialPtr released, SpatialPtr pressed);
    ~UIBase() override;

    virtual void onPress(int x, int y) = 0;
    virtual void onRelease(int x, int y) = 0;
    virtual void onRolloff(int x, int y) = 0;
    virtual void onHighlight();
    virtual void onUnHighlight();
    // Called when the highlighted widget is selected by buttons.
    virtual void onSelect();

    // Replace a picture; the old one leaves the children. A new down picture
    // starts hidden.
    void setPressedGeo(SpatialPtr geo);
    void setReleasedGeo(SpatialPtr geo);
    SpatialPtr getPressedGeo() const { return pressedGeo; }
    SpatialPtr getReleasedGeo() const { return releasedGeo; }

    // Switch between the pictures; nothing unless both are set.
    void showDownImage();
    void showUpImage();
    void showHighlight();
    void hideHighlight();

    // False when this widget or one of its ancestors is hidden.
    bool isActive() const;

    std::string getClickSound() const { return clickSound; }
    void setClickSound(const std::string& sound) { clickSound = sound; }

    // The highlight picture; owners set it and add it as a child themselves.
    SpatialPtr highlight;

protected:
    SpatialPtr releasedGeo;
    SpatialPtr pressedGeo;
    std::string clickSound;
};
}

#endif
