#ifndef PLATFORM_AUDIOTYPES_H
#define PLATFORM_AUDIOTYPES_H

#include "IEventMessage.h"

namespace Vantorel
{
namespace Kelm
{
// Id of one started stream; ids are never reused within a process.
typedef unsigned int tAudioID;
const tAudioID kNoAudioID = 0xFFFFFFFFu;

// Volumes run from 0 (silent) to 127 (full); priorities rank streams, higher
// first.
typedef unsigned char tAudioVolume;
typedef unsigned char tAudioPriority;
typedef signed char tAudioPan;
typedef unsigned int tAudioPayload;
typedef unsigned int tAudioOptionsFlags;
typedef unsigned int tPriorityPolicy;

// Start options.
const tAudioOptionsFlags kAudioOptionsDoneMsgAfterComplete = 0x1; // send the completion event
const tAudioOptionsFlags kAudioOptionsLooped = 0x2;               // play forever; never completes

// Audio events: the group 0x10000400 with its low bits.
const tEventType kAudioCompletedEvent = 0x10000401u;
const tEventType kAllAudioEvents = 0x100007FFu;
}
}

#endif
