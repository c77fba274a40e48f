#ifndef TOVRANE_INDEXBUFFER_H
#define TOVRANE_INDEXBUFFER_H

#include "Tovrane/Binding.h"
#include "Tovrane/Object.h"

#include <cstdint>
#include <vector>

namespace Tovrane
{
class GraphicsRenderer;

// 16-bit vertex indices of a geometry.
class IndexBuffer : public Object, public Binding<GraphicsRenderer>
{
    TOVRANE_DECLARE_RTTI(IndexBuffer)

public:
    // count indices, all 0.
    explicit IndexBuffer(int count);
    // Drops every renderer's copy, then frees the indices.
    ~IndexBuffer() override;

    int getIndexCount() const { return static_cast<int>(indices.size()); }
    std::uint16_t* getIndices() { return indices.data(); }
    const std::uint16_t* getIndices() const { return indices.data(); }
    int getDataSize() const { return static_cast<int>(indices.size() * sizeof(std::uint16_t)); }

private:
    std::vector<std::uint16_t> indices;
};

typedef boost::shared_ptr<IndexBuffer> IndexBufferPtr;
}

#endif
