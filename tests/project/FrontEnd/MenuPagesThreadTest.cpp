// The badges, downloaded extras and options pages: what a choice says and
// shows, the music volume, the new-game question and the credits.
#include "MenuTestSupport.h"

#include "Resources/FrontEnd/CreditsState.h"
#include "Tovrane/BoundingRectangle.h"

#include "CMicroDownloads.h"

#include <set>

using namespace MenuTest;
using StateTestSupport::near;
typedef ColorRGBA<unsigned char> Rgba;

namespace
{
// The options page's buttons and the question's, in screen points.
const Point NewGame{68, 80}, Credits{172, 80}, Yes{115, 160}, No{205, 160}, CloseQuestion{245, 65};
const int KnobRow = 240 - 70;

class MenuPagesThreadTest : public Menu
{
protected:
    // The colour near the top-left corner of each face of the page drawn
    // last: a diamond (a select face) leaves it to what lies behind.
    std::vector<Rgba> faceCorners(const SlotDialog& dialog)
    {
        frame();
        std::vector<Rgba> corners;
        for (const GeometryPtr& face : dialog.slotFaces)
        {
            const auto* bound = static_cast<const BoundingRectangle*>(face->worldBound.get());
            const tFixed inset = (bound->right - bound->left) * tFixed(0.2f);
            corners.push_back(StateTestSupport::pixelAt((bound->left + inset).toInt(), (bound->top - inset).toInt()));
        }
        return corners;
    }
    // Presses the knob where it stands, drags it to x and lets go.
    void slide(int x)
    {
        const int knob = menu->volumeSlider->getPosition().x.toInt();
        GameTitle::touch(knob, KnobRow, 1);
        GameTitle::touch(x, KnobRow, 1);
        GameTitle::touch(x, KnobRow, 0);
        frame();
    }
    static std::string bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

TEST_F(MenuPagesThreadTest, ABadgeSaysWhetherItIsEarnedAndOnlyTheChosenOneLooksSelected)
{
    tap(Badges);
    std::set<std::string> said;
    for (int id = 0; id < ScrivletPlayer::badgeCount; ++id)
        for (int earned : {1, 0})
        {
            player->badges[id] = static_cast<unsigned char>(earned);
            menu->badgeSlotCallback(SlotDialogEventArgs(0, id));
            const std::string name = speech();
            EXPECT_EQ(earned ? "_5.ogg" : "_3.ogg", name.substr(name.size() - 6)) << id;
            said.insert(name);
        }
    EXPECT_EQ(54u, said.size()) << "every badge has two speeches of its own";
    const struct
    {
        int id;
        bool earned;
        const char* speech;
    } rows[] = {{0, true, "h_SCRIVLET_YouHvDrwnAllOfUpprC_5.ogg"}, {11, false, "h_SCRIVLET_FixMndlsFrrsWhlTErn_3.ogg"},
                {16, true, "h_SCRIVLET_YouHaveFixedTheMill_5.ogg"}, {17, false, "h_SCRIVLET_FixBfysGymTErnThsBd_3.ogg"},
                {26, false, "h_SCRIVLET_FillArtGllryTErnThs_3.ogg"}};
    for (const auto& row : rows)
        EXPECT_EQ(row.speech, std::string(MainMenuState::badgeSpeech(row.id, row.earned))) << row.id;

    // The last page: badges 22 to 26 (24 earned) and the empty item; the third chosen.
    player->badges[24] = 1;
    for (int i = 0; i < 4; ++i)
        menu->badgeSlotDialog->pageRight();
    menu->badgeSlotDialog->onSelect(2);
    const std::vector<Rgba> corners = faceCorners(*menu->badgeSlotDialog);
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(slot != 2, near(Rgba(128, 128, 128, 255), corners[slot]) || near(Rgba(240, 192, 0, 255), corners[slot]))
            << slot;
    quiet();
    menu->badgeSlotDialog->onSelect(5);
    EXPECT_FALSE(speaking()) << "the empty item says nothing";
    EXPECT_EQ(corners, faceCorners(*menu->badgeSlotDialog)) << "and changes no face";
}

TEST_F(MenuPagesThreadTest, DownloadedExtrasShowUnlockedAndSayWhatTheyAre)
{
    for (bool downloaded : {false, true})
    {
        if (downloaded)
        {
            const std::string root = XQM::CMicroDownloads::GetDownloadsPath(0).raw();
            for (const auto& package : {std::make_pair("frame4/", R"({"type": "Frame", "frame": 4})"),
                                        std::make_pair("stamp20/", R"({"type": "Stamp", "stamp": 20})")})
            {
                std::filesystem::create_directories(root + package.first);
                std::ofstream(root + package.first + "download.json") << package.second;
            }
            player->load();
            startMenu();
        }
        tap(Extras);
        SlotDialogPtr dialog;
        for (int i = 0; i < menu->micromodsPage->getChildQuantity() && !dialog; ++i)
            dialog = boost::dynamic_pointer_cast<SlotDialog>(menu->micromodsPage->getChild(i));
        ASSERT_TRUE(dialog && dialog->getItemCount() == 12);
        for (int item = 0; item < 12; ++item)
        {
            const int id = dialog->ids[item];
            const bool unlocked = downloaded && (id == 4 || id == 20);
            EXPECT_EQ(!unlocked, near(Rgba(128, 128, 128, 255), dialog->thumbnails[item]->getPixel(4, 4))) << id;
            menu->micromodSlotCallback(SlotDialogEventArgs(0, id));
            EXPECT_EQ(!unlocked  ? "h_VIDORIV_MicromodNtDwnlddCnnc_3.ogg"
                      : id == 4 ? "h_VIDORIV_CustomPictureFrame_3.ogg"
                                : "h_VIDORIV_CustomStamp_3.ogg",
                      speech())
                << id;
        }
    }
}

TEST_F(MenuPagesThreadTest, TheVolumeSliderStoresThirtyToSixtyAndShowsTheStoredVolume)
{
    const struct
    {
        int volume;
        float knob;
    } stored[] = {{30, 40}, {45, 112.5f}, {60, 185}, {25, 40}};
    for (const auto& row : stored)
    {
        player->musicVolume = static_cast<unsigned char>(row.volume);
        startMenu();
        EXPECT_EQ(row.volume, AudioPlayer::musicVolume);
        EXPECT_EQ(tFixed(row.knob), menu->volumeSlider->getPosition().x) << row.volume;
        tap(Options);
        if (row.volume == 25)
            continue; // plays at 25 until touched
        const int knob = menu->volumeSlider->getPosition().x.toInt() + (row.volume == 45);
        slide(knob);
        EXPECT_EQ(row.volume, player->musicVolume) << "a touch on the knob keeps " << row.volume;
    }
    const struct
    {
        int x, volume;
    } touches[] = {{10, 30}, {40, 30}, {112, 44}, {113, 45}, {185, 60}, {300, 60}, {113, 45}};
    for (const auto& touch : touches)
    {
        slide(touch.x);
        EXPECT_EQ(touch.volume, player->musicVolume) << touch.x;
        EXPECT_EQ(touch.volume, AudioPlayer::musicVolume) << touch.x;
    }
    press(0x20);
    EXPECT_EQ(45, GameTitle::savedByte(player->getPlayerDataPath(), 5)) << "closing the page saves";
}

TEST_F(MenuPagesThreadTest, ANewGameIsAskedAndOnlyYesResetsTheStory)
{
    player->reset();
    player->save();
    const std::string defaults = bytes(player->getPlayerDataPath());
    const std::string files[] = {player->getPlayerDataPath(), player->getLessonDataPath(),
                                 player->getAnimationDataPath(), player->getAchievementDataPath()};
    const struct
    {
        Point button;
        const char* said; // null: silence
    } answers[] = {{Yes, "h_VIDORIV_Yes_3.ogg"}, {No, "h_VIDORIV_No_3.ogg"}, {CloseQuestion, nullptr}};
    for (const auto& answer : answers)
    {
        player->mapTutorialPending = 0;
        player->musicVolume = 50;
        player->badges[BadgeName::Library] = 1;
        player->setLocationState(LocationName::Firehouse, TaskState::Complete);
        player->save();
        std::vector<std::string> before;
        for (const std::string& file : files)
            before.push_back(bytes(file));

        tap(Options);
        tap(NewGame);
        events();
        tap(answer.button);
        tap(Credits);
        EXPECT_TRUE(MainMenuState::isShown(menu->newGameDialog)) << "touches reach nothing while it asks";
        ASSERT_TRUE(frameUntil([&] { return !menu->dialogPending; }));
        EXPECT_FALSE(speaking());
        EXPECT_EQ(Lines({"audio-start h_VIDORIV_AreYSrYWntTStrtNwGmA_3.ogg", "audio-start h_VIDORIV_SelectNTKpYrGm_3.ogg",
                         "audio-start h_VIDORIV_SelectYsTErsYrCrrntG_3.ogg"}),
                  events({"audio-start", "enter"}));
        tap(answer.button);
        EXPECT_FALSE(MainMenuState::isShown(menu->newGameDialog));
        EXPECT_EQ(answer.said ? answer.said : "(none)", speaking() ? speech() : "(none)");
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(i == 0 && answer.button.x == Yes.x ? defaults : before[i], bytes(files[i])) << i;
        EXPECT_EQ(menu->optionsPage, shownPage());
        press(0x20);
    }

    // The credits, and back on the options page.
    tap(Options);
    tap(Credits);
    ASSERT_TRUE(frameUntil([&] { return current<CreditsState>() != nullptr; }));
    press(0x20);
    backInMenu();
    menu = current<MainMenuState>();
    EXPECT_EQ(menu->optionsPage, shownPage());
}
}
