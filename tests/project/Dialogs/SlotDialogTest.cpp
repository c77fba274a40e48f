// The slot picker's paging, its two skins and the ten pickers on the
// generated title and the real profile; then the pickers and the question box
// drawn and compared with reviewed pictures in tests/data/dialogs/.
#include "GLES1Renderer/RendererFixture.h"
#include "support/DataRoot.h"

#include "Resources/Dialogs/AdvLessonSlotDialog.h"
#include "Resources/Dialogs/AnimationSlotDialog.h"
#include "Resources/Dialogs/BadgeSlotDialog.h"
#include "Resources/Dialogs/ColoringBookSlotDialog.h"
#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/EffectSlotDialog.h"
#include "Resources/Dialogs/ImageSlotDialog.h"
#include "Resources/Dialogs/LessonSlotDialog.h"
#include "Resources/Dialogs/MenuSlotDialog.h"
#include "Resources/Dialogs/MicromodsSlotDialog.h"
#include "Resources/Dialogs/PopUpSlotDialog.h"
#include "Resources/Dialogs/StampSlotDialog.h"
#include "Resources/Dialogs/WritingLessonSlotDialog.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Button.h"

#include "CMicroDownloads.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

using namespace Tovrane;
using TestSupport::printed;
namespace fs = std::filesystem;

namespace
{
// A new player without files or downloads; false without the generated title.
bool newPlayer()
{
    if (!TestSupport::useGeneratedTitle())
        return false;
    fs::remove_all(XQM::CMicroDownloads::GetDownloadsPath(0).raw());
    fs::create_directories(TestSupport::dataRoot());
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(TestSupport::dataRoot()))
        if (entry.is_regular_file())
            fs::remove(entry.path());
    ScrivletPlayer::getCurrentPlayerData()->load();
    return true;
}

struct Pickers : ::testing::Test
{
    void SetUp() override
    {
        if (!newPlayer())
            GTEST_SKIP() << "no generated title, or the system data was configured before";
    }
    static ScrivletPlayer* profile() { return ScrivletPlayer::getCurrentPlayerData(); }
};

// Listens to a picker; page() clicks each slot and gives the ids reported,
// checking that each face shows its item, or a transparent blank past the end.
struct Selections
{
    explicit Selections(SlotDialog& dialog) : dialog(dialog)
    {
        dialog.selectEvent += new SlotDialog::SelectEvent::MethodDelegate<Selections>(this, &Selections::on);
    }
    void on(const SlotDialogEventArgs& args) { last = {args.slot, args.id}; }
    std::vector<int> page()
    {
        std::vector<int> ids;
        for (size_t k = 0; k < dialog.slotFaces.size(); ++k)
        {
            dialog.onSelect(static_cast<int>(k));
            ids.push_back(last.second);
            const TexturePtr shown = dialog.slotFaces[k]->getTexture();
            const size_t item = static_cast<size_t>(dialog.first) + k;
            EXPECT_TRUE(item < dialog.thumbnails.size() ? shown == dialog.thumbnails[item]
                                                        : shown && shown->getWidth() == 32 && shown->getPixel(5, 5).a == 0)
                << "face " << k;
        }
        return ids;
    }
    SlotDialog& dialog;
    std::pair<int, int> last{-2, -2};
};

// The list as "id:icon ...": item k is named as in item k of `expected` when
// it shows that icon of `folder` (the studio's sprites for "studio/...", else
// the main menu's), "?" when another picture and "-" when none.
std::string describe(const SlotDialog& dialog, const std::string& folder, const std::string& expected)
{
    TextureManager& icons = *(folder.rfind("studio/", 0) == 0 ? StudioUIElement::getSpriteManager()
                                                              : MainMenuUIElement::getSpriteManager());
    std::istringstream in(expected);
    std::string out, item;
    for (size_t i = 0; i < dialog.ids.size(); ++i)
    {
        const std::string icon = in >> item ? item.substr(item.find(':') + 1) : "?";
        const Texture* shown = dialog.thumbnails[i].get();
        const bool named = shown && icon != "?" && icon != "-" && shown == icons.getTexture(folder + icon + ".png").get();
        out += (i ? " " : "") + std::to_string(dialog.ids[i]) + ":" + (named ? icon : shown ? "?" : "-");
    }
    return out;
}

