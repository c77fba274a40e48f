#ifndef TOVRANE_MONTAGECONTROLLER_H
#define TOVRANE_MONTAGECONTROLLER_H

#include "Tovrane/AnimationController.h"

namespace Tovrane
{
class MontageController;
typedef boost::shared_ptr<MontageController> MontageControllerPtr;

// An animation controller under its own type name; it adds no behaviour.
class MontageController : public AnimationController
{
    TOVRANE_DECLARE_RTTI(MontageController)

public:
    MontageController();
    ~MontageController() override;

    bool update(unsigned int appTime) override;
};
}

#endif
