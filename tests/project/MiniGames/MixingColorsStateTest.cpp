// The colour-mixing game: the pie's exact colours, what may be picked up for
// each colour made, the talk after every drop, the blink after three misses.
#include "GamesTestSupport.h"

#include "Resources/MiniGames/MixingColorsState.h"
#include "Resources/Studio/ColorPicture.h"
#include "Resources/Studio/LessonColorPie.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/Texture.h"

#include <cmath>

using namespace GamesTest;

using MixingColorsThreadTest = GameFixture;

// The lines, sounds and records of a whole game are checked through the host.
TEST_F(MixingColorsThreadTest, PieColoursSurviveSixteenBitsAndSecondariesArePickedUpOnlyOnceMixed)
{
    MixingColorsState* game = start(new MixingColorsState);
    const TexturePtr wheel = boost::static_pointer_cast<Geometry>(game->getPie()->getChild(0))->getTexture();
    const ColorRGBA<unsigned char> colours[6] = {{192, 0, 0, 255},   {0, 0, 192, 255},  {240, 240, 0, 255},
                                                 {144, 0, 192, 255}, {48, 144, 0, 255}, {240, 144, 0, 255}};
    const double degrees[6] = {0, 240, 120, 300, 180, 60}; // the segments' middles, clockwise from the top
    const int w = wheel->getWidth(), r = static_cast<int>(0.34 * w);
    ASSERT_EQ(PixelFormat::RGBA4444, wheel->getFormat());
    for (int c = 0; c < 6; ++c)
        EXPECT_TRUE(ColorPicture::isSameColor(colours[c], wheel->getPixel(w / 2 + r * std::sin(degrees[c] * M_PI / 180), w / 2 - r * std::cos(degrees[c] * M_PI / 180)))) << c;
    // Colours 0 to 6 that may be picked up while orange, purple and green are made.
    const char* const pickable[3] = {"1110000", "1110011", "1111011"};
    const int drops[6] = {0, 2, 0, 1, 2, 1};
    for (int i = 0; i < 6; ++i)
    {
        ASSERT_TRUE(waitingFor(*game));
        std::string rule;
        for (int c = 0; c <= 6; ++c)
            rule += game->colorWheelPreCallback(ColorPieArgs(c, colours[0])) ? '1' : '0';
        EXPECT_EQ(pickable[i / 2], rule) << i;
        dropColour(drops[i]);
    }
}

TEST_F(MixingColorsThreadTest, WrongDropsAreNamedAndTheThirdMissBlinksTheAwaitedColourUntilItComes)
{
    MixingColorsState* game = new MixingColorsState;
    int draws = 1;
    game->randomSource = [&draws] { return draws++; }; // odd, even, ...
    start(game);
    const SpatialPtr yellowHighlight = game->getPie()->getChild(5);
    const struct
    {
        int colour;
        bool intoCentre;
        Lines said;
        bool blinking;
    } drops[] = {{0, true, {"CorrectAnswerSfx_6", "NowDrgSmYllwIntMddl_3"}, false},
                 {0, true, {"ThatsRed_3"}, false}, // red is in the centre already
                 {1, true, {"ThisIsTheColorBlue_3"}, false},
                 {0, true, {"ThatsRed_3"}, true},
                 {1, true, {"ThisIsTheColorBlue_3"}, true},
                 {1, false, {}, true}, // let go away from the centre
                 {2, true, {"ColorsMixedSfx_6", "ThatsRight_5", "NowLtsMkThClrPrpl_3", "ItsMdByMxngTwPrmryC_3",
                            "TheFrstClrWNdIsRdUs_3"}, false}};
    for (const auto& drop : drops)
    {
        ASSERT_TRUE(waitingFor(*game));
        spoken();
        dropColour(drop.colour, drop.intoCentre);
        ASSERT_TRUE(waitingFor(*game));
        EXPECT_EQ(drop.said, spoken());
        EXPECT_EQ(drop.blinking, game->isBlinking());
        EXPECT_EQ(0, game->getMissCount() * drop.blinking);
        bool shown = false, hidden = false;
        for (int i = 0; i < 60; ++i, frame())
            (yellowHighlight->cullingMode == CullingMode::Show ? shown : hidden) = true;
        EXPECT_EQ(drop.blinking, shown && hidden);
    }
    EXPECT_EQ(Lines({"ActivityStart PSC NA 1", "WrongAnswer 23  WRONG MIX", "CorrectAnswer 23  MIXED YELLOW-RED"}),
              log());
}
