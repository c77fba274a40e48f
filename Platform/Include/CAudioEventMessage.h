#ifndef PLATFORM_CAUDIOEVENTMESSAGE_H
#define PLATFORM_CAUDIOEVENTMESSAGE_H

#include "AudioTypes.h"
#include "IEventMessage.h"

namespace Vantorel
{
namespace Kelm
{
// An audio event: which stream it concerns and the payload given at its start.
class CAudioEventMessage : public IEventMessage
{
public:
    CAudioEventMessage(tEventType type, tAudioID id, tAudioPayload payload)
        : IEventMessage(type), id(id), payload(payload)
    {
    }

    tAudioID GetAudioID() const { return id; }
    tAudioPayload GetPayload() const { return payload; }

private:
    tAudioID id;
    tAudioPayload payload;
};
}
}

#endif
