// What the child sees of the studio's picture, drawn through the OpenGL ES 1
// renderer and compared with reviewed screenshots in tests/data/studio/.
#include "StudioTestSupport.h"

using namespace StudioTest;

typedef StudioFixture StudioGolden;

TEST_F(StudioGolden, ToolsPreviewsAndTheVeil)
{
    const Colour Red(230, 40, 40, 255), Blue(40, 80, 230, 255), Orange(240, 150, 30, 255);
    make(320, 240);
    studio->setSymmetryType(SymmetryType::Both);
    const Colour colours[] = {Black, Red, Colour(40, 170, 60, 255), Blue, Orange, Colour(150, 60, 200, 255)};
    for (int i = 0; i < 6; ++i) // pencil, brush, chalk, marker, crayon, airbrush: mirrored into every corner
    {
        studio->setToolType(static_cast<ToolType::Type>(i < 2 ? i : i + 1));
        studio->setForegroundColor(colours[i]);
        touch({{12, 12 + 17 * i, 1}, {40, 18 + 17 * i, 1}, {70, 12 + 17 * i, 1}, {70, 12 + 17 * i, 0}});
    }
    studio->setToolType(ToolType::Eraser);
    touch({{30, 5, 1}, {30, 100, 1}, {30, 100, 0}});
    studio->setForegroundColor(Colour(30, 170, 160, 255)); // shapes, a fill and a stamp: not mirrored
    const int shapes[][5] = {{ToolType::Rectangle, 95, 20, 150, 75}, {ToolType::Line, 170, 20, 225, 75},
                             {ToolType::Circle, 95, 90, 150, 145}, {ToolType::Triangle, 170, 90, 225, 145},
                             {ToolType::Star, 95, 160, 150, 215}};
    for (const auto& s : shapes)
    {
        studio->setToolType(static_cast<ToolType::Type>(s[0]));
        touch({{s[1], s[2], 1}, {s[3], s[4], 1}, {s[3], s[4], 0}});
    }
    studio->setToolType(ToolType::Fill);
    studio->setToolPattern(4);
    studio->setForegroundColor(Orange);
    touch({{120, 45, 1}, {120, 45, 0}});
    studio->stampNumber = 9;
    studio->setToolType(ToolType::Stamp);
    touch({{200, 190, 1}, {200, 190, 0}});
    expectScreenGolden("tools_mirrored");

    make(640, 480); // a rectangle dragged on a picture shown at half size
    studio->setToolType(ToolType::Rectangle);
    studio->setForegroundColor(Blue);
    touch({{60, 50, 1}, {200, 150, 1}});
    expectScreenGolden("preview_picture");

    make(320, 240, StudioMode::Flipbook); // and on frame 3, over the veiled frame 2
    studio->setFrame(2);
    studio->setToolType(ToolType::Brush);
    touch({{40, 200, 1}, {280, 200, 1}, {280, 200, 0}});
    studio->setFrame(3);
    studio->setToolType(ToolType::Rectangle);
    studio->setForegroundColor(Red);
    touch({{60, 50, 1}, {200, 150, 1}});
    expectScreenGolden("preview_frame");

    make(320, 240, StudioMode::Flipbook); // frame 1 over the veiled frame 0, erased down to it
    studio->setToolSize(ToolSize::Large);
    for (int y = 40; y <= 200; y += 40)
        touch({{30, y, 1}, {290, y, 1}, {290, y, 0}});
    studio->setFrame(1);
    studio->setToolType(ToolType::Fill);
    studio->setForegroundColor(Red);
    touch({{5, 5, 1}, {5, 5, 0}});
    studio->setToolType(ToolType::Eraser);
    touch({{160, 10, 1}, {160, 230, 1}, {160, 230, 0}});
    expectScreenGolden("frame_over_veil");
}