using PickersDeathTest = Pickers;
using DialogsGoldenTest = RendererFixture;

NodePtr child(const NodePtr& node, int i) { return boost::dynamic_pointer_cast<Node>(node->getChild(i)); }

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

TEST_F(Pickers, PagingSelectionAndBlankFaces)
{
    // Items, and the first item after each move: half of them right, then left.
    const std::pair<int, std::vector<int>> cases[] = {
        {62, {6, 12, 18, 24, 30, 36, 42, 48, 54, 56, 56, 50, 44, 38, 32, 26, 20, 14, 8, 2, 0, 0}},
        {10, {4, 4, 0, 0}},
        {6, {0, 0}},
        {4, {0, 0}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.first);
        SlotDialogPtr dialog(new MenuSlotDialog(false)); // six faces, paging by six
        for (int i = 0; i < c.first; ++i)
            dialog->addSlotData(TexturePtr(new Texture(4, 4, PixelFormat::RGBA8888)), 100 + i);
        dialog->populateSlots();
        dialog->onSelect(0); // nobody listens: nothing happens
        Selections heard(*dialog);
        for (size_t m = 0; m < c.second.size(); ++m)
        {
            const bool right = m < c.second.size() / 2;
            (dialog.get()->*(right ? &SlotDialog::onRightArrowButton : &SlotDialog::onLeftArrowButton))(ButtonEventArgs());
            ASSERT_EQ(c.second[m], dialog->first) << "move " << m;
            std::vector<int> expected;
            for (int k = 0; k < 6; ++k)
                expected.push_back(dialog->first + k < c.first ? 100 + dialog->first + k : -1);
            EXPECT_EQ(expected, heard.page());
            dialog->onSlotClick<-1>(ButtonEventArgs());
            EXPECT_EQ(std::make_pair(-1, -1), heard.last) << "the close button";
        }
        // A new picture shows only once the faces are filled again.
        dialog->updateThumbnail(TexturePtr(new Texture(4, 4, PixelFormat::RGBA8888)), dialog->first);
        EXPECT_NE(dialog->thumbnails[dialog->first], dialog->slotFaces[0]->getTexture());
        dialog->populateSlots();
        heard.page();
    }
}

// The skin as "children: buttons, x,y slot, ...": the dialog's children, the
// buttons before the slots, each slot's place and the slot it reports; then
// with a panel what its close button reports and how many buttons it has.
std::string layout(const SlotDialogPtr& dialog)
{
    Selections heard(*dialog);
    const int children = dialog->getChildQuantity(), count = static_cast<int>(dialog->slotFaces.size());
    NodePtr holder = child(dialog, children - 1);
    const int before = holder->getChildQuantity() - count;
    std::string out = std::to_string(children) + ": " + std::to_string(before);
    for (int k = 0; k < count; ++k)
    {
        ButtonPtr button = boost::dynamic_pointer_cast<Button>(holder->getChild(before + k));
        button->onRelease(0, 0);
        out += ", " + std::to_string(button->getPosition().x.toInt()) + "," +
               std::to_string(button->getPosition().y.toInt()) + " " + std::to_string(heard.last.first) +
               (dialog->slotFaces[k]->parent == button.get() ? "" : " (face elsewhere)");
    }
    if (children == 3 && dialog->getChild(0)->getType().isDerived(Geometry::RuntimeType))
    {
        boost::dynamic_pointer_cast<Button>(child(dialog, 1)->getChild(0))->onRelease(0, 0);
        out += ", close " + std::to_string(heard.last.first) + " of " +
               std::to_string(child(dialog, 1)->getChildQuantity());
    }
    return out;
}

