// The studio's screens in the free-drawing state, as scripts of taps and
// buttons: the screens left open, the mode, the picture and the files
// written after each script.
#include "project/Studio/FreeDrawTestSupport.h"

#include "Resources/Drawing/Effects/TexturizeEffect.h"
#include "Resources/Studio/FlipbookController.h"

using namespace FreeDrawTest;

namespace
{
class FreeDrawScreensThreadTest : public FreeDrawFixture
{
protected:
    // Art slots 2 and 3 and animation slot 1 hold red pictures.
    void useSlots()
    {
        for (int w : {640, 320})
        {
            TexturePtr red(new Texture(w, w * 3 / 4, PixelFormat::RGBA5551));
            for (int i = 0; i < w * w * 3 / 4; ++i)
                red->setPixel(ColorRGBA<unsigned char>(255, 0, 0, 255), i % w, i / w);
            for (int f = 0; f < 12; ++f)
                ASSERT_TRUE(w == 640 ? player().saveImage(red, 2 + f % 2) : player().saveAnimationFrame(red, 1, f));
        }
        original = bytes(player().toImagePath(2));
    }
    static std::string picture(const CanvasPtr& frame)
    {
        const TexturePtr t = frame->getLayer()->getTexture();
        if (t->getPixel(0, 0).r > 200 && t->getPixel(0, 0).g < 50)
            return "red";
        for (int y = 0; y < t->getHeight(); ++y)
            for (int x = 0; x < t->getWidth(); ++x)
                if (t->getPixel(x, y).a != 0 && t->getPixel(x, y).g < 200)
                    return "drawn";
        return t->getPixel(0, 0).a == 0 ? "clear" : "white";
    }
    // What a script leaves behind, in one line.
    std::string facts()
    {
        std::string slots = "slots";
        for (int i = 0; i < 6; ++i)
            if (player().hasImage(i))
                slots += " " + std::to_string(i) + (bytes(player().toImagePath(i)) == original ? "=old" : "=new");
        if (!harness->current())
            return "gone | " + slots;
        Studio& s = studio();
        std::string text = screens() + " | mode " + std::to_string(s.mode) + " | " + (s.saved ? "saved" : "unsaved") +
                           " | " + picture(s.canvas) + " | undo " + std::to_string(s.canvas->getUndoCount()) + " | " + slots;
        if (s.toolType == ToolType::Stamp)
            text += " | stamp " + std::to_string(s.stampNumber);
        if (s.filter->getSymmetryType() != SymmetryType::None)
            text += " | mirror " + std::to_string(s.filter->getSymmetryType());
        if (s.mode == StudioMode::Flipbook)
            text += " | frame " + std::to_string(s.currentFrame) + " " + picture(s.getFrame(0)) + " " +
                    picture(s.getFrame(1)) + (s.flipbookController->isPlaying() ? " playing" : "") +
                    (s.onionSkin->cullingMode == CullingMode::Hide ? " unveiled" : "");
        return text;
    }

