#include "Tovrane/IndexBuffer.h"

#include "Tovrane/Assert.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, IndexBuffer, Object);

// Zero-filled rather than left undefined, so that indices the creator forgets
// to write still point at a real vertex.
IndexBuffer::IndexBuffer(int count)
{
    TOVRANE_ASSERT(count >= 0 && "Negative index count");
    indices.assign(static_cast<size_t>(count), 0);
}

IndexBuffer::~IndexBuffer()
{
    releaseBindings();
}
}
