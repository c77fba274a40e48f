#ifndef RESOURCES_GRIDSHUFFLEEFFECT_H
#define RESOURCES_GRIDSHUFFLEEFFECT_H

#include "Resources/Drawing/Effects/Effect.h"

namespace Tovrane
{
// Cuts the top 13/15 of the picture into a 5 x 4 grid of cells and puts them back in random order (the program's rand).
class GridShuffleEffect : public Effect
{
    TOVRANE_DECLARE_RTTI(GridShuffleEffect)

public:
    GridShuffleEffect();
    ~GridShuffleEffect() override;

    void run(TexturePtr picture) override;
};
}

#endif
