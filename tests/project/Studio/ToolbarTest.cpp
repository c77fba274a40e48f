// The studio's rows placed as the studio places them, tapped through one
// picker in platform coordinates (y down).
#include "StudioTestSupport.h"

#include "Resources/Studio/BrushToolbar.h"
#include "Resources/Studio/FileToolbar.h"
#include "Resources/Studio/FlipbookToolbar.h"
#include "Resources/Studio/MainToolbar.h"
#include "Resources/Studio/ShapeToolbar.h"
#include "Tovrane/BoundingRectangle.h"
#include "Tovrane/UIPicker.h"

#include <sys/inotify.h>

using namespace StudioTest;

namespace
{
typedef std::vector<std::string> Log;
enum { Main, Tools, Shape, File, Flip, RowCount };
const std::string names[RowCount] = {"main", "brush", "shape", "file", "flip"};
// Where each row stands, and the main button that opens a pop-up row.
const int rowX[RowCount] = {0, 0, 64, 224, 0}, rowY[RowCount] = {0, 32, 32, 32, 226}, opener[RowCount] = {-1, 0, 2, 8, -1};

SpatialPtr spatial() { return SpatialPtr(new Node); }

struct ToolbarTest : RendererFixture
{
    void SetUp() override
    {
        REQUIRE_STUDIO_TITLE();
        RendererFixture::SetUp();
        MainToolbarPtr main(new MainToolbar);
        ToolSelectToolbarPtr brush(new BrushToolbar), shape(new ShapeToolbar);
        FileToolbarPtr file(new FileToolbar);
        rows = {main, brush, shape, file, ToolbarPtr(new FlipbookToolbar)};
        for (int r = 0; r < RowCount; ++r)
        {
            rows[r]->setPosition(Vector3<tFixed>(tFixed(rowX[r]), tFixed(rowY[r]), tFixed(0)));
            if (opener[r] >= 0)
                main->showOnButtonClicked(rows[r], opener[r]);
            listen(rows[r]->clickEvent, [this, r](const ToolbarButtonEventArgs& a) { hear(r, std::to_string(a.index)); });
        }
        listen(brush->toolEvent, [this](const ToolEventArgs& a) { hear(Tools, "tool " + std::to_string(a.tool)); });
        listen(shape->toolEvent, [this](const ToolEventArgs& a) { hear(Shape, "tool " + std::to_string(a.tool)); });
        listen(file->fileEvent, [this](const FileEventArgs& a) { hear(File, "action " + std::to_string(a.action)); });
        scene->addChild(main);
        scene->addChild(rows[Flip]);
        scene->update(0);
        picker.addUIElements(scene);
    }

    // Events logged as "row [tool |action ]number shown|hidden".
    void hear(int r, const std::string& what)
    {
        log.push_back(names[r] + " " + what + (rows[r]->cullingMode == CullingMode::Hide ? " hidden" : " shown"));
    }

    // Button i's cell: left, right, bottom, top (y up).
    std::array<int, 4> cell(int r, int i) const
    {
        const int w = r == Flip ? 24 : 32, left = rowX[r] + w * i;
        return {left, left + (r == Flip && i == 12 ? 32 : w), rowY[r], rowY[r] + (r == Flip ? 14 : 32)};
    }
    Log tap(int r, int i)
    {
        const std::array<int, 4> c = cell(r, i);
        for (int touching : {1, 0})
            picker.doPick((c[0] + c[1]) / 2, 240 - (c[2] + c[3]) / 2, touching);
        return std::exchange(log, Log());
    }
    std::string open() const
    {
        std::string shown;
        for (int r : {Tools, Shape, File})
            shown += rows[r]->cullingMode == CullingMode::Show ? names[r] : "";
        return shown;
    }
    // The buttons of a row showing their highlight, as "0 3 ".
    std::string highlighted(int r) const
    {
        std::string shown;
        for (int i = 0; i < rows[r]->getButtonQuantity(); ++i)
            if (SpatialPtr h = rows[r]->getButton(i)->highlight)
                shown += h->cullingMode == CullingMode::Show ? std::to_string(i) + " " : "";
        return shown;
    }

    std::vector<ToolbarPtr> rows;
    NodePtr scene{new Node};
    UIPicker picker;
    Log log;
};
}

