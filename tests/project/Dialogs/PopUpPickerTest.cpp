// The studio's pop-up skin and its five pickers on the generated title and
// the real profile.
#include "DialogsTestSupport.h"

#include "Resources/Dialogs/AnimationSlotDialog.h"
#include "Resources/Dialogs/ColoringBookSlotDialog.h"
#include "Resources/Dialogs/EffectSlotDialog.h"
#include "Resources/Dialogs/ImageSlotDialog.h"
#include "Resources/Dialogs/StampSlotDialog.h"
#include "Tovrane/Button.h"

using namespace DialogsTest;

namespace
{
using PopUpPickerTest = Fixture;
using PopUpPickerDeathTest = Fixture;
typedef std::vector<std::pair<int, std::string>> Items;

SpriteManager& icons() { return *StudioUIElement::getSpriteManager(); }

NodePtr child(const NodePtr& node, int i) { return boost::dynamic_pointer_cast<Node>(node->getChild(i)); }

TexturePtr picture(const ColorRGBA<unsigned char>& colour)
{
    TexturePtr texture(new Texture(320, 240, PixelFormat::RGBA8888));
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            texture->setPixel(colour, x, y);
    return texture;
}
}

TEST_F(PopUpPickerTest, SlotsRunDownTheColumnsOfBothVariants)
{
    const struct
    {
        bool square;
        int rows;
        bool background, arrows;
        std::vector<std::pair<int, int>> positions;
        int faceX, faceY;
    } cases[] = {
        {false, 1, true, true, {{65, 100}, {129, 100}, {193, 100}}, 32, 17},
        {true, 1, false, true, {{74, 100}, {138, 100}, {202, 100}}, 25, 25},
        {false, 2, true, false, {{65, 125}, {65, 76}, {129, 125}, {129, 76}, {193, 125}, {193, 76}}, 32, 17},
        {true, 2, false, false, {{74, 125}, {74, 76}, {138, 125}, {138, 76}, {202, 125}, {202, 76}}, 25, 25},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.square) + " " + std::to_string(c.rows));
        PopUpSlotDialogPtr dialog(new PopUpSlotDialog(c.square, c.rows, c.background, c.arrows));
        EXPECT_EQ(3 * c.rows, dialog->pageStep);
        Selections heard;
        heard.listenTo(*dialog);
        // Base panel, then the close button and arrows, then the slots.
        ASSERT_EQ(c.background ? 3 : 1, dialog->getChildQuantity());
        if (c.background)
        {
            EXPECT_TRUE(dialog->getChild(0)->getType().isDerived(Geometry::RuntimeType));
            NodePtr buttons = child(dialog, 1);
            ASSERT_EQ(c.arrows ? 3 : 1, buttons->getChildQuantity());
            boost::dynamic_pointer_cast<Button>(buttons->getChild(0))->onRelease(0, 0);
            EXPECT_EQ(std::make_pair(-1, -1), heard.seen.back()) << "the close button";
        }
        NodePtr slots = child(dialog, dialog->getChildQuantity() - 1);
        EXPECT_EQ(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)), slots->getPosition());
        ASSERT_EQ(static_cast<int>(c.positions.size()), slots->getChildQuantity());
        for (int k = 0; k < slots->getChildQuantity(); ++k)
        {
            ButtonPtr button = boost::dynamic_pointer_cast<Button>(slots->getChild(k));
            EXPECT_EQ(Vector3<tFixed>(tFixed(c.positions[k].first), tFixed(c.positions[k].second), tFixed(0)),
                      button->getPosition());
            EXPECT_EQ(dialog->slotFaces[k], button->getChild(button->getChildQuantity() - 1));
            EXPECT_EQ(Vector3<tFixed>(tFixed(c.faceX), tFixed(c.faceY), tFixed(-0.5f)), dialog->slotFaces[k]->getPosition());
            button->onRelease(0, 0);
            EXPECT_EQ(std::make_pair(k, -1), heard.seen.back());
        }
    }
}

TEST_F(PopUpPickerDeathTest, ThreeRowsStopTheProgram)
{
    EXPECT_DEATH(PopUpSlotDialogPtr(new PopUpSlotDialog(true, 3, false, false)), "Invalid number of rows");
}

