#include "ProfileTestSupport.h"

#include "Tovrane/Texture.h"

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
typedef ColorRGBA<unsigned char> Colour;
const Colour Red(255, 0, 0, 255);
const Colour Clear(0, 0, 0, 0);

TexturePtr filled(int width, int height, PixelFormat::Type format, const Colour& colour)
{
    TexturePtr texture(new Texture(width, height, format));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            texture->setPixel(colour, x, y);
    return texture;
}

std::string metaFor(const std::string& picture)
{
    return "MetaVersion=1.0\nDevice=\"QuintaroNomad\"\nType=\"ScrivletArtUpload\"\nProductID=\"0x00470023\"\n"
           "Name=\"Scrivlet Art Upload\"\nPathToUploadContent=\"" +
           picture + "\"\n";
}

std::string readText(const std::string& path)
{
    const Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class Pictures : public Fixture
{
};
}

TEST_F(Pictures, FileNames)
{
    ScrivletPlayerPtr profile = loadProfile();
    const std::string photos = playerFolder(0) + "Photos/";
    EXPECT_EQ(photos, profile->photosPath);
    EXPECT_EQ(photos + "qev_art_03.png", profile->toImagePath(3));
    EXPECT_EQ(photos + "qev_art_100.png", profile->toImagePath(100));
    EXPECT_EQ(photos + "qev_thumbnail_00.png", profile->toThumbnailPath(0));
    EXPECT_EQ(photos + "qev_anim_01_12.png", profile->toAnimationPath(1, 12));
    EXPECT_EQ(photos + "qev_anim_00_100.png", profile->toAnimationPath(0, 100));
    EXPECT_EQ(uploadFolder() + "meta.inf", profile->getUploadMetaPath());
}

TEST_F(Pictures, ARedPictureAndItsThumbnail)
{
    ScrivletPlayerPtr profile = loadProfile();
    TexturePtr picture = filled(640, 480, PixelFormat::RGB888, Red);
    EXPECT_FALSE(profile->hasImage(0));
    profile->saveImage(picture, 0);
    EXPECT_EQ(PixelFormat::RGBA8888, picture->getFormat()); // converted in place
    EXPECT_TRUE(profile->hasImage(0));
    EXPECT_EQ(1, profile->getNumberOfImageSlotsInUse());
    TexturePtr saved = profile->loadImage(0);
    ASSERT_TRUE(saved);
    EXPECT_EQ(640, saved->getWidth());
    EXPECT_EQ(480, saved->getHeight());
    EXPECT_EQ(Red, saved->getPixel(639, 479));

    TexturePtr thumbnail = profile->loadImageThumbnail(0);
    ASSERT_TRUE(thumbnail);
    ASSERT_EQ(128, thumbnail->getWidth());
    ASSERT_EQ(128, thumbnail->getHeight());
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            ASSERT_EQ(y < 96 ? Red : Clear, thumbnail->getPixel(x, y)) << x << ", " << y;
}

TEST_F(Pictures, ThumbnailPixelsAverageFiveByFiveBlocksAndLargePicturesAreClipped)
{
    ScrivletPlayerPtr profile = loadProfile();
    TexturePtr picture = filled(10, 5, PixelFormat::RGBA8888, Colour(255, 10, 100, 255));
    picture->setPixel(Colour(0, 10, 100, 0), 2, 3);
    profile->createThumbnail(picture, 1);
    TexturePtr thumbnail = profile->loadImageThumbnail(1);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(Colour(244, 10, 100, 244), thumbnail->getPixel(0, 0));
    EXPECT_EQ(Colour(255, 10, 100, 255), thumbnail->getPixel(1, 0));
    EXPECT_EQ(Clear, thumbnail->getPixel(2, 0));
    EXPECT_EQ(Clear, thumbnail->getPixel(0, 1));

    profile->createThumbnail(filled(1000, 700, PixelFormat::RGBA8888, Red), 2);
    thumbnail = profile->loadImageThumbnail(2);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(128, thumbnail->getWidth());
    EXPECT_EQ(128, thumbnail->getHeight());
    EXPECT_EQ(Red, thumbnail->getPixel(127, 127));
}

