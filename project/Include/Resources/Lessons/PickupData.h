#ifndef RESOURCES_PICKUPDATA_H
#define RESOURCES_PICKUPDATA_H

#include "Tovrane/Spatial.h"

#include <string>

namespace Tovrane
{
// The thing a pick-up line asks the child to drag, and its three pictures.
struct PickupData
{
    // The line is a pick-up line ("pickup_icon" not empty).
    bool present = false;
    std::string icon;
    std::string begin;
    std::string end;
    // The pick-up box and window, whole pixels.
    int boxX = 0, boxY = 0, boxW = 0, boxH = 0;
    int winY = 0;
    // Made by the task studio when it loads.
    SpatialPtr iconSprite;
    SpatialPtr beginSprite;
    SpatialPtr endSprite;
};
}

#endif
