// The real host, headless on a fixed step, on a profile with three badges and
// two downloads: the badges page (every page, earned and unearned badges,
// the empty item), the downloaded extras, the options page
// (the volume slider, the new-game question answered no, yes and closed) and
// the credits scrolled and left. Screens are compared with reviewed pictures.
#include "HostRun.h"

#include <gtest/gtest.h>

#ifdef TOVRANE_GAME_MODULE_FILE

namespace
{
// Faces of the menu picker by column and row; its right arrow; a page's close button.
const char* const ExtrasWalk = R"(# the menu begins at frame 280
300 tap 90 128
330 tap 60 88
400 tap 60 155
# one badge on each further page: 10 and 20 unearned, 13 earned
460 tap 218 115
470 tap 172 88
530 tap 218 115
540 tap 62 155
600 tap 218 115
610 tap 117 88
670 tap 218 115
680 tap 115 155
740 tap 170 155
760 tap 222 22
# the extras: stamp 20, then frame 4 and frame 5 on the second page
780 tap 230 128
840 tap 170 88
900 tap 218 115
920 tap 170 88
980 tap 170 155
1040 tap 222 22
# options: the knob from x 40 to 113, then the question three times
1060 tap 90 188
1120 down 40 170
1121 move 113 170
1122 up 113 170
1140 tap 68 80
1400 tap 205 160
1460 tap 68 80
1720 tap 115 160
1780 tap 68 80
2040 tap 245 65
# the credits, scrolled down, and back to the options page
2060 tap 172 80
2120 press down
2160 release down
2200 click backspace
2260 tap 222 22
2280 tap 230 188
)";

class ExtrasWalkTest : public HostFolderTest
{
protected:
    ExtrasWalkTest() : HostFolderTest("extras-walk") {}
};

TEST_F(ExtrasWalkTest, BadgesExtrasOptionsAndCredits)
{
    const std::string player = file("data/players/0/");
    std::filesystem::create_directories(player + "Scrivlet");
    std::string achievements(36, '\0');
    achievements[0] = achievements[3] = achievements[13] = achievements[25] = 1;
    std::ofstream(player + "Scrivlet/achievements.bin", std::ios::binary) << achievements;
    for (const auto& package : {std::make_pair("frame/", R"({"type": "Frame", "frame": 4})"),
                                std::make_pair("stamp/", R"({"type": "Stamp", "stamp": 20})")})
    {
        std::filesystem::create_directories(player + "Downloads/" + package.first);
        std::ofstream(player + "Downloads/" + package.first + "download.json") << package.second;
    }
    script(ExtrasWalk);
    const std::pair<int, const char*> shots[] = {{395, "badges_first"}, {595, "badges_middle"}, {735, "badges_last"},
                                                 {890, "extras_1"},     {970, "extras_2"},       {1130, "options"},
                                                 {1300, "new_game"},    {2155, "credits"},       {2240, "options_back"}};
    std::string options = "--fixed-step 20 --frames 2400 --script '" + file("script.txt") + "'";
    for (const auto& shot : shots)
        options += " --screenshot " + std::to_string(shot.first) + ":'" + file(shot.second) + ".png'";
    HostRun r = runHost(options);
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ("PopApp", r.first("Exit").detail);
    for (const char* failure : {"Could not find file", "Could not load character"})
        EXPECT_EQ(std::string::npos, r.output.find(failure)) << r.output;

    // What was said, without the music, sounds, title, invitations and announcements.
    std::vector<std::string> said;
    for (const TraceLine& line : r.all("audio-start"))
    {
        const std::string name = line.detail.substr(line.detail.find_last_of('/') + 1);
        bool kept = true;
        for (const char* other : {"_6.ogg", "ScrvltAndFrnds", "TapYrChc", "Annncd"})
            kept = kept && name.find(other) == std::string::npos;
        if (kept)
            said.push_back(name);
    }
    const std::vector<std::string> question = {"h_VIDORIV_AreYSrYWntTStrtNwGmA_3.ogg", "h_VIDORIV_SelectNTKpYrGm_3.ogg",
                                               "h_VIDORIV_SelectYsTErsYrCrrntG_3.ogg"};
    std::vector<std::string> expected = {"h_SCRIVLET_YouHvDrwnAllOfUpprC_5.ogg", "h_SCRIVLET_DrawAllOfLwrCsLttrs_3.ogg",
                                         "h_SCRIVLET_FixLghngOrchrdTErnT_3.ogg", "h_SCRIVLET_YouHvFxdSclptrGrdn_5.ogg",
                                         "h_SCRIVLET_FixSpnnngWhlDnrTErn_3.ogg", "h_SCRIVLET_YouHvAdddDrwngTArtG_5.ogg", "h_VIDORIV_CustomStamp_3.ogg",
                                         "h_VIDORIV_CustomPictureFrame_3.ogg", "h_VIDORIV_MicromodNtDwnlddCnnc_3.ogg"};
    for (const char* answer : {"h_VIDORIV_No_3.ogg", "h_VIDORIV_Yes_3.ogg", ""})
    {
        expected.insert(expected.end(), question.begin(), question.end());
        if (*answer)
            expected.push_back(answer);
    }
    expected.push_back("h_VIDORIV_PressBBttnTRtrnTOptn_3.ogg");
    EXPECT_EQ(expected, said);

    // Yes reset the story and closing the page saved it: the new-game flag and volume 25.
    std::ifstream data(player + "Scrivlet/data.bin", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(data)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(1, bytes[1]);
    EXPECT_EQ(25, bytes[5]);
    for (const auto& shot : shots)
        expectShotGolden(std::string(shot.second) + ".png", std::string("frontend/") + shot.second + ".png");
}
}

#endif
