#ifndef TESTS_PROJECT_FRONTEND_MENUTESTSUPPORT_H
#define TESTS_PROJECT_FRONTEND_MENUTESTSUPPORT_H

// The main menu as the first state of a fresh run on the generated title.
#include "support/GameTitle.h"

#include "Resources/FrontEnd/MainMenuState.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BoundingRectangle.h"

namespace MenuTest
{
using namespace Tovrane;
using GameTitle::Lines;

typedef ColorRGBA<unsigned char> Rgba;

// Screen points (y down) of the main buttons, a page's close button, the
// options page's buttons and its question's.
struct Point
{
    int x, y;
};
const Rgba Grey(128, 128, 128, 255), Gold(240, 192, 0, 255);
const Point Play{90, 68}, Lessons{230, 68}, Badges{90, 128}, Extras{230, 128}, Options{90, 188}, Exit{230, 188},
    Close{222, 22}, NewGame{68, 80}, Credits{172, 80}, Yes{115, 160}, No{205, 160}, CloseQuestion{245, 65};

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

    // Near the top-left corner of each face drawn: a select face, a diamond,
    // leaves it to what lies behind.
    std::vector<Rgba> faceCorners(const SlotDialog& dialog)
    {
        frame();
        std::vector<Rgba> corners;
        for (const GeometryPtr& face : dialog.slotFaces)
        {
            const auto* bound = static_cast<const BoundingRectangle*>(face->worldBound.get());
            const tFixed inset = (bound->right - bound->left) * tFixed(0.2f);
            corners.push_back(StateTestSupport::pixelAt((bound->left + inset).toInt(), (bound->top - inset).toInt()));
        }
        return corners;
    }
    // Presses the knob where it stands, drags it to x and lets go.
    void slide(int x)
    {
        GameTitle::touch(menu->volumeSlider->getPosition().x.toInt(), 170, 1);
        GameTitle::touch(x, 170, 1);
        GameTitle::touch(x, 170, 0);
        frame();
    }
    std::vector<std::string> files()
    {
        return {TestSupport::readFile(player->getPlayerDataPath()), TestSupport::readFile(player->getLessonDataPath()),
                TestSupport::readFile(player->getAnimationDataPath()), TestSupport::readFile(player->getAchievementDataPath())};
    }

    MainMenuState* menu = nullptr;
};
}

#endif
