#include "Window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace TovraneHost
{
namespace
{
const int ScreenWidth = 320;
const int ScreenHeight = 240;
}

Window::~Window() { close(); }

bool Window::open(const std::string& title)
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland))
    {
        std::printf("No display: running headless\n");
        return false;
    }
    // The window surface must stay in software: an accelerated one would make
    // its own OpenGL context current on this thread.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
        std::printf("No window (%s): running headless\n", SDL_GetError());
        return false;
    }
    window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, ScreenWidth * Scale,
        ScreenHeight * Scale, 0);
    if (!window)
    {
        std::printf("No window (%s): running headless\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

void Window::close()
{
    if (!window)
        return;
    SDL_DestroyWindow(window);
    window = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

unsigned int Window::buttonOfKey(int keyCode)
{
    switch (keyCode)
    {
    case SDLK_UP: return 0x1;
    case SDLK_DOWN: return 0x2;
    case SDLK_LEFT: return 0x4;
    case SDLK_RIGHT: return 0x8;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return 0x10;
    case SDLK_BACKSPACE: return 0x20;
    case SDLK_F7: return 0x40;
    case SDLK_F8: return 0x80;
    case SDLK_ESCAPE: return 0x100;
    case SDLK_h: return 0x200;
    default: return 0;
    }
}

void Window::poll(std::vector<ScriptEvent>& events)
{
    if (!window)
        return;
    auto stylus = [&](int windowX, int windowY, std::uint16_t state) {
        ScriptEvent event;
        event.kind = ScriptEvent::Touch;
        event.touchState = state;
        event.x = static_cast<std::int16_t>(std::clamp(windowX / Scale, 0, ScreenWidth - 1));
        event.y = static_cast<std::int16_t>(std::clamp(windowY / Scale, 0, ScreenHeight - 1));
        events.push_back(event);
    };

    SDL_Event e;
    while (SDL_PollEvent(&e))
    {
        switch (e.type)
        {
        case SDL_QUIT:
        {
            ScriptEvent quit;
            quit.kind = ScriptEvent::Quit;
            events.push_back(quit);
            break;
        }
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE)
            {
                ScriptEvent quit;
                quit.kind = ScriptEvent::Quit;
                events.push_back(quit);
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button == SDL_BUTTON_LEFT)
            {
                stylusDown = true;
                stylus(e.button.x, e.button.y, 1);
            }
            break;
        case SDL_MOUSEMOTION:
            if (stylusDown)
                stylus(e.motion.x, e.motion.y, 1);
            break;
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT && stylusDown)
            {
                stylusDown = false;
                stylus(e.button.x, e.button.y, 0);
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (!e.key.repeat)
            {
                unsigned int button = buttonOfKey(e.key.keysym.sym);
                if (button)
                {
                    ScriptEvent event;
                    event.kind = e.type == SDL_KEYDOWN ? ScriptEvent::ButtonPress : ScriptEvent::ButtonRelease;
                    event.buttons = button;
                    events.push_back(event);
                }
            }
            break;
        default: break;
        }
    }
}

void Window::show(const TovraneTools::Picture& frame)
{
    if (!window || frame.width() != ScreenWidth || frame.height() != ScreenHeight)
        return;
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target)
        return;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t*>(frame.data()), ScreenWidth,
        ScreenHeight, 32, ScreenWidth * 4, SDL_PIXELFORMAT_RGBA32);
    if (!source)
        return;
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    SDL_BlitScaled(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(window);
}
}
