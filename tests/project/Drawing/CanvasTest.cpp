// The canvas's view, undo and the stroke filter.
#include "DrawingTestSupport.h"

#include "Resources/Drawing/Filter.h"

#include <deque>
#include <sstream>

using namespace DrawingTest;

namespace
{
void zoomAt(Canvas& canvas, ZoomToolState::Type state, int x, int y)
{
    Zoom zoom(state);
    canvas.useZoom(&zoom, x, y);
}

// Plays a script and tells "zoom WxH at X,Y undo/redo: dabs". Steps: "in X Y",
// "out X Y" (picture point), "touch-in X Y", "touch-out X Y" (screen point),
// "pan DX DY", "+" push undo, "u" undo, "r" redo, "c" clear, "mN" limit N,
// "dN" a black dab at (N, 100).
std::string play(Canvas& c, const std::string& script = "")
{
    std::istringstream in(script);
    for (std::string kind; in >> kind;)
    {
        const ZoomToolState::Type state = says(kind, "in") ? ZoomToolState::ZoomIn : ZoomToolState::ZoomOut;
        int x = 0, y = 0;
        if (kind == "pan" || says(kind, "in") || says(kind, "out"))
            in >> x >> y;
        if (kind == "pan")
            c.panBy(x, y);
        else if (kind.rfind("touch", 0) == 0)
            c.useTool(ToolPtr(new Zoom(state)), x, y);
        else if (kind == "in" || kind == "out")
            zoomAt(c, state, x, y);
        else if (kind == "+" || kind == "u" || kind == "r" || kind == "c")
            kind == "+" ? c.pushUndo() : (kind == "u" ? c.undo() : (kind == "r" ? c.redo() : c.clearUndo()));
        else if (kind[0] == 'm')
            c.setMaxUndo(std::stoi(kind.substr(1)));
        else
            c.useToolAt(ToolPtr(new Brush(makeDiscMask(16), makeSolidPattern(64, 64))),
                        tFixed(std::stoi(kind.substr(1))), tFixed(100));
    }
    std::ostringstream out;
    out << c.getZoom().toFloat() << " " << c.getViewWidth().toFloat() << "x" << c.getViewHeight().toFloat() << " at "
        << c.getPanX().toFloat() << "," << c.getPanY().toFloat() << " " << c.getUndoCount() << "/" << c.getRedoCount()
        << ":";
    for (int x = 20; x < std::min(320, c.getLayer()->getWidth()); x += 40)
        if (c.getLayer()->getPixel(x, 100) == Black)
            out << " " << x;
    return out.str();
}

typedef std::vector<std::pair<int, int>> Points;

class RecordingTool : public Tool
{
public:
    void use(Canvas*, int x, int y) override { points.push_back({x, y}); }
    Points points;
};

// The picture points a stroke through the screen points reaches.
Points stroke(const Points& touches, SymmetryType::Type mode = SymmetryType::None, int w = 320, int h = 240)
{
    CanvasPtr canvas(new Canvas(w, h, w == 320, 128));
    boost::shared_ptr<RecordingTool> tool(new RecordingTool);
    Filter filter(w, h);
    filter.setSymmetryType(mode);
    filter.begin(touches[0].first, touches[0].second);
    for (size_t i = touches.size() > 1 ? 1 : 0; i < touches.size(); ++i)
        filter.useTool(canvas, tool, touches[i].first, touches[i].second);
    return tool->points;
}
}

namespace
{
// An effect that paints one rectangle of the picture, leaving other tiles
// and the rows above it as they are.
class RectangleEffect : public Effect
{
public:
    RectangleEffect(const Colour& colour, int x, int y, int w, int h) : colour(colour), x(x), y(y), w(w), h(h) {}
    void run(TexturePtr picture) override
    {
        for (int j = y; j < std::min(y + h, picture->getHeight()); ++j)
            for (int i = x; i < std::min(x + w, picture->getWidth()); ++i)
                picture->setPixel(colour, i, j);
    }

private:
    Colour colour;
    int x, y, w, h;
};
}

