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

#include <sstream>

using namespace DialogsTest;

namespace
{
using PickerListTest = Fixture;
SpriteManager& menu() { return *MainMenuUIElement::getSpriteManager(); }
SpriteManager& studio() { return *StudioUIElement::getSpriteManager(); }

// The ids with the icons folder + name + ".png", the names given in order.
Items icons(std::vector<int> ids, const std::string& folder, const std::string& names)
{
    std::istringstream in(names);
    Items items;
    std::string name;
    for (size_t i = 0; i < ids.size() && in >> name; ++i)
        items.push_back({ids[i], folder + name + ".png"});
    return items;
}

TexturePtr picture(const ColorRGBA<unsigned char>& colour)
{
    TexturePtr texture(new Texture(320, 240, PixelFormat::RGBA8888));
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            texture->setPixel(colour, x, y);
    return texture;
}
}

TEST_F(PickerListTest, LessonPickers)
{
    LessonSlotDialogPtr lessons(new LessonSlotDialog);
    expectList(*lessons, menu(), icons({0, 1, 5, 10, 11, 14, 15, 16, 17, 18}, "lesson_menu/",
                                       "writing lines shapes seeing_shapes organic_shape color_lesson warm_cool "
                                       "wild_calm perspective animation"));
    Selections heard;
    heard.listenTo(*lessons);
    lessons->pageRight();
    EXPECT_EQ((std::vector<int>{11, 14, 15, 16, 17, 18}), pageIds(*lessons, heard));

    const Items groups[] = {{},
                            icons({2, 3, 4}, "lesson_menu/", "horizontal_line curved_line diagonal_line"),
                            icons({6, 7, 8, 9}, "lesson_menu/", "triangle rectangle circle hexagon"),
                            icons({12, 13}, "lesson_menu/", "organic_shapes drawing_objects"),
                            {}};
    for (int group = 0; group < 5; ++group)
    {
        AdvLessonSlotDialogPtr picker(new AdvLessonSlotDialog(group));
        expectList(*picker, menu(), groups[group]);
        expectFacesShowPage(*picker);
    }

    WritingLessonSlotDialogPtr writing(new WritingLessonSlotDialog);
    heard.listenTo(*writing);
    EXPECT_EQ((std::vector<int>{10, 36, 11, 37, 12, 38}), pageIds(*writing, heard));
    const Items samples = icons({10, 36, 35, 61, 0, 9}, "lesson_menu/", "A aa Z zz 00 09");
    const int entries[] = {0, 1, 50, 51, 52, 61};
    ASSERT_EQ(62, writing->getItemCount());
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(writing->ids[entries[i]] == samples[i].first &&
                    writing->thumbnails[entries[i]] == menu().getTexture(samples[i].second))
            << samples[i].second;
}

TEST_F(PickerListTest, BadgesAndExtrasFollowTheProfile)
{
    BadgeSlotDialogPtr badges(new BadgeSlotDialog);
    Items items;
    for (int badge = 0; badge < 27; ++badge)
        items.push_back({badge, "menu/badge_locked.png"});
    items.push_back({-1, ""});
    expectList(*badges, menu(), items);
    profile()->unlockBadge(BadgeName::Firehouse);
    profile()->unlockBadge(BadgeName::UppercaseLetters);
    badges->highlightSlot(3);
    items[0].second = "menu/badge.png";
    items[3].second = "menu/badge_select.png";
    expectList(*badges, menu(), items);
    badges->highlightSlot(5);
    items[3].second = "menu/badge.png";
    items[5].second = "menu/badge_locked_select.png";
    expectList(*badges, menu(), items);
    Selections heard;
    heard.listenTo(*badges);
    for (int page = 0; page < 5; ++page)
        badges->pageRight();
    EXPECT_EQ((std::vector<int>{22, 23, 24, 25, 26, -1}), pageIds(*badges, heard));
    expectFacesShowPage(*badges);

    for (bool download : {false, true})
    {
        SCOPED_TRACE(download);
        if (download) // stamp 17 and frame 4
        {
            const std::string folder = XQM::CMicroDownloads::GetDownloadsPath(0).raw();
            fs::create_directories(folder + "stamp/");
            fs::create_directories(folder + "frame/");
            std::ofstream(folder + "stamp/download.json") << R"({"type": "Stamp", "stamp": 17})";
            std::ofstream(folder + "frame/download.json") << R"({"type": "Frame", "frame": 4})";
            profile()->loadMicroDownloads();
        }
        MicromodsSlotDialogPtr extras(new MicromodsSlotDialog);
        expectList(*extras, menu(),
                   icons({16, 17, 18, 19, 20, 21, 22, 23, 2, 3, 4, 5}, "menu/",
                         download ? "stamp_locked_16 stamp_17 stamp_locked_18 stamp_locked_19 stamp_locked_20 "
                                    "stamp_locked_21 stamp_locked_22 stamp_locked_23 frame_locked_02 frame_locked_03 "
                                    "frame_04 frame_locked_05"
                                  : "stamp_locked_16 stamp_locked_17 stamp_locked_18 stamp_locked_19 stamp_locked_20 "
                                    "stamp_locked_21 stamp_locked_22 stamp_locked_23 frame_locked_02 frame_locked_03 "
                                    "frame_locked_04 frame_locked_05"));
    }
}

