// Scripts of taps and buttons in the free-drawing state.
#include "project/Studio/FreeDrawTestSupport.h"

#include "Resources/Studio/ColorWheelScreen.h"
#include "Resources/Studio/FlipbookController.h"

using namespace FreeDrawTest;

namespace
{
class FreeDrawScriptsThreadTest : public FreeDrawFixture
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
                ASSERT_TRUE(w == 640 ? player->saveImage(red, 2 + f % 2) : player->saveAnimationFrame(red, 1, f));
        }
        original = TestSupport::readFile(player->toImagePath(2));
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
    std::string facts()
    {
        std::string slots = "slots";
        for (int i = 0; i < 6; ++i)
            if (player->hasImage(i))
                slots += " " + std::to_string(i) + (TestSupport::readFile(player->toImagePath(i)) == original ? "=old" : "=new");
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

    // Each script on a fresh state (after "used ", over the used slots);
    // `check` tells what it left.
    template <size_t N, typename F> void each(const char* const (&rows)[N][2], F check)
    {
        for (const auto& row : rows)
        {
            SCOPED_TRACE(row[0]);
            const bool used = std::string(row[0]).compare(0, 5, "used ") == 0;
            TearDown();
            SetUp();
            if (used)
                useSlots();
            start();
            check(row[0] + (used ? 5 : 0), row[1]);
        }
    }

    std::string original;
};

TEST_F(FreeDrawScriptsThreadTest, ScriptsLeaveTheScreensPicturesAndSlotsTheyShould)
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
    each(rows, [this](const char* script, const char* left) {
        run(script);
        EXPECT_EQ(left, facts());
    });
}

TEST_F(FreeDrawScriptsThreadTest, EachChoiceIsSpokenOrSoundedInItsOrder)
{
    const char* const rows[][2] = {
        // The main toolbar names its button before it acts; a question waits for the name; one tool sound a stroke.
        {"draw main:9 wait:60", "UsePencilSfx -UsePencilSfx FlipBkAnnncdAsTtl AreYSrYWntTThrwAwyY"},
        {"main:9 quiet main:9", "FlipBkAnnncdAsTtl ArtStdAnnncdAsTtl"},
        // Undo cuts the speech; zoom's sounds are named the other way round.
        {"hint main:6", "UseThPnclTlTDrw -UseThPnclTlTDrw UndoSfx"},
        {"main:7 main:7", "ZoomOutSfx -ZoomOutSfx ZoomInSfx"},
        {"toggle toggle", "ToolBarCloseSfx -ToolBarCloseSfx ToolBarOpenSfx"},
        // An effect's name, then the effect, then its sound.
        {"main:4 quiet pick:9", "FiltersAndEffctsAnn Blur BlurSfx"},
        {"main:4 quiet pick:15", "FiltersAndEffctsAnn MirrorImage 2WayHorizontalSymmetrySfx"},
        // First-time hints once per run; one hint for every shape.
        {"first brush:0 quiet brush:0",
         "ToolsAnnncdAsTtl -ToolsAnnncdAsTtl UseThPnclTlTDrw ToolsAnnncdAsTtl -ToolsAnnncdAsTtl PencilAnnncdAsTtl"},
        {"first shape:0 quiet shape:1", "ShapesAnnncdAsTtl -ShapesAnnncdAsTtl UseShpTlTDrwRctngls ShapesAnnncdAsTtl "
                                        "-ShapesAnnncdAsTtl RectangleTlAnnncdAs"},
        {"first main:5", "EraserAnnncdAsTtl -EraserAnnncdAsTtl UseErsrTlTErsPrtOfY"},
        // The hint button: the marker's two hints in turn, the open row's, each screen's.
        {"brush:4 quiet hint quiet hint quiet hint", "ToolsAnnncdAsTtl -ToolsAnnncdAsTtl MarkerAnnncdAsTtl "
                                                     "UseThMrkrTlTDrwThckLns YoMrkrTlIsPhtYCnDrwRll UseThMrkrTlTDrwThckLns"},
        {"main:0 quiet hint quiet main:2 quiet hint quiet main:8 quiet hint", "ToolsAnnncdAsTtl ChooseAnArtTlTUs ShapesAnnncdAsTtl "
                                                                  "ChooseAShapeTool FilesAnnncdAsTtl SaveLdOrDltYrDrwng"},
        {"main:3 quiet hint back main:4 quiet hint", "StampsAnnncdAsTtl StampEvrybdyStmpEvrybd -StampEvrybdyStmpEvrybd "
                                                    "FiltersAndEffctsAnn ChooseClEffctFrYrDr"},
        {"file:load quiet hint", "FilesAnnncdAsTtl -FilesAnnncdAsTtl PickAPictureToLoad PickAPictureToLoad"},
        {"draw quit quiet hint",
         "UsePencilSfx -UsePencilSfx AreYSrYWntTQtArtStd TouchHrTRtrnTArtStd TouchHrTThrwAwyYrPc"},
        // The colour screen: every size change, the first pattern change of a visit; the wheel's sound.
        {"main:1 quiet size:0 quiet size:2 pattern pattern back main:1 quiet pattern wheel",
         "ColorsAndSzsAnnncdA SizePickedSfx SelectBrshSzYdLkTUsH SizePickedSfx SelectBrshSzYdLkTUsH -SizePickedSfx "
         "PatternPickedSfx -SelectBrshSzYdLkTUsH SelectPttrnTUsWhlPnt -PatternPickedSfx PatternPickedSfx "
         "-SelectPttrnTUsWhlPnt -PatternPickedSfx ColorsAndSzsAnnncdA PatternPickedSfx SelectPttrnTUsWhlPnt "
         "-PatternPickedSfx ColorWheelSfx"},
    };
    each(rows, [this](const char* script, const char* said) {
        run("quiet");
        heard();
        run(script);
        EXPECT_EQ(said, heard());
    });
}

