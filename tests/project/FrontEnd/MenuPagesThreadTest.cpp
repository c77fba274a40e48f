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
const Rgba Grey(128, 128, 128, 255), Gold(240, 192, 0, 255);

class MenuPagesThreadTest : public Menu
{
protected:
    // Near the top-left corner of each face drawn: a select face, a diamond,
    // leaves it to what lies behind.
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
        GameTitle::touch(menu->volumeSlider->getPosition().x.toInt(), 170, 1);
        GameTitle::touch(x, 170, 1);
        GameTitle::touch(x, 170, 0);
        frame();
    }
    std::vector<std::string> files()
    {
        std::vector<std::string> all;
        for (const std::string& path : {player->getPlayerDataPath(), player->getLessonDataPath(),
                                        player->getAnimationDataPath(), player->getAchievementDataPath()})
        {
            std::ifstream in(path, std::ios::binary);
            all.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return all;
    }
};

TEST_F(MenuPagesThreadTest, ABadgeSaysWhetherItIsEarnedAndOnlyTheChosenOneLooksSelected)
{
    tap(Badges);
    std::set<std::string> said;
    for (int id = 0; id < ScrivletPlayer::badgeCount * 2; ++id)
    {
        player->badges[id / 2] = static_cast<unsigned char>(id % 2);
        menu->badgeSlotCallback(SlotDialogEventArgs(0, id / 2));
        EXPECT_EQ(MainMenuState::badgeSpeech(id / 2, id % 2), speech());
        EXPECT_EQ(id % 2 ? "_5.ogg" : "_3.ogg", speech().substr(speech().size() - 6)) << id / 2;
        said.insert(speech());
    }
    EXPECT_EQ(54u, said.size()) << "every badge has two speeches of its own";
    EXPECT_EQ(std::string("h_SCRIVLET_YouHaveFixedTheMill_5.ogg"), MainMenuState::badgeSpeech(16, true));
    EXPECT_EQ(std::string("h_SCRIVLET_FixBfysGymTErnThsBd_3.ogg"), MainMenuState::badgeSpeech(17, false));

    // The last page: badges 22 to 26 and the empty item; the third chosen.
    for (int i = 0; i < 4; ++i)
        menu->badgeSlotDialog->pageRight();
    menu->badgeSlotDialog->onSelect(2);
    const std::vector<Rgba> corners = faceCorners(*menu->badgeSlotDialog);
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(slot != 2, near(Grey, corners[slot]) || near(Gold, corners[slot])) << slot;
    quiet();
    menu->badgeSlotDialog->onSelect(5);
    EXPECT_FALSE(speaking()) << "the empty item says nothing";
    EXPECT_EQ(corners, faceCorners(*menu->badgeSlotDialog)) << "and changes no face";
}

TEST_F(MenuPagesThreadTest, DownloadedExtrasShowUnlockedAndSayWhatTheyAre)
{
    const std::string root = XQM::CMicroDownloads::GetDownloadsPath(0).raw();
    for (bool downloaded : {false, true})
    {
        if (downloaded)
        {
            for (const auto& package : {std::make_pair("frame/", R"({"type": "Frame", "frame": 4})"),
                                        std::make_pair("stamp/", R"({"type": "Stamp", "stamp": 20})")})
            {
                std::filesystem::create_directories(root + package.first);
                std::ofstream(root + package.first + "download.json") << package.second;
            }
            player->load();
            startMenu();
        }
        tap(Extras);
        auto dialog = boost::dynamic_pointer_cast<SlotDialog>(menu->micromodsPage->getChild(3));
        ASSERT_TRUE(dialog && dialog->getItemCount() == 12);
        for (int item = 0; item < 12; ++item)
        {
            const int id = dialog->ids[item];
            const bool unlocked = downloaded && (id == 4 || id == 20);
            EXPECT_EQ(!unlocked, near(Grey, dialog->thumbnails[item]->getPixel(4, 4))) << id;
            menu->micromodSlotCallback(SlotDialogEventArgs(0, id));
            EXPECT_EQ(!unlocked ? "h_VIDORIV_MicromodNtDwnlddCnnc_3.ogg"
                                : id == 4 ? "h_VIDORIV_CustomPictureFrame_3.ogg" : "h_VIDORIV_CustomStamp_3.ogg",
                      speech())
                << id;
        }
    }
}

TEST_F(MenuPagesThreadTest, TheVolumeSliderStoresThirtyToSixtyAndShowsTheStoredVolume)
{
    // The knob shows a stored volume, and a touch on it keeps it; 25 waits at the left end.
    const struct
    {
        int volume;
        float knob;
        int touch;
    } stored[] = {{30, 40, 40}, {45, 112.5f, 113}, {60, 185, 185}, {25, 40, 0}};
    for (const auto& row : stored)
    {
        player->musicVolume = static_cast<unsigned char>(row.volume);
        startMenu();
        EXPECT_EQ(row.volume, AudioPlayer::musicVolume);
        EXPECT_EQ(tFixed(row.knob), menu->volumeSlider->getPosition().x) << row.volume;
        tap(Options);
        if (row.touch)
            slide(row.touch);
        EXPECT_EQ(row.volume, player->musicVolume);
    }
    const int touches[][2] = {{10, 30}, {40, 30}, {112, 44}, {113, 45}, {185, 60}, {300, 60}, {113, 45}};
    for (const auto& touch : touches)
    {
        slide(touch[0]);
        EXPECT_TRUE(touch[1] == player->musicVolume && touch[1] == AudioPlayer::musicVolume) << touch[0];
    }
    press(0x20);
    EXPECT_EQ(45, GameTitle::savedByte(player->getPlayerDataPath(), 5)) << "closing the page saves";
}

TEST_F(MenuPagesThreadTest, ANewGameIsAskedAndOnlyYesResetsTheStory)
{
    player->reset();
    player->save();
    const std::string defaults = files()[0];
    const std::pair<Point, const char*> answers[] = {
        {Yes, "h_VIDORIV_Yes_3.ogg"}, {No, "h_VIDORIV_No_3.ogg"}, {CloseQuestion, "(none)"}};
    for (const auto& answer : answers)
    {
        player->mapTutorialPending = 0;
        player->musicVolume = 50;
        player->badges[BadgeName::Library] = 1;
        player->setLocationState(LocationName::Firehouse, TaskState::Complete);
        player->save();
        std::vector<std::string> before = files();

        tap(Options);
        tap(NewGame);
        events();
        tap(answer.first);
        tap(Credits);
        EXPECT_TRUE(MainMenuState::isShown(menu->newGameDialog)) << "touches reach nothing while it asks";
        ASSERT_TRUE(frameUntil([&] { return !menu->dialogPending; }));
        EXPECT_EQ(3u, events({"audio-start h_VIDORIV_", "enter"}).size()) << "question and answers, then its buttons";
        tap(answer.first);
        EXPECT_FALSE(MainMenuState::isShown(menu->newGameDialog));
        EXPECT_EQ(answer.second, speaking() ? speech() : "(none)");
        if (answer.first.x == Yes.x)
            before[0] = defaults;
        EXPECT_EQ(before, files());
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
