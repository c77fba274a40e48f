#include "ProfileTestSupport.h"

#include "Tovrane/Texture.h"

#include <cstring>
#include <random>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
typedef ColorRGBA<unsigned char> Colour;
const Colour Red(255, 0, 0, 255);

std::string metaFor(const std::string& picture)
{
    return "MetaVersion=1.0\nDevice=\"QuintaroNomad\"\nType=\"ScrivletArtUpload\"\nProductID=\"0x00470023\"\n"
           "Name=\"Scrivlet Art Upload\"\nPathToUploadContent=\"" +
           picture + "\"\n";
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
    ColoringBookDownload book("books/farm/", 12);
    EXPECT_EQ("books/farm/page_00.png", book.getPagePath(0));
    EXPECT_EQ("books/farm/page_100.png", book.getPagePath(100));
    EXPECT_EQ("books/farm/preview_page_03.png", book.getPagePreviewPath(3));
}

// A picture is saved whole, converted in place, with a 128 x 128 thumbnail
// whose pixels are the means of 5 x 5 blocks (larger pictures clipped; what
// the picture does not reach stays clear). Random pictures against that rule.
TEST_F(Pictures, PicturesAndTheirThumbnails)
{
    ScrivletPlayerPtr profile = loadProfile();
    std::mt19937 random(5);
    const int sizes[][3] = {{640, 480, PixelFormat::RGB888}, {10, 5, PixelFormat::RGBA8888},
                            {1000, 700, PixelFormat::RGBA8888}, {4, 9, PixelFormat::RGBA8888}};
    for (int slot = 0; slot < 4; ++slot)
    {
        const int w = sizes[slot][0], h = sizes[slot][1];
        TexturePtr picture(new Texture(w, h, static_cast<PixelFormat::Type>(sizes[slot][2])));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                picture->setPixel(Colour(random(), random(), random(), random() % 3 ? 255 : random()), x, y);
        if (slot == 0)
        {
            EXPECT_FALSE(profile->hasImage(0));
            EXPECT_TRUE(profile->saveImage(picture, 0));
            EXPECT_EQ(PixelFormat::RGBA8888, picture->getFormat());
            EXPECT_TRUE(profile->hasImage(0));
            EXPECT_EQ(1, profile->getNumberOfImageSlotsInUse());
            TexturePtr saved = profile->loadImage(0);
            ASSERT_TRUE(saved && saved->getWidth() == w && saved->getHeight() == h);
            EXPECT_EQ(0, std::memcmp(saved->getPixels(), picture->getPixels(), picture->getSize()));
        }
        else
            EXPECT_TRUE(profile->createThumbnail(picture, slot));
        TexturePtr thumbnail = profile->loadImageThumbnail(slot);
        ASSERT_TRUE(thumbnail && thumbnail->getWidth() == 128 && thumbnail->getHeight() == 128);
        for (int ty = 0; ty < 128; ++ty)
            for (int tx = 0; tx < 128; ++tx)
            {
                int sum[4] = {0, 0, 0, 0};
                for (int i = 0; i < 25 && (tx + 1) * 5 <= w && (ty + 1) * 5 <= h; ++i)
                {
                    const Colour c = picture->getPixel(tx * 5 + i % 5, ty * 5 + i / 5);
                    sum[0] += c.r, sum[1] += c.g, sum[2] += c.b, sum[3] += c.a;
                }
                ASSERT_EQ(Colour(sum[0] / 25, sum[1] / 25, sum[2] / 25, sum[3] / 25), thumbnail->getPixel(tx, ty))
                    << w << "x" << h << " at " << tx << "," << ty;
            }
    }
}

TEST_F(Pictures, SlotsInUseCountOnlyTheSixPictureSlots)
{
    ScrivletPlayerPtr profile = loadProfile();
    for (int slot : {6, 10, 5, 2})
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
    TexturePtr frame(new Texture(64, 48, PixelFormat::RGB565, true, 0));
    TexturePtr red(new Texture(64, 48, PixelFormat::RGBA8888, true, 0));
    red->setPixel(Red, 10, 10);
    EXPECT_TRUE(profile->saveAnimationFrame(frame, 1, 0));
    EXPECT_TRUE(profile->saveAnimationFrame(red, 1, 11));
    EXPECT_EQ(PixelFormat::RGBA8888, frame->getFormat());
    EXPECT_TRUE(profile->hasAnimation(1));
    EXPECT_FALSE(profile->hasAnimation(0));
    TexturePtr loaded = profile->loadAnimationFrame(1, 11);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Red, loaded->getPixel(10, 10));
    EXPECT_TRUE(exists(profile->photosPath + "qev_anim_01_11.png"));
}

// A slot is handed over once: saving it again while its upload waits keeps
// it remembered; once the platform has collected the upload, a new drawing in
// the slot can go too. After each step: what "meta.inf" holds (nothing, a
// marker, or the picture of the slot it names) and the slot remembered.
TEST_F(Pictures, ASlotIsHandedOverOnceUntilTheUploadIsCollected)
{
    ScrivletPlayerPtr profile = loadProfile();
    TexturePtr picture(new Texture(20, 20, PixelFormat::RGBA8888, true, 0));
    const std::string meta = profile->getUploadMetaPath();
    const char* const steps[][3] = {
        {"save 2", "", "-1"},   {"upload 2", "2", "2"},     {"mark", "marker", "2"}, {"upload 2", "marker", "2"},
        {"save 2", "marker", "2"}, {"upload 2", "marker", "2"}, {"collect", "", "2"},    {"save 2", "", "-1"},
        {"upload 2", "2", "2"}, {"upload 4", "4", "4"}};
    for (const auto& step : steps)
    {
        const std::string kind = step[0];
        const int slot = kind.back() - '0';
        if (kind.rfind("save", 0) == 0)
            profile->saveImage(picture, slot);
        else if (kind.rfind("upload", 0) == 0)
            profile->uploadImage(slot);
        else if (kind == "mark")
            writeText(meta, "marker");
        else
            std::filesystem::remove(meta);
        const std::string held = TestSupport::readFile(meta), named = step[1];
        EXPECT_EQ(named.size() == 1 ? metaFor(profile->toImagePath(named[0] - '0')) : named, held) << kind;
        EXPECT_EQ(std::stoi(step[2]), profile->lastUploadedSlot) << kind;
        EXPECT_EQ(!held.empty(), profile->hasUploadImageFile()) << kind;
    }
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(uploadFolder()), {})); // the picture is not copied
}

TEST_F(Pictures, AFailedUploadIsReportedAndNotRemembered)
{
    ScrivletPlayerPtr profile = loadProfile();
    profile->uploadImage(1);
    std::filesystem::remove_all(uploadFolder());
    writeText(root() + "/data/upload/Art", "in the way"); // a file where the folder should be
    EXPECT_EQ("Could not create the meta.inf file\n", output([&] { profile->uploadImage(3); }));
    EXPECT_EQ(1, profile->lastUploadedSlot);
    EXPECT_TRUE(says(output([&] { profile->uploadImage(9); }), "Invalid picture slot 9"));
    EXPECT_EQ(1, profile->lastUploadedSlot);
}
