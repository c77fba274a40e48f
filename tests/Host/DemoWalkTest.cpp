// The demo script that ./run.sh plays without a display, through the real
// host headless on a fixed step from the logo on a fresh profile: it reaches
// every screen, ends the game through Exit, and its pictures of the main
// screens equal the reviewed ones in tests/data/demo/.
#include "HostRun.h"

#include <gtest/gtest.h>

#ifdef TOVRANE_GAME_MODULE_FILE

#include <set>

namespace
{
class DemoWalkTest : public HostFolderTest
{
protected:
    DemoWalkTest() : HostFolderTest("demo-walk") {}
};

TEST_F(DemoWalkTest, TheDemoWalksEveryMenuPathToExitWithAPictureOfEachMainScreen)
{
    // The script writes into screenshots/ of the folder the host runs in.
    const std::string demo = std::string(TOVRANE_TEST_DATA) + "/../../Host/demo-script.txt";
    HostRun r = runHost("--fixed-step 20 --frames 8000 --script '" + demo + "'", "cd '" + folder + "' &&");
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ("PopApp", r.first("Exit").detail) << "Exit ends the game";
    for (const char* failure : {"Could not find file", "Could not load character", "line skipped", "INVALID"})
        EXPECT_EQ(std::string::npos, r.output.find(failure)) << failure << "\n" << r.output;

    std::set<std::string> entered, movies;
    for (const TraceLine& line : r.all("enter"))
        entered.insert(line.detail);
    for (const TraceLine& line : r.all("PushApp"))
        movies.insert(line.detail.substr(line.detail.find_last_of('/') + 1));
    EXPECT_EQ((std::set<std::string>{"PlumoLogoState", "TitleState", "MainMenuState", "TaskStudioState", "FlashState",
                                     "CompositionLauncherState", "SkyGroundState", "MovingObjectsState",
                                     "PickPineapplesState", "WarmCoolLauncherState", "WarmCoolState",
                                     "ColorsLauncherState", "MixingColorsState", "TindlewoodMapState",
                                     "DrawingStudioState", "CreditsState"}),
              entered);
    EXPECT_EQ((std::set<std::string>{"Composition_p1.swf", "Composition_p2.swf", "Composition_p3.swf",
                                     "Warm_Cool_p1.swf", "Warm_Cool_p2.swf", "Color.swf", "ActionNews_Intro.swf"}),
              movies);
    // The map's first visit cleared the new-game flag and no kept it so.
    std::ifstream data(file("data/players/0/Scrivlet/data.bin"), std::ios::binary);
    ASSERT_TRUE(data.seekg(1).good());
    EXPECT_EQ(0, data.get());

    const char* const screens[] = {"title",          "main_menu",       "lessons_page",      "lessons_page_2",
                                   "writing_page",   "task_studio",     "lesson_movie_card", "sky_ground",
                                   "moving_objects", "pick_pineapples", "warm_cool",         "mixing_colors",
                                   "map",            "studio",          "badges",            "extras",
                                   "options_question", "credits"};
    std::set<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(file("screenshots")))
        written.insert(entry.path().stem().string());
    EXPECT_EQ(std::set<std::string>(std::begin(screens), std::end(screens)), written);
    for (const char* screen : screens)
        expectShotGolden(std::string("screenshots/") + screen + ".png", std::string("demo/") + screen + ".png");
}
}

#endif
