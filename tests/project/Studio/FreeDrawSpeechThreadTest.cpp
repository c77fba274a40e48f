// What the studio says and sounds in the free-drawing state, with the
// program's random source seeded: every sound started (and every one cut
// off, with "-") after each script.
#include "project/Studio/FreeDrawTestSupport.h"

#include "Resources/Studio/ColorWheelScreen.h"

using namespace FreeDrawTest;

namespace
{
typedef FreeDrawFixture FreeDrawSpeechThreadTest;

// Names without their "h_" and "_N" ends, to keep the table readable.
std::string shortNames(const std::string& heard)
{
    std::istringstream words(heard);
    std::string text;
    for (std::string word; words >> word;)
    {
        const bool cut = word[0] == '-';
        std::string name = word.substr(cut ? 1 : 0);
        if (name.compare(0, 2, "h_") == 0)
            name = name.substr(name.find('_', 2) + 1);
        name = name.substr(0, name.find_last_of('_'));
        text += (text.empty() ? "" : " ") + std::string(cut ? "-" : "") + name;
    }
    return text;
}

struct Row
{
    const char* script;
    const char* heard;
};

TEST_F(FreeDrawSpeechThreadTest, EachChoiceIsSpokenOrSoundedInItsOrder)
{
    const Row rows[] = {
        // The main toolbar names its button before it acts; the mode's question waits for the name.
        {"main:1", "ColorsAndSzsAnnncdA"},
        {"draw main:9 wait:60", "UsePencilSfx -UsePencilSfx FlipBkAnnncdAsTtl AreYSrYWntTThrwAwyY"},
        {"main:9 quiet main:9", "FlipBkAnnncdAsTtl ArtStdAnnncdAsTtl"},
        // Undo and zoom: the speech stops, their sound plays (zoom's names are the other way round).
        {"hint main:6", "UseThPnclTlTDrw -UseThPnclTlTDrw UndoSfx"},
        {"main:7 main:7", "ZoomOutSfx -ZoomOutSfx ZoomInSfx"},
        {"toggle toggle", "ToolBarCloseSfx -ToolBarCloseSfx ToolBarOpenSfx"},
        // An effect's name, then the effect, then its sound.
        {"main:4 quiet pick:9", "FiltersAndEffctsAnn Blur BlurSfx"},
        {"main:4 quiet pick:15", "FiltersAndEffctsAnn MirrorImage 2WayHorizontalSymmetrySfx"},
        // First-time hints once per run; one hint for every shape.
        {"first brush:0 quiet brush:0", "ToolsAnnncdAsTtl -ToolsAnnncdAsTtl UseThPnclTlTDrw ToolsAnnncdAsTtl "
                                        "-ToolsAnnncdAsTtl PencilAnnncdAsTtl"},
        {"first shape:0 quiet shape:1", "ShapesAnnncdAsTtl -ShapesAnnncdAsTtl UseShpTlTDrwRctngls ShapesAnnncdAsTtl "
                                        "-ShapesAnnncdAsTtl RectangleTlAnnncdAs"},
        {"first main:5", "EraserAnnncdAsTtl -EraserAnnncdAsTtl UseErsrTlTErsPrtOfY"},
        // The hint button: the two marker hints in turn, the open row's hint, each picker's.
        {"brush:4 quiet hint quiet hint quiet hint",
         "ToolsAnnncdAsTtl -ToolsAnnncdAsTtl MarkerAnnncdAsTtl UseThMrkrTlTDrwThckLns YoMrkrTlIsPhtYCnDrwRll "
         "UseThMrkrTlTDrwThckLns"},
        {"main:0 quiet hint", "ToolsAnnncdAsTtl ChooseAnArtTlTUs"},
        {"main:2 quiet hint", "ShapesAnnncdAsTtl ChooseAShapeTool"},
        {"main:8 quiet hint", "FilesAnnncdAsTtl SaveLdOrDltYrDrwng"},
        {"main:3 quiet hint", "StampsAnnncdAsTtl StampEvrybdyStmpEvrybd"},
        {"main:4 quiet hint", "FiltersAndEffctsAnn ChooseClEffctFrYrDr"},
        {"file:save quiet hint", "FilesAnnncdAsTtl -FilesAnnncdAsTtl PickASltTSvYrDrwng PickASltTSvYrDrwng"},
        {"file:load quiet hint", "FilesAnnncdAsTtl -FilesAnnncdAsTtl PickAPictureToLoad PickAPictureToLoad"},
        {"draw quit quiet hint",
         "UsePencilSfx -UsePencilSfx AreYSrYWntTQtArtStd TouchHrTRtrnTArtStd TouchHrTThrwAwyYrPc"},
        // The colour screen: every size change, the first pattern change of a visit; the wheel sounds.
        {"main:1 quiet size:0 quiet size:2 pattern pattern back main:1 quiet pattern",
         "ColorsAndSzsAnnncdA SizePickedSfx SelectBrshSzYdLkTUsH SizePickedSfx SelectBrshSzYdLkTUsH -SizePickedSfx "
         "PatternPickedSfx -SelectBrshSzYdLkTUsH SelectPttrnTUsWhlPnt -PatternPickedSfx PatternPickedSfx "
         "-SelectPttrnTUsWhlPnt -PatternPickedSfx ColorsAndSzsAnnncdA PatternPickedSfx SelectPttrnTUsWhlPnt"},
        {"main:1 quiet wheel", "ColorsAndSzsAnnncdA ColorWheelSfx"},
        // A stroke keeps one tool sound; a fill restarts its own at every use.
        {"draw draw", "UsePencilSfx -UsePencilSfx UsePencilSfx -UsePencilSfx"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.script);
        TearDown();
        SetUp();
        start();
        untilQuiet();
        audio->take();
        run(row.script);
        EXPECT_EQ(row.heard, shortNames(audio->take()));
    }
}

// Three hints in a row never repeat the last; the area each speaks of lights
// up until the line ends or is cut off.
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
    int last = -1;
    for (const char* then : {"quiet", "hint", "back"})
    {
        run("hint");
        const int spoken = studio().lastColorWheelHint;
        EXPECT_NE(last, spoken);
        EXPECT_EQ(std::to_string(spoken), lit());
        last = spoken;
        run(then);
        if (std::string(then) == "hint")
        {
            EXPECT_EQ(std::to_string(studio().lastColorWheelHint), lit()) << "the cut line's area is dark";
            last = studio().lastColorWheelHint;
        }
        else
            EXPECT_EQ("", lit()) << then;
    }
}

