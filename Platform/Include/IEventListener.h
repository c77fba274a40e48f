#ifndef PLATFORM_IEVENTLISTENER_H
#define PLATFORM_IEVENTLISTENER_H

#include "IEventMessage.h"

#include <cstddef>
#include <vector>

namespace Vantorel
{
namespace Kelm
{
// Receiver of a service's events. A listener is built with the list of event
// types (or type masks) it wants; the service hands it each message with
// Notify on the host's thread.
//
// A listener may be destroyed while events addressed to it are still queued:
// its destructor withdraws them, so it is never reached afterwards.
class IEventListener
{
public:
    IEventListener(const tEventType* types, std::size_t count);
    virtual ~IEventListener();

    virtual tEventStatus Notify(const IEventMessage& message) = 0;

    // True when the type is one of the listener's types, or lies in the group
    // of one of its masks (same high bits, low bits set in the mask).
    bool IsListeningTo(tEventType type) const;

    IEventListener(const IEventListener&) = delete;
    IEventListener& operator=(const IEventListener&) = delete;

private:
    std::vector<tEventType> types;
};
}
}

#endif