    std::string original;
};

TEST_F(FreeDrawScreensThreadTest, ScriptsLeaveTheScreensPicturesAndSlotsTheyShould)
{
    const char* const rows[][2] = {
        // Quitting: at once when saved, else asked.
        {"quit", "gone | slots"},
        {"draw back yes", "gone | slots"},
        {"draw quit no", "0 | mode 0 | unsaved | drawn | undo 1 | slots"},
        {"draw quit close", "0 | mode 0 | unsaved | drawn | undo 1 | slots"},
        {"file:save quit", "gone | slots"},
        // A new picture and a mode change throw the picture away when allowed.
        {"file:new", "0 | mode 0 | saved | white | undo 0 | slots"},
        {"draw file:new", "0 2 | mode 0 | unsaved | drawn | undo 1 | slots"},
        {"draw file:new yes", "0 | mode 0 | saved | white | undo 0 | slots"},
        {"draw file:new no", "0 | mode 0 | unsaved | drawn | undo 1 | slots"},
        {"main:9", "0 | mode 1 | saved | clear | undo 0 | slots | frame 0 clear clear"},
        {"draw main:9 yes", "0 | mode 1 | saved | clear | undo 0 | slots | frame 0 clear clear"},
        {"draw main:9 close", "0 | mode 0 | unsaved | drawn | undo 1 | slots"},
        // Saving: an empty slot at once, a used one when the overwrite is confirmed.
        {"draw file:save pick:0", "0 | mode 0 | saved | drawn | undo 1 | slots 0=new"},
        {"used draw file:save pick:2 yes", "0 | mode 0 | saved | drawn | undo 1 | slots 2=new 3=old"},
        {"used draw file:save pick:2 no", "0 7 | mode 0 | unsaved | drawn | undo 1 | slots 2=old 3=old"},
        {"used draw file:save pick:2 close", "0 7 | mode 0 | unsaved | drawn | undo 1 | slots 2=old 3=old"},
        {"used draw file:save pick:2 back", "0 7 | mode 0 | unsaved | drawn | undo 1 | slots 2=old 3=old"},
        {"used draw file:save pick:2 back back", "0 | mode 0 | unsaved | drawn | undo 1 | slots 2=old 3=old"},
        {"used draw file:save pick:-1", "0 | mode 0 | unsaved | drawn | undo 1 | slots 2=old 3=old"},
        // Loading: an empty slot does nothing; a used one loads, asked when unsaved.
        {"used file:load pick:4", "0 8 | mode 0 | saved | white | undo 0 | slots 2=old 3=old"},
        {"used file:load pick:3", "0 | mode 0 | saved | red | undo 0 | slots 2=old 3=old"},
        {"used draw file:load pick:3 yes", "0 | mode 0 | saved | red | undo 0 | slots 2=old 3=old"},
        {"used draw file:load pick:3 no", "0 8 | mode 0 | unsaved | drawn | undo 1 | slots 2=old 3=old"},
        {"used main:9 file:load pick:1", "0 | mode 1 | saved | red | undo 0 | slots 2=old 3=old | frame 0 red red"},
        // Stamps: a locked one leaves the picker open.
        {"main:3 pick:17", "0 5 | mode 0 | saved | white | undo 0 | slots"},
        {"main:3 pick:17 pick:4", "0 | mode 0 | saved | white | undo 0 | slots | stamp 4"},
        // Effects: one undo step each; mirror modes change the strokes to come.
        {"draw main:4 pick:9", "0 | mode 0 | unsaved | drawn | undo 2 | slots"},
        {"main:4 pick:15", "0 | mode 0 | saved | white | undo 0 | slots | mirror 1"},
        {"main:4 pick:17 main:4 pick:14", "0 | mode 0 | saved | white | undo 0 | slots"},
        // Flipbook frames: undo on the current frame only; play and stop.
        {"main:9 draw flip:1 draw main:6", "0 | mode 1 | unsaved | clear | undo 0 | slots | frame 1 drawn clear"},
        {"main:9 draw flip:1 draw flip:12 wait:4",
         "0 | mode 1 | unsaved | drawn | undo 0 | slots | frame 0 drawn drawn playing unveiled"},
        {"main:9 draw flip:1 draw flip:12 wait:4 flip:12",
         "0 | mode 1 | unsaved | drawn | undo 0 | slots | frame 0 drawn drawn"},
        {"main:9 draw flip:12 flip:3", "0 | mode 1 | unsaved | clear | undo 0 | slots | frame 3 drawn clear"},
        // Mended: a declined overwrite, then quitting, saves nothing.
        {"used draw file:save pick:2 no quit yes", "gone | slots 2=old 3=old"},
        {"used draw file:save pick:2 quit yes", "gone | slots 2=old 3=old"},
        // Mended: the toolbar toggle does nothing over a picker.
        {"draw file:save toggle main:1", "0 7 | mode 0 | unsaved | drawn | undo 1 | slots"},
        // Mended: a held button does not act again when another is pressed.
        {"draw down:20 down:1", "0 1 | mode 0 | unsaved | drawn | undo 1 | slots"},
        // Mended: a screen opened mid-stroke ends the stroke; the next one is a new undo step.
        {"press quit lift no draw", "0 | mode 0 | unsaved | drawn | undo 2 | slots"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row[0]);
        TearDown();
        SetUp();
        const std::string script = row[0];
        if (script.compare(0, 5, "used ") == 0)
            useSlots();
        start();
        run(script.substr(script.compare(0, 5, "used ") == 0 ? 5 : 0));
        EXPECT_EQ(row[1], facts());
    }
}
}
