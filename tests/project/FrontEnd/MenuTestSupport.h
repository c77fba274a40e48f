#ifndef TESTS_PROJECT_FRONTEND_MENUTESTSUPPORT_H
#define TESTS_PROJECT_FRONTEND_MENUTESTSUPPORT_H

// The main menu as the first state of a fresh run on the generated title.
#include "support/GameTitle.h"

#include "Resources/FrontEnd/MainMenuState.h"
#include "Tovrane/AudioPlayer.h"

namespace MenuTest
{
using namespace Tovrane;

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
        harness.reset();
        start([]() -> GameState* { return new MainMenuState; });
        menu = current<MainMenuState>();
        ASSERT_NE(nullptr, menu);
        logged(); // the title's start
    }
    void tap(Point at)
    {
        GameTitle::touch(at.x, at.y, 1);
        GameTitle::touch(at.x, at.y, 0);
        frame();
    }
    void press(std::uint32_t held)
    {
        GameTitle::buttons(held);
        GameTitle::buttons(0);
        frame();
    }
    std::string speech() { return menu->getAudioPlayer()->getCurrentSpeechFile(); }
    bool speaking() { return menu->getAudioPlayer()->isSpeechPlaying(); }
    // Frames until no speech plays.
    void quiet() { frameUntil([&] { return !speaking(); }); }
    // Frames until the menu is back and has begun.
    void backInMenu() { ASSERT_TRUE(frameUntil([&] { return current<MainMenuState>() != nullptr; })); }
    // The events of the kinds named (e.g. "enter", "PushApp", "audio-start h_SCRIVLET").
    GameTitle::Lines only(const GameTitle::Lines& kinds)
    {
        GameTitle::Lines kept;
        for (const std::string& line : events())
            for (const std::string& kind : kinds)
                if (line.compare(0, kind.size(), kind) == 0)
                    kept.push_back(line);
        return kept;
    }
    // The page shown: its node, or the main buttons' node.
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
