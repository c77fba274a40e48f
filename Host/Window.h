#ifndef TOVRANE_HOST_WINDOW_H
#define TOVRANE_HOST_WINDOW_H

#include "InputScript.h"
#include "Picture.h"

#include <string>
#include <vector>

struct SDL_Window;

namespace TovraneHost
{
// The SDL2 window that shows the 320x240 frame scaled up and turns the mouse
// into the stylus and keys into the device's buttons. It draws through SDL's
// software window surface, so it never touches the module's OpenGL ES
// context.
class Window
{
public:
    static const int Scale = 3;

    ~Window();

    // False (with a message) when there is no display to open a window on.
    bool open(const std::string& title);
    void close();
    bool isOpen() const { return window != nullptr; }

    // Appends the input since the last poll, in order; a closed window gives
    // a Quit event.
    void poll(std::vector<ScriptEvent>& events);
    void show(const TovraneTools::Picture& frame);

    // The button of a key, 0 for keys that are not buttons.
    static unsigned int buttonOfKey(int keyCode);

private:
    SDL_Window* window = nullptr;
    bool stylusDown = false;
};
}

#endif
