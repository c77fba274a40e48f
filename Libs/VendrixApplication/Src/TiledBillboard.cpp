#include "Tovrane/TiledBillboard.h"

#include "Tovrane/Assert.h"
#include "Tovrane/Plane.h"

#include <algorithm>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, TiledBillboard, Node);

TiledBillboard::TiledBillboard() : width(0), height(0), tileSize(0), columns(0), rows(0) {}

TiledBillboard::TiledBillboard(TexturePtr picture, int tileSize)
    : width(0), height(0), tileSize(0), columns(0), rows(0)
{
    setTexture(picture, tileSize);
}

TiledBillboard::~TiledBillboard() {}

void TiledBillboard::setTexture(TexturePtr picture, int newTileSize)
{
    TOVRANE_ASSERT(picture && "A tiled billboard needs a picture");
    TOVRANE_ASSERT(newTileSize > 0 && "Tile size must be positive");
    removeAllChildren();

    width = picture->getWidth();
    height = picture->getHeight();
    tileSize = newTileSize;
    columns = 0;
    rows = 0;

    // Every tile shares the buffers of one square plane.
    const tFixed half = tFixed::fromRaw(tileSize << 15);
    Plane plane(half, 2);
    VertexBufferPtr vertexBuffer = plane.vertexBuffer;
    IndexBufferPtr indexBuffer = plane.indexBuffer;

    const tFixed halfWidth = tFixed::fromRaw(width << 15);
    const tFixed halfHeight = tFixed::fromRaw(height << 15);

    // Palette pictures cannot be uploaded, so their tiles hold the colours.
    const PixelFormat::Type format =
        picture->getFormat() == PixelFormat::Palette8 ? PixelFormat::RGBA8888 : picture->getFormat();

    for (int r = 0; width > 0 && r * tileSize < height; ++r)
    {
        const int py = r * tileSize;
        columns = 0;
        for (int c = 0; c * tileSize < width; ++c)
        {
            const int px = c * tileSize;
            TriangleMeshPtr tile(new TriangleMesh(vertexBuffer, indexBuffer));
            // Cleared first, so what lies beyond the picture is transparent.
            TexturePtr texture(new Texture(tileSize, tileSize, format, true, 0));
            texture->blitTexture(picture, 0, 0, px, py, std::min(tileSize, width - px),
                                 std::min(tileSize, height - py));
            tile->setTexture(texture, 0);
            tile->setPosition(Vector3<tFixed>(half - halfWidth + tFixed(px),
                                              halfHeight - half - tFixed(py), tFixed(0)));
            addChild(tile);
            ++columns;
        }
        ++rows;
    }
    setPosition(Vector3<tFixed>(halfWidth, halfHeight, tFixed(0)));
}
}
