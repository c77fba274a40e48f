// The warm-and-cool game: the mask's regions, one judgement per press, the
// wrong-answer lines that never repeat and the records, to the game's end.
#include "GamesTestSupport.h"

#include "Resources/MiniGames/WarmCoolState.h"
#include "Tovrane/Texture.h"

using namespace GamesTest;

using WarmCoolThreadTest = GameFixture;

TEST_F(WarmCoolThreadTest, OnlyTheSixExactMaskColoursAreRegionsAndPointsOutsideTheMaskAreNone)
{
    WarmCoolState* game = start(new WarmCoolState);
    const TexturePtr mask = game->getSceneManager().getTexture("warm_cool/bg_mask.png");
    const unsigned char exact[6][3] = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};
    testing::internal::CaptureStdout();
    for (int region = 0; region < 6; ++region)
        for (int off = -1; off < 4; ++off) // -1 exact, else that component off by one
        {
            unsigned char c[3] = {exact[region][0], exact[region][1], exact[region][2]};
            if (off >= 0 && off < 3)
                c[off] = static_cast<unsigned char>(c[off] == 255 ? 254 : 1);
            mask->setPixel(ColorRGBA<unsigned char>(c[0], c[1], c[2], off == 3 ? 0 : 255), 7, 9);
            EXPECT_EQ(off == -1 || off == 3 ? region : 6, game->getColorMaskEnum(7, 9)) << region << " " << off;
        }
    for (const auto& outside : {std::make_pair(-1, 5), {320, 5}, {5, -1}, {5, 240}})
        EXPECT_EQ(6, game->getColorMaskEnum(outside.first, outside.second));
    const std::string output = testing::internal::GetCapturedStdout();
    for (const char* line : {"(X:7, Y:9) R:254, G:0, B:0\n", "(X:5, Y:240) outside the mask\n"})
        EXPECT_NE(std::string::npos, output.find(line)) << output;
}

TEST_F(WarmCoolThreadTest, OnePressOneAnswerAndTheNextWrongLineIsNeverTheLastEvenAcrossTheQuestions)
{
    WarmCoolState* game = new WarmCoolState;
    int draws = 0;
    game->randomSource = [&draws] { return ++draws == 3 ? 2 : 1; }; // 1, 1, 2, 1 ...
    start(game);
    const int touches[][3] = {{10, 100, 1}, {64, 48, 1}, {64, 48, 0}, // x, y, state: an outline, dragged onto the sun
                              {160, 20, 1}, {64, 48, 1}, {64, 48, 0}, // the cool sky in the warm question
                              {48, 192, 1}, {48, 192, 0},             // a warm flower
                              {64, 48, 1},  {64, 48, 0},              // the warm sun in the cool question
                              {160, 20, 1}, {160, 20, 0}};            // the cool sky
    for (const auto& t : touches)
    {
        ASSERT_TRUE(t[2] == 0 || waitingFor(*game));
        touch(t[0], t[1], t[2]), frame();
    }
    ASSERT_TRUE(until([this] { return stackSize() == 2; }));
    EXPECT_EQ(Lines({"TapWrmClrSmwhrThsPc_3", "DoYSAnyWrmClrsLkAFr_4", "CorrectAnswerSfx_6", "WarmChrflFlwrsIShld_3",
                     "NowLkFrSmClClrsTpTh_3", "CoolClrsArBlGrnAndP_3", "CorrectAnswerSfx_6", "IBetThrsClBrzBlwngT_3"}),
              spoken());
    EXPECT_EQ(4u, log().size()) << "right answers only: the records are checked through the host";
}
