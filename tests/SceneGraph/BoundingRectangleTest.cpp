#include "SceneGraph/SceneGraphTestHelpers.h"

#include "Tovrane/GraphicsCuller.h"
#include "Tovrane/Node.h"
#include "Tovrane/VertexBuffer.h"

#include <gtest/gtest.h>

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

Ray<tFixed> rayAt(tFixed x, tFixed y) { return Ray<tFixed>(Vector3<tFixed>(x, y, tFixed(0)), Vector3<tFixed>()); }

VertexBufferPtr points(std::initializer_list<std::pair<int, int>> rawXY)
{
    VertexAttributes attributes;
    attributes.positions = 1;
    VertexBufferPtr buffer(new VertexBuffer(attributes, static_cast<int>(rawXY.size())));
    int i = 0;
    for (const auto& p : rawXY)
    {
        buffer->getPositions()[3 * i] = raw(p.first);
        buffer->getPositions()[3 * i + 1] = raw(p.second);
        buffer->getPositions()[3 * i + 2] = tFixed(99); // z plays no part
        ++i;
    }
    return buffer;
}
}

TEST(BoundingRectangleTest, HitsAreInclusiveOnEdgesAndCorners)
{
    BoundingRectanglePtr r = rectangle(-10, 10, -5, 5);
    EXPECT_TRUE(r->isIntersecting(rayAt(tFixed(10), tFixed(-5))));
    EXPECT_TRUE(r->isIntersecting(rayAt(tFixed(-10), tFixed(5))));
    EXPECT_TRUE(r->isIntersecting(rayAt(tFixed(0), tFixed(0))));
    EXPECT_FALSE(r->isIntersecting(rayAt(tFixed(10) + raw(1), tFixed(0))));
    EXPECT_FALSE(r->isIntersecting(rayAt(tFixed(0), tFixed(-5) - raw(1))));
    // Direction and depth are ignored.
    EXPECT_TRUE(r->isIntersecting(Ray<tFixed>(v3(1, 1, 500), v3(0, 0, -1))));
}

TEST(BoundingRectangleTest, ScaleIsAboutTheCentreAndNegativeScalesMirror)
{
    BoundingRectanglePtr r = rectangle(0, 4, -1, 1);
    r->centre = v3(1, 0, 0);
    r->scaleBy(v3(-1, 1, 1));
    EXPECT_TRUE(hasEdges(r, {-2, 2, -1, 1}));

    r = rectangle(0, 4, 0, 2);
    r->centre = v3(2, 1, 0);
    r->scaleBy(v3(0.5f, -3, 123));
    EXPECT_TRUE(hasEdges(r, {1, 3, -2, 4}));
    EXPECT_EQ(v3(2, 1, 0), r->centre);
}

TEST(BoundingRectangleTest, TranslateMovesEdgesAndCentre)
{
    BoundingRectanglePtr r(new BoundingRectangle());
    r->translateBy(v3(3, 2, 0));
    EXPECT_TRUE(hasEdges(r, {3, 3, 2, 2}));
    EXPECT_EQ(v3(3, 2, 0), r->centre);
    r->translateBy(v3(-1, 0, 7));
    EXPECT_EQ(v3(2, 2, 7), r->centre);
}

TEST(BoundingRectangleTest, TranslationThatWrapsKeepsTheRectangleWellFormed)
{
    // right wraps past the top of the range and would end up left of `left`.
    BoundingRectanglePtr r = rectangle(0, 32767, 0, 1);
    r->translateBy(v3(1, 0, 0));
    EXPECT_LE(r->left, r->right);
}

