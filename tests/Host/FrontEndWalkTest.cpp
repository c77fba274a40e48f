// The real host, headless on a fixed step, from the logo on a fresh profile:
// title, main menu, a spoken tour, the lessons page and its sub-pages, Play
// (the intro movie, the map stand-in, its studio and back), Play again (the
// welcome-back path) and Exit. What the
// screen shows is compared with reviewed pictures in tests/data/frontend/.
#include "HostRun.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#ifdef TOVRANE_GAME_MODULE_FILE

namespace
{
class FrontEndWalkTest : public HostFolderTest
{
protected:
    FrontEndWalkTest() : HostFolderTest("front-end") {}
};

// Screen points of the main page, the lessons picker and a page's close button.
const char* const MenuWalk = R"(# the menu begins at frame 280
300 click h
1020 tap 230 68
1040 tap 218 115
1050 tap 18 115
1060 tap 62 83
1070 click backspace
1080 tap 62 148
# straight lines: its launcher at once, two movies cut short, its first
# task quit, then the lines page again
1088 tap 62 83
1096 tap 160 120
1105 tap 160 120
1145 click backspace
1175 tap 115 160
1250 click backspace
# colours: its announcement, the lessons page's invitation, then its launcher;
# its movie cut short and its game quit once the guide is quiet
1260 tap 172 148
1358 tap 160 120
1530 click backspace
1560 tap 115 160
1588 tap 117 83
1598 click backspace
1608 tap 172 83
1618 click backspace
1628 tap 222 22
1638 tap 90 68
1808 tap 160 178
2058 click escape
2108 tap 298 22
2158 tap 90 68
2258 tap 298 22
2308 tap 230 188
)";

TEST_F(FrontEndWalkTest, FromTheLogoThroughEveryPageToTheMapAndOut)
{
    script(MenuWalk);
    // After a lesson the menu shows the page it was started from again.
    const std::pair<int, const char*> shots[] = {
        {250, "title"},  {299, "main_menu"}, {308, "tour_play"},        {1035, "lessons_1"}, {1045, "lessons_2"},
        {1065, "writing"}, {1085, "lines"},  {1245, "lines"},           {1578, "lessons_1"}, {1593, "shapes"},
        {1613, "drawing_objects"}};
    std::string options = "--fixed-step 20 --frames 2438 --script '" + file("script.txt") + "'";
    for (const auto& shot : shots)
        options += " --screenshot " + std::to_string(shot.first) + ":'" + file(std::to_string(shot.first)) + ".png'";
    HostRun r = runHost(options);
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ("PopApp", r.first("Exit").detail) << "Exit ends the game";
    EXPECT_EQ(std::string::npos, r.output.find("Could not find file")) << r.output;
    EXPECT_EQ(std::string::npos, r.output.find("Could not load character")) << r.output;

    std::vector<std::string> entered, movies;
    for (const TraceLine& line : r.all("enter"))
        entered.push_back(line.detail);
    for (const TraceLine& line : r.all("PushApp"))
        movies.push_back(line.detail.substr(line.detail.find_last_of('/') + 1));
    EXPECT_EQ((std::vector<std::string>{"PlumoLogoState", "TitleState", "MainMenuState", "LinesLauncherState",
                                        "FlashState", "LinesLauncherState", "FlashState", "LinesLauncherState",
                                        "TaskStudioState", "MainMenuState", "ColorsLauncherState", "FlashState",
                                        "ColorsLauncherState", "MixingColorsState", "MainMenuState", "FlashState",
                                        "TindlewoodMapState", "DrawingStudioState", "TindlewoodMapState",
                                        "MainMenuState", "WelcomeBackState",
                                        "TindlewoodMapState", "MainMenuState"}),
              entered);
    EXPECT_EQ((std::vector<std::string>{"Lines_Intro.swf", "Horizontal_Lines_p1.swf", "Color.swf", "ActionNews_Intro.swf"}),
              movies);

    std::ifstream log(file("data/usage.log"));
    std::vector<std::string> records;
    for (std::string line; std::getline(log, line);)
        records.push_back(line.substr(line.find('\t') + 1));
    ASSERT_EQ(14u, records.size());
    EXPECT_EQ(0u, records[0].find("TitleStart\t"));
    EXPECT_EQ((std::vector<std::string>{"GameStart\tLESSONS", "GameAreaStart\tDSL", "ActivityStart\tDSL\tNA\t1",
                                        "ActivityExit\t0\t3", "GameAreaExit",
                                        "GameAreaStart\tPSC", "ActivityStart\tPSC\tNA\t1", "ActivityExit\t0\t3",
                                        "GameAreaExit", "GameExit", "GameAreaStart\tSTUDIO",
                                        "GameAreaExit", "TitleExit\t1"}),
              std::vector<std::string>(records.begin() + 1, records.end()));

    for (const auto& shot : shots)
        expectShotGolden(std::to_string(shot.first) + ".png", std::string("frontend/") + shot.second + ".png");
}
}

#endif
