// What the studio says and sounds in the free-drawing state, with the
// program's random source seeded: the files started (and cut off, with "-")
// by each script, named without their "h_<VOICE>_" and "_N" ends.
#include "project/Studio/FreeDrawTestSupport.h"

#include "Resources/Studio/ColorWheelScreen.h"

using namespace FreeDrawTest;

namespace
{
typedef FreeDrawFixture FreeDrawSpeechThreadTest;

std::string shortNames(const std::string& heard)
{
    std::istringstream words(heard);
    std::string text;
    for (std::string word; words >> word;)
    {
        const size_t start = word.find('_', word.find("h_") + 2) + 1;
        text += (text.empty() ? "" : " ") + std::string(word[0] == '-' ? "-" : "") +
                word.substr(start, word.find_last_of('_') - start);
    }
    return text;
}

TEST_F(FreeDrawSpeechThreadTest, EachChoiceIsSpokenOrSoundedInItsOrder)
{
    const char* const rows[][2] = {
        // The main toolbar names its button before it acts; a question waits for the name.
        {"main:1", "ColorsAndSzsAnnncdA"},
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
        // One tool sound through a stroke.
        {"draw draw", "UsePencilSfx -UsePencilSfx UsePencilSfx -UsePencilSfx"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row[0]);
        TearDown();
        SetUp();
        start();
        untilQuiet();
        heard();
        run(row[0]);
        EXPECT_EQ(row[1], shortNames(heard()));
    }
}

// Hints never repeat the last; the area spoken of is lit until the line ends or is cut.
TEST_F(FreeDrawSpeechThreadTest, ColourScreenHintsTakeTurnsAndLightTheirArea)
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

// Every tool, effect, button and hint once: every file is in the title.
TEST_F(FreeDrawSpeechThreadTest, EveryLineAndSoundIsInTheTitle)
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
