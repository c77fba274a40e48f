#include "Tovrane/AudioCuller.h"

#include "Tovrane/Assert.h"

namespace Tovrane
{
AudioCuller::AudioCuller() {}

void AudioCuller::computeAudible(SpatialPtr root)
{
    TOVRANE_ASSERT(root && "Cannot cull a null scene");
    audible.clear();
    root->onGetAudibleSet(*this, false);
}

void AudioCuller::insert(Spatial* element) { audible.push_back(element); }

Spatial* AudioCuller::getAudible(int i) const
{
    TOVRANE_ASSERT((0 <= i) && (i < (int)audible.size()));
    return audible[i];
}
}
