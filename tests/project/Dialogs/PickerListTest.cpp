// The ten pickers' lists on the generated title's icons and the real profile.
#include "DialogsTestSupport.h"

#include "Resources/Dialogs/AdvLessonSlotDialog.h"
#include "Resources/Dialogs/AnimationSlotDialog.h"
#include "Resources/Dialogs/BadgeSlotDialog.h"
#include "Resources/Dialogs/ColoringBookSlotDialog.h"
#include "Resources/Dialogs/EffectSlotDialog.h"
#include "Resources/Dialogs/ImageSlotDialog.h"
#include "Resources/Dialogs/LessonSlotDialog.h"
#include "Resources/Dialogs/MicromodsSlotDialog.h"
#include "Resources/Dialogs/StampSlotDialog.h"
#include "Resources/Dialogs/WritingLessonSlotDialog.h"
#include "Tovrane/SpriteManager.h"

#include <algorithm>
#include <fstream>
#include <functional>

using namespace DialogsTest;

namespace
{
using PickerListTest = Fixture;
SpriteManager& menu() { return *MainMenuUIElement::getSpriteManager(); }
SpriteManager& studio() { return *StudioUIElement::getSpriteManager(); }

// The badges' list: earned ones plain, one of them (or none) selected.
std::string badges(std::vector<int> earned, int selected)
{
    std::string list;
    for (int i = 0; i < 27; ++i)
        list += std::to_string(i) + (std::count(earned.begin(), earned.end(), i) ? ":badge" : ":badge_locked") +
                (i == selected ? "_select " : " ");
    return list + "-1:?";
}
}

TEST_F(PickerListTest, EachPickerListsItsItemsInOrder)
{
    typedef std::function<SlotDialog*()> Make;
    const struct
    {
        Make make;
        bool menuFamily;
        const char* folder;
        std::string list;
    } cases[] = {
        {[] { return new LessonSlotDialog; }, true, "lesson_menu/",
         "0:writing 1:lines 5:shapes 10:seeing_shapes 11:organic_shape 14:color_lesson 15:warm_cool 16:wild_calm "
         "17:perspective 18:animation"},
        {[] { return new AdvLessonSlotDialog(0); }, true, "", ""},
        {[] { return new AdvLessonSlotDialog(1); }, true, "lesson_menu/", "2:horizontal_line 3:curved_line 4:diagonal_line"},
        {[] { return new AdvLessonSlotDialog(2); }, true, "lesson_menu/", "6:triangle 7:rectangle 8:circle 9:hexagon"},
        {[] { return new AdvLessonSlotDialog(3); }, true, "lesson_menu/", "12:organic_shapes 13:drawing_objects"},
        {[] { return new AdvLessonSlotDialog(4); }, true, "", ""},
        {[] { return new BadgeSlotDialog; }, true, "menu/", badges({}, -1)},
        {[] { return new MicromodsSlotDialog; }, true, "menu/",
         "16:stamp_locked_16 17:stamp_locked_17 18:stamp_locked_18 19:stamp_locked_19 20:stamp_locked_20 "
         "21:stamp_locked_21 22:stamp_locked_22 23:stamp_locked_23 2:frame_locked_02 3:frame_locked_03 "
         "4:frame_locked_04 5:frame_locked_05"},
        {[] { return new ImageSlotDialog; }, false, "studio/images/", "0:open 1:open 2:open 3:open 4:open 5:open"},
        {[] { return new AnimationSlotDialog; }, false, "studio/images/", "0:open 1:open 2:open"},
        {[] { return new StampSlotDialog; }, false, "studio/stamps/",
         "0:stamp_ui_00 1:stamp_ui_01 2:stamp_ui_02 3:stamp_ui_03 4:stamp_ui_04 5:stamp_ui_05 6:stamp_ui_06 "
         "7:stamp_ui_07 8:stamp_ui_08 9:stamp_ui_09 10:stamp_ui_10 11:stamp_ui_11 12:stamp_ui_12 13:stamp_ui_13 "
         "14:stamp_ui_14 15:stamp_ui_15 16:locked 17:locked 18:locked 19:locked 20:locked 21:locked 22:locked 23:locked"},
        {[] { return new EffectSlotDialog; }, false, "studio/effects/",
         "0:brick_texture 1:wicker_texture 2:parchment_texture 3:brush_texture 4:invert 5:grayscale 6:rgb_rotate "
         "7:saturate 8:desaturate 9:blur 10:pixelate 11:grid_swap 12:horizontal_flip 13:vertical_flip "
         "14:non_symmetrical 15:x_symmetrical 16:y_symmetrical 17:symmetrical"},
    };
    for (const auto& c : cases)
    {
        SlotDialogPtr dialog;
        EXPECT_EQ("", output([&] { dialog.reset(c.make()); })) << "every face is in the title";
        EXPECT_EQ(c.list, describe(*dialog, c.menuFamily ? menu() : studio(), c.folder, c.list));
        expectFacesShowPage(*dialog);
    }
    EXPECT_EQ("stamp_ui_07.png stamp_ui_23.png", StampSlotDialog::getFileName(7) + " " + StampSlotDialog::getFileName(23));
}

