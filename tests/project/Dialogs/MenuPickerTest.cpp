// The main menu's five pickers on the generated title and the real profile.
#include "DialogsTestSupport.h"

#include "Resources/Dialogs/AdvLessonSlotDialog.h"
#include "Resources/Dialogs/BadgeSlotDialog.h"
#include "Resources/Dialogs/LessonSlotDialog.h"
#include "Resources/Dialogs/MicromodsSlotDialog.h"
#include "Resources/Dialogs/WritingLessonSlotDialog.h"
#include "Tovrane/SpriteManager.h"

#include <fstream>

using namespace DialogsTest;

namespace
{
using MenuPickerTest = Fixture;
typedef std::vector<std::pair<int, std::string>> Items;

SpriteManager& icons() { return *MainMenuUIElement::getSpriteManager(); }

int arrowsAndSlots(const SlotDialog& dialog)
{
    return boost::dynamic_pointer_cast<Node>(dialog.getChild(0))->getChildQuantity();
}
}

TEST_F(MenuPickerTest, LessonsAndLessonGroups)
{
    const std::string output = DialogsTest::output([] {
        LessonSlotDialogPtr lessons(new LessonSlotDialog);
        Selections heard;
        heard.listenTo(*lessons);
        EXPECT_EQ(8, arrowsAndSlots(*lessons));
        EXPECT_EQ((std::vector<int>{0, 1, 5, 10, 11, 14}), pageIds(*lessons, heard));
        lessons->pageRight();
        EXPECT_EQ((std::vector<int>{11, 14, 15, 16, 17, 18}), pageIds(*lessons, heard));
        expectList(*lessons, icons(), Items{{0, "lesson_menu/writing.png"}, {1, "lesson_menu/lines.png"},
                                            {5, "lesson_menu/shapes.png"}, {10, "lesson_menu/seeing_shapes.png"},
                                            {11, "lesson_menu/organic_shape.png"}, {14, "lesson_menu/color_lesson.png"},
                                            {15, "lesson_menu/warm_cool.png"}, {16, "lesson_menu/wild_calm.png"},
                                            {17, "lesson_menu/perspective.png"}, {18, "lesson_menu/animation.png"}});

        const Items groups[5] = {{},
                                 {{2, "lesson_menu/horizontal_line.png"}, {3, "lesson_menu/curved_line.png"},
                                  {4, "lesson_menu/diagonal_line.png"}},
                                 {{6, "lesson_menu/triangle.png"}, {7, "lesson_menu/rectangle.png"},
                                  {8, "lesson_menu/circle.png"}, {9, "lesson_menu/hexagon.png"}},
                                 {{12, "lesson_menu/organic_shapes.png"}, {13, "lesson_menu/drawing_objects.png"}},
                                 {}};
        for (int group = 0; group <= 4; ++group)
        {
            AdvLessonSlotDialogPtr picker(new AdvLessonSlotDialog(group));
            EXPECT_EQ(6, arrowsAndSlots(*picker)) << "no arrows";
            expectList(*picker, icons(), groups[group]);
            expectFacesShowPage(*picker);
        }
    });
    EXPECT_EQ("", output);
}

TEST_F(MenuPickerTest, WritingLessonsPairEachCapitalWithItsSmallLetterThenTheDigits)
{
    WritingLessonSlotDialogPtr writing(new WritingLessonSlotDialog);
    Selections heard;
    heard.listenTo(*writing);
    EXPECT_EQ((std::vector<int>{10, 36, 11, 37, 12, 38}), pageIds(*writing, heard));
    ASSERT_EQ(62, writing->getItemCount());
    const std::pair<int, std::pair<int, std::string>> samples[] = {
        {0, {10, "lesson_menu/A.png"}},  {1, {36, "lesson_menu/aa.png"}}, {50, {35, "lesson_menu/Z.png"}},
        {51, {61, "lesson_menu/zz.png"}}, {52, {0, "lesson_menu/00.png"}}, {61, {9, "lesson_menu/09.png"}}};
    for (const auto& sample : samples)
    {
        EXPECT_EQ(sample.second.first, writing->ids[sample.first]);
        EXPECT_EQ(icons().getTexture(sample.second.second), writing->thumbnails[sample.first]);
    }
}

TEST_F(MenuPickerTest, BadgesShowWhatWasEarnedAndTheSelectedOne)
{
    BadgeSlotDialogPtr badges(new BadgeSlotDialog);
    Items items(27, std::make_pair(0, std::string("menu/badge_locked.png")));
    for (int i = 0; i < 27; ++i)
        items[i].first = i;
    items.push_back(std::make_pair(-1, std::string()));
    expectList(*badges, icons(), items);
    Selections heard;
    heard.listenTo(*badges);
    for (int page = 0; page < 4; ++page)
        badges->pageRight();
    EXPECT_EQ((std::vector<int>{22, 23, 24, 25, 26, -1}), pageIds(*badges, heard));
    EXPECT_EQ(0, badges->thumbnails[27]->getPixel(3, 3).a);

    profile()->unlockBadge(BadgeName::Firehouse);  // 3
    profile()->unlockBadge(BadgeName::UppercaseLetters);  // 0
    badges->highlightSlot(3);
    items[0].second = "menu/badge.png";
    items[3].second = "menu/badge_select.png";
    expectList(*badges, icons(), items);
    expectFacesShowPage(*badges);
    badges->highlightSlot(5);
    items[3].second = "menu/badge.png";
    items[5].second = "menu/badge_locked_select.png";
    expectList(*badges, icons(), items);
}

TEST_F(MenuPickerTest, ExtrasOpenWithTheirDownloads)
{
    for (bool downloads : {false, true})
    {
        SCOPED_TRACE(downloads);
        if (downloads)
        {
            const std::string folder = XQM::CMicroDownloads::GetDownloadsPath(0).raw();
            fs::create_directories(folder + "stamp/");
            fs::create_directories(folder + "frame/");
            std::ofstream(folder + "stamp/download.json") << R"({"type": "Stamp", "stamp": 17})";
            std::ofstream(folder + "frame/download.json") << R"({"type": "Frame", "frame": 4})";
            profile()->loadMicroDownloads();
        }
        MicromodsSlotDialogPtr extras(new MicromodsSlotDialog);
        Items items;
        for (int stamp = 16; stamp < 24; ++stamp)
            items.push_back({stamp, (downloads && stamp == 17 ? "menu/stamp_" : "menu/stamp_locked_") +
                                        std::to_string(stamp) + ".png"});
        for (int frame = 2; frame < 6; ++frame)
            items.push_back({frame, (downloads && frame == 4 ? "menu/frame_0" : "menu/frame_locked_0") +
                                        std::to_string(frame) + ".png"});
        expectList(*extras, icons(), items);
        extras->pageRight();
        expectFacesShowPage(*extras);
        EXPECT_EQ(6, extras->first) << "the second page: stamps 22 and 23, frames 2 to 5";
    }
}
