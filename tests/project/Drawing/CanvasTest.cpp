#include "DrawingTestSupport.h"

#include "Resources/Drawing/Brush.h"
#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Zoom.h"

#include <sstream>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
void zoomAt(Canvas& canvas, ZoomToolState::Type state, int x, int y)
{
    Zoom zoom(state);
    canvas.useZoom(&zoom, x, y);
}

// Does one step ("in X Y" and "out X Y" zoom at a picture point, "touch-in X Y"
// and "touch-out X Y" use the zoom tool at a screen point, "pan DX DY"), then
// tells the zoom, the size of the picture area shown and the pan, as "zoom WxH at X,Y".
std::string view(Canvas& c, const std::string& step = "")
{
    std::istringstream in(step);
    std::string kind;
    int x = 0, y = 0;
    in >> kind >> x >> y;
    const ZoomToolState::Type state =
        kind.find("in") != std::string::npos ? ZoomToolState::ZoomIn : ZoomToolState::ZoomOut;
    if (kind == "pan")
        c.panBy(x, y);
    else if (kind.rfind("touch", 0) == 0)
        c.useTool(ToolPtr(new Zoom(state)), x, y);
    else if (!kind.empty())
        zoomAt(c, state, x, y);
    std::ostringstream out;
    out << c.getZoom().toFloat() << " " << c.getViewWidth().toFloat() << "x" << c.getViewHeight().toFloat() << " at "
        << c.getPanX().toFloat() << "," << c.getPanY().toFloat();
    return out.str();
}

// Plays a script on the canvas: "+" saves an undo step, "u" undoes, "r" redoes,
// "mN" sets the undo limit to N and "dN" dabs black at (N, 100). Returns the
// undo and redo counts and where the dabs show, as "undo/redo: x x".
std::string play(Canvas& canvas, const std::string& script)
{
    std::istringstream in(script);
    for (std::string step; in >> step;)
    {
        if (step == "+")
            canvas.pushUndo();
        else if (step == "u")
            canvas.undo();
        else if (step == "r")
            canvas.redo();
        else if (step[0] == 'm')
            canvas.setMaxUndo(std::stoi(step.substr(1)));
        else
            canvas.useToolAt(ToolPtr(new Brush(makeDiscMask(16), makeSolidPattern(64, 64))),
                             tFixed(std::stoi(step.substr(1))), tFixed(100));
    }
    EXPECT_EQ(canvas.getChild(0), canvas.getLayer());
    std::ostringstream out;
    out << canvas.getUndoCount() << "/" << canvas.getRedoCount() << ":";
    for (int x = 20; x < 320; x += 40)
        if (canvas.getLayer()->getPixel(x, 100) == Black)
            out << " " << x;
    return out.str();
}
}

TEST(CanvasTest, ZoomSequences)
{
    // A picture starts fully zoomed out. Zooming in moves the point to the
    // middle as far as the picture allows; at the maximum nothing changes, not
    // even the pan; panning stays inside too. A touch of the zoom tool lands
    // on the picture point under it.
    EXPECT_EQ(view(*CanvasPtr(new Canvas(320, 240, true, 128))), "1 320x240 at 0,0");
    EXPECT_EQ(Canvas(320, 240, true, 128).getMaxZoom(), tFixed(4));
    Canvas canvas(640, 480, false, 128);
    const char* const steps[][2] = {
        {"", "0.5 640x480 at 0,0"},          {"in 320 240", "1 320x240 at 160,120"},
        {"in 320 240", "2 160x120 at 240,180"}, {"in 0 0", "2 160x120 at 240,180"},
        {"out 320 240", "1 320x240 at 160,120"}, {"out 0 0", "0.5 640x480 at 0,0"},
        {"out 0 0", "0.5 640x480 at 0,0"},     {"in 10 10", "1 320x240 at 0,0"},
        {"in 630 470", "2 160x120 at 480,360"}, {"pan -1000 0", "2 160x120 at 0,360"},
        {"pan 0 2", "2 160x120 at 0,360"},     {"touch-out 0 0", "1 320x240 at 0,240"},
        {"touch-out 0 0", "0.5 640x480 at 0,0"}, {"touch-in 160 120", "1 320x240 at 160,120"}};
    for (const auto& step : steps)
        EXPECT_EQ(view(canvas, step[0]), step[1]) << step[0];
    tFixed x, y;
    canvas.actualXY(10, 20, x, y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(tFixed(170), tFixed(140)));
    int sx, sy;
    canvas.screenXY(170, 140, sx, sy);
    EXPECT_EQ(std::make_pair(sx, sy), std::make_pair(10, 20));
    canvas.screenXY(100, 100, sx, sy);
    EXPECT_EQ(std::make_pair(sx, sy), std::make_pair(-60, -20));
}