TEST_F(ToolbarTest, EveryButtonAnswersATapInItsOwnCell)
{
    const std::vector<int> typed[RowCount] = {{}, {0, 1, 2, 3, 4, 5, 6}, {14, 12, 13, 15, 11}, {1, 2, 0}, {}};
    const int counts[RowCount] = {10, 7, 5, 3, 13};
    for (int r = 0; r < RowCount; ++r)
    {
        ASSERT_EQ(counts[r], rows[r]->getButtonQuantity());
        for (int i = 0; i < counts[r]; ++i)
        {
            SCOPED_TRACE(names[r] + " " + std::to_string(i));
            // Hidden pictures, highlights and masks count in the bound: none reaches a neighbour.
            const BoundingRectangle& b = static_cast<const BoundingRectangle&>(*rows[r]->getButton(i)->worldBound);
            const std::array<int, 4> c = cell(r, i);
            EXPECT_TRUE(b.left >= tFixed(c[0]) && b.right <= tFixed(c[1]) && b.bottom >= tFixed(c[2]) && b.top <= tFixed(c[3]));
            const std::string index = names[r] + " " + std::to_string(i);
            if (opener[r] < 0)
            {
                EXPECT_EQ(Log{index + " shown"}, tap(r, i)); // these rows never hide
                continue;
            }
            // A pop-up row: the typed event while it shows, the index once it is hidden.
            EXPECT_EQ(Log{"main " + std::to_string(opener[r]) + " shown"}, tap(Main, opener[r]));
            EXPECT_EQ(names[r], open());
            const std::string kind = r == File ? "file action " : names[r] + " tool ";
            EXPECT_EQ((Log{kind + std::to_string(typed[r][i]) + " shown", index + " hidden"}), tap(r, i));
            EXPECT_EQ(Log{}, tap(r, i)) << "a closed row takes no touches";
        }
    }
    const char* const opens[10] = {"brush", "", "shape", "", "", "", "", "", "file", ""};
    for (int first : {0, 2, 8}) // a main click closes the open row and opens only its own
        for (int i = 0; i < 10; ++i)
        {
            tap(Main, first);
            tap(Main, i);
            EXPECT_EQ(opens[i], open()) << first << " then " << i;
        }
    // Presses that slide off: main 3 onto 5 and into the picture, brush 1 off its row.
    tap(Main, 0);
    for (const std::array<int, 4>& slide : {std::array<int, 4>{112, 224, 176, 224}, {112, 224, 160, 120}, {48, 192, 48, 120}})
        for (int step = 0; step < 3; ++step)
            picker.doPick(slide[step ? 2 : 0], slide[step ? 3 : 1], step < 2);
    EXPECT_EQ(Log{}, log);
    EXPECT_EQ("brush", open());
}

TEST_F(ToolbarTest, MarkersHighlightsMasksAndTheThirteenBoundButtons)
{
    SpatialPtr refused = spatial(); // no such button
    rows[File]->showOnButtonClicked(refused, 3);
    EXPECT_TRUE(!refused->parent && refused->cullingMode == CullingMode::Inherit);
    // A fourteenth button is placed but reports nothing.
    rows[Flip]->addButton(ButtonPtr(new Button(spatial(), spatial())), tFixed(32));
    rows[Flip]->getButton(13)->onRelease(0, 0);
    EXPECT_EQ(Log{}, log);

    // Button highlights by index (99: as built).
    const std::tuple<int, int, const char*> cases[] = {{Main, 99, "0 "}, {Main, 5, "5 "}, {Main, 1, ""}, {Main, -1, ""},
                                                       {Flip, 99, "0 "}, {Flip, 12, "12 "}, {Flip, 3, "3 "}};
    for (const auto& [row, index, shown] : cases)
    {
        if (index != 99)
            rows[row]->showButtonHighlight(index);
        EXPECT_EQ(shown, highlighted(row)) << names[row] << " " << index;
    }
    // Whole-row highlights: hidden as built, half a unit in front, replaced, removed.
    GeometryPtr first = rows[Main]->getToolbarHighlight(), second = rows[Flip]->getToolbarHighlight();
    EXPECT_TRUE(first->cullingMode == CullingMode::Hide && second->cullingMode == CullingMode::Hide);
    EXPECT_EQ(tFixed(0.5f), first->getPosition().z);
    rows[Flip]->showToolbarHighlight(true);
    rows[Flip]->setToolbarHighlight(GeometryPtr());
    rows[Flip]->showToolbarHighlight(false); // none: nothing to do
    rows[Main]->setToolbarHighlight(second);
    EXPECT_TRUE(!first->parent && second->parent == rows[Main].get() && !rows[Flip]->getToolbarHighlight());
    EXPECT_EQ(CullingMode::Show, second->cullingMode) << "left as it was";

    // One colour mask shows, the medium one as built; other indices change nothing.
    MainToolbar& main = static_cast<MainToolbar&>(*rows[Main]);
    for (const auto& m : {std::array<int, 2>{99, 1}, {0, 0}, {2, 2}, {3, 2}, {-1, 2}})
    {
        if (m[0] != 99)
            main.showMask(m[0]);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(i == m[1], main.getMaskNode()->getChild(i)->cullingMode == CullingMode::Show) << m[0] << " " << i;
    }
}