// Hints never repeat the last; the area spoken of is lit until the line ends or is cut.
TEST_F(FreeDrawScriptsThreadTest, ColourScreenHintsTakeTurnsAndLightTheirArea)
{
    start();
    run("main:1 quiet");
    ColorWheelScreen& screen = static_cast<ColorWheelScreen&>(*studio().dialogs->getChild(studio().colorScreenIndex));
    const GeometryPtr areas[3] = {screen.wheelHighlight, screen.patternHighlight, screen.sizeHighlight};
    auto lit = [&] {
        std::string shown;
        for (int i = 0; i < 3; ++i)
            shown += areas[i]->cullingMode == CullingMode::Show ? std::to_string(i) : "";
        return shown;
    };
    for (const char* then : {"quiet", "hint", "back"})
    {
        const int last = studio().lastColorWheelHint;
        run("hint");
        EXPECT_NE(last, studio().lastColorWheelHint);
        EXPECT_EQ(std::to_string(studio().lastColorWheelHint), lit());
        run(then);
        EXPECT_EQ(std::string(then) == "hint" ? std::to_string(studio().lastColorWheelHint) : "", lit()) << then;
    }
}

TEST_F(FreeDrawScriptsThreadTest, EveryLineAndSoundIsInTheTitle)
{
    start();
    std::string script = "first";
    for (int i = 0; i < 12; ++i)
        script += (i < 7 ? " brush:" : " shape:") + std::to_string(i < 7 ? i : i - 7) + " hint draw";
    for (int i = 0; i < 18; ++i)
        script += " main:4 hint pick:" + std::to_string(i);
    testing::internal::CaptureStdout();
    run(script + " main:5 draw main:3 hint pick:3 draw main:1 hint hint hint back main:6 main:7 main:7 main:8 hint "
                 "file:save hint back main:9 yes draw flip:1 draw flip:12 flip:12 main:9 toggle toggle quit wait:160 yes");
    EXPECT_EQ(std::string::npos, testing::internal::GetCapturedStdout().find("Could not find file"));
    const std::string all = heard();
    for (const char* some : {"UseStampSfx", "GoTopsyTurvey", "4WaySymmetrySfx", "ArtStdAnnncdAsTtl", "TouchHrTThrwAwyYrPc"})
        EXPECT_NE(std::string::npos, all.find(some)) << some;
}
}