// Slots run down the columns from the sheet's placement; only a panel brings
// a close button (with the arrows).
TEST_F(Pickers, SlotsRunDownTheColumnsFromTheSheetPlacement)
{
    const std::string menu = "35,125 0, 35,60 1, 90,125 2, 90,60 3, 145,125 4, 145,60 5";
    EXPECT_EQ("1: 2, " + menu, layout(SlotDialogPtr(new MenuSlotDialog(true))));
    EXPECT_EQ("1: 0, " + menu, layout(SlotDialogPtr(new MenuSlotDialog(false))));
    EXPECT_EQ("3: 0, 65,100 0, 129,100 1, 193,100 2, close -1 of 3",
              layout(SlotDialogPtr(new PopUpSlotDialog(false, 1, true, true))));
    EXPECT_EQ("1: 0, 74,100 0, 138,100 1, 202,100 2", layout(SlotDialogPtr(new PopUpSlotDialog(true, 1, false, true))));
    EXPECT_EQ("3: 0, 65,125 0, 65,76 1, 129,125 2, 129,76 3, 193,125 4, 193,76 5, close -1 of 1",
              layout(SlotDialogPtr(new PopUpSlotDialog(false, 2, true, false))));
    EXPECT_EQ("1: 0, 74,125 0, 74,76 1, 138,125 2, 138,76 3, 202,125 4, 202,76 5",
              layout(SlotDialogPtr(new PopUpSlotDialog(true, 2, false, false))));
}

TEST_F(PickersDeathTest, ThreeRowsOrAnItemOutsideTheListStopTheProgram)
{
    EXPECT_DEATH(PopUpSlotDialogPtr(new PopUpSlotDialog(true, 3, false, false)), "Invalid number of rows");
    EXPECT_DEATH(SlotDialogPtr(new MenuSlotDialog(false))->updateThumbnail(TexturePtr(), 0), "Invalid slot item");
}

// Every picker builds on the title, lists its items in order with their
// icons, and the slots of the page some right arrows reach report the ids.
TEST_F(Pickers, EachPickerListsItsItemsAndPages)
{
    const struct
    {
        std::function<SlotDialog*()> make;
        const char* folder; // of the icons, "studio/" ones in the studio's sprites
        std::string list;
        int pageRights = 0;
        std::vector<int> ids = {}; // none: not asked
    } cases[] = {
        {[] { return new LessonSlotDialog; }, "lesson_menu/",
         "0:writing 1:lines 5:shapes 10:seeing_shapes 11:organic_shape 14:color_lesson 15:warm_cool 16:wild_calm "
         "17:perspective 18:animation",
         1, {11, 14, 15, 16, 17, 18}},
        {[] { return new AdvLessonSlotDialog(0); }, "", "", 0, {-1, -1, -1, -1, -1, -1}},
        {[] { return new AdvLessonSlotDialog(1); }, "lesson_menu/", "2:horizontal_line 3:curved_line 4:diagonal_line"},
        {[] { return new AdvLessonSlotDialog(2); }, "lesson_menu/", "6:triangle 7:rectangle 8:circle 9:hexagon"},
        {[] { return new AdvLessonSlotDialog(3); }, "lesson_menu/", "12:organic_shapes 13:drawing_objects"},
        {[] { return new AdvLessonSlotDialog(4); }, "", "", 0, {-1, -1, -1, -1, -1, -1}},
        {[] { return new BadgeSlotDialog; }, "menu/", badges({}, -1), 5, {22, 23, 24, 25, 26, -1}},
        {[] { return new ImageSlotDialog; }, "studio/images/", "0:open 1:open 2:open 3:open 4:open 5:open"},
        {[] { return new AnimationSlotDialog; }, "studio/images/", "0:open 1:open 2:open"},
        {[] { return new StampSlotDialog; }, "studio/stamps/",
         "0:stamp_ui_00 1:stamp_ui_01 2:stamp_ui_02 3:stamp_ui_03 4:stamp_ui_04 5:stamp_ui_05 6:stamp_ui_06 "
         "7:stamp_ui_07 8:stamp_ui_08 9:stamp_ui_09 10:stamp_ui_10 11:stamp_ui_11 12:stamp_ui_12 13:stamp_ui_13 "
         "14:stamp_ui_14 15:stamp_ui_15 16:locked 17:locked 18:locked 19:locked 20:locked 21:locked 22:locked 23:locked",
         3, {18, 19, 20, 21, 22, 23}},
        {[] { return new EffectSlotDialog; }, "studio/effects/",
         "0:brick_texture 1:wicker_texture 2:parchment_texture 3:brush_texture 4:invert 5:grayscale 6:rgb_rotate "
         "7:saturate 8:desaturate 9:blur 10:pixelate 11:grid_swap 12:horizontal_flip 13:vertical_flip "
         "14:non_symmetrical 15:x_symmetrical 16:y_symmetrical 17:symmetrical",
         3, {12, 13, 14, 15, 16, 17}},
        {[] { return new WritingLessonSlotDialog; }, nullptr, "", 0, {10, 36, 11, 37, 12, 38}},
    };
    for (const auto& c : cases)
    {
        SlotDialogPtr dialog;
        EXPECT_EQ("", printed([&] { dialog.reset(c.make()); })) << "every face is in the title";
        // The writing lessons' list is not named here.
        EXPECT_EQ(c.list, c.folder ? describe(*dialog, c.folder, c.list) : "");
        Selections heard(*dialog);
        for (int i = 0; i < c.pageRights; ++i)
            dialog->pageRight();
        const std::vector<int> ids = heard.page();
        EXPECT_TRUE(c.ids.empty() || c.ids == ids) << c.list;
    }
}