// Zooming centres the point as far as the picture allows; undo keeps at most
// its limit (one unless set), and lowering it drops the oldest steps at once.
TEST(CanvasTest, ZoomPanUndoAndRedo)
{
    EXPECT_EQ(play(*CanvasPtr(new Canvas(320, 240, true, 128))), "1 320x240 at 0,0 0/0:");
    EXPECT_EQ(Canvas(320, 240, true, 128).getMaxZoom(), tFixed(4));
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    const char* const steps[][2] = {
        {"", "0.5 640x480 at 0,0 0/0:"},
        {"in 320 240", "1 320x240 at 160,120 0/0:"},
        {"in 320 240 in 0 0", "2 160x120 at 240,180 0/0:"},
        {"out 320 240", "1 320x240 at 160,120 0/0:"},
        {"out 0 0 out 0 0", "0.5 640x480 at 0,0 0/0:"},
        {"in 10 10", "1 320x240 at 0,0 0/0:"},
        {"in 630 470", "2 160x120 at 480,360 0/0:"},
        {"pan -1000 0 pan 0 2", "2 160x120 at 0,360 0/0:"},
        {"touch-out 0 0", "1 320x240 at 0,240 0/0:"},
        {"touch-out 0 0 touch-in 160 120", "1 320x240 at 160,120 0/0:"},
        {"u r + d20", "1 320x240 at 160,120 1/0: 20"},
        {"u", "1 320x240 at 160,120 0/1:"},
        {"u r", "1 320x240 at 160,120 1/0: 20"},
        {"+ d60 + d100 u", "1 320x240 at 160,120 0/1: 20 60"},
        {"+ in 300 200 d140 u", "2 160x120 at 220,140 0/1: 20 60"},
        {"m3 + d20 + d60 + d100 + d140 + d180", "2 160x120 at 220,140 3/0: 20 60 100 140 180"},
        {"u u u u", "2 160x120 at 220,140 0/3: 20 60"},
        {"r r", "2 160x120 at 220,140 2/1: 20 60 100 140"},
        {"m1", "2 160x120 at 220,140 1/1: 20 60 100 140"},
        {"c", "2 160x120 at 220,140 0/0: 20 60 100 140"},
        {"m0 + d260 u", "2 160x120 at 220,140 0/0: 20 60 100 140 260"}};
    for (const auto& step : steps)
        EXPECT_EQ(play(*canvas, step[0]), step[1]) << step[0];
    canvas->setMaxUndo(-4);
    tFixed x, y;
    int sx, sy, tx, ty;
    canvas->actualXY(10, 20, x, y);
    canvas->screenXY(225, 150, sx, sy);
    canvas->screenXY(100, 100, tx, ty);
    EXPECT_EQ((std::vector<int>{0, tFixed(225).getRaw(), tFixed(150).getRaw(), 10, 20, -240, -80}),
              (std::vector<int>{canvas->getMaxUndo(), x.getRaw(), y.getRaw(), sx, sy, tx, ty}));
    canvas->setMaxUndo(1);
    canvas->pushUndo();
    canvas->setTexture(TexturePtr(new Texture(320, 240, PixelFormat::RGBA5551, true, 0xFF)), 128);
    EXPECT_EQ(play(*canvas, "u"), "1 320x240 at 0,0 0/0:");
    // Undo shows the copy, whose tiles were never uploaded. A new step makes
    // its copy in the pixel blocks of the copy it drops, once the renderer's
    // copies of them are gone: no texture is made, and its tiles are
    // uploaded again.
    struct Renderer : CountingRenderer
    {
        void onReleaseTexture(ResourceIdentifier* id) override
        {
            ++released;
            CountingRenderer::onReleaseTexture(id);
        }
        int released = 0;
    } renderer;
    renderer.frame(canvas);
    play(*canvas, "+ u");
    EXPECT_EQ(renderer.frame(canvas), 6);
    const std::uint64_t dropped = canvas->getLayer()->getTile(2, 1)->getTexture()->getIdentity();
    play(*canvas, "r");
    renderer.frame(canvas);
    renderer.released = 0;
    const std::uint64_t before = Texture(1, 1, PixelFormat::RGBA5551).getIdentity();
    play(*canvas, "+ u");
    EXPECT_EQ(renderer.released, 6);
    EXPECT_EQ(canvas->getLayer()->getTile(2, 1)->getTexture()->getIdentity(), dropped);
    EXPECT_EQ(Texture(1, 1, PixelFormat::RGBA5551).getIdentity(), before + 1);
    EXPECT_EQ(renderer.frame(canvas), 6);
    // An effect after a step uploads only the tiles it changes; undoing it
    // shows tiles never uploaded.
    canvas->pushUndo();
    canvas->useEffect(EffectPtr(new RectangleEffect(Black, 130, 10, 20, 20)));
    EXPECT_EQ(renderer.frame(canvas), 1);
    canvas->undo();
    EXPECT_EQ(renderer.frame(canvas), 6);
}