TEST_F(PickerListTest, PagesShowTheirItemsAndReportTheirIds)
{
    typedef std::function<SlotDialog*()> Make;
    const struct
    {
        Make make;
        int pageRights;
        std::vector<int> ids;
    } cases[] = {
        {[] { return new LessonSlotDialog; }, 1, {11, 14, 15, 16, 17, 18}},
        {[] { return new WritingLessonSlotDialog; }, 0, {10, 36, 11, 37, 12, 38}},
        {[] { return new WritingLessonSlotDialog; }, 10, {4, 5, 6, 7, 8, 9}},
        {[] { return new BadgeSlotDialog; }, 5, {22, 23, 24, 25, 26, -1}},
        {[] { return new StampSlotDialog; }, 3, {18, 19, 20, 21, 22, 23}}, // locked ones too
        {[] { return new EffectSlotDialog; }, 3, {12, 13, 14, 15, 16, 17}},
    };
    for (const auto& c : cases)
    {
        SlotDialogPtr dialog(c.make());
        Selections heard;
        heard.listenTo(*dialog);
        for (int i = 0; i < c.pageRights; ++i)
            dialog->pageRight();
        EXPECT_EQ(c.ids, pageIds(*dialog, heard));
    }
}

TEST_F(PickerListTest, ProfileChangesShowWhenAsked)
{
    BadgeSlotDialogPtr badgeDialog(new BadgeSlotDialog);
    profile()->unlockBadge(BadgeName::Firehouse); // 3
    profile()->unlockBadge(BadgeName::UppercaseLetters); // 0
    badgeDialog->highlightSlot(3);
    EXPECT_EQ(badges({0, 3}, 3), describe(*badgeDialog, menu(), "menu/", badges({0, 3}, 3)));
    badgeDialog->highlightSlot(5);
    EXPECT_EQ(badges({0, 3}, 5), describe(*badgeDialog, menu(), "menu/", badges({0, 3}, 5)));

    const std::string folder = XQM::CMicroDownloads::GetDownloadsPath(0).raw();
    for (const char* package : {"Stamp\", \"stamp\": 17", "Frame\", \"frame\": 4"})
    {
        fs::create_directories(folder + package[0]);
        std::ofstream(folder + package[0] + "/download.json") << "{\"type\": \"" << package << "}";
    }
    profile()->loadMicroDownloads();
    const std::string extras = "16:stamp_locked_16 17:stamp_17 18:stamp_locked_18 19:stamp_locked_19 "
                               "20:stamp_locked_20 21:stamp_locked_21 22:stamp_locked_22 23:stamp_locked_23 "
                               "2:frame_locked_02 3:frame_locked_03 4:frame_04 5:frame_locked_05";
    EXPECT_EQ(extras, describe(*SlotDialogPtr(new MicromodsSlotDialog), menu(), "menu/", extras));

    ImageSlotDialogPtr images(new ImageSlotDialog);
    AnimationSlotDialogPtr animations(new AnimationSlotDialog);
    TexturePtr picture(new Texture(320, 240, PixelFormat::RGBA8888, true, 200));
    profile()->saveImage(picture, 3);
    profile()->saveAnimationFrame(picture, 1, 0);
    images->resetSlots();
    animations->resetSlots();
    EXPECT_EQ("0:open 1:open 2:open 3:? 4:open 5:open", describe(*images, studio(), "studio/images/", "0:open"));
    EXPECT_EQ(ColorRGBA<unsigned char>(200, 200, 200, 200), images->thumbnails[3]->getPixel(10, 10)) << "its thumbnail";
    expectFacesShowPage(*images);
    EXPECT_EQ("0:open 1:used 2:open", describe(*animations, studio(), "studio/images/", "0:open 1:used"));
    fs::remove(profile()->toThumbnailPath(3)); // an unreadable thumbnail keeps its place
    output([&] { images->resetSlots(); });
    EXPECT_EQ("0:open 1:open 2:open 3:- 4:open 5:open", describe(*images, studio(), "studio/images/", "0:open"));
}

TEST_F(PickerListTest, ColouringBookPagesByTheirPreviews)
{
    ColoringBookDownloadPtr own = profile()->getColoringBookPage(0); // four pages with previews
    const struct
    {
        int pages;
        bool arrows;
        int listed;
    } cases[] = {{own->getPageCount(), false, 4}, {0, false, 0}, {6, false, 6}, {7, true, 7}, {1000000, true, 100}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pages);
        ColoringBookSlotDialogPtr book;
        const std::string printed = output([&] {
            book.reset(new ColoringBookSlotDialog(ColoringBookDownloadPtr(new ColoringBookDownload(own->getPath(), c.pages))));
        });
        EXPECT_EQ(c.arrows ? 3 : 1, boost::dynamic_pointer_cast<Node>(book->getChild(1))->getChildQuantity());
        ASSERT_EQ(c.listed, book->getItemCount());
        expectFacesShowPage(*book);
        for (int page = 0; page < c.listed; ++page)
            EXPECT_TRUE(book->ids[page] == page && !!book->thumbnails[page] == (page < 4)) << page;
        // Missing previews keep their place, each named once; no more are tried.
        int missing = 0;
        for (size_t at = 0; (at = printed.find("Could not find file", at)) != std::string::npos; ++at)
            ++missing;
        EXPECT_EQ(std::max(0, c.listed - 4), missing);
        EXPECT_EQ(c.pages > 100, printed.find("showing the first 100") != std::string::npos);
    }
}