TEST_F(Pickers, ProfileChangesShowWhenAsked)
{
    BadgeSlotDialogPtr badgeDialog(new BadgeSlotDialog);
    profile()->unlockBadge(BadgeName::Firehouse); // 3
    profile()->unlockBadge(BadgeName::UppercaseLetters); // 0
    badgeDialog->highlightSlot(3);
    EXPECT_EQ(badges({0, 3}, 3), describe(*badgeDialog, "menu/", badges({0, 3}, 3)));
    badgeDialog->highlightSlot(5);
    EXPECT_EQ(badges({0, 3}, 5), describe(*badgeDialog, "menu/", badges({0, 3}, 5)));

    // The extras, locked until a download unlocks stamp 17 and frame 4.
    std::string extras = "16:stamp_locked_16 17:stamp_locked_17 18:stamp_locked_18 19:stamp_locked_19 "
                         "20:stamp_locked_20 21:stamp_locked_21 22:stamp_locked_22 23:stamp_locked_23 "
                         "2:frame_locked_02 3:frame_locked_03 4:frame_locked_04 5:frame_locked_05";
    EXPECT_EQ(extras, describe(*SlotDialogPtr(new MicromodsSlotDialog), "menu/", extras));
    const std::string folder = XQM::CMicroDownloads::GetDownloadsPath(0).raw();
    for (const char* package : {"Stamp\", \"stamp\": 17", "Frame\", \"frame\": 4"})
    {
        fs::create_directories(folder + package[0]);
        std::ofstream(folder + package[0] + "/download.json") << "{\"type\": \"" << package << "}";
    }
    profile()->loadMicroDownloads();
    extras.replace(extras.find("stamp_locked_17"), 15, "stamp_17");
    extras.replace(extras.find("frame_locked_04"), 15, "frame_04");
    EXPECT_EQ(extras, describe(*SlotDialogPtr(new MicromodsSlotDialog), "menu/", extras));

    ImageSlotDialogPtr images(new ImageSlotDialog);
    AnimationSlotDialogPtr animations(new AnimationSlotDialog);
    TexturePtr picture(new Texture(320, 240, PixelFormat::RGBA8888, true, 200));
    profile()->saveImage(picture, 3);
    profile()->saveAnimationFrame(picture, 1, 0);
    images->resetSlots();
    animations->resetSlots();
    const std::string saved = "0:open 1:open 2:open 3:? 4:open 5:open";
    EXPECT_EQ(saved, describe(*images, "studio/images/", saved));
    EXPECT_EQ(ColorRGBA<unsigned char>(200, 200, 200, 200), images->thumbnails[3]->getPixel(10, 10)) << "its thumbnail";
    Selections onImages(*images);
    onImages.page();
    EXPECT_EQ("0:open 1:used 2:open", describe(*animations, "studio/images/", "0:open 1:used 2:open"));
    fs::remove(profile()->toThumbnailPath(3)); // an unreadable thumbnail keeps its place
    printed([&] { images->resetSlots(); });
    EXPECT_EQ("0:open 1:open 2:open 3:- 4:open 5:open", describe(*images, "studio/images/", saved));
}

