#include "SceneGraph/SceneGraphTestHelpers.h"

#include "Tovrane/Controller.h"

#include <algorithm>

using namespace Tovrane;
using namespace SceneGraphTest;

namespace
{
// Moves its object by one unit along x every update.
class StepController : public Controller
{
public:
    bool update(unsigned int) override
    {
        static_cast<Spatial*>(getObject())->movePosition(v3(1.0f, 0, 0));
        return true;
    }
};

// The parent's slots as names ("-" for an empty one), each child checked to
// point back at it; the names are those of `named` in order.
std::string slots(const NodePtr& parent, const std::vector<SpatialPtr>& named, const char* names)
{
    std::string out;
    for (int i = 0; i < parent->getChildQuantity(); ++i)
    {
        const SpatialPtr child = parent->getChild(i);
        const size_t at = std::find(named.begin(), named.end(), child) - named.begin();
        out += !child ? '-' : at < named.size() && child->getParent() == parent ? names[at] : '?';
    }
    return out;
}
}

TEST(NodeSlotTest, AddFillsTheFirstEmptySlotSetGrowsAndReplacesAndRemoveKeepsLaterIndices)
{
    NodePtr parent = node();
    SpatialPtr p = node(), q = node(), x = node(), y = node(), z = node();
    const std::vector<SpatialPtr> named{p, q, x, y, z};
    auto show = [&] { return slots(parent, named, "pqxyz"); };
    EXPECT_EQ(0, parent->addChild(p));
    EXPECT_EQ(1, parent->addChild(x));
    EXPECT_EQ(2, parent->addChild(q));
    parent->removeChild(x);
    EXPECT_EQ("p-q", show());
    EXPECT_TRUE(!x->parent && !x->getParent());
    // Unknown and null children change nothing.
    parent->removeChild(x);
    parent->removeChild(SpatialPtr());
    EXPECT_EQ(1, parent->addChild(y));
    EXPECT_EQ(3, parent->addChild(x)); // no gap left
    EXPECT_EQ("pyqx", show());
    // Outside the list: empty.
    EXPECT_FALSE(parent->getChild(-1) || parent->getChild(4));

    // Setting past the end grows with empty slots; replacing detaches the old
    // occupant; an empty child just empties the slot.
    parent->removeChild(x);
    parent->setChild(x, 5);
    EXPECT_EQ("pyq--x", show());
    parent->setChild(z, 0);
    parent->setChild(SpatialPtr(), 1);
    EXPECT_EQ("z-q--x", show());
    EXPECT_TRUE(!p->parent && !y->parent);
    // A detached child can be attached elsewhere.
    EXPECT_EQ(0, node()->addChild(p));
}

TEST(NodeSlotTest, ChildrenLiveAsLongAsTheirSlotAndOutliveTheirParentDetached)
{
    NodePtr parent = node();
    boost::weak_ptr<Spatial> watched;
    {
        SpatialPtr child = node();
        watched = child;
        parent->addChild(child);
    }
    EXPECT_FALSE(watched.expired());
    parent->setChild(SpatialPtr(), 0);
    EXPECT_TRUE(watched.expired());

    SpatialPtr a = node(), b = node();
    parent->addChild(a);
    parent->addChild(b);
    parent->removeAllChildren();
    EXPECT_EQ(0, parent->getChildQuantity());
    EXPECT_EQ(nullptr, a->parent);
    parent->addChild(a);
    parent.reset();
    // The parent is gone; the child survives without a dangling link.
    EXPECT_EQ(nullptr, a->parent);
    EXPECT_FALSE(a->getParent());
}

TEST(NodeSlotDeathTest, AttachingNullOrAttachedChildrenStops)
{
    NodePtr parent = node(), other = node();
    SpatialPtr child = node();
    other->addChild(child);
    EXPECT_DEATH(parent->addChild(SpatialPtr()), "Cannot attach a null value");
    EXPECT_DEATH(parent->addChild(child), "Child already attached to a parent node");
    EXPECT_DEATH(parent->setChild(child, 0), "Child already attached to a parent node");
    EXPECT_DEATH(other->addChild(other), "Cannot attach a node below itself");
}

