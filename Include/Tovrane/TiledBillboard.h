#ifndef TOVRANE_TILEDBILLBOARD_H
#define TOVRANE_TILEDBILLBOARD_H

#include "Tovrane/Node.h"
#include "Tovrane/Texture.h"
#include "Tovrane/TriangleMesh.h"

namespace Tovrane
{
class TiledBillboard;
typedef boost::shared_ptr<TiledBillboard> TiledBillboardPtr;

// A large picture shown as a grid of square textured tiles, each tile a mesh
// child with its own copy of its square of the picture. Tiles are added row by
// row from the picture's first row, left to right. The billboard covers x 0 to
// width and y 0 to height of its parent, picture row 0 at the top.
class TiledBillboard : public Node
{
    TOVRANE_DECLARE_RTTI(TiledBillboard)

public:
    // An empty billboard without tiles; subclasses call setTexture later.
    TiledBillboard();
    TiledBillboard(TexturePtr picture, int tileSize);
    ~TiledBillboard() override;

    // Replaces every tile with tiles cut from `picture`. Texels of edge tiles
    // that lie beyond the picture are transparent (zero).
    void setTexture(TexturePtr picture, int tileSize);

    // Tile (column, row), or empty when there is no such tile.
    TriangleMeshPtr getTile(int column, int row) const
    {
        if (column < 0 || row < 0 || column >= columns || row >= rows)
            return TriangleMeshPtr();
        return boost::dynamic_pointer_cast<TriangleMesh>(getChild(row * columns + column));
    }

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getTileSize() const { return tileSize; }
    int getColumns() const { return columns; }
    int getRows() const { return rows; }

protected:
    int width;
    int height;
    int tileSize;
    int columns;
    int rows;
};
}

#endif
