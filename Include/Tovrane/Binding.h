#ifndef TOVRANE_BINDING_H
#define TOVRANE_BINDING_H

#include <cstddef>
#include <mutex>
#include <vector>

namespace Tovrane
{
class ResourceIdentifier;

// The renderers that hold an uploaded copy of a resource (texture, vertex or
// index buffer), each with the operation that frees its copy. A resource drops
// every binding before its contents change and when it is destroyed.
//
// One lock guards the lists of every resource: a resource may be changed or
// freed on one thread (a loader, a state letting go of a shared sprite sheet)
// while a renderer on another binds it or is destroyed. Renderers take the
// same lock, before any lock of their own, whenever they touch a list.
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
        std::lock_guard<std::recursive_mutex> lock(listMutex());
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
        std::lock_guard<std::recursive_mutex> lock(listMutex());
        for (const BindingInformation& entry : bindings)
            if (entry.renderer == renderer)
                return entry.identifier;
        return nullptr;
    }

    // The lock of every list, held while a list is read or changed and
    // while a release runs.
    static std::recursive_mutex& listMutex()
    {
        static std::recursive_mutex mutex;
        return mutex;
    }

    std::vector<BindingInformation> bindings;
};
}

#endif
