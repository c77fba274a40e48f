#ifndef TESTS_PROJECT_FRONTEND_MENUTESTSUPPORT_H
#define TESTS_PROJECT_FRONTEND_MENUTESTSUPPORT_H

// The main menu as the first state of a fresh run on the generated title.
#include "support/GameTitle.h"

#include "Resources/FrontEnd/MainMenuState.h"
#include "Tovrane/AudioPlayer.h"

namespace MenuTest
{
using namespace Tovrane;
using GameTitle::Lines;

// Screen points (y down) of the main buttons and of a page's close button.
struct Point
{
    int x, y;
};
const Point Play{90, 68}, Lessons{230, 68}, Badges{90, 128}, Extras{230, 128}, Options{90, 188}, Exit{230, 188},
    Close{222, 22};

class Menu : public GameTitle::Run
{
protected:
    void SetUp() override
    {
        GameTitle::Run::SetUp();
        if (!IsSkipped())
            startMenu();
    }
    void startMenu()
    {
        start([]() -> GameState* { return new MainMenuState; });
        menu = current<MainMenuState>();
        ASSERT_NE(nullptr, menu);
        logged(); // the title's start
    }
    void tap(Point at) { GameTitle::Run::tap(at.x, at.y); }
    std::string speech() { return menu->getAudioPlayer()->getCurrentSpeechFile(); }
    bool speaking() { return menu->getAudioPlayer()->isSpeechPlaying(); }
    void quiet() { frameUntil([&] { return !speaking(); }); }
    void backInMenu() { ASSERT_TRUE(frameUntil([&] { return current<MainMenuState>() != nullptr; })); }
    // A state over the menu and back: the menu is entered again and loads.
    void coverAndReturn(const std::function<void()>& whileCovered)
    {
        StateTestSupport::BaseState* over = new StateTestSupport::BaseState;
        Application::PushGameState(over);
        frameUntil([&] { return harness->current().get() == over; });
        whileCovered();
        Application::PopGameState();
        backInMenu();
    }
    // The page shown, or the main buttons' node.
    NodePtr shownPage()
    {
        for (const NodePtr& page : {menu->menuNode, menu->lessonsPage, menu->writingLessonsPage, menu->linesPage,
                                    menu->shapesPage, menu->drawingObjectsPage, menu->badgesPage, menu->micromodsPage,
                                    menu->optionsPage})
            if (MainMenuState::isShown(page))
                return page;
        return NodePtr();
    }

    MainMenuState* menu = nullptr;
};
}

#endif
