// The colour screen touched through a picker in platform coordinates (y down).
#include "ColourTestSupport.h"

#include "Resources/Studio/ColorWheelScreen.h"
#include "Tovrane/Radiobox.h"
#include "Tovrane/UIPicker.h"

using namespace ColourTest;

namespace
{
struct Spot
{
    int x, y; // platform coordinates; the wheel's middle is at (96, 91)
};
const Spot Small{210, 140}, Medium{254, 140}, Large{298, 140}, Left{202, 66}, Right{294, 66}, Close{300, 20};
const Spot Middle{96, 91}, FromRed{36, 136}, FromBlue{156, 136}, FromYellow{96, 16}, FromGreen{156, 46};

// The screen under a picker, its events written into `events`.
struct ScreenRig
{
    ScreenRig() : screen(new ColorWheelScreen)
    {
        listen(screen->toolSizeEvent, [this](const ToolSizeEventArgs& a) { events += "size " + std::to_string(a.size) + " "; });
        listen(screen->closeEvent, [this](const ButtonEventArgs&) { events += "close "; });
        listen(screen->patternEvent, [this](const PatternEventArgs& a) { events += "pattern " + std::to_string(a.pattern) + " "; });
        listen(screen->colorEvent, [this](const Colour& c) { events += "colour " + text(c) + " "; });
        screen->update(0);
        picker.addUIElements(screen);
    }
    void touch(Spot from, Spot to)
    {
        const Spot at[3] = {from, to, to};
        for (int i = 0; i < 3; ++i)
            screen->update(0), picker.doPick(at[i].x, at[i].y, i < 2);
    }

    ColorWheelScreenPtr screen;
    UIPicker picker;
    std::string events;
};

typedef AudioFixture ColorWheelScreenTest;
}

TEST_F(ColorWheelScreenTest, ChoicesReachTheScreensEvents)
{
    ScreenRig rig;
    rig.picker.setAudioPlayer(audio.get());
    const Radiobox& medium = static_cast<const Radiobox&>(*rig.screen->getChild(3));
    EXPECT_TRUE(rig.events.empty() && medium.active) << "medium at first, and building fires nothing";
    const struct
    {
        const char* what;
        Spot from, to;
        const char* heard; // events, then sounds
    } steps[] = {
        {"the active size: a click and nothing more", Medium, Medium, "SizePickedSfx "},
        {"small", Small, Small, "size 0 SizePickedSfx "},
        {"large", Large, Large, "size 2 SizePickedSfx "},
        {"next pattern", Right, Right, "pattern 1 PatternPickedSfx "},
        {"previous", Left, Left, "pattern 0 PatternPickedSfx "},
        {"previous wraps to 14", Left, Left, "pattern 14 PatternPickedSfx "},
        {"next wraps to 0", Right, Right, "pattern 0 PatternPickedSfx "},
        {"close", Close, Close, "close SelectSfx "},
        {"red into the silent wheel's centre", FromRed, Middle, "colour 255,0,0,255 "},
        {"blue: purple", FromBlue, Middle, "colour 127,0,255,255 "},
        {"yellow completes the mixture: brown", FromYellow, Middle, "colour 139,69,19,255 "},
        {"a fourth colour is refused and passed on", FromGreen, Middle, "colour 128,64,16,0 "},
        {"a tap starts afresh", FromGreen, FromGreen, "colour 0,240,0,240 "},
    };
    sounds();
    for (const auto& s : steps)
    {
        rig.touch(s.from, s.to);
        EXPECT_EQ(s.heard, std::exchange(rig.events, "") + sounds()) << s.what;
    }
    const NodePtr swatches = static_cast<const PatternPicker&>(*rig.screen->getChild(5)).getPatternNode();
    for (int i = 0; i < PatternPicker::PatternCount; ++i)
        EXPECT_EQ(i == 0 ? CullingMode::Show : CullingMode::Hide, swatches->getChild(i)->cullingMode) << i;

    // The hint's highlights add up until hidden; areas beyond 1 are the sizes.
    const auto shown = [&] {
        std::string s;
        for (const GeometryPtr& frame : {rig.screen->wheelHighlight, rig.screen->patternHighlight, rig.screen->sizeHighlight})
            s += frame->cullingMode == CullingMode::Show ? "1" : "0";
        return s;
    };
    EXPECT_EQ("000", shown());
    rig.screen->showHighlight(ColorWheelScreenArea::Patterns);
    rig.screen->showHighlight(ColorWheelScreenArea::Wheel);
    EXPECT_EQ("110", shown());
    rig.screen->hideHighlights();
    rig.screen->showHighlight(static_cast<ColorWheelScreenArea::Type>(7));
    EXPECT_EQ("001", shown());
}

typedef StudioTest::StudioFixture ColorWheelScreenDraw;

// Red then blue: the disc, size marks and swatch purple, nothing else on their page.
TEST_F(ColorWheelScreenDraw, PurpleTintsTheDiscAndEveryMask)
{
    ScreenRig rig;
    rig.touch(FromRed, Middle);
    rig.touch(FromBlue, Middle);
    ASSERT_EQ("colour 255,0,0,255 colour 127,0,255,255 ", rig.events);
    root->addChild(rig.screen);
    frame();
    const Rgba purple(119, 0, 255, 255); // four bits a channel, widened by the renderer
    expectPixels({{96, 149, purple}, {210, 100, purple}, {254, 100, purple}, {298, 100, purple}, {248, 174, purple}});
    TexturePtr page = static_cast<Geometry&>(*rig.screen->getChild(6)).getTexture();
    int others = 0;
    for (int i = 0; i < page->getWidth() * page->getHeight(); ++i)
    {
        const Colour c = page->getPixel(i % page->getWidth(), i / page->getWidth());
        others += !(c.a == 0 || c == Colour(112, 0, 240, 240) || c == Colour(240, 240, 240, 240));
    }
    EXPECT_EQ(0, others);
    EXPECT_FRAME_GOLDEN("colour_screen");
}