TEST_F(PickerListTest, SavedSlotsStampsAndEffects)
{
    ImageSlotDialogPtr images(new ImageSlotDialog);
    AnimationSlotDialogPtr animations(new AnimationSlotDialog);
    expectList(*images, studio(), icons({0, 1, 2, 3, 4, 5}, "studio/images/", "open open open open open open"));
    profile()->saveImage(picture(ColorRGBA<unsigned char>(200, 40, 40, 255)), 3);
    profile()->saveAnimationFrame(picture(ColorRGBA<unsigned char>(40, 40, 200, 255)), 1, 0);
    images->resetSlots();
    animations->resetSlots();
    Items withThumbnail = icons({0, 1, 2, 3, 4, 5}, "studio/images/", "open open open open open open");
    withThumbnail[3].second = "";
    expectList(*images, studio(), withThumbnail);
    EXPECT_EQ(ColorRGBA<unsigned char>(200, 40, 40, 255), images->thumbnails[3]->getPixel(10, 10)) << "its thumbnail";
    expectFacesShowPage(*images);
    expectList(*animations, studio(), icons({0, 1, 2}, "studio/images/", "open used open"));
    fs::remove(profile()->toThumbnailPath(3)); // an unreadable thumbnail keeps its place
    output([&] { images->resetSlots(); });
    EXPECT_TRUE(!images->thumbnails[3] && images->ids[3] == 3);

    StampSlotDialogPtr stamps(new StampSlotDialog);
    EffectSlotDialogPtr effects(new EffectSlotDialog);
    EXPECT_EQ("stamp_ui_05.png stamp_ui_12.png", StampSlotDialog::getFileName(5) + " " + StampSlotDialog::getFileName(12));
    Items stampItems;
    for (int stamp = 0; stamp < 24; ++stamp)
        stampItems.push_back({stamp, stamp < 16 ? "studio/stamps/" + StampSlotDialog::getFileName(stamp)
                                                : std::string("studio/stamps/locked.png")});
    expectList(*stamps, studio(), stampItems);
    expectList(*effects, studio(),
               icons({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}, "studio/effects/",
                     "brick_texture wicker_texture parchment_texture brush_texture invert grayscale rgb_rotate "
                     "saturate desaturate blur pixelate grid_swap horizontal_flip vertical_flip non_symmetrical "
                     "x_symmetrical y_symmetrical symmetrical"));
    Selections heard; // four pages of stamps, three of effects
    heard.listenTo(*stamps);
    for (int press = 0; press < 4; ++press)
    {
        stamps->pageRight();
        effects->pageRight();
    }
    EXPECT_EQ(12, effects->first);
    EXPECT_EQ((std::vector<int>{18, 19, 20, 21, 22, 23}), pageIds(*stamps, heard)) << "locked ones too";
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
        const std::string printed = output(
            [&] { book.reset(new ColoringBookSlotDialog(ColoringBookDownloadPtr(new ColoringBookDownload(own->getPath(), c.pages)))); });
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
