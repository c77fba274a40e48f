// The main menu entered again, as after a lesson: exit, enter and the whole
// scene load on the generated title, reported next to a memcpy of the
// 640 x 480 16-bit picture measured in the same run (counter "memcpys"). The
// goal is under 2,000: a return from a lesson shows no long blank screen.
#include "Resources/FrontEnd/MainMenuState.h"
#include "Tovrane/Application.h"
#include "Tovrane/GameStateHandler.h"

#include "ScratchTitle.h"

#include <benchmark/benchmark.h>

using namespace Tovrane;

namespace
{
// The application on the generated title with a scratch data root, the menu
// its first state, loaded once.
struct Menu : bench::ScratchTitle
{
    Menu()
    {
        app.reset(new Application(nullptr, [] { return static_cast<GameState*>(new MainMenuState); }));
        Application::theApplication = app.get();
        app->Enter();
        menu = app->getHandler()->getCurrent().get();
        menu->waitForLoader();
    }
    ~Menu() { app->Exit(); }
    std::unique_ptr<Application> app;
    GameState* menu;
};

void BM_MenuReentry(benchmark::State& state)
{
    static Menu menu;
    // The scene loads on the menu's loader thread: the program's CPU time.
    bench::Measure timer(state, CLOCK_PROCESS_CPUTIME_ID);
    for (auto _ : state)
    {
        menu.menu->exit();
        menu.menu->enter();
        menu.menu->waitForLoader();
        timer.lap();
    }
}
BENCHMARK(BM_MenuReentry)->Unit(benchmark::kMillisecond);
}

BENCHMARK_MAIN();