TEST_F(Pictures, SlotsInUseCountOnlyTheSixPictureSlots)
{
    ScrivletPlayerPtr profile = loadProfile();
    for (int slot : {6, 10})
        writeText(profile->toImagePath(slot), "not counted");
    EXPECT_EQ(0, profile->getNumberOfImageSlotsInUse());
    for (int slot : {5, 2})
        writeText(profile->toImagePath(slot), "x");
    EXPECT_EQ(2, profile->getNumberOfImageSlotsInUse());
    EXPECT_TRUE(profile->hasImage(5));
    EXPECT_FALSE(profile->hasImage(4));
    output([&] {
        EXPECT_FALSE(profile->loadImage(4));
        EXPECT_FALSE(profile->loadImageThumbnail(5));
    });
}

TEST_F(Pictures, FlipbookFrames)
{
    ScrivletPlayerPtr profile = loadProfile();
    EXPECT_FALSE(profile->hasAnimation(1));
    TexturePtr frame = filled(64, 48, PixelFormat::RGB565, Colour(0, 0, 255, 255));
    profile->saveAnimationFrame(frame, 1, 0);
    profile->saveAnimationFrame(filled(64, 48, PixelFormat::RGBA8888, Red), 1, 11);
    EXPECT_EQ(PixelFormat::RGBA8888, frame->getFormat());
    EXPECT_TRUE(profile->hasAnimation(1));
    EXPECT_FALSE(profile->hasAnimation(0));
    TexturePtr loaded = profile->loadAnimationFrame(1, 11);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Red, loaded->getPixel(10, 10));
    EXPECT_TRUE(exists(profile->photosPath + "qev_anim_01_11.png"));
}

TEST_F(Pictures, ASlotIsHandedOverOnceUntilTheUploadIsCollected)
{
    ScrivletPlayerPtr profile = loadProfile();
    TexturePtr picture = filled(20, 20, PixelFormat::RGBA8888, Red);
    const std::string meta = uploadFolder() + "meta.inf";
    EXPECT_FALSE(profile->hasUploadImageFile());
    profile->saveImage(picture, 2);
    profile->uploadImage(2);
    EXPECT_TRUE(profile->hasUploadImageFile());
    EXPECT_EQ(2, profile->lastUploadedSlot);
    EXPECT_EQ(metaFor(profile->toImagePath(2)), readText(meta));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(uploadFolder()), {})); // the picture is not copied
    writeText(meta, "marker");
    profile->uploadImage(2);
    EXPECT_EQ("marker", readText(meta));
    // Saving the slot again while the upload waits keeps it remembered.
    profile->saveImage(picture, 2);
    profile->uploadImage(2);
    EXPECT_EQ("marker", readText(meta));
    // The platform collects the upload; a new drawing in the slot can go too.
    std::remove(meta.c_str());
    profile->saveImage(picture, 2);
    EXPECT_EQ(-1, profile->lastUploadedSlot);
    profile->uploadImage(2);
    EXPECT_EQ(metaFor(profile->toImagePath(2)), readText(meta));
    // Another slot always writes.
    profile->uploadImage(4);
    EXPECT_EQ(metaFor(profile->toImagePath(4)), readText(meta));
    EXPECT_EQ(4, profile->lastUploadedSlot);
}

TEST_F(Pictures, AFailedUploadIsReportedAndNotRemembered)
{
    ScrivletPlayerPtr profile = loadProfile();
    profile->uploadImage(1);
    std::filesystem::remove_all(uploadFolder());
    writeText(root().path + "/data/upload/Art", "in the way"); // a file where the folder should be
    EXPECT_EQ("Could not create the meta.inf file\n", output([&] { profile->uploadImage(3); }));
    EXPECT_EQ(1, profile->lastUploadedSlot);
    EXPECT_NE(std::string::npos, output([&] { profile->uploadImage(9); }).find("Invalid picture slot 9"));
    EXPECT_EQ(1, profile->lastUploadedSlot);
}
