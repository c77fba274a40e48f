#include "Tovrane/MontageController.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, MontageController, AnimationController);

MontageController::MontageController() = default;

MontageController::~MontageController() = default;

bool MontageController::update(unsigned int appTime) { return AnimationController::update(appTime); }
}