TEST_F(PopUpPickerTest, SavedPicturesAndFlipbooksShowTheirSlots)
{
    ImageSlotDialogPtr images(new ImageSlotDialog);
    AnimationSlotDialogPtr animations(new AnimationSlotDialog);
    const std::string open = "studio/images/open.png";
    expectList(*images, icons(), Items{{0, open}, {1, open}, {2, open}, {3, open}, {4, open}, {5, open}});
    expectList(*animations, icons(), Items{{0, open}, {1, open}, {2, open}});

    profile()->saveImage(picture(ColorRGBA<unsigned char>(200, 40, 40, 255)), 3);
    profile()->saveAnimationFrame(picture(ColorRGBA<unsigned char>(40, 40, 200, 255)), 1, 0);
    images->resetSlots();
    animations->resetSlots();
    expectList(*images, icons(), Items{{0, open}, {1, open}, {2, open}, {3, ""}, {4, open}, {5, open}});
    ASSERT_TRUE(images->thumbnails[3]);
    EXPECT_EQ(ColorRGBA<unsigned char>(200, 40, 40, 255), images->thumbnails[3]->getPixel(10, 10)) << "its thumbnail";
    expectFacesShowPage(*images);
    expectList(*animations, icons(), Items{{0, open}, {1, "studio/images/used.png"}, {2, open}});
    expectFacesShowPage(*animations);

    // A picture whose thumbnail cannot be read keeps its place without a face.
    fs::remove(profile()->toThumbnailPath(3));
    output([&] { images->resetSlots(); });
    EXPECT_FALSE(images->thumbnails[3]);
    EXPECT_EQ(3, images->ids[3]);
}

TEST_F(PopUpPickerTest, StampsAndEffectsPageThroughTheirLists)
{
    StampSlotDialogPtr stamps(new StampSlotDialog);
    EffectSlotDialogPtr effects(new EffectSlotDialog);
    EXPECT_EQ("stamp_ui_05.png", StampSlotDialog::getFileName(5));
    EXPECT_EQ("stamp_ui_12.png", StampSlotDialog::getFileName(12));
    Items items;
    for (int stamp = 0; stamp < 24; ++stamp)
        items.push_back({stamp, stamp < 16 ? "studio/stamps/" + StampSlotDialog::getFileName(stamp)
                                           : std::string("studio/stamps/locked.png")});
    expectList(*stamps, icons(), items);
    const char* const effectIcons[18] = {"brick_texture", "wicker_texture", "parchment_texture", "brush_texture",
        "invert", "grayscale", "rgb_rotate", "saturate", "desaturate", "blur", "pixelate", "grid_swap",
        "horizontal_flip", "vertical_flip", "non_symmetrical", "x_symmetrical", "y_symmetrical", "symmetrical"};
    items.clear();
    for (int id = 0; id < 18; ++id)
        items.push_back({id, std::string("studio/effects/") + effectIcons[id] + ".png"});
    expectList(*effects, icons(), items);

    // Four pages of stamps, three of effects; locked stamps report their number.
    Selections heard;
    heard.listenTo(*stamps);
    for (int press = 0; press < 4; ++press)
    {
        stamps->onRightArrowButton(ButtonEventArgs());
        effects->onRightArrowButton(ButtonEventArgs());
    }
    EXPECT_EQ(18, stamps->first);
    EXPECT_EQ(12, effects->first);
    EXPECT_EQ((std::vector<int>{18, 19, 20, 21, 22, 23}), pageIds(*stamps, heard));
}

TEST_F(PopUpPickerTest, ColouringBookPages)
{
    const std::string title = root().title + "coloring_book/";
    ColoringBookDownloadPtr own = profile()->getColoringBookPage(0);
    ASSERT_EQ(title, own->getPath());
    const struct
    {
        int pages;
        bool arrows;
        int listed, missing;
    } cases[] = {{own->getPageCount(), false, 4, 0}, {0, false, 0, 0},   {6, false, 6, 2},
                 {7, true, 7, 3},                     {1000000, true, 100, 96}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pages);
        ColoringBookSlotDialogPtr book;
        const std::string printed =
            output([&] { book.reset(new ColoringBookSlotDialog(ColoringBookDownloadPtr(new ColoringBookDownload(title, c.pages)))); });
        EXPECT_EQ(c.arrows ? 3 : 1, child(book, 1)->getChildQuantity());
        ASSERT_EQ(c.listed, book->getItemCount());
        expectFacesShowPage(*book);
        for (int page = 0; page < c.listed; ++page)
        {
            EXPECT_EQ(page, book->ids[page]);
            EXPECT_EQ(page < 4, !!book->thumbnails[page]) << page;
        }
        size_t messages = 0;
        for (size_t at = printed.find("Could not find file"); at != std::string::npos; at = printed.find("Could not find file", at + 1))
            ++messages;
        EXPECT_EQ(static_cast<size_t>(c.missing), messages) << printed.substr(0, 300);
        EXPECT_EQ(c.pages > 100, printed.find("showing the first 100") != std::string::npos);
    }
}
