#include "SceneGraph/SceneGraphTestHelpers.h"

#include "Tovrane/VertexBuffer.h"

using namespace Tovrane;
using namespace SceneGraphTest;

namespace
{
BoundingRectanglePtr rectangle(float left, float right, float bottom, float top)
{
    BoundingRectanglePtr r(new BoundingRectangle());
    r->left = tFixed(left);
    r->right = tFixed(right);
    r->bottom = tFixed(bottom);
    r->top = tFixed(top);
    return r;
}

VertexBufferPtr points(std::initializer_list<std::pair<int, int>> rawXY)
{
    VertexAttributes attributes;
    attributes.positions = 1;
    VertexBufferPtr buffer(new VertexBuffer(attributes, static_cast<int>(rawXY.size())));
    tFixed* p = buffer->getPositions();
    for (const auto& xy : rawXY)
    {
        *p++ = raw(xy.first);
        *p++ = raw(xy.second);
        *p++ = tFixed(99); // z plays no part
    }
    return buffer;
}
}

TEST(BoundingRectangleTest, HitsAreInclusiveOnEdgesAndCorners)
{
    BoundingRectanglePtr r = rectangle(-10, 10, -5, 5);
    const struct
    {
        tFixed x, y;
        bool hit;
    } cases[] = {{tFixed(10), tFixed(-5), true},          {tFixed(-10), tFixed(5), true},
                 {tFixed(0), tFixed(0), true},            {tFixed(10) + raw(1), tFixed(0), false},
                 {tFixed(0), tFixed(-5) - raw(1), false}, {tFixed(-10) - raw(1), tFixed(5) + raw(1), false}};
    for (const auto& c : cases)
        EXPECT_EQ(c.hit, r->isIntersecting(Ray<tFixed>(Vector3<tFixed>(c.x, c.y, tFixed(0)), Vector3<tFixed>())))
            << c.x.toFloat() << ", " << c.y.toFloat();
    // Direction and depth are ignored.
    EXPECT_TRUE(r->isIntersecting(Ray<tFixed>(v3(1, 1, 500), v3(0, 0, -1))));
}

TEST(BoundingRectangleTest, ScaleIsAboutTheCentreTranslationMovesItGrowKeepsItAndCopyTakesIt)
{
    BoundingRectanglePtr r = rectangle(0, 4, -1, 1);
    r->centre = v3(1, 0, 0);
    r->scaleBy(v3(-1, 1, 1)); // negative scales mirror
    EXPECT_TRUE(hasEdges(r, {-2, 2, -1, 1}));
    r = rectangle(0, 4, 0, 2);
    r->centre = v3(2, 1, 0);
    r->scaleBy(v3(0.5f, -3, 123));
    EXPECT_TRUE(hasEdges(r, {1, 3, -2, 4}));
    EXPECT_EQ(v3(2, 1, 0), r->centre);

    r->translateBy(v3(-1, 2, 7));
    EXPECT_TRUE(hasEdges(r, {0, 2, 0, 6}));
    EXPECT_EQ(v3(1, 3, 7), r->centre);

    // right wraps past the top of the range and would end up left of `left`.
    r = rectangle(0, 32767, 0, 1);
    r->translateBy(v3(1, 0, 0));
    EXPECT_LE(r->left, r->right);

    BoundingRectanglePtr a = rectangle(0, 1, 0, 1), b = rectangle(-5, -4, 3, 9);
    a->centre = v3(0.5f, 0.5f, 0);
    b->centre = v3(-4.5f, 6, 0);
    a->growToContain(b);
    EXPECT_TRUE(hasEdges(a, {-5, 1, 0, 9}));
    EXPECT_EQ(v3(0.5f, 0.5f, 0), a->centre);
    a->copyData(b);
    EXPECT_TRUE(hasEdges(a, {-5, -4, 3, 9}));
    EXPECT_EQ(v3(-4.5f, 6, 0), a->centre);
}

TEST(BoundingRectangleTest, ComputeFromVerticesTruncatesTheCentre)
{
    BoundingRectangle r;
    r.computeFromVertices(points({{1, 0}, {2, 0}}));
    EXPECT_EQ(raw(1), r.centre.x);
    r.computeFromVertices(points({{-1, 5}, {-2, 8}}));
    EXPECT_EQ(Vector3<tFixed>(raw(-1), raw(6), tFixed(0)), r.centre); // -1.5 and 6.5 truncated towards zero
    EXPECT_EQ(raw(-2), r.left);
    EXPECT_EQ(raw(-1), r.right);
    EXPECT_EQ(raw(5), r.bottom);
    EXPECT_EQ(raw(8), r.top);
    r.computeFromVertices(points({{7, -3}}));
    EXPECT_EQ(raw(7), r.left);
    EXPECT_EQ(raw(7), r.right);
}

TEST(GraphicsCullerTest, EqualDepthKeepsTreeOrderThroughWholeFrames)
{
    // Two layers of four pictures each, the back layer added last but at a lower z.
    NodePtr root = node(), front = node(), back = node();
    root->addChild(front);
    root->addChild(back);
    front->setPosition(v3(0, 0, 1));
    back->setPosition(v3(0, 0, -1));
    std::vector<Spatial*> frontPictures, backPictures;
    for (int i = 0; i < 4; ++i)
    {
        front->addChild(quad(1, 1));
        back->addChild(quad(1, 1));
        frontPictures.push_back(front->getChild(i).get());
        backPictures.push_back(back->getChild(i).get());
    }
    root->update(0);
    std::vector<Spatial*> expected = backPictures;
    expected.insert(expected.end(), frontPictures.begin(), frontPictures.end());
    GraphicsCuller culler;
    for (int frame = 0; frame < 2; ++frame)
    {
        culler.computeVisible(root);
        EXPECT_EQ(expected, culler.visible);
    }
    // Negative depths compare as signed values.
    front->setPosition(v3(0, 0, -2));
    root->update(0);
    EXPECT_EQ(frontPictures[0], collect(root)[0]);
}