TEST(WorldTransformTest, ProductsRoundTowardsMinusInfinityAtEveryLevel)
{
    // Parent: scale 0.5, translation (10, 20). Child at (-1 raw, 3 raw).
    NodePtr root = node(), parent = node(), child = node();
    root->addChild(parent);
    parent->addChild(child);
    root->setPosition(v3(0, 0, 1.0f));
    parent->local[0] = tFixed(0.5f);
    parent->local[5] = tFixed(0.5f);
    parent->setPosition(v3(10.0f, 20.0f, 0));
    child->setPosition(Vector3<tFixed>(raw(-1), raw(3), raw(0)));
    root->update(0);
    // 0.5 x -1 raw is -1 raw (not 0); 0.5 x 3 raw is 1 raw.
    EXPECT_EQ((std::vector<tFixed>{tFixed(0.5f), tFixed(10) + raw(-1), tFixed(20) + raw(1), tFixed(1)}),
              (std::vector<tFixed>{child->world[0], child->world[12], child->world[13], child->world[14]}));
    EXPECT_EQ(tFixed(10), parent->world[12]);
}

TEST(WorldTransformTest, ACurrentTransformIsKeptUntilClearedAndControllersRunFirst)
{
    NodePtr parent = node(), child = node();
    parent->addChild(child);
    child->setPosition(v3(1.0f, 0, 0));
    parent->update(0);
    child->setTransformCurrent(true);
    parent->setPosition(v3(7.0f, 0, 0));
    child->setTransformCurrent(true); // setPosition on the parent cleared the subtree
    parent->update(0);
    EXPECT_EQ(tFixed(1), child->world[12]);
    child->setTransformCurrent(false);
    parent->update(0);
    EXPECT_EQ(tFixed(8), child->world[12]);

    child->addController(ControllerPtr(new StepController()));
    parent->update(16);
    EXPECT_EQ(tFixed(9), child->world[12]);
    EXPECT_EQ(v3(2.0f, 0, 0), child->getPosition());
}

TEST(CullingModeTest, HideSkipsTheSubtreeWhateverItsChildrenSay)
{
    NodePtr root = node(), hidden = node();
    PlanePtr shown = quad(1, 1), inherit = quad(1, 1), other = quad(1, 1);
    root->addChild(hidden);
    root->addChild(other);
    hidden->addChild(shown);
    hidden->addChild(inherit);
    hidden->cullingMode = CullingMode::Hide;
    shown->cullingMode = CullingMode::Show;
    EXPECT_EQ(std::vector<Spatial*>{other.get()}, collect(root));

    hidden->cullingMode = CullingMode::Show;
    shown->cullingMode = CullingMode::Inherit;
    EXPECT_EQ((std::vector<Spatial*>{shown.get(), inherit.get(), other.get()}), collect(root));
    // Unknown values behave as inherit.
    hidden->cullingMode = static_cast<CullingMode::Type>(7);
    EXPECT_EQ(3u, collect(root).size());
    // A hidden leaf and a hidden root.
    other->cullingMode = CullingMode::Hide;
    EXPECT_EQ(2u, collect(root).size());
    root->cullingMode = CullingMode::Hide;
    EXPECT_TRUE(collect(root).empty());

    // Empty slots and empty nodes add nothing.
    NodePtr sparse = node();
    PlanePtr leaf = quad(1, 1);
    sparse->setChild(leaf, 3);
    sparse->addChild(node());
    EXPECT_EQ(std::vector<Spatial*>{leaf.get()}, collect(sparse));
}

