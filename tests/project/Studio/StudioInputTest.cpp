// Touches and buttons routed by the studio: widgets first, then strokes on
// the current frame with their undo steps; button masks pan every frame.
#include "StudioTestSupport.h"

#include "Tovrane/Button.h"

#include <functional>

using namespace Tovrane;
using namespace StudioTest;
using DrawingTest::Black;
using DrawingTest::White;

namespace
{
// Stamp 00 of the test title: a red rounded square with a lighter middle.
const Colour StampRed(0xe0, 0x40, 0x40, 255);

struct Step
{
    Touch touch;
    int undoSteps; // after this sample
};

struct PixelProbe
{
    int x, y;
    Colour colour; // in the picture after the script; undone, it is white again
};

struct Script
{
    const char* name;
    std::function<void(Studio&)> choose;
    std::vector<Step> steps;
    std::vector<PixelProbe> probes;
};
}

class StudioInput : public StudioFixture
{
protected:
    // A widget over the top-right corner of the screen (x 280 to 320, y 0 to 40).
    void addTestButton()
    {
        ButtonPtr button(new Button(quad(280, 320, 200, 240), quad(280, 320, 200, 240)));
        root->addChild(button);
        root->update(0);
        studio->picker.addUIElement(button);
    }
};

TEST_F(StudioInput, TouchScriptsTakeOneUndoStepPerStrokeAndDrawWhereTheyShould)
{
    const std::vector<Script> scripts = {
        {"brush drag", [](Studio&) {},
         {{{50, 50, 1}, 1}, {{80, 50, 1}, 1}, {{110, 50, 1}, 1}, {{110, 50, 0}, 1}},
         {{50, 50, Black}, {80, 50, Black}, {110, 50, Black}, {80, 70, White}}},
        {"stamp drag", [](Studio& s) { s.setToolType(ToolType::Stamp); },
         {{{60, 60, 1}, 1}, {{120, 60, 1}, 1}, {{120, 60, 0}, 1}},
         {{45, 60, StampRed}, {105, 60, White}}},
        {"fill", [](Studio& s) { s.setToolType(ToolType::Fill); },
         {{{10, 10, 1}, 1}, {{200, 200, 1}, 1}, {{200, 200, 0}, 1}},
         {{10, 10, Black}, {300, 200, Black}}},
        {"rectangle", [](Studio& s) { s.setToolType(ToolType::Rectangle); },
         {{{40, 40, 1}, 0}, {{100, 90, 1}, 0}, {{100, 90, 0}, 1}},
         {{40, 60, Black}, {100, 60, Black}, {70, 40, Black}, {70, 60, White}}},
        {"zoom", [](Studio& s) { s.setToolType(ToolType::ZoomIn); },
         {{{160, 120, 1}, 0}, {{100, 100, 1}, 0}, {{100, 100, 0}, 0}},
         {}},
        {"rectangle slid onto a widget", [](Studio& s) { s.setToolType(ToolType::Rectangle); },
         {{{200, 60, 1}, 0}, {{250, 100, 1}, 0}, {{300, 20, 1}, 1}, {{300, 20, 0}, 1}},
         {{200, 80, Black}, {250, 80, Black}, {225, 80, White}}},
        {"release without a stroke", [](Studio&) {},
         {{{100, 100, 0}, 0}},
         {{100, 100, White}}},
    };
    for (const Script& script : scripts)
    {
        SCOPED_TRACE(script.name);
        make(320, 240);
        addTestButton();
        script.choose(*studio);
        for (const Step& step : script.steps)
        {
            studio->handleTouchEvent(step.touch.x, step.touch.y, step.touch.state);
            EXPECT_EQ(step.undoSteps, studio->canvas->getUndoCount())
                << "after " << step.touch.x << ", " << step.touch.y << ", " << step.touch.state;
        }
        EXPECT_FALSE(studio->strokeActive);
        EXPECT_EQ(0, studio->shapeNode->getChildQuantity()) << "no preview left";
        for (const PixelProbe& p : script.probes)
            EXPECT_EQ(p.colour, pixel(p.x, p.y)) << "at " << p.x << ", " << p.y;
        EXPECT_EQ(script.steps.back().undoSteps == 0, studio->saved);
        studio->canvas->undo();
        for (const PixelProbe& p : script.probes)
            EXPECT_EQ(White, pixel(p.x, p.y)) << "undone, at " << p.x << ", " << p.y;
    }
    // The zoom tool acted once, at the touch-down.
    make(320, 240);
    studio->setToolType(ToolType::ZoomIn);
    touch({{160, 120, 1}, {100, 100, 1}, {100, 100, 0}});
    EXPECT_EQ(tFixed(2), studio->canvas->getZoom());
}

TEST_F(StudioInput, ThreeUndoStepsPerFrame)
{
    make(320, 240);
    for (int y = 20; y <= 140; y += 40)
        stroke(30, y);
    EXPECT_EQ(3, studio->canvas->getUndoCount());
    for (int i = 0; i < 4; ++i)
        studio->canvas->undo();
    EXPECT_EQ(Black, pixel(40, 20)) << "the oldest stroke is beyond the three steps";
    for (int y = 60; y <= 140; y += 40)
        EXPECT_EQ(White, pixel(40, y));
}

TEST_F(StudioInput, DirectionMasksPanEveryFrameByTwoAndZoomKeepsTheCentre)
{
    make(640, 480, StudioMode::Flipbook);
    tFixed cx, cy, zx, zy;
    studio->canvas->actualXY(160, 120, cx, cy);
    studio->toggleZoom();
    EXPECT_TRUE(studio->zoomed);
    EXPECT_EQ(tFixed(2), studio->getFrame(7)->getZoom());
    studio->canvas->actualXY(160, 120, zx, zy);
    EXPECT_EQ(cx, zx);
    EXPECT_EQ(cy, zy);

    // Mask, and the pan it gives in picture pixels (two screen pixels at zoom 2).
    const struct
    {
        int mask;
        float dx, dy;
    } presses[] = {{0x8, -1, 0}, {0x4, 1, 0}, {0x1, 0, -1}, {0x2, 0, 1}, {0x8 | 0x2, -1, 1}, {0x10 | 0x4, 1, 0}};
    for (const auto& press : presses)
    {
        const tFixed x = studio->canvas->getPanX(), y = studio->canvas->getPanY();
        studio->handleButtonEvent(press.mask);
        for (int f : {0, 11})
        {
            EXPECT_EQ(x + tFixed(press.dx), studio->getFrame(f)->getPanX()) << "mask " << press.mask;
            EXPECT_EQ(y + tFixed(press.dy), studio->getFrame(f)->getPanY()) << "mask " << press.mask;
        }
    }
    // Without an audio player a hint request ends the call: no pan.
    const tFixed x = studio->canvas->getPanX();
    studio->handleButtonEvent(0x200 | 0x8);
    EXPECT_EQ(x, studio->canvas->getPanX());

    studio->toggleZoom();
    EXPECT_FALSE(studio->zoomed);
    EXPECT_EQ(tFixed(1), studio->getFrame(3)->getZoom());
}
