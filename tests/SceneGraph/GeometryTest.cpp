#include "SceneGraph/SceneGraphTestHelpers.h"

#include "Tovrane/IndexBuffer.h"
#include "Tovrane/Line.h"
#include "Tovrane/Texture.h"
#include "Tovrane/VertexBuffer.h"

#include <algorithm>

using namespace Tovrane;
using namespace SceneGraphTest;

namespace
{
std::vector<int> indicesOf(const Geometry& geometry)
{
    const IndexBuffer& buffer = *geometry.indexBuffer;
    return std::vector<int>(buffer.getIndices(), buffer.getIndices() + buffer.getIndexCount());
}

Vector3<tFixed> position(const Geometry& geometry, int vertex)
{
    const tFixed* p = geometry.vertexBuffer->getPositions() + 3 * vertex;
    return Vector3<tFixed>(p[0], p[1], p[2]);
}

std::pair<tFixed, tFixed> coordinate(const Geometry& geometry, int vertex)
{
    const tFixed* t = geometry.vertexBuffer->getTextureCoordinates() + 2 * vertex;
    return std::make_pair(t[0], t[1]);
}
}

TEST(PlaneTest, SquareOfFourVerticesAndExplicitBoundsAndTextureRange)
{
    Plane plane(tFixed(16), 2);
    ASSERT_EQ(4, plane.vertexBuffer->getVertexCount());
    const float corners[][4] = {{-16, 16, 0, 0}, {16, 16, 1, 0}, {-16, -16, 0, 1}, {16, -16, 1, 1}};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(v3(corners[i][0], corners[i][1], 0), position(plane, i)) << i;
        EXPECT_EQ(std::make_pair(fx(corners[i][2]), fx(corners[i][3])), coordinate(plane, i)) << i;
    }
    EXPECT_EQ((std::vector<int>{2, 0, 3, 0, 1, 3}), indicesOf(plane));
    EXPECT_TRUE(hasEdges(plane.modelBound, {-16, 16, -16, 16}));

    // Three rows: the middle row lies a truncated half step below the top.
    Plane ranged(tFixed(10), tFixed(20), tFixed(-3), tFixed(0), tFixed(0.25f), tFixed(0.75f), tFixed(1), tFixed(0), 2, 3);
    ASSERT_EQ(6, ranged.vertexBuffer->getVertexCount());
    EXPECT_EQ(v3(10, 0, 0), position(ranged, 0));
    EXPECT_EQ(v3(20, -1.5f, 0), position(ranged, 3));
    EXPECT_EQ(v3(20, -3, 0), position(ranged, 5));
    EXPECT_EQ(std::make_pair(fx(0.25f), fx(1)), coordinate(ranged, 0));
    EXPECT_EQ(std::make_pair(fx(0.75f), fx(0)), coordinate(ranged, 5));
    EXPECT_TRUE(hasEdges(ranged.modelBound, {10, 20, -3, 0}));
    EXPECT_EQ(v3(15, -1.5f, 0), ranged.modelBound->centre);
}

TEST(PlaneTest, TruncatedStepsEndExactlyOnTheEdges)
{
    Plane plane(tFixed(1), tFixed(1), 4, 2);
    const std::int32_t third = tFixed(2).getRaw() / 3; // 43690, truncated
    EXPECT_EQ(tFixed(-1), position(plane, 0).x);
    EXPECT_EQ(tFixed(-1) + raw(third), position(plane, 1).x);
    EXPECT_EQ(tFixed(-1) + raw(2 * third), position(plane, 2).x);
    EXPECT_EQ(tFixed(1), position(plane, 3).x);
    EXPECT_EQ(tFixed(-1), position(plane, 4).y);
    // Texture coordinates get no end correction.
    EXPECT_EQ(raw(3 * (65536 / 3)), coordinate(plane, 3).first);
    EXPECT_EQ((std::vector<int>{4, 0, 5, 0, 1, 5, 5, 1, 6, 1, 2, 6, 6, 2, 7, 2, 3, 7}), indicesOf(plane));

    // The largest grid fits 16-bit indices.
    const std::vector<int> indices = indicesOf(Plane(tFixed(1), 256));
    EXPECT_EQ(65535, *std::max_element(indices.begin(), indices.end()));
}