// Random pixels, undo steps, undos, redos, effects and limits against plain
// lists of whole pictures. Layers and tiles held from outside at random must
// never lend their pixels to a new undo copy. The picture shown is read as
// the renderer reads it, without asking the canvas for its layer, which
// makes a pending undo copy.
TEST(CanvasTest, UndoAndRedoMatchPlainListsOfPictures)
{
    std::mt19937 random(7);
    CanvasPtr canvas(new Canvas(300, 200, false, 128));
    auto shown = [&] { return boost::static_pointer_cast<Layer>(canvas->getChild(0)); };
    TexturePtr picture = shown()->getTexture();
    std::deque<TexturePtr> undo, redo;
    int limit = 1;
    std::vector<std::pair<LayerPtr, TexturePtr>> heldLayers;
    std::vector<std::pair<TexturePtr, TexturePtr>> heldTiles;
    auto trim = [&] {
        while (static_cast<int>(undo.size()) > limit)
            undo.pop_back();
    };
    for (int step = 0; step < 1000; ++step)
    {
        const int kind = static_cast<int>(random() % 18);
        if (kind < 6)
        {
            const Colour c(random() % 256, random() % 256, random() % 256, random() % 2 * 255);
            const int x = random() % 300, y = random() % 200;
            canvas->getLayer()->setPixel(c, x, y);
            picture->setPixel(c, x, y);
        }
        else if (kind < 9)
        {
            canvas->pushUndo();
            redo.clear();
            while (!undo.empty() && static_cast<int>(undo.size()) >= limit)
                undo.pop_back();
            if (limit > 0)
                undo.push_front(picture->copy());
        }
        else if (kind == 9 && !undo.empty())
        {
            canvas->undo();
            redo.push_front(picture);
            picture = undo.front();
            undo.pop_front();
        }
        else if (kind == 10 && !redo.empty())
        {
            canvas->redo();
            undo.push_front(picture);
            picture = redo.front();
            redo.pop_front();
            trim();
        }
        // Effects, most often right after an undo step, as the studio applies them.
        if (kind == 11 || (kind >= 6 && kind < 9 && random() % 2))
        {
            canvas->useEffect(EffectPtr(new InvertEffect));
            InvertEffect().run(picture);
        }
        else if (kind >= 16 || (kind >= 6 && kind < 9 && random() % 2))
        {
            const Colour c(random() % 256, random() % 256, random() % 256, 255);
            const int x = random() % 300, y = random() % 200, w = random() % 100, h = random() % 100;
            canvas->useEffect(EffectPtr(new RectangleEffect(c, x, y, w, h)));
            RectangleEffect(c, x, y, w, h).run(picture);
        }
        else if (kind == 12)
        {
            limit = static_cast<int>(random() % 4);
            canvas->setMaxUndo(limit);
            trim();
        }
        else if (kind == 13)
        {
            const LayerPtr held = random() % 2 ? canvas->getLayer() : shown();
            heldLayers.push_back({held, held->getTexture()});
        }
        else if (kind == 14)
        {
            const LayerPtr layer = random() % 2 ? canvas->getLayer() : shown();
            TexturePtr tile = layer->getTile(random() % 3, random() % 2)->getTexture();
            heldTiles.push_back({tile, tile->copy()});
        }
        else if (kind == 15 && random() % 4 == 0)
        {
            heldLayers.clear();
            heldTiles.clear();
        }
        ASSERT_TRUE(samePixels(*shown()->getTexture(), *picture)) << step;
        ASSERT_EQ(std::make_pair(canvas->getUndoCount(), canvas->getRedoCount()),
                  std::make_pair(static_cast<int>(undo.size()), static_cast<int>(redo.size())))
            << step;
        // What is held changes only while it is the current picture's.
        if (kind < 9 || kind == 11 || kind >= 16)
        {
            for (auto& held : heldLayers)
                if (held.first == shown())
                    held.second = held.first->getTexture();
            for (auto& held : heldTiles)
                for (int i = 0; i < 6; ++i)
                    if (held.first == shown()->getTile(i % 3, i / 3)->getTexture())
                        held.second = held.first->copy();
        }
        for (const auto& held : heldLayers)
            ASSERT_TRUE(samePixels(*held.first->getTexture(), *held.second)) << step;
        for (const auto& held : heldTiles)
            ASSERT_TRUE(samePixels(*held.first, *held.second)) << step;
    }
    // Every step back shows its picture.
    while (!undo.empty())
    {
        canvas->undo();
        EXPECT_TRUE(samePixels(*shown()->getTexture(), *undo.front()));
        undo.pop_front();
    }
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
                ASSERT_TRUE(canvas.getPanX().getRaw() >= 0 && canvas.getPanY().getRaw() >= 0);
                tFixed x, y;
                for (const auto& corner : {std::make_pair(0, 0), std::make_pair(319, 239)})
                {
                    canvas.actualXY(corner.first, corner.second, x, y);
                    ASSERT_TRUE(x.getRaw() >= 0 && x.toInt() < w && y.getRaw() >= 0 && y.toInt() < h)
                        << x.toFloat() << "," << y.toFloat();
                }
            }
            zoomAt(canvas, ZoomToolState::ZoomIn, w - 1, h - 1);
            ASSERT_TRUE(canvas.getPanX().getRaw() >= 0 && canvas.getPanY().getRaw() >= 0);
        }
        ASSERT_EQ(canvas.getZoom(), canvas.getMaxZoom());
    }
}