TEST(CanvasTest, EveryPictureSizeKeepsTheViewInsideThePicture)
{
    std::vector<std::pair<int, int>> sizes = {{400, 300}, {1100, 100}, {100, 1100}};
    for (int s = 100; s <= 1100; ++s)
        sizes.push_back({s, s});
    for (int w = 100; w <= 1100; w += 41)
        for (int h = 100; h <= 1100; h += 43)
            sizes.push_back({w, h});
    for (const auto& size : sizes)
    {
        const int w = size.first, h = size.second;
        Canvas canvas(TexturePtr(new Texture(w, h, PixelFormat::RGBA5551, false)), 128);
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const tFixed a = tFixed::fromRaw(tFixed(320).getRaw() / w), b = tFixed::fromRaw(tFixed(240).getRaw() / h);
        ASSERT_EQ(canvas.getMinZoom(), a > b ? a : b);
        for (int level = 0; level < 3; ++level)
        {
            for (const auto& pan : {std::make_pair(0, 0), std::make_pair(w, h), std::make_pair(w / 2, h / 3)})
            {
                canvas.panTo(tFixed(pan.first), tFixed(pan.second));
                ASSERT_GE(canvas.getPanX().getRaw(), 0);
                ASSERT_GE(canvas.getPanY().getRaw(), 0);
                tFixed x, y;
                for (const auto& corner : {std::make_pair(0, 0), std::make_pair(319, 239)})
                {
                    canvas.actualXY(corner.first, corner.second, x, y);
                    ASSERT_TRUE(x.getRaw() >= 0 && x.toInt() < w && y.getRaw() >= 0 && y.toInt() < h)
                        << x.toFloat() << "," << y.toFloat();
                }
            }
            zoomAt(canvas, ZoomToolState::ZoomIn, w - 1, h - 1);
            ASSERT_GE(canvas.getPanX().getRaw(), 0);
            ASSERT_GE(canvas.getPanY().getRaw(), 0);
        }
        ASSERT_EQ(canvas.getZoom(), canvas.getMaxZoom());
    }
}

TEST(CanvasTest, UndoAndRedo)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    EXPECT_EQ(play(*canvas, "u r"), "0/0:");
    EXPECT_EQ(play(*canvas, "+ d20"), "1/0: 20");
    EXPECT_EQ(play(*canvas, "u"), "0/1:");
    EXPECT_EQ(play(*canvas, "u r"), "1/0: 20");
    // With the limit of one, undo goes back to the second of two steps; a new
    // step forgets what could be redone.
    EXPECT_EQ(play(*canvas, "+ d60 + d100 u"), "0/1: 20 60");
    EXPECT_EQ(play(*canvas, "+"), "1/0: 20 60");
    // Zoom and pan stay through undo, which shows the saved copy, whose tiles were never uploaded.
    zoomAt(*canvas, ZoomToolState::ZoomIn, 300, 200);
    const std::string zoomed = view(*canvas);
    CountingRenderer renderer;
    renderer.frame(canvas);
    EXPECT_EQ(play(*canvas, "d140 u"), "0/1: 20 60");
    EXPECT_EQ(view(*canvas), zoomed);
    EXPECT_EQ(renderer.frame(canvas), 6);
    // A new picture empties both lists and resets the view.
    play(*canvas, "+");
    canvas->setTexture(TexturePtr(new Texture(640, 480, PixelFormat::RGBA5551, true, 0xFF)), 128);
    EXPECT_EQ(play(*canvas, "u"), "0/0:");
    EXPECT_EQ(view(*canvas), "0.5 640x480 at 0,0");
}

// A new step lets the oldest copy go before the picture is copied, so that no
// more pictures than the limit are held even for a moment: the oldest copy's
// tiles leave the renderer before any tile of the new copy exists.
TEST(CanvasTest, PushUndoDropsTheOldestCopyFirst)
{
    struct Renderer : CountingRenderer
    {
        void onReleaseTexture(ResourceIdentifier* id) override
        {
            if (!newestAtRelease)
                newestAtRelease = Texture(1, 1, PixelFormat::RGBA5551).getIdentity();
            CountingRenderer::onReleaseTexture(id);
        }
        std::uint64_t newestAtRelease = 0;
    } renderer;
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    play(*canvas, "+ u");
    renderer.frame(canvas); // the saved copy is shown and uploaded
    play(*canvas, "r");
    renderer.frame(canvas);
    play(*canvas, "+ u");
    ASSERT_NE(renderer.newestAtRelease, 0u);
    EXPECT_GT(canvas->getLayer()->getTile(0, 0)->getTexture()->getIdentity(), renderer.newestAtRelease);
}

TEST(CanvasTest, UndoLimits)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    EXPECT_EQ(play(*canvas, "m3 + d20 + d60 + d100 + d140 + d180"), "3/0: 20 60 100 140 180");
    EXPECT_EQ(play(*canvas, "u u u u"), "0/3: 20 60");
    EXPECT_EQ(play(*canvas, "r r"), "2/1: 20 60 100 140");
    // Lowering the limit drops the oldest steps at once; with none kept, undo changes nothing.
    EXPECT_EQ(play(*canvas, "m1"), "1/1: 20 60 100 140");
    canvas->clearUndo();
    EXPECT_EQ(play(*canvas, ""), "0/0: 20 60 100 140");
    EXPECT_EQ(play(*canvas, "m0 + d260 u"), "0/0: 20 60 100 140 260");
    canvas->setMaxUndo(-4);
    EXPECT_EQ(canvas->getMaxUndo(), 0);
}
