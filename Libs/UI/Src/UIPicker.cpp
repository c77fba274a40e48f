#include "Tovrane/UIPicker.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BoundingVolume.h"
#include "Tovrane/Mathematics/Ray.h"

namespace Tovrane
{
namespace
{
// Touches come with y counted down from the top of the 240-pixel screen.
const int ScreenHeight = 240;
}

UIPicker::UIPicker() : audioPlayer(nullptr), lastTouchState(0), highlightIndex(-1) {}

UIPicker::~UIPicker() { elements.clear(); }

void UIPicker::addUIElements(SpatialPtr scene) { addUIScene(scene); }

void UIPicker::addUIScene(SpatialPtr spatial)
{
    if (!spatial)
        return;
    if (spatial->getType().isDerived(UIBase::RuntimeType))
    {
        addUIElement(boost::static_pointer_cast<UIBase>(spatial));
        return;
    }
    if (!spatial->getType().isDerived(Node::RuntimeType))
        return;
    Node& node = static_cast<Node&>(*spatial);
    for (int i = 0; i < node.getChildQuantity(); ++i)
        addUIScene(node.getChild(i));
}

void UIPicker::addUIElement(UIBasePtr element)
{
    elements.push_back(element);
    if (highlightIndex < 0 && element && element->highlight)
    {
        element->onHighlight();
        highlighted = element;
        highlightIndex = static_cast<int>(elements.size()) - 1;
    }
}

bool UIPicker::doPick(int x, int y, int touchState)
{
    const int yUp = ScreenHeight - y;
    const Ray<tFixed> ray(Vector3<tFixed>(tFixed(x), tFixed(yUp), tFixed(0)),
                          Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(-1)));

    // The first active widget under the finger, in the order added.
    UIBasePtr element;
    for (size_t i = 0; i < elements.size(); ++i)
    {
        const UIBasePtr& candidate = elements[i];
        if (candidate && candidate->isActive() && candidate->worldBound && candidate->worldBound->isIntersecting(ray))
        {
            element = candidate;
            break;
        }
    }

    // Strong references for the calls below: a handler may empty the list or
    // destroy its own widget. The picker's own fields are settled before any
    // widget is called, so nothing of the picker is touched afterwards.
    UIBasePtr press = pressed.lock();
    const bool touching = touchState != 0;
    const bool wasTouching = lastTouchState != 0;
    lastTouchState = touchState;
    const bool found = bool(element);

    if (touching)
    {
        if (element && !wasTouching)
        {
            pressed = element;
            element->onPress(x, yUp);
        }
        else if (element && element == press)
            element->onPress(x, yUp);
        else if (press)
            press->onRolloff(x, yUp);
        return found;
    }

    // A lift. Over the pressed widget it is a click; anywhere else the press
    // is given up with a rolloff, so that no widget stays pressed.
    pressed.reset();
    if (!press)
        return found;
    if (element == press)
    {
        AudioPlayer* player = audioPlayer;
        if (player)
            player->playSfx(press->getClickSound());
        press->onRelease(x, yUp);
    }
    else
        press->onRolloff(x, yUp);
    return found;
}

void UIPicker::moveHighlight(int step)
{
    const int count = static_cast<int>(elements.size());
    int index = highlightIndex;
    for (int tries = 0; tries < count; ++tries)
    {
        index += step;
        if (index >= count)
            index = step > 0 ? 0 : count - 1;
        else if (index < 0)
            index = count - 1;
        const UIBasePtr& candidate = elements[static_cast<size_t>(index)];
        if (!candidate || !candidate->highlight)
            continue;
        UIBasePtr previous = highlighted.lock();
        UIBasePtr next = candidate;
        highlighted = next;
        highlightIndex = index;
        if (previous)
            previous->onUnHighlight();
        next->onHighlight();
        return;
    }
}

void UIPicker::highlightNext() { moveHighlight(1); }

void UIPicker::highlightPrev() { moveHighlight(-1); }

void UIPicker::select()
{
    UIBasePtr element = highlighted.lock();
    if (element)
        element->onSelect();
}
}
