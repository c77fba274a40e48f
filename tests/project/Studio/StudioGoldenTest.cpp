// What the child sees of the studio's picture, drawn through the OpenGL ES 1
// renderer and compared with reviewed screenshots in tests/data/studio/.
#include "StudioTestSupport.h"

using namespace Tovrane;
using namespace StudioTest;

typedef StudioFixture StudioGolden;

namespace
{
const Colour Red(230, 40, 40, 255), Green(40, 170, 60, 255), Blue(40, 80, 230, 255), Orange(240, 150, 30, 255),
    Purple(150, 60, 200, 255), Teal(30, 170, 160, 255);
}

TEST_F(StudioGolden, EveryToolKindWithMirrorsBothWays)
{
    make(320, 240);
    studio->setSymmetryType(SymmetryType::Both);
    // The brushes, each mirrored into the other three corners.
    const struct
    {
        ToolType::Type tool;
        Colour colour;
    } brushes[] = {{ToolType::Pencil, Colour(0, 0, 0, 255)}, {ToolType::Brush, Red}, {ToolType::Chalk, Green},
                   {ToolType::Marker, Blue}, {ToolType::Crayon, Orange}, {ToolType::Airbrush, Purple}};
    int y = 12;
    for (const auto& brush : brushes)
    {
        studio->setToolType(brush.tool);
        studio->setForegroundColor(brush.colour);
        touch({{12, y, 1}, {40, y + 6, 1}, {70, y, 1}, {70, y, 0}});
        y += 17;
    }
    studio->setToolType(ToolType::Eraser);
    touch({{30, 5, 1}, {30, 100, 1}, {30, 100, 0}});

    // Shapes, a patterned fill inside the rectangle and a stamp go unmirrored.
    studio->setForegroundColor(Teal);
    const ToolType::Type shapes[] = {ToolType::Rectangle, ToolType::Line, ToolType::Circle, ToolType::Triangle,
                                     ToolType::Star};
    const int boxes[][4] = {{95, 20, 150, 75}, {170, 20, 225, 75}, {95, 90, 150, 145}, {170, 90, 225, 145},
                            {95, 160, 150, 215}};
    for (int i = 0; i < 5; ++i)
    {
        studio->setToolType(shapes[i]);
        touch({{boxes[i][0], boxes[i][1], 1}, {boxes[i][2], boxes[i][3], 1}, {boxes[i][2], boxes[i][3], 0}});
    }
    studio->setToolType(ToolType::Fill);
    studio->setToolPattern(4);
    studio->setForegroundColor(Orange);
    touch({{120, 45, 1}, {120, 45, 0}});
    studio->stampNumber = 9;
    studio->setToolType(ToolType::Stamp);
    touch({{200, 190, 1}, {200, 190, 0}});
    expectScreenGolden("tools_mirrored");
}

TEST_F(StudioGolden, RectanglePreviewWhileDragged)
{
    // On a 640 x 480 picture shown at half size.
    make(640, 480);
    studio->setToolType(ToolType::Rectangle);
    studio->setForegroundColor(Blue);
    touch({{60, 50, 1}, {200, 150, 1}});
    expectScreenGolden("preview_picture");

    // On flipbook frame 3, over the veiled frame 2.
    make(320, 240, StudioMode::Flipbook);
    studio->setFrame(2);
    studio->setToolType(ToolType::Brush);
    touch({{40, 200, 1}, {280, 200, 1}, {280, 200, 0}});
    studio->setFrame(3);
    studio->setToolType(ToolType::Rectangle);
    studio->setForegroundColor(Red);
    touch({{60, 50, 1}, {200, 150, 1}});
    expectScreenGolden("preview_frame");
}

TEST_F(StudioGolden, FrameOneOverTheVeiledFrameZero)
{
    make(320, 240, StudioMode::Flipbook);
    studio->setToolSize(ToolSize::Large);
    for (int y = 40; y <= 200; y += 40)
        touch({{30, y, 1}, {290, y, 1}, {290, y, 0}});
    studio->setFrame(1);
    studio->setToolType(ToolType::Fill);
    studio->setForegroundColor(Red);
    touch({{5, 5, 1}, {5, 5, 0}});
    // Erased to clear, the frame below shows through the veil.
    studio->setToolType(ToolType::Eraser);
    touch({{160, 10, 1}, {160, 230, 1}, {160, 230, 0}});
    expectScreenGolden("frame_over_veil");
}
