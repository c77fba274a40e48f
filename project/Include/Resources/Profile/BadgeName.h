#ifndef RESOURCES_BADGENAME_H
#define RESOURCES_BADGENAME_H

namespace Tovrane
{
// The 27 badges, by their byte in "achievements.bin". The platform knows
// badge n as number n + 1.
struct BadgeName
{
    enum Type : int
    {
        UppercaseLetters = 0,
        LowercaseLetters = 1,
        Numbers = 2,
        Firehouse = 3,
        Library = 4,
        Fountain = 5,
        TownHall = 6,
        ClockTower = 7,
        PlaytimePark = 8,
        RiskyRaceTrack = 9,
        Orchard = 10,
        FerrisWheel = 11,
        HappyForest = 12,
        SculptureGarden = 13,
        TshirtShop = 14,
        TrainDepot = 15,
        Mill = 16,
        BeefysGym = 17,
        RiseAndShineCafe = 18,
        LandlockedShip = 19,
        SpinningWheelDiner = 20,
        PurplePond = 21,
        RockyHikePath = 22,
        SpookyMansion = 23,
        WholeTown = 24,
        FirstGalleryPicture = 25,
        FullGallery = 26
    };
};
}

#endif
