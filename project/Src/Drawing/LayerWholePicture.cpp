// The layer's whole-picture operations: undo copies, the picture read as one
// texture and written back into the tiles.
#include "Resources/Drawing/Layer.h"

#include "Tovrane/Assert.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Tovrane
{
LayerPtr Layer::copy() const { return copy(LayerPtr()); }

namespace
{
// Whether an element is as the layer makes it: no name, no controllers, shown
// as its parent is.
bool plain(const Spatial& element)
{
    return element.getName().empty() && element.getControllerQuantity() == 0 &&
           element.cullingMode == CullingMode::Inherit;
}
}

bool Layer::canHoldCopyOf(const Layer& source) const
{
    if (parent || !plain(*this) || width != source.width || height != source.height || tileSize != source.tileSize ||
        columns != source.columns || rows != source.rows || children.size() != source.children.size())
        return false;
    for (std::size_t i = 0; i < children.size(); ++i)
    {
        // Nothing but this layer may hold a tile or its texture, so no one
        // sees them change.
        if (children[i].use_count() != 1 || !children[i]->getType().isDerived(TriangleMesh::RuntimeType))
            return false;
        const TriangleMesh& mesh = static_cast<const TriangleMesh&>(*children[i]);
        const TriangleMesh& from = static_cast<const TriangleMesh&>(*source.children[i]);
        const TexturePtr& texture = mesh.textures[0];
        const Texture& pixels = *from.textures[0];
        if (!plain(mesh) || mesh.vertexBuffer != from.vertexBuffer || mesh.indexBuffer != from.indexBuffer ||
            mesh.textures[1] || !texture || texture.use_count() != 1 || texture->getWidth() != pixels.getWidth() ||
            texture->getHeight() != pixels.getHeight() || texture->getFormat() != pixels.getFormat())
            return false;
    }
    return true;
}

LayerPtr Layer::copy(LayerPtr spare) const
{
    if (spare && spare.use_count() == 1 && spare->canHoldCopyOf(*this))
    {
        // The spare becomes the copy: its tiles take this layer's pixels (a
        // renderer's copy of the old ones goes first) and every position is
        // set as a new copy's would be.
        for (std::size_t i = 0; i < children.size(); ++i)
        {
            TriangleMesh& mesh = static_cast<TriangleMesh&>(*spare->children[i]);
            const TriangleMesh& from = static_cast<const TriangleMesh&>(*children[i]);
            Texture& texture = *mesh.textures[0];
            const Texture& pixels = *from.textures[0];
            texture.releaseBindings();
            std::memcpy(texture.getData(), pixels.getData(), pixels.getSize());
            placeLike(mesh, from);
        }
        placeLike(*spare, *this);
        return spare;
    }
    // A spare that cannot hold the copy goes before any new pixels are made.
    spare.reset();
    LayerPtr layer(new Layer());
    layer->width = width;
    layer->height = height;
    layer->tileSize = tileSize;
    layer->columns = columns;
    layer->rows = rows;
    if (!children.empty())
    {
        const TriangleMesh* first = static_cast<const TriangleMesh*>(children[0].get());
        VertexBufferPtr vertexBuffer = first->vertexBuffer;
        IndexBufferPtr indexBuffer = first->indexBuffer;
        for (int i = 0; i < rows * columns; ++i)
        {
            const TriangleMesh* tile = static_cast<const TriangleMesh*>(children[i].get());
            TriangleMeshPtr mesh(new TriangleMesh(vertexBuffer, indexBuffer));
            mesh->setTexture(tile->textures[0]->copy(), 0);
            placeLike(*mesh, *tile);
            layer->addChild(mesh);
        }
    }
    placeLike(*layer, *this);
    return layer;
}

void Layer::placeLike(Spatial& element, const Spatial& model)
{
    element.local = Matrix<tFixed>();
    element.local[12] = model.local[12];
    element.local[13] = model.local[13];
    element.local[14] = model.local[14];
    element.setTransformCurrent(false);
}

TexturePtr Layer::getTexture() const
{
    TexturePtr picture(new Texture(width, height, PixelFormat::RGBA5551));
    unsigned char* const pixels = picture->getPixels();
    const std::size_t pitch = picture->getPitch();
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
        {
            const Texture* tile = tileTexture(row * columns + column);
            if (tile->getFormat() != PixelFormat::RGBA5551)
            {
                // Other formats are converted pixel by pixel.
                const TriangleMesh& mesh = static_cast<const TriangleMesh&>(*children[row * columns + column]);
                picture->blitTexture(mesh.textures[0], column * tileSize, row * tileSize, 0, 0, 0, 0);
                continue;
            }
            // Tile rows go straight into the picture, cut at its right and
            // bottom edges; tile by tile reads each block in order.
            const std::size_t bytes =
                static_cast<std::size_t>(std::min({tileSize, tile->getWidth(), width - column * tileSize})) * 2;
            const int lines = std::min({tileSize, tile->getHeight(), height - row * tileSize});
            unsigned char* out = pixels + static_cast<std::size_t>(row) * tileSize * pitch + column * tileSize * 2;
            const unsigned char* in = tile->getPixels();
            for (int j = 0; j < lines; ++j, out += pitch, in += tile->getPitch())
                std::memcpy(out, in, bytes);
        }
    return picture;
}

bool Layer::fits(const Texture& picture) const
{
    bool same = picture.getWidth() == width && picture.getHeight() == height && !picture.getPalette() &&
                static_cast<int>(children.size()) == rows * columns;
    for (int i = 0; same && i < rows * columns; ++i)
        same = tileTexture(i)->getFormat() == picture.getFormat();
    return same;
}

Layer::TilePart Layer::tilePart(const Texture& picture, int index) const
{
    const int bpp = picture.getBytesPerPixel();
    const int px = index % columns * tileSize;
    const int py = index / columns * tileSize;
    TilePart part;
    part.in = picture.getPixels() + static_cast<std::size_t>(py) * picture.getPitch() + px * bpp;
    part.inPitch = picture.getPitch();
    part.bytes = static_cast<std::size_t>(std::min(tileSize, width - px)) * bpp;
    part.lines = std::min(tileSize, height - py);
    // Rows before the first that differs need no writing.
    const Texture& tile = *tileTexture(index);
    const unsigned char* old = tile.getPixels();
    part.first = 0;
    while (part.first < part.lines && std::memcmp(old + static_cast<std::size_t>(part.first) * tile.getPitch(),
                                                  part.in + static_cast<std::size_t>(part.first) * part.inPitch,
                                                  part.bytes) == 0)
        ++part.first;
    return part;
}

void Layer::writeTexture(TexturePtr picture)
{
    TOVRANE_ASSERT(picture && "Cannot write an empty picture");
    if (!fits(*picture))
    {
        setTexture(picture, tileSize);
        return;
    }
    for (int i = 0; i < rows * columns; ++i)
    {
        // A tile without a change is not touched, so it is not uploaded again.
        const TilePart part = tilePart(*picture, i);
        if (part.first == part.lines)
            continue;
        Texture* tile = tileTexture(i);
        tile->releaseBindings();
        unsigned char* out = tile->getPixels();
        for (int j = part.first; j < part.lines; ++j)
            std::memcpy(out + static_cast<std::size_t>(j) * tile->getPitch(), part.in + j * part.inPitch, part.bytes);
    }
}

LayerPtr Layer::copyThenWrite(TexturePtr picture, LayerPtr spare)
{
    TOVRANE_ASSERT(picture && "Cannot write an empty picture");
    bool swap = spare && spare.use_count() == 1 && spare->canHoldCopyOf(*this) && fits(*picture);
    for (std::size_t i = 0; swap && i < children.size(); ++i)
        swap = children[i].use_count() == 1 &&
               static_cast<const TriangleMesh&>(*children[i]).textures[0].use_count() == 1;
    if (!swap)
    {
        LayerPtr before = copy(std::move(spare));
        writeTexture(picture);
        return before;
    }
    for (int i = 0; i < rows * columns; ++i)
    {
        TriangleMesh& mine = static_cast<TriangleMesh&>(*children[i]);
        TriangleMesh& kept = static_cast<TriangleMesh&>(*spare->children[i]);
        const TilePart part = tilePart(*picture, i);
        if (part.first == part.lines)
        {
            // An unchanged tile: the copy takes its pixels.
            Texture& copied = *kept.textures[0];
            copied.releaseBindings();
            std::memcpy(copied.getData(), static_cast<const Texture&>(*mine.textures[0]).getData(),
                        mine.textures[0]->getSize());
        }
        else
        {
            // A changed tile: the copy keeps this tile's texture with the old
            // pixels (no longer shown, so a renderer's copy goes), and the
            // spare's texture takes the new ones, the old ones around them
            // where the tile reaches past the picture.
            std::swap(mine.textures[0], kept.textures[0]);
            Texture& tile = *mine.textures[0];
            const Texture& old = *kept.textures[0];
            kept.textures[0]->releaseBindings();
            tile.releaseBindings();
            unsigned char* out = tile.getPixels();
            const unsigned char* was = old.getPixels();
            const std::size_t pitch = tile.getPitch();
            for (int j = 0; j < part.lines; ++j)
            {
                std::memcpy(out + j * pitch, part.in + j * part.inPitch, part.bytes);
                if (part.bytes < pitch)
                    std::memcpy(out + j * pitch + part.bytes, was + j * pitch + part.bytes, pitch - part.bytes);
            }
            if (part.lines < tile.getHeight())
                std::memcpy(out + part.lines * pitch, was + part.lines * pitch,
                            (tile.getHeight() - part.lines) * pitch);
        }
        placeLike(kept, mine);
    }
    placeLike(*spare, *this);
    return spare;
}
}
