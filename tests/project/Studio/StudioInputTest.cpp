// Touches offered to the widgets first, then strokes with their undo steps;
// button masks pan every frame.
#include "StudioTestSupport.h"

#include "Tovrane/Button.h"

using namespace StudioTest;

typedef StudioFixture StudioInput;

TEST_F(StudioInput, TouchScriptsTakeTheirUndoStepsAndDrawWhereTheyShould)
{
    struct Probe
    {
        int x, y;
        Colour colour; // after the script; white again once undone
    };
    const Colour StampRed(0xe0, 0x40, 0x40, 255); // stamp 00 of the test title
    const struct
    {
        const char* name;
        int tool;
        std::vector<std::pair<Touch, int>> steps; // a sample, and the undo steps after it
        std::vector<Probe> probes;
    } scripts[] = {
        {"brush drag", 0, {{{50, 50, 1}, 1}, {{80, 50, 1}, 1}, {{110, 50, 1}, 1}, {{110, 50, 0}, 1}},
         {{50, 50, Black}, {80, 50, Black}, {110, 50, Black}, {80, 70, White}}},
        {"stamp drag", 8, {{{60, 60, 1}, 1}, {{120, 60, 1}, 1}, {{120, 60, 0}, 1}},
         {{45, 60, StampRed}, {105, 60, White}}},
        {"fill", 2, {{{10, 10, 1}, 1}, {{200, 200, 1}, 1}, {{200, 200, 0}, 1}}, {{10, 10, Black}, {300, 200, Black}}},
        {"rectangle", 12, {{{40, 40, 1}, 0}, {{100, 90, 1}, 0}, {{100, 90, 0}, 1}},
         {{40, 60, Black}, {100, 60, Black}, {70, 40, Black}, {70, 60, White}}},
        {"zoom", 9, {{{160, 120, 1}, 0}, {{100, 100, 1}, 0}, {{100, 100, 0}, 0}}, {}},
        {"rectangle slid onto a widget", 12,
         {{{200, 60, 1}, 0}, {{250, 99, 1}, 0}, {{300, 20, 1}, 1}, {{300, 20, 0}, 1}},
         {{200, 80, Black}, {250, 80, Black}, {225, 80, White}}},
        {"release without a stroke", 0, {{{100, 100, 0}, 0}}, {{100, 100, White}}},
    };
    for (const auto& script : scripts)
    {
        SCOPED_TRACE(script.name);
        make(320, 240);
        ButtonPtr button(new Button(quad(280, 320, 200, 240), quad(280, 320, 200, 240))); // top right
        root->addChild(button);
        root->update(0);
        studio->picker.addUIElement(button);
        studio->setToolType(static_cast<ToolType::Type>(script.tool));
        for (const auto& step : script.steps)
        {
            studio->handleTouchEvent(step.first.x, step.first.y, step.first.state);
            EXPECT_EQ(step.second, studio->canvas->getUndoCount()) << step.first.x << ", " << step.first.state;
        }
        EXPECT_TRUE(!studio->strokeActive && !studio->shapeNode->getChildQuantity()) << "stroke over, no preview";
        EXPECT_EQ(script.steps.back().second == 0, studio->saved);
        EXPECT_EQ(tFixed(script.tool == 9 ? 2 : 1), studio->canvas->getZoom()) << "zoomed once";
        for (int undone : {0, 1})
        {
            if (undone)
                studio->canvas->undo();
            for (const Probe& p : script.probes)
                EXPECT_EQ(undone ? White : p.colour, pixel(p.x, p.y)) << p.x << ", " << p.y << " undone " << undone;
        }
    }
    make(320, 240); // three undo steps a frame
    for (int y = 20; y <= 140; y += 40)
        stroke(30, y);
    for (int i = 0; i < 4; ++i)
        studio->canvas->undo();
    EXPECT_TRUE(pixel(40, 20) == Black && pixel(40, 60) == White);
}

TEST_F(StudioInput, DirectionMasksPanEveryFrameByTwoAndZoomKeepsTheCentre)
{
    make(640, 480, StudioMode::Flipbook);
    tFixed cx, cy, zx, zy;
    studio->canvas->actualXY(160, 120, cx, cy);
    studio->toggleZoom();
    studio->canvas->actualXY(160, 120, zx, zy);
    EXPECT_TRUE(studio->zoomed && studio->getFrame(7)->getZoom() == tFixed(2) && cx == zx && cy == zy);
    // A mask, and the pan it gives in picture pixels; a hint without an audio player ends the call.
    const int presses[][3] = {{0x8, -1, 0},  {0x4, 1, 0},  {0x1, 0, -1}, {0x2, 0, 1},
                              {0xA, -1, 1}, {0x14, 1, 0}, {0x208, 0, 0}};
    for (const auto& press : presses)
    {
        const tFixed x = studio->canvas->getPanX() + tFixed(press[1]), y = studio->canvas->getPanY() + tFixed(press[2]);
        studio->handleButtonEvent(press[0]);
        for (int f : {0, 11})
            EXPECT_TRUE(studio->getFrame(f)->getPanX() == x && studio->getFrame(f)->getPanY() == y) << press[0];
    }
    studio->toggleZoom();
    EXPECT_TRUE(!studio->zoomed && studio->getFrame(3)->getZoom() == tFixed(1));
}
