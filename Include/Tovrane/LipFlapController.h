#ifndef TOVRANE_LIPFLAPCONTROLLER_H
#define TOVRANE_LIPFLAPCONTROLLER_H

#include "Tovrane/AnimationController.h"
#include "Tovrane/RandomSource.h"

namespace Tovrane
{
class LipFlapController;
typedef boost::shared_ptr<LipFlapController> LipFlapControllerPtr;

// The controller of a mouth overlay: at every period boundary (83 ms by
// default) it shows a random frame instead of the next one. With Clamp the
// changes stop after frame count periods, with Wrap they go on.
class LipFlapController : public AnimationController
{
    TOVRANE_DECLARE_RTTI(LipFlapController)

public:
    LipFlapController();
    ~LipFlapController() override;

    // True when a frame was drawn at random (it may be the one already shown).
    bool update(unsigned int appTime) override;

    void setRandomSource(const RandomSource& source) { randomSource = source; }

private:
    RandomSource randomSource;
};
}

#endif