TEST(NodeBoundTest, AncestorBoundsFollowAMovedReplacedOrRemovedPicture)
{
    NodePtr root = node(), button = node();
    PlanePtr face = quad(10, 5), small = quad(1, 1);
    root->addChild(button);
    button->addChild(face);
    small->setPosition(v3(-20.0f, 0, 0));
    button->addChild(small);
    root->update(0);
    EXPECT_TRUE(hasEdges(root->worldBound, {-21, 10, -5, 5}));

    face->setPosition(v3(100.0f, 50.0f, 0));
    root->update(0);
    EXPECT_TRUE(hasEdges(face->worldBound, {90, 110, 45, 55}));
    EXPECT_TRUE(hasEdges(root->worldBound, {-21, 110, -1, 55}));

    button->setChild(quad(2, 2), 0);
    root->update(0);
    EXPECT_TRUE(hasEdges(button->worldBound, {-21, 2, -2, 2}));
    EXPECT_TRUE(hasEdges(root->worldBound, {-21, 2, -2, 2}));

    button->removeChild(small);
    root->update(0);
    EXPECT_TRUE(hasEdges(root->worldBound, {-2, 2, -2, 2}));

    // Changed vertices reach the ancestors too.
    PlanePtr picture = boost::dynamic_pointer_cast<Plane>(button->getChild(0));
    picture->createPlane(tFixed(0), tFixed(30), tFixed(0), tFixed(20), tFixed(0), tFixed(1), tFixed(0), tFixed(1), 2, 2);
    root->update(0);
    EXPECT_TRUE(hasEdges(root->worldBound, {0, 30, 0, 20}));

    // A node left without children keeps its last bound.
    button->setChild(SpatialPtr(), 0);
    root->update(0);
    EXPECT_TRUE(hasEdges(button->worldBound, {0, 30, 0, 20}));
    EXPECT_TRUE(button->worldBoundCurrent);
}

TEST(NodeBoundTest, NodeCentreIsTheFirstChildsCentreAndNodeScaleDoublesChildBoundsAboutTheirCentresOnce)
{
    NodePtr root = node();
    PlanePtr first = quad(1, 1), second = quad(1, 1);
    first->setPosition(v3(4.0f, 2.0f, 0));
    second->setPosition(v3(20.0f, 10.0f, 0));
    root->addChild(first);
    root->addChild(second);
    root->update(0);
    EXPECT_TRUE(hasEdges(root->worldBound, {3, 21, 1, 11}));
    EXPECT_EQ(v3(4.0f, 2.0f, 0), rect(root->worldBound).centre);

    NodePtr top = node(), scaled = node();
    PlanePtr a = quad(1, 1), b = quad(1, 1);
    a->setPosition(v3(10.0f, 0, 0));
    top->addChild(scaled);
    scaled->addChild(a);
    scaled->addChild(b);
    scaled->local[0] = tFixed(2);
    scaled->local[5] = tFixed(2);
    top->update(0);
    // The node's scale carries a to x 20; each child bound is then doubled
    // about its own centre, and the doubled bounds are joined.
    EXPECT_TRUE(hasEdges(a->worldBound, {18, 22, -2, 2}));
    EXPECT_TRUE(hasEdges(scaled->worldBound, {-2, 22, -2, 2}));

    // Recomputed because the node itself changed: still doubled once.
    scaled->setTransformCurrent(false);
    top->update(0);
    EXPECT_TRUE(hasEdges(a->worldBound, {18, 22, -2, 2}));

    // Recomputed because a sibling moved: the unmoved child is not doubled again.
    b->movePosition(v3(0, 10.0f, 0));
    top->update(0);
    EXPECT_TRUE(hasEdges(a->worldBound, {18, 22, -2, 2}));
    EXPECT_TRUE(hasEdges(b->worldBound, {-2, 2, 18, 22}));
    EXPECT_TRUE(hasEdges(scaled->worldBound, {-2, 22, -2, 22}));

    // The same below a scaled grandparent: nested node bounds are rebuilt too.
    top->local[0] = tFixed(0.5f);
    top->setTransformCurrent(false);
    top->update(0);
    const tFixed left = rect(scaled->worldBound).left, right = rect(scaled->worldBound).right;
    top->addChild(quad(1, 1));
    top->update(0);
    EXPECT_EQ(left, rect(scaled->worldBound).left);
    EXPECT_EQ(right, rect(scaled->worldBound).right);
}