TEST(PlaneDeathTest, GridsOutsideTheIndexRangeStop)
{
    EXPECT_DEATH(Plane(tFixed(1), tFixed(1), 1, 2), "at least 2 columns and 2 rows");
    EXPECT_DEATH(Plane(tFixed(1), tFixed(1), 257, 256), "at most 65536 vertices");
}

TEST(LineTest, TwoColouredVerticesWithoutIndices)
{
    const ColorRGBA<tFixed> colour(tFixed(1), tFixed(0.5f), tFixed(0), tFixed(1));
    Line line(v3(0, 0, 0), v3(10, 5, 0), colour);
    EXPECT_FALSE(line.indexBuffer);
    ASSERT_EQ(2, line.vertexBuffer->getVertexCount());
    EXPECT_EQ(v3(10, 5, 0), position(line, 1));
    const tFixed* c = line.vertexBuffer->getColors();
    for (int i = 0; i < 2; ++i, c += 4)
        EXPECT_EQ(colour, ColorRGBA<tFixed>(c[0], c[1], c[2], c[3]));
    EXPECT_TRUE(hasEdges(line.modelBound, {0, 10, 0, 5}));
    EXPECT_EQ(v3(5, 2.5f, 0), line.modelBound->centre);

    // Built from a vertex buffer, whose bound it takes.
    VertexAttributes attributes;
    attributes.positions = 1;
    attributes.colors = 1;
    VertexBufferPtr buffer(new VertexBuffer(attributes, 4));
    buffer->getPositions()[3] = tFixed(-7);
    buffer->getPositions()[10] = tFixed(3);
    Line built(buffer);
    EXPECT_EQ(buffer, built.vertexBuffer);
    EXPECT_TRUE(hasEdges(built.modelBound, {-7, 0, 0, 3}));
}

TEST(GeometryTest, TextureUnitsAreIndependentAndReplacedTexturesAreLetGo)
{
    PlanePtr plane = quad(1, 1);
    ASSERT_EQ(2u, plane->textures.size());
    TexturePtr first(new Texture(2, 2, PixelFormat::RGBA8888, true, 0));
    TexturePtr second(new Texture(2, 2, PixelFormat::RGB565, true, 0));
    plane->setTexture(first, 0);
    plane->setTexture(second, 1);
    plane->setTexture(TexturePtr(), 1);
    EXPECT_EQ(first, plane->getTexture());
    EXPECT_FALSE(plane->textures[1]);
    boost::weak_ptr<Texture> old = first;
    first.reset();
    plane->setTexture(second, 0);
    EXPECT_TRUE(old.expired());
}

TEST(GeometryTest, WorldBoundIsTheModelBoundMovedAndScaledByItsOwnScale)
{
    NodePtr parent = node();
    PlanePtr plane(new Plane(tFixed(0), tFixed(4), tFixed(0), tFixed(2), tFixed(0), tFixed(1), tFixed(0), tFixed(1), 2, 2));
    parent->addChild(plane);
    parent->setPosition(v3(100, 0, 0));
    plane->setPosition(v3(10, 20, 0));
    plane->local[0] = tFixed(3);
    plane->local[5] = tFixed(-1);
    parent->update(0);
    // Model x 0..4 centre 2, moved by (110, 20), scaled x3 and mirrored about (112, 21).
    EXPECT_TRUE(hasEdges(plane->worldBound, {106, 118, 20, 22}));
    EXPECT_EQ(v3(112, 21, 0), plane->worldBound->centre);
    EXPECT_TRUE(hasEdges(plane->modelBound, {0, 4, 0, 2}));
}
