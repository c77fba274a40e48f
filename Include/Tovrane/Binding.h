#ifndef TOVRANE_BINDING_H
#define TOVRANE_BINDING_H

#include <cstddef>
#include <vector>

namespace Tovrane
{
class ResourceIdentifier;

// The renderers that hold an uploaded copy of a resource (texture, vertex or
// index buffer), each with the operation that frees its copy. A resource drops
// every binding before its contents change and when it is destroyed.
template <typename Renderer> class Binding
{
public:
    typedef void (Renderer::*ReleaseOperation)(Binding*);

    struct BindingInformation
    {
        Renderer* renderer;
        ReleaseOperation release;
        ResourceIdentifier* identifier;
    };

    Binding() = default;
    // Copies of a resource are not uploaded anywhere.
    Binding(const Binding&) {}
    Binding& operator=(const Binding&) { return *this; }
    virtual ~Binding() = default;

    // Calls the first entry's release until the list is empty; each release
    // removes the entry it frees.
    void releaseBindings()
    {
        while (!bindings.empty())
        {
            const std::size_t before = bindings.size();
            BindingInformation first = bindings.front();
            (first.renderer->*first.release)(this);
            if (bindings.size() == before)
                bindings.erase(bindings.begin()); // a release that did not remove its entry
        }
    }

    // The identifier of `renderer`'s copy, or null.
    ResourceIdentifier* getIdentifier(const Renderer* renderer) const
    {
        for (const BindingInformation& entry : bindings)
            if (entry.renderer == renderer)
                return entry.identifier;
        return nullptr;
    }

    std::vector<BindingInformation> bindings;
};
}

#endif