TEST(BoundingRectangleTest, ComputeFromVerticesTruncatesTheCentre)
{
    BoundingRectangle r;
    r.computeFromVertices(points({{1, 0}, {2, 0}}));
    EXPECT_EQ(raw(1), r.centre.x);
    r.computeFromVertices(points({{-1, 5}, {-2, 8}}));
    EXPECT_EQ(raw(-1), r.centre.x); // -1.5 truncated towards zero
    EXPECT_EQ(raw(6), r.centre.y);  // 6.5 truncated
    EXPECT_EQ(tFixed(0), r.centre.z);
    EXPECT_EQ(raw(-2), r.left);
    EXPECT_EQ(raw(-1), r.right);
    EXPECT_EQ(raw(5), r.bottom);
    EXPECT_EQ(raw(8), r.top);

    r.computeFromVertices(points({{7, -3}}));
    EXPECT_EQ(raw(7), r.left);
    EXPECT_EQ(raw(7), r.right);
}

TEST(BoundingRectangleTest, GrowKeepsTheCentreAndCopyTakesIt)
{
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

TEST(BoundingRectangleDeathTest, OnlyRectanglesCanBeCombined)
{
    BoundingRectanglePtr a = rectangle(0, 1, 0, 1);
    EXPECT_DEATH(a->growToContain(BoundingVolumePtr()), "px != 0");
    EXPECT_DEATH(a->copyData(BoundingVolumePtr()), "px != 0");
}

TEST(GraphicsCullerTest, InsertSortsStablyByWorldZ)
{
    PlanePtr planes[4] = {quad(1, 1), quad(1, 1), quad(1, 1), quad(1, 1)};
    const float z[4] = {0, 5, 0, -1};
    GraphicsCuller culler;
    for (int i = 0; i < 4; ++i)
    {
        planes[i]->world[14] = tFixed(z[i]);
        culler.insert(planes[i].get());
    }
    ASSERT_EQ(4, culler.getVisibleQuantity());
    EXPECT_EQ(planes[3].get(), culler.getVisible(0));
    EXPECT_EQ(planes[0].get(), culler.getVisible(1));
    EXPECT_EQ(planes[2].get(), culler.getVisible(2));
    EXPECT_EQ(planes[1].get(), culler.getVisible(3));
}

TEST(GraphicsCullerTest, EqualDepthKeepsTreeOrderThroughWholeFrames)
{
    // Two layers of four pictures each, the back layer added last but at a lower z.
    NodePtr root(new Node()), front(new Node()), back(new Node());
    root->addChild(front);
    root->addChild(back);
    front->setPosition(v3(0, 0, 1));
    back->setPosition(v3(0, 0, -1));
    std::vector<PlanePtr> frontPictures, backPictures;
    for (int i = 0; i < 4; ++i)
    {
        frontPictures.push_back(quad(1, 1));
        backPictures.push_back(quad(1, 1));
        front->addChild(frontPictures.back());
        back->addChild(backPictures.back());
    }
    root->update(0);
    GraphicsCuller culler;
    for (int frame = 0; frame < 2; ++frame)
    {
        culler.computeVisible(root);
        ASSERT_EQ(8, culler.getVisibleQuantity());
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_EQ(backPictures[i].get(), culler.getVisible(i));
            EXPECT_EQ(frontPictures[i].get(), culler.getVisible(4 + i));
        }
    }
    // Negative depths compare as signed values.
    front->setPosition(v3(0, 0, -2));
    root->update(0);
    culler.computeVisible(root);
    EXPECT_EQ(frontPictures[0].get(), culler.getVisible(0));
}

TEST(GraphicsCullerTest, HiddenRootLeavesTheSetEmpty)
{
    NodePtr root(new Node());
    root->addChild(quad(1, 1));
    GraphicsCuller culler;
    culler.computeVisible(root);
    EXPECT_EQ(1, culler.getVisibleQuantity());
    root->cullingMode = CullingMode::Hide;
    culler.computeVisible(root);
    EXPECT_EQ(0, culler.getVisibleQuantity());
}

TEST(GraphicsCullerDeathTest, IndexOutsideTheSetStops)
{
    PlanePtr picture = quad(1, 1);
    GraphicsCuller culler;
    culler.insert(picture.get());
    EXPECT_DEATH(culler.getVisible(1), "i < \\(int\\)visible.size\\(\\)");
    EXPECT_DEATH(culler.getVisible(-1), "0 <= i");
}
