// The colour screen built from the generated title and touched through a
// widget picker in platform coordinates (y down): sizes, patterns, close and
// the wheel's mixtures reach the screen's events; then the screen drawn.
#include "ColourTestSupport.h"

#include "Resources/Studio/ColorWheel.h"
#include "Resources/Studio/ColorWheelScreen.h"
#include "Tovrane/Radiobox.h"
#include "Tovrane/UIPicker.h"

#include <cstdlib>
#include <fstream>

using namespace Tovrane;
using namespace ColourTest;

namespace
{
// Writes every event of the screen into a journal.
struct Listener
{
    Journal events;
    void onSize(const ToolSizeEventArgs& a) { events.push_back("size " + std::to_string(a.size)); }
    void onClose(const ButtonEventArgs&) { events.push_back("close"); }
    void onPattern(const PatternEventArgs& a) { events.push_back("pattern " + std::to_string(a.pattern)); }
    void onColour(const Colour& c)
    {
        events.push_back("colour " + std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) +
                         " " + std::to_string(c.a));
    }

    void listen(ColorWheelScreen& screen)
    {
        screen.toolSizeEvent += new Event<void, const ToolSizeEventArgs&>::MethodDelegate<Listener>(this, &Listener::onSize);
        screen.closeEvent += new Event<void, const ButtonEventArgs&>::MethodDelegate<Listener>(this, &Listener::onClose);
        screen.patternEvent +=
            new Event<void, const PatternEventArgs&>::MethodDelegate<Listener>(this, &Listener::onPattern);
        screen.colorEvent += new Event<void, const Colour&>::MethodDelegate<Listener>(this, &Listener::onColour);
    }
};

// Touches in platform coordinates. The wheel's middle is at (96, 91).
struct Touch
{
    int x, y;
};
const Touch Small{210, 140}, Medium{254, 140}, Large{298, 140}, Left{202, 66}, Right{294, 66}, Close{300, 20};
const Touch Middle{96, 91}, FromRed{36, 136}, FromBlue{156, 136}, FromYellow{96, 16}, FromGreen{156, 46};

// A tap, or a drag from `from` to `to`, through the picker.
void touch(UIPicker& picker, const NodePtr& screen, Touch from, Touch to)
{
    screen->update(0);
    picker.doPick(from.x, from.y, 1);
    screen->update(0);
    picker.doPick(to.x, to.y, 1);
    screen->update(0);
    picker.doPick(to.x, to.y, 0);
}

struct Step
{
    const char* what;
    Touch from, to;
    Journal events, sounds;
};

// The screen's node and the picker over it, as the studio holds them.
struct ScreenRig
{
    ScreenRig() : screen(new ColorWheelScreen)
    {
        listener.listen(*screen);
        screen->update(0);
        picker.addUIElements(screen);
    }

    void run(const Step& s) { touch(picker, screen, s.from, s.to); }

    ColorWheelScreenPtr screen;
    Listener listener;
    UIPicker picker;
};

const std::string SizeSound = "h_SX_SizePickedSfx_6.ogg", StepSound = "h_SX_PatternPickedSfx_6.ogg",
                  SelectSound = "h_SX_SelectSfx_6.ogg";

class ColorWheelScreenTest : public AudioFixture
{
};
}

TEST_F(ColorWheelScreenTest, ChoicesReachTheScreensEvents)
{
    ScreenRig rig;
    rig.picker.setAudioPlayer(audio.get());
    EXPECT_TRUE(rig.listener.events.empty()) << "building fires nothing";
    const Radiobox& medium = static_cast<const Radiobox&>(*rig.screen->getChild(3));
    EXPECT_TRUE(medium.active && medium.getGroup()->getActiveBox() == &medium);

    const Step steps[] = {
        {"the active size: a click, no event", Medium, Medium, {}, {SizeSound}},
        {"small", Small, Small, {"size 0"}, {SizeSound}},
        {"large", Large, Large, {"size 2"}, {SizeSound}},
        {"next pattern", Right, Right, {"pattern 1"}, {StepSound}},
        {"previous", Left, Left, {"pattern 0"}, {StepSound}},
        {"previous wraps to 14", Left, Left, {"pattern 14"}, {StepSound}},
        {"next wraps to 0", Right, Right, {"pattern 0"}, {StepSound}},
        {"close", Close, Close, {"close"}, {SelectSound}},
        {"red into the centre", FromRed, Middle, {"colour 255 0 0 255"}, {}},
        {"blue: purple", FromBlue, Middle, {"colour 127 0 255 255"}, {}},
        {"yellow completes the mixture: brown", FromYellow, Middle, {"colour 139 69 19 255"}, {}},
        {"a fourth colour is refused and still passed on", FromGreen, Middle, {"colour 128 64 16 0"}, {}},
        {"a tap on the wheel starts afresh", FromGreen, FromGreen, {"colour 0 240 0 240"}, {}},
    };
    sounds();
    for (const Step& s : steps)
    {
        SCOPED_TRACE(s.what);
        rig.run(s);
        EXPECT_EQ(s.events, rig.listener.events);
        rig.listener.events.clear();
        EXPECT_EQ(s.sounds, sounds());
    }
    const PatternPicker& patterns = static_cast<const PatternPicker&>(*rig.screen->getChild(5));
    for (int i = 0; i < PatternPicker::PatternCount; ++i)
        EXPECT_EQ(i == 0 ? CullingMode::Show : CullingMode::Hide, patterns.getPatternNode()->getChild(i)->cullingMode);
}