// Mirroring works on picture coordinates (zoom 0.5 on a 640-wide picture:
// screen x 50 is picture x 100, mirrored to 540); the touched point comes last.
TEST(FilterTest, BresenhamLinesMirrorModesAndEmptyTools)
{
    EXPECT_EQ(stroke({{0, 0}, {5, 2}}), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    EXPECT_EQ(stroke({{2, 5}, {0, 0}}), (Points{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}));
    EXPECT_EQ(stroke({{0, 4}, {4, 0}}), (Points{{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 0}}));
    EXPECT_EQ(stroke({{10, 10}, {10, 10}, {13, 10}, {13, 12}}),
              (Points{{10, 10}, {10, 10}, {11, 10}, {12, 10}, {13, 10}, {13, 10}, {13, 11}, {13, 12}}));
    EXPECT_EQ(Filter(640, 480).getSymmetryType(), SymmetryType::None);
    EXPECT_EQ(stroke({{10, 20}}, SymmetryType::Both), (Points{{310, 20}, {10, 220}, {310, 220}, {10, 20}}));
    EXPECT_EQ(stroke({{50, 10}}, SymmetryType::TopBottom, 640, 480), (Points{{100, 460}, {100, 20}}));
    EXPECT_EQ(stroke({{0, 0}}, SymmetryType::LeftRight, 640, 480), (Points{{640, 0}, {0, 0}}));
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    const std::vector<std::uint16_t> before = pixels16(*canvas->getLayer());
    Filter filter(320, 240);
    filter.setSymmetryType(SymmetryType::Both);
    filter.begin(10, 10);
    filter.useTool(canvas, ToolPtr(), 50, 40);
    filter.interpolateLine(canvas, ToolPtr(), 60, 40);
    filter.filterTool(canvas, ToolPtr(), 5, 5);
    canvas->useTool(ToolPtr(), 20, 20);
    canvas->useToolAt(ToolPtr(), tFixed(20), tFixed(20));
    EXPECT_EQ(before, pixels16(*canvas->getLayer()));
}