// Pages keep their place by number: a preview shows as "?", a missing one as
// "-" and is named once on the output; arrows come with a seventh page.
TEST_F(Pickers, ColouringBookPagesByTheirPreviews)
{
    ColoringBookDownloadPtr own = profile()->getColoringBookPage(0); // four pages with previews
    // Pages, whether arrows are shown, items listed.
    const int cases[][3] = {{own->getPageCount(), 0, 4}, {0, 0, 0}, {6, 0, 6}, {7, 1, 7}, {1000000, 1, 100}};
    for (const auto& c : cases)
    {
        ColoringBookSlotDialogPtr book;
        const std::string said = printed(
            [&] { book.reset(new ColoringBookSlotDialog(ColoringBookDownloadPtr(new ColoringBookDownload(own->getPath(), c[0])))); });
        std::string list;
        for (int page = 0; page < c[2]; ++page)
            list += (page ? " " : "") + std::to_string(page) + (page < 4 ? ":?" : ":-");
        EXPECT_EQ(list, describe(*book, "", ""));
        EXPECT_EQ(c[1] ? 3 : 1, child(book, 1)->getChildQuantity());
        Selections onBook(*book);
        onBook.page();
        EXPECT_EQ(std::max(0, c[2] - 4) + (c[0] > 100), std::count(said.begin(), said.end(), '\n')) << said;
        EXPECT_EQ(c[0] > 100, said.find("showing the first 100") != std::string::npos);
    }
}

TEST_F(DialogsGoldenTest, PickersAndTheQuestionBox)
{
    if (!newPlayer())
        GTEST_SKIP() << "no generated title, or the system data was configured before";
    // Two saved pictures of 40-pixel squares in two colours, in slots 0 and 3.
    const ColorRGBA<unsigned char> colours[2][2] = {{{220, 60, 40, 255}, {250, 220, 80, 255}},
                                                    {{40, 90, 200, 255}, {255, 255, 255, 255}}};
    for (int saved = 0; saved < 2; ++saved)
    {
        TexturePtr picture(new Texture(320, 240, PixelFormat::RGBA8888));
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                picture->setPixel(colours[saved][(x / 40 + y / 40) % 2 ? 0 : 1], x, y);
        ScrivletPlayer::getCurrentPlayerData()->saveImage(picture, saved * 3);
    }
    StampSlotDialogPtr stamps(new StampSlotDialog);
    stamps->pageRight();
    DialogBoxPtr box(new DialogBox(true));
    box->showYesButtonHighlight();
    const std::pair<const char*, SpatialPtr> scenes[] = {{"image_picker", SpatialPtr(new ImageSlotDialog)},
        {"stamp_picker_page_2", stamps}, {"dialog_box_yes", box}, {"lesson_picker", SpatialPtr(new LessonSlotDialog)}};
    for (const auto& scene : scenes)
    {
        root->removeAllChildren();
        root->addChild(scene.second);
        frame(1, 1, 1);
        expectFrameGolden(std::string(TOVRANE_TEST_DATA) + "/dialogs/" + scene.first + ".png");
    }
}