TEST_F(ToolbarTest, ButtonGroupSwitchesLooksKeepingItsListeners)
{
    ButtonGroupPtr group(new ButtonGroup);
    EXPECT_EQ("h_SX_SelectSfx_6.ogg", group->getClickSound()) << "before any look";
    rows[Main]->addButton(group, tFixed(32)); // bound to index 10 before any look
    SpatialPtr up[3] = {spatial(), spatial(), spatial()}, down[3] = {spatial(), spatial(), SpatialPtr()};
    for (int i = 0; i < 3; ++i)
        group->addGroup(up[i], down[i]);
    for (const auto& step : {std::array<int, 2>{-1, 0}, {1, 1}, {0, 0}, {3, 0}, {2, 2}, {1, 1}})
    {
        group->showGroup(step[0]);
        const int look = step[1];
        int attached = 0;
        for (int i = 0; i < group->getChildQuantity(); ++i)
            attached += group->getChild(i) != nullptr;
        EXPECT_TRUE(group->getReleasedGeo() == up[look] && group->getPressedGeo() == down[look] &&
                    up[look]->parent == group.get() && attached == (down[look] ? 2 : 1))
            << step[0];
    }
    // Pressed, then the same look again: nothing changes.
    group->onPress(1, 1);
    group->showGroup(1);
    EXPECT_TRUE(down[1]->cullingMode == CullingMode::Show && up[1]->cullingMode == CullingMode::Hide);
    group->onRelease(1, 1);
    // A look without a pressed picture keeps the released one during a press.
    group->showGroup(2);
    group->onPress(1, 1);
    EXPECT_NE(CullingMode::Hide, up[2]->cullingMode);
    group->onRelease(1, 1);
    EXPECT_EQ((Log{"main 10 shown", "main 10 shown"}), log) << "the release delegate survives the switches";
}

TEST(StudioUIElementTest, RowsShareOneSpriteManagerThatTheLastElementReleases)
{
    REQUIRE_STUDIO_TITLE();
    { StudioUIElement settle; } // whatever an earlier test left goes
    // The sheet descriptions opened since the last look.
    const int watch = ::inotify_init1(IN_NONBLOCK);
    ::inotify_add_watch(watch, (TestSupport::scratchFolder() + "title/metadata").c_str(), IN_OPEN);
    auto opens = [watch]() {
        std::map<std::string, int> names;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = ::read(watch, buffer, sizeof(buffer))) > 0;)
            for (char* at = buffer; at < buffer + n; at += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(at)->len)
                ++names[reinterpret_cast<inotify_event*>(at)->name];
        return names;
    };
    const std::map<std::string, int> once = {{"color_masks.tex", 1}, {"file_dialog.tex", 1}, {"studio.tex", 1}};

    ToolbarPtr brush(new BrushToolbar), file(new FileToolbar);
    EXPECT_EQ(once, opens()) << "two rows, the sheets read once";
    SpriteManager* shared = StudioUIElement::getSpriteManager();
    brush.reset();
    EXPECT_EQ(shared, StudioUIElement::getSpriteManager());
    file.reset();
    EXPECT_TRUE(opens().empty()) << "kept while a row lived, released without reading";
    {
        StudioUIElement next;
        StudioUIElement::getSpriteManager();
        StudioUIElement::getSpriteManager();
        EXPECT_EQ(once, opens()) << "the next element reads them again";
    }
    // Asked with no element alive, a manager is made and kept until the count next falls to 0.
    StudioUIElement::getSpriteManager();
    StudioUIElement::getSpriteManager();
    EXPECT_EQ(once, opens());
    { StudioUIElement last; }
    StudioUIElement::getSpriteManager();
    EXPECT_EQ(once, opens());
    { StudioUIElement tidy; }
    ::close(watch);
}

TEST_F(ToolbarTest, GoldenPictures)
{
    root->addChild(scene);
    const auto expectScreen = [this](const char* name) { frame(1, 1, 1, 1); EXPECT_FRAME_GOLDEN(name); };
    expectScreen("rows_as_built");
    tap(Main, 0);
    expectScreen("brush_row_open");
    tap(Tools, 0);
    rows[Flip]->showButtonHighlight(3);
    expectScreen("flipbook_frame_3");
}
