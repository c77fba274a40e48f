#ifndef TOVRANE_UIPICKER_H
#define TOVRANE_UIPICKER_H

#include "Tovrane/UIBase.h"

#include <boost/weak_ptr.hpp>

#include <vector>

namespace Tovrane
{
class AudioPlayer;

// Routes touches to widgets: finds the first active widget under the finger
// (in the order they were added, whatever is drawn on top), drives its press,
// drag and release, and plays its click sound. Can also move a highlight from
// widget to widget and select the highlighted one.
//
// The pressed and highlighted widgets are held weakly: a widget destroyed
// meanwhile (owners may empty `elements`) is simply forgotten. A widget is
// held by the picker while one of its calls runs, so a click handler may
// destroy its own widget.
class UIPicker
{
public:
    UIPicker();
    ~UIPicker();

    // The player of click sounds; null for silence. Not owned.
    void setAudioPlayer(AudioPlayer* player) { audioPlayer = player; }

    // Appends the widgets of a scene, depth first; widgets inside widgets are
    // not collected.
    void addUIElements(SpatialPtr scene);
    void addUIScene(SpatialPtr spatial);
    // Appends one widget; the first one with a highlight picture starts
    // highlighted.
    void addUIElement(UIBasePtr element);

    // One touch event in screen pixels (y down from the top, as the platform
    // gives it) with its state (0 not touching). True when the touch is over
    // an active widget.
    bool doPick(int x, int y, int touchState);

    void highlightNext();
    void highlightPrev();
    // Selects the highlighted widget.
    void select();

    UIBasePtr getPressed() const { return pressed.lock(); }
    UIBasePtr getHighlighted() const { return highlighted.lock(); }
    int getHighlightIndex() const { return highlightIndex; }

    // The widgets in the order they were added; owners may empty it.
    std::vector<UIBasePtr> elements;

    UIPicker(const UIPicker&) = delete;
    UIPicker& operator=(const UIPicker&) = delete;

private:
    // Moves the highlight by `step` (1 or -1) to the next element that has a
    // highlight picture.
    void moveHighlight(int step);

    boost::weak_ptr<UIBase> pressed;
    boost::weak_ptr<UIBase> highlighted;
    AudioPlayer* audioPlayer;
    int lastTouchState;
    int highlightIndex;
};
}

#endif
