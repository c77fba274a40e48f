#ifndef PLATFORM_IEVENTMESSAGE_H
#define PLATFORM_IEVENTMESSAGE_H

namespace Vantorel
{
namespace Kelm
{
// Event types are numbered by group: the high bits name the service, the low
// bits the event within it.
typedef unsigned int tEventType;

// What a listener answers when it is handed an event.
typedef int tEventStatus;
const tEventStatus kEventStatusOK = 0;         // not for this listener, or ignored
const tEventStatus kEventStatusOKConsumed = 1; // handled

// A message handed to an event listener. Services derive their own messages
// with the data of their events.
class IEventMessage
{
public:
    explicit IEventMessage(tEventType type) : type(type) {}
    virtual ~IEventMessage() = default;

    tEventType GetEventType() const { return type; }

private:
    tEventType type;
};
}
}

#endif