// Every tool, effect, button and hint once: every file is in the title.
TEST_F(FreeDrawSpeechThreadTest, EveryLineAndSoundIsInTheTitle)
{
    start();
    std::string script = "first";
    for (int i = 0; i < 7; ++i)
        script += " brush:" + std::to_string(i) + " hint draw";
    for (int i = 0; i < 5; ++i)
        script += " shape:" + std::to_string(i) + " hint draw";
    script += " main:5 draw main:3 hint pick:3 draw main:1 hint hint hint back";
    for (int i = 0; i < 18; ++i)
        script += " main:4 hint pick:" + std::to_string(i);
    script += " main:6 main:7 main:7 main:8 hint file:save hint back file:load hint back main:9 draw flip:1 draw flip:12 "
              "flip:12 toggle toggle draw quit wait:160 yes";
    run(script);
    const std::string heard = audio->take();
    EXPECT_EQ(std::string::npos, heard.find("missing")) << heard;
    for (const char* some : {"h_SX_UseStampSfx_6", "h_SCRIVLET_GoTopsyTurvey_5", "h_SX_4WaySymmetrySfx_6",
                             "h_SCRIVLET_FlipBkAnnncdAsTtl_3", "h_SCRIVLET_TouchHrTThrwAwyYrPc_3"})
        EXPECT_NE(std::string::npos, heard.find(some)) << some;
}
}
