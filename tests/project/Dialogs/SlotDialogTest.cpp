// Paging and selection of the slot picker, and the main menu's skin.
#include "DialogsTestSupport.h"

#include "Resources/Dialogs/MenuSlotDialog.h"
#include "Tovrane/Button.h"
#include "Tovrane/Plane.h"
#include "Tovrane/SpriteManager.h"

using namespace DialogsTest;

namespace
{
using MenuSkinTest = Fixture;

// A bare picker of `count` items of ids 100, 101, ... on six faces.
SlotDialogPtr bareDialog(int count)
{
    SlotDialogPtr dialog(new SlotDialog);
    dialog->rows = 2;
    dialog->columns = 3;
    dialog->pageStep = 6;
    for (int k = 0; k < 6; ++k)
        dialog->slotFaces.push_back(GeometryPtr(new Plane(tFixed(19), tFixed(19), 2, 2)));
    for (int i = 0; i < count; ++i)
        dialog->addSlotData(TexturePtr(new Texture(4, 4, PixelFormat::RGBA8888)), 100 + i);
    dialog->populateSlots();
    return dialog;
}
}

TEST(SlotDialogTest, PagingSelectionAndBlankFaces)
{
    // R pages right, L left; `firsts` is the first item after each move.
    const struct
    {
        int count;
        std::string moves;
        std::vector<int> firsts;
    } cases[] = {
        {62, "RRRRRRRRRRRLLLLLLLLLLL", {6, 12, 18, 24, 30, 36, 42, 48, 54, 56, 56, 50, 44, 38, 32, 26, 20, 14, 8, 2, 0, 0}},
        {10, "RRLL", {4, 4, 0, 0}},
        {6, "RL", {0, 0}},
        {4, "RL", {0, 0}},
        {0, "R", {0}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.count);
        SlotDialogPtr dialog = bareDialog(c.count);
        dialog->onSelect(0); // nobody listens: nothing happens
        Selections heard;
        heard.listenTo(*dialog);
        for (size_t m = 0; m < c.moves.size(); ++m)
        {
            if (c.moves[m] == 'R')
                dialog->onRightArrowButton(ButtonEventArgs());
            else
                dialog->onLeftArrowButton(ButtonEventArgs());
            ASSERT_EQ(c.firsts[m], dialog->first) << "move " << m;
            expectFacesShowPage(*dialog);
            std::vector<int> expected;
            for (int k = 0; k < 6; ++k)
                expected.push_back(dialog->first + k < c.count ? 100 + dialog->first + k : -1);
            EXPECT_EQ(expected, pageIds(*dialog, heard));
            dialog->onSlotClick<-1>(ButtonEventArgs());
            EXPECT_EQ(std::make_pair(-1, -1), heard.seen.back()) << "the close button";
        }
    }
}

TEST(SlotDialogTest, AThumbnailChangesTheFacesOnlyWhenRepopulated)
{
    SlotDialogPtr dialog = bareDialog(3);
    TexturePtr before = dialog->slotFaces[1]->getTexture(), after(new Texture(4, 4, PixelFormat::RGBA8888));
    dialog->updateThumbnail(after, 1);
    EXPECT_EQ(before, dialog->slotFaces[1]->getTexture());
    dialog->populateSlots();
    EXPECT_EQ(after, dialog->slotFaces[1]->getTexture());
    EXPECT_EQ(101, dialog->ids[1]);
}

TEST_F(MenuSkinTest, SlotsRunDownTheColumnsAndShareOneSpriteManager)
{
    const int live = MainMenuUIElement::elementCount;
    MenuSlotDialogPtr dialog(new MenuSlotDialog(true)), bare(new MenuSlotDialog(false));
    EXPECT_EQ(live + 2, MainMenuUIElement::elementCount);
    EXPECT_EQ(6, dialog->pageStep);
    ASSERT_EQ(1, dialog->getChildQuantity());
    NodePtr container = boost::dynamic_pointer_cast<Node>(dialog->getChild(0));
    EXPECT_EQ(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)), container->getPosition());
    ASSERT_EQ(8, container->getChildQuantity()) << "two arrows, then six slots";
    EXPECT_EQ(6, boost::dynamic_pointer_cast<Node>(bare->getChild(0))->getChildQuantity());

    Selections heard;
    heard.listenTo(*dialog);
    const int positions[6][2] = {{35, 125}, {35, 60}, {90, 125}, {90, 60}, {145, 125}, {145, 60}};
    for (int k = 0; k < 6; ++k)
    {
        ButtonPtr button = boost::dynamic_pointer_cast<Button>(container->getChild(2 + k));
        ASSERT_TRUE(button);
        EXPECT_EQ(Vector3<tFixed>(tFixed(positions[k][0]), tFixed(positions[k][1]), tFixed(0)), button->getPosition());
        EXPECT_EQ(dialog->slotFaces[k], button->getChild(button->getChildQuantity() - 1)) << "the face comes last";
        EXPECT_EQ(Vector3<tFixed>(tFixed(26), tFixed(25), tFixed(-0.5f)), dialog->slotFaces[k]->getPosition());
        EXPECT_FALSE(dialog->slotFaces[k]->getTexture()) << "no picture before populateSlots";
        button->onRelease(0, 0);
        EXPECT_EQ(std::make_pair(k, -1), heard.seen.back());
    }

    // Both pickers draw on one sheet, freed with the last of them.
    SpriteManager* shared = MainMenuUIElement::getSpriteManager();
    EXPECT_EQ(shared, MainMenuUIElement::getSpriteManager());
    dialog.reset();
    EXPECT_EQ(shared, MainMenuUIElement::getSpriteManager());
    bare.reset();
    EXPECT_EQ(live, MainMenuUIElement::elementCount);
}
