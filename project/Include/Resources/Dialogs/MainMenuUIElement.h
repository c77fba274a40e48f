#ifndef RESOURCES_MAINMENUUIELEMENT_H
#define RESOURCES_MAINMENUUIELEMENT_H

#include <boost/shared_ptr.hpp>

namespace Tovrane
{
class SpriteManager;

// Mix-in of the main menu's pickers: one sprite manager with "menu_slot.tex"
// shared by all of them, made when first asked for and freed when the last
// live element goes. Not locked: elements are built on a state's loader
// thread and destroyed on the main thread, never at the same time.
class MainMenuUIElement
{
public:
    MainMenuUIElement();
    ~MainMenuUIElement();

    // The shared manager; the caller does not own it.
    static SpriteManager* getSpriteManager();

    MainMenuUIElement(const MainMenuUIElement&) = delete;
    MainMenuUIElement& operator=(const MainMenuUIElement&) = delete;

    // Live elements of derived classes.
    static int elementCount;

private:
    static boost::shared_ptr<SpriteManager> spriteManagerInstance;
};
}

#endif
