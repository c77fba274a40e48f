// Paging and selection of the slot picker, and the layouts of its two skins.
#include "DialogsTestSupport.h"

#include "Resources/Dialogs/MenuSlotDialog.h"
#include "Resources/Dialogs/PopUpSlotDialog.h"
#include "Tovrane/Button.h"
#include "Tovrane/Plane.h"

#include <functional>
#include <sstream>

using namespace DialogsTest;

namespace
{
using SkinTest = Fixture;
using SkinDeathTest = Fixture;

NodePtr child(const NodePtr& node, int i) { return boost::dynamic_pointer_cast<Node>(node->getChild(i)); }
}

TEST(SlotDialogTest, PagingSelectionAndBlankFaces)
{
    // R pages right, L left; `firsts` holds the first item after each move.
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
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.count);
        SlotDialogPtr dialog(new SlotDialog);
        dialog->rows = 2;
        dialog->columns = 3;
        dialog->pageStep = 6;
        for (int k = 0; k < 6; ++k)
            dialog->slotFaces.push_back(GeometryPtr(new Plane(tFixed(19), tFixed(19), 2, 2)));
        for (int i = 0; i < c.count; ++i)
            dialog->addSlotData(TexturePtr(new Texture(4, 4, PixelFormat::RGBA8888)), 100 + i);
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
            std::vector<int> expected;
            for (int k = 0; k < 6; ++k)
                expected.push_back(dialog->first + k < c.count ? 100 + dialog->first + k : -1);
            EXPECT_EQ(expected, pageIds(*dialog, heard));
            dialog->onSlotClick<-1>(ButtonEventArgs());
            EXPECT_EQ(std::make_pair(-1, -1), heard.seen.back()) << "the close button";
        }
        // A new picture shows only once the faces are filled again.
        dialog->updateThumbnail(TexturePtr(new Texture(4, 4, PixelFormat::RGBA8888)), dialog->first);
        EXPECT_NE(dialog->thumbnails[0], dialog->slotFaces[0]->getTexture());
        dialog->populateSlots();
        expectFacesShowPage(*dialog);
    }
}

TEST_F(SkinTest, SlotsRunDownTheColumnsFromTheSheetPlacement)
{
    typedef std::function<SlotDialog*()> Make;
    const struct
    {
        Make make;
        int children, buttons; // of the dialog; of its last child besides the slots
        const char* slots;
        int faceX, faceY;
    } cases[] = {
        {[] { return new MenuSlotDialog(true); }, 1, 2, "35,125 35,60 90,125 90,60 145,125 145,60", 26, 25},
        {[] { return new MenuSlotDialog(false); }, 1, 0, "35,125 35,60 90,125 90,60 145,125 145,60", 26, 25},
        {[] { return new PopUpSlotDialog(false, 1, true, true); }, 3, 0, "65,100 129,100 193,100", 32, 17},
        {[] { return new PopUpSlotDialog(true, 1, false, true); }, 1, 0, "74,100 138,100 202,100", 25, 25},
        {[] { return new PopUpSlotDialog(false, 2, true, false); }, 3, 0, "65,125 65,76 129,125 129,76 193,125 193,76",
         32, 17},
        {[] { return new PopUpSlotDialog(true, 2, false, false); }, 1, 0, "74,125 74,76 138,125 138,76 202,125 202,76",
         25, 25},
    };
    for (size_t c = 0; c < sizeof cases / sizeof cases[0]; ++c)
    {
        SCOPED_TRACE(c);
        SlotDialogPtr dialog(cases[c].make());
        Selections heard;
        heard.listenTo(*dialog);
        std::istringstream slots(cases[c].slots);
        const int count = static_cast<int>(dialog->slotFaces.size());
        EXPECT_EQ(count, dialog->pageStep);
        ASSERT_EQ(cases[c].children, dialog->getChildQuantity());
        NodePtr container = child(dialog, cases[c].children - 1);
        EXPECT_EQ(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)), container->getPosition());
        ASSERT_EQ(cases[c].buttons + count, container->getChildQuantity());
        for (int k = 0, x, y; k < count && slots >> x && slots.ignore() >> y; ++k)
        {
            ButtonPtr button = boost::dynamic_pointer_cast<Button>(container->getChild(cases[c].buttons + k));
            EXPECT_EQ(Vector3<tFixed>(tFixed(x), tFixed(y), tFixed(0)), button->getPosition()) << k;
            EXPECT_TRUE(dialog->slotFaces[k]->parent == button.get() &&
                        dialog->slotFaces[k]->getPosition() ==
                            Vector3<tFixed>(tFixed(cases[c].faceX), tFixed(cases[c].faceY), tFixed(-0.5f)));
            button->onRelease(0, 0);
            EXPECT_EQ(std::make_pair(k, -1), heard.seen.back());
        }
        if (cases[c].children == 3) // the panel, then its close button (and arrows)
        {
            EXPECT_TRUE(dialog->getChild(0)->getType().isDerived(Geometry::RuntimeType));
            EXPECT_EQ(c == 2 ? 3 : 1, child(dialog, 1)->getChildQuantity());
            boost::dynamic_pointer_cast<Button>(child(dialog, 1)->getChild(0))->onRelease(0, 0);
            EXPECT_EQ(std::make_pair(-1, -1), heard.seen.back()) << "the close button";
        }
    }
}

TEST_F(SkinDeathTest, ThreeRowsOrAnItemOutsideTheListStopTheProgram)
{
    EXPECT_DEATH(PopUpSlotDialogPtr(new PopUpSlotDialog(true, 3, false, false)), "Invalid number of rows");
    EXPECT_DEATH(SlotDialogPtr(new MenuSlotDialog(false))->updateThumbnail(TexturePtr(), 0), "Invalid slot item");
}