TEST_F(ColorWheelScreenTest, HighlightsAddUpUntilHidden)
{
    ColorWheelScreen screen;
    const auto shown = [&] {
        return std::vector<bool>{screen.wheelHighlight->cullingMode == CullingMode::Show,
                                 screen.patternHighlight->cullingMode == CullingMode::Show,
                                 screen.sizeHighlight->cullingMode == CullingMode::Show};
    };
    EXPECT_EQ(std::vector<bool>({false, false, false}), shown());
    screen.showHighlight(ColorWheelScreenArea::Patterns);
    screen.showHighlight(ColorWheelScreenArea::Wheel);
    EXPECT_EQ(std::vector<bool>({true, true, false}), shown());
    screen.hideHighlights();
    screen.showHighlight(static_cast<ColorWheelScreenArea::Type>(7));
    EXPECT_EQ(std::vector<bool>({false, false, true}), shown());
}

// Every colour mask shares the disc's page, which holds nothing but exact
// black, the light rim and transparent pixels: the centre's tint reaches all
// of them and nothing else.
TEST_F(ColorWheelScreenTest, ColourMasksShareOnePageOfBlackAndRim)
{
    ColorWheelScreen screen;
    TexturePtr page = static_cast<Geometry&>(*screen.getChild(6)).getTexture();
    for (int mark = 8; mark <= 10; ++mark)
        EXPECT_EQ(page, static_cast<Geometry&>(*screen.getChild(mark)).getTexture()) << mark;
    const PatternPicker& patterns = static_cast<const PatternPicker&>(*screen.getChild(5));
    for (int i = 0; i < PatternPicker::PatternCount; ++i)
        EXPECT_EQ(page, static_cast<Geometry&>(*patterns.getPatternNode()->getChild(i)).getTexture()) << i;
    int odd = 0;
    for (int y = 0; y < page->getHeight(); ++y)
        for (int x = 0; x < page->getWidth(); ++x)
        {
            const Colour c = page->getPixel(x, y);
            odd += !(c.a == 0 || c == Colour(0, 0, 0, 240) || c == Colour(240, 240, 240, 240));
        }
    EXPECT_EQ(0, odd);
}

class ColorWheelScreenDraw : public RendererFixture
{
protected:
    void SetUp() override
    {
        generatedTitle();
        RendererFixture::SetUp();
    }
};

// Red then blue dragged into the centre: the disc, the size marks and the
// shown swatch turn purple. Compared with tests/data/studio/colour_screen.png.
TEST_F(ColorWheelScreenDraw, PurpleTintsTheDiscAndEveryMask)
{
    ScreenRig rig;
    rig.run({"red", FromRed, Middle, {}, {}});
    rig.run({"blue", FromBlue, Middle, {}, {}});
    ASSERT_EQ((Journal{"colour 255 0 0 255", "colour 127 0 255 255"}), rig.listener.events);
    root->addChild(rig.screen);
    frame();
    const Colour purple(119, 0, 255, 255); // four bits a channel, widened by the renderer
    expectPixels({{96, 149, purple}, {210, 100, purple}, {254, 100, purple}, {298, 100, purple}, {248, 174, purple}});

    TexturePtr picture(new Texture(320, 240, PixelFormat::RGBA8888, false));
    std::copy(pixels.begin(), pixels.end(), picture->getPixels());
    const std::string path = std::string(TOVRANE_TEST_DATA) + "/studio/colour_screen.png";
    if (std::getenv("TOVRANE_WRITE_GOLDENS") && !std::ifstream(path).good())
    {
        ASSERT_TRUE(picture->save(path));
    }
    TexturePtr golden = Texture::fromFile(path);
    ASSERT_TRUE(golden) << "missing golden " << path;
    ASSERT_EQ(PixelFormat::RGBA8888, golden->getFormat());
    int differing = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            differing += golden->getPixel(x, y) != picture->getPixel(x, y);
    EXPECT_EQ(0, differing);
    if (differing)
        picture->save(std::string(TOVRANE_BINARY_DIR) + "/colour_screen-actual.png");
}
