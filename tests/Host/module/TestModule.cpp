// A small game module for the host's tests. It implements the host interface,
// writes every call and every input event it receives to the host's trace,
// clears the screen to a colour through OpenGL ES 1, and makes the requests a
// test asks of it. The plan comes from the environment variable
// TOVRANE_TEST_MODULE, a list of "key=value" separated by ";":
//   color=R,G,B        clear colour (default 0,0,255)
//   touchColor=R,G,B   clear colour from the first touch on
//   pop=N              PopApp during the N-th Update
//   push=N:NAME        EnableInactivity(false) and PushApp of the title's
//                      flash/NAME during the N-th Update; EnableInactivity(true)
//                      at the first Update after the module is resumed
//   nogl               no OpenGL ES context at all
#include "CAppInterface.h"
#include "CAppManager.h"
#include "CButtonEventQueue.h"
#include "CButtonMPI.h"
#include "CEventMPI.h"
#include "CKernelMPI.h"
#include "CSystem.h"
#include "CSystemData.h"
#include "CTouchEventQueue.h"
#include "HostTrace.h"
#include "KelmOpenGLConfig.h"

#include <EGL/egl.h>
#include <GLES/gl.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace
{
struct Plan
{
    float colour[3] = {0.0f, 0.0f, 1.0f};
    bool hasTouchColour = false;
    float touchColour[3] = {0.0f, 0.0f, 0.0f};
    unsigned int popAt = 0;
    unsigned int pushAt = 0;
    std::string movie;
    bool gl = true;
};

void parseColour(const std::string& text, float* colour)
{
    std::istringstream in(text);
    for (int i = 0; i < 3; ++i)
    {
        int value = 0;
        char comma = 0;
        in >> value;
        if (i < 2)
            in >> comma;
        colour[i] = static_cast<float>(value) / 255.0f;
    }
}

Plan readPlan()
{
    Plan plan;
    const char* text = std::getenv("TOVRANE_TEST_MODULE");
    std::istringstream items(text ? text : "");
    for (std::string item; std::getline(items, item, ';');)
    {
        size_t eq = item.find('=');
        std::string key = item.substr(0, eq);
        std::string value = eq == std::string::npos ? std::string() : item.substr(eq + 1);
        if (key == "color")
            parseColour(value, plan.colour);
        else if (key == "touchColor")
        {
            plan.hasTouchColour = true;
            parseColour(value, plan.touchColour);
        }
        else if (key == "pop")
            plan.popAt = static_cast<unsigned int>(std::atoi(value.c_str()));
        else if (key == "push")
        {
            size_t colon = value.find(':');
            plan.pushAt = static_cast<unsigned int>(std::atoi(value.substr(0, colon).c_str()));
            plan.movie = colon == std::string::npos ? std::string() : value.substr(colon + 1);
        }
        else if (key == "nogl")
            plan.gl = false;
    }
    return plan;
}

unsigned int now() { return Vantorel::Kelm::CKernelMPI().GetElapsedTimeAsMSecs(); }

class TestApp : public CAppInterface
{
public:
    explicit TestApp(void* hostData) : CAppInterface(hostData), plan(readPlan()) {}

    ~TestApp() override { HostTrace::write("module-destroyed"); }

    void Enter() override
    {
        HostTrace::write("module-enter", std::to_string(now()));
        XQM::CSystem system;
        HostTrace::write("module-title", CSystemData::Instance()->GetCurrentTitlePath().raw());
        HostTrace::write("module-system", system.GetLocale().raw() + " " +
                                              std::to_string(system.GetCurrentPlayerID()) + " " +
                                              (system.AreCheatsEnabled() ? "cheats" : "nocheats"));
        if (plan.gl)
            display.reset(new Vantorel::Kelm::KelmOpenGLConfig(2, 14));
        registerListeners();
    }

    void Update() override
    {
        ++updates;
        HostTrace::write("module-update", std::to_string(updates) + " " + std::to_string(now()));
        for (const Vantorel::Kelm::tTouchData& touch : touches.GetQueue())
        {
            touched = true;
            HostTrace::write("module-touch", std::to_string(touch.touchState) + " " + std::to_string(touch.x) + " " +
                                                 std::to_string(touch.y));
        }
        for (const Vantorel::Kelm::tButtonData2& button : buttons.GetQueue())
            HostTrace::write("module-button",
                std::to_string(button.buttonState) + " " + std::to_string(button.buttonTransition));

        if (resumedSinceMovie)
        {
            resumedSinceMovie = false;
            CAppManager::Instance()->EnableInactivity(true);
        }
        if (updates == plan.pushAt)
        {
            CAppManager::Instance()->EnableInactivity(false);
            CAppManager::Instance()->PushApp(CSystemData::Instance()->GetCurrentTitlePath() + "flash/" + plan.movie,
                nullptr);
            moviePushed = true;
        }
        if (updates == plan.popAt)
            CAppManager::Instance()->PopApp();

        if (display)
        {
            const float* colour = touched && plan.hasTouchColour ? plan.touchColour : plan.colour;
            glClearColor(colour[0], colour[1], colour[2], 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            eglSwapBuffers(display->getDisplay(), display->getSurface());
        }
    }

    void Exit() override
    {
        HostTrace::write("module-exit", std::to_string(updates));
        unregisterListeners();
        display.reset();
    }

    void Suspend() override
    {
        HostTrace::write("module-suspend", std::to_string(now()));
        unregisterListeners();
    }

    void Resume() override
    {
        HostTrace::write("module-resume", std::to_string(now()));
        registerListeners();
        resumedSinceMovie = moviePushed;
        moviePushed = false;
    }

private:
    void registerListeners()
    {
        Vantorel::Kelm::CEventMPI().RegisterEventListener(&touches, 0);
        Vantorel::Kelm::CButtonMPI().RegisterEventListener(&buttons);
    }

    void unregisterListeners()
    {
        Vantorel::Kelm::CEventMPI().UnregisterEventListener(&touches);
        Vantorel::Kelm::CButtonMPI().UnregisterEventListener(&buttons);
    }

    Plan plan;
    unsigned int updates = 0;
    bool touched = false;
    bool moviePushed = false;
    bool resumedSinceMovie = false;
    std::unique_ptr<Vantorel::Kelm::KelmOpenGLConfig> display;
    Vantorel::Kelm::CTouchEventQueue touches;
    Vantorel::Kelm::CButtonEventQueue buttons;
};
}

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" __attribute__((visibility("default"))) CAppInterfacePtr CreateApp(void* hostData)
{
    return CAppInterfacePtr(new TestApp(hostData));
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
