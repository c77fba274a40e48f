#include "IEventListener.h"

#include "CAudioMixer.h"

namespace Vantorel
{
namespace Kelm
{
namespace
{
const tEventType kGroupBits = 0xFFFF0000u;
}

IEventListener::IEventListener(const tEventType* list, std::size_t count)
{
    if (list)
        types.assign(list, list + count);
}

IEventListener::~IEventListener()
{
    CAudioMixer::ForgetListener(this);
}

bool IEventListener::IsListeningTo(tEventType type) const
{
    for (tEventType entry : types)
    {
        if (entry == type)
            return true;
        if ((entry & kGroupBits) == (type & kGroupBits) && (type & ~entry) == 0)
            return true;
    }
    return false;
}
}
}
