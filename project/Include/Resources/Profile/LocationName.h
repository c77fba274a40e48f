#ifndef RESOURCES_LOCATIONNAME_H
#define RESOURCES_LOCATIONNAME_H

namespace Tovrane
{
// The places of the town, by their index in the profile's location states.
// 0-3 are complete from the start, 4-24 are mended one by one, 25 is used for
// lessons and downloaded tasks, 26 for writing lessons and letter tasks and
// 27-48 for the tasks of the advanced lessons.
struct LocationName
{
    enum Type : int
    {
        Warehouse = 0,
        TaxiStand = 1,
        ArtStudio = 2,
        ArtGallery = 3,
        Firehouse = 4,
        Library = 5,
        Fountain = 6,
        ClockTower = 7,
        TownHall = 8,
        PlaytimePark = 9,
        RiskyRaceTrack = 10,
        Orchard = 11,
        FerrisWheel = 12,
        HappyForest = 13,
        SculptureGarden = 14,
        TrainDepot = 15,
        TshirtShop = 16,
        BeefysGym = 17,
        Mill = 18,
        RiseAndShineCafe = 19,
        PurplePond = 20,
        LandlockedShip = 21,
        RockyHikePath = 22,
        SpinningWheelDiner = 23,
        SpookyMansion = 24,
        Lesson = 25,
        WritingLesson = 26,
        FirstAdvancedLesson = 27,
        LastAdvancedLesson = 48
    };
};
}

#endif
