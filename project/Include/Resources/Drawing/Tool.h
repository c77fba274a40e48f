#ifndef RESOURCES_TOOL_H
#define RESOURCES_TOOL_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Object.h"

namespace Tovrane
{
class Canvas;
class Tool;
typedef boost::shared_ptr<Tool> ToolPtr;

// What the child draws with. use() is the first half of a double dispatch:
// each tool calls back the canvas operation made for it, so the canvas never
// tests tool types.
class Tool : public Object
{
    TOVRANE_DECLARE_RTTI(Tool)

public:
    Tool();
    ~Tool() override;

    virtual void setForegroundColor(const ColorRGBA<unsigned char>& colour);
    virtual void setBackgroundColor(const ColorRGBA<unsigned char>& colour);
    // Acts at picture pixel (x, y).
    virtual void use(Canvas* canvas, int x, int y) = 0;

    const ColorRGBA<unsigned char>& getForegroundColor() const { return foregroundColor; }
    const ColorRGBA<unsigned char>& getBackgroundColor() const { return backgroundColor; }
    // True: the tool acts at every point of a drag; false: only at the touch-down.
    bool getRepeatWhileDragged() const { return repeatWhileDragged; }
    void setRepeatWhileDragged(bool repeat) { repeatWhileDragged = repeat; }

protected:
    bool repeatWhileDragged;
    ColorRGBA<unsigned char> foregroundColor;
    ColorRGBA<unsigned char> backgroundColor;
};
}

#endif
