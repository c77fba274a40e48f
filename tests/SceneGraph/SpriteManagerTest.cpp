// Sprite sheets: ".tex" descriptions written by the tests, the quads built
// from them and the pictures shown whole.
#include "SceneGraph/SpriteTestSupport.h"

#include "Tovrane/IndexBuffer.h"
#include "Tovrane/SpriteManager.h"
#include "Tovrane/TriangleMesh.h"
#include "Tovrane/VertexBuffer.h"

#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace Tovrane;
using namespace SpriteTestSupport;

namespace
{
typedef ColorRGBA<unsigned char> Rgba;

// Values of a 16.16 array as floats, for readable comparisons.
std::vector<float> floats(const tFixed* values, int count)
{
    std::vector<float> result;
    for (int i = 0; i < count; ++i)
        result.push_back(values[i].toFloat());
    return result;
}

std::vector<float> positionsOf(const GeometryPtr& g) { return floats(g->vertexBuffer->getPositions(), 12); }
std::vector<float> coordinatesOf(const GeometryPtr& g) { return floats(g->vertexBuffer->getTextureCoordinates(), 8); }
// Half the width: the x of the upper-right corner.
tFixed halfWidth(const GeometryPtr& g) { return g->vertexBuffer->getPositions()[3]; }
bool drawn(SpriteManager& manager, const std::string& name)
{
    return bool(manager.getSprite(name, PixelFormat::RGBA8888)->getTexture());
}

class SpriteManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        title = titleFolder();
        // Every sheet picture the descriptions below name.
        savePicture(solidPicture(8, 8, Rgba(255, 0, 0, 255)), title + "images/sheets/red.png");
        savePicture(solidPicture(8, 8, Rgba(0, 0, 255, 255)), title + "images/sheets/blue.png");
    }

    // Writes a description into the title's "metadata/".
    void describe(const std::string& fileName, const std::vector<Block>& blocks)
    {
        writeFile(title + "metadata/" + fileName, encode(blocks));
    }

    std::string title;
};
}

TEST_F(SpriteManagerTest, QuadSizesCoordinatesAndPlacement)
{
    // On a 512 x 512 sheet. Quads are centred on their origin, the origin placed
    // so that the lower-left corner is at the record's (x, y); corners run upper
    // left, upper right, lower left, lower right.
    const float w = 1.0f / 512;
    const struct
    {
        Record record;
        float halfWidth, halfHeight;
        std::vector<float> coordinates;
        float x, y;
    } cases[] = {
        // 64..96 across and 32..48 down the sheet.
        {sprite("plain/box.png", 64, 96, 32, 48, 10, 20), 16, 8,
         {64 * w, 32 * w, 96 * w, 32 * w, 64 * w, 48 * w, 96 * w, 48 * w}, 26, 28},
        // 100 across and 40 down in the sheet: shown 40 wide and 100 high, the
        // corners reading (right, top), (right, bottom), (left, top), (left, bottom).
        {rotated("turned.png", 0, 100, 256, 296, 5, 6), 20, 50,
         {100 * w, 256 * w, 100 * w, 296 * w, 0, 256 * w, 0, 296 * w}, 25, 56},
        // 33 wide: half 16.5; 7 + 1/65536 high: half truncated to 3.5, and the
        // fraction of the bottom edge is lost when divided by 512.
        {Record{"odd.png", 0, 0, 33 * 65536, 0, 7 * 65536 + 1, 65536 / 2, -3 * 65536}, 16.5f, 3.5f,
         {0, 0, 33 * w, 0, 0, 7 * w, 33 * w, 7 * w}, 17, 0.5f},
        // Other flag bits are ignored; only bit 0 turns a sprite.
        {sprite("flagged.png", 0, 10, 0, 20, 0, 0, 6), 5, 10, {0, 0, 10 * w, 0, 0, 20 * w, 10 * w, 20 * w}, 5, 10},
        // Edges left of and above the sheet keep their sign.
        {sprite("outside.png", -512, -256, -512, 512), 128, 512, {-1, -1, -0.5f, -1, -1, 1, -0.5f, 1}, 128, 512},
    };
    std::vector<Record> records;
    for (const auto& c : cases)
        records.push_back(c.record);
    describe("quads.tex", {{"sheets/red.png", records}});
    SpriteManager manager;
    manager.addSpriteInfo("quads.tex");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.record.name);
        GeometryPtr quad = manager.getSprite(c.record.name, PixelFormat::RGBA8888);
        ASSERT_TRUE(quad && quad->getTexture());
        EXPECT_TRUE(quad->getType().isDerived(TriangleMesh::RuntimeType));
        const float hw = c.halfWidth, hh = c.halfHeight;
        EXPECT_EQ((std::vector<float>{-hw, hh, 0, hw, hh, 0, -hw, -hh, 0, hw, -hh, 0}), positionsOf(quad));
        EXPECT_EQ(c.coordinates, coordinatesOf(quad));
        EXPECT_EQ(Vector3<tFixed>(tFixed(c.x), tFixed(c.y), tFixed(0)), quad->getPosition());
        EXPECT_FALSE(quad->transformCurrent);
        EXPECT_FALSE(quad->vertexBuffer->hasNormals());
        const std::uint16_t* index = quad->indexBuffer->getIndices();
        EXPECT_EQ((std::vector<std::uint16_t>{0, 1, 2, 1, 3, 2}), std::vector<std::uint16_t>(index, index + 6));
        EXPECT_EQ(255, quad->getTexture()->getPixel(0, 0).r);
    }

    // A name no description lists shows the whole picture, half sizes in whole pixels.
    savePicture(solidPicture(33, 20, Rgba(0, 255, 0, 255)), title + "images/loose/odd_size.png");
    GeometryPtr quad = manager.getSprite("loose/odd_size.png", PixelFormat::RGBA8888);
    EXPECT_EQ((std::vector<float>{-16, 10, 0, 16, 10, 0, -16, -10, 0, 16, -10, 0}), positionsOf(quad));
    EXPECT_EQ((std::vector<float>{0, 0, 1, 0, 0, 1, 1, 1}), coordinatesOf(quad));
    EXPECT_EQ(Vector3<tFixed>(tFixed(16), tFixed(10), tFixed(0)), quad->getPosition());
    ASSERT_TRUE(quad->getTexture());
    EXPECT_EQ(33, quad->getTexture()->getWidth());
}

TEST_F(SpriteManagerTest, BlocksNameTheirSheetsEmptyOnesAreSkippedAndTheFirstDefinitionWins)
{
    Block none{"sheets/red.png", {}, 0}, negative{"sheets/red.png", {}, -5}, named{"", {}, 0};
    describe("two.tex", {{"sheets/red.png", {sprite("a.png", 0, 8, 0, 8), sprite("same.png", 0, 2, 0, 2)}}, none,
                         negative, named,
                         {"sheets/blue.png", {sprite("b.png", 0, 4, 0, 4), sprite("c.png", 4, 8, 4, 8),
                                              sprite("same.png", 0, 6, 0, 6)}}});
    describe("second.tex", {{"sheets/blue.png", {sprite("same.png", 0, 8, 0, 8), sprite("new.png", 0, 4, 0, 4)}}});
    writeFile(title + "metadata/empty.tex", "");
    SpriteManager manager;
    testing::internal::CaptureStdout();
    for (const char* description : {"two.tex", "empty.tex", "second.tex"})
        manager.addSpriteInfo(description);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    GeometryPtr a = manager.getSprite("a.png", PixelFormat::RGBA8888);
    GeometryPtr b = manager.getSprite("b.png", PixelFormat::RGBA8888);
    GeometryPtr c = manager.getSprite("c.png", PixelFormat::RGBA8888);
    EXPECT_EQ(255, a->getTexture()->getPixel(0, 0).r);
    EXPECT_EQ(255, b->getTexture()->getPixel(0, 0).b);
    // Sprites of one sheet share its texture.
    EXPECT_EQ(b->getTexture(), c->getTexture());
    EXPECT_NE(a->getTexture(), b->getTexture());
    // The first definition of a name wins; a later file still adds the names it alone defines.
    GeometryPtr same = manager.getSprite("same.png", PixelFormat::RGBA8888);
    EXPECT_EQ(tFixed(1), halfWidth(same));
    EXPECT_EQ(a->getTexture(), same->getTexture());
    EXPECT_EQ(tFixed(2), halfWidth(manager.getSprite("new.png", PixelFormat::RGBA8888)));
    // Reading the first file again changes nothing.
    describe("two.tex", {{"sheets/blue.png", {sprite("same.png", 0, 10, 0, 10)}}});
    manager.addSpriteInfo("two.tex");
    EXPECT_EQ(tFixed(1), halfWidth(manager.getSprite("same.png", PixelFormat::RGBA8888)));
}

// Folders added for downloaded content: their descriptions shadow the title's,
// and what they lack never stops the game.
TEST_F(SpriteManagerTest, AddedFoldersShadowTheTitleAndMissingSpritesDoNotStop)
{
    const std::string metadata = freshFolder("metadata"), images = freshFolder("images");
    describe("shadowed.tex", {{"sheets/red.png", {sprite("shared.png", 0, 2, 0, 2), sprite("title_only.png", 0, 2, 0, 2)}}});
    describe("title_sheet.tex", {{"sheets/red.png", {sprite("from_title.png", 0, 6, 0, 6)}}});
    writeFile(metadata + "shadowed.tex", encode({{"sheets/blue.png", {sprite("shared.png", 0, 4, 0, 4)}}}));
    writeFile(metadata + "download.tex",
              encode({{"sheets/not_shipped.png", {sprite("download/button.png", 0, 20, 0, 10, 30, 40)}}}));
    SpriteManager manager;
    manager.addMetadataPath(metadata);
    manager.addTexturePath(images);
    for (const char* description : {"shadowed.tex", "title_sheet.tex", "download.tex"})
        manager.addSpriteInfo(description);

    testing::internal::CaptureStdout();
    GeometryPtr shared = manager.getSprite("shared.png", PixelFormat::RGBA8888);
    GeometryPtr fromTitle = manager.getSprite("from_title.png", PixelFormat::RGBA8888);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(tFixed(2), halfWidth(shared));
    EXPECT_EQ(255, shared->getTexture()->getPixel(0, 0).b);
    EXPECT_EQ(tFixed(3), halfWidth(fromTitle));

    // The title's copy of the shadowed file was never read: its own name is
    // unknown and is looked for as a picture, which exists nowhere.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(manager.getSprite("title_only.png", PixelFormat::RGBA8888)->getTexture());
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("Could not find file " + title +
                                                                             "images/title_only.png"));

    // A sheet that was not shipped: an empty quad where the sprite would have stood.
    testing::internal::CaptureStdout();
    GeometryPtr quad = manager.getSprite("download/button.png", PixelFormat::RGBA4444);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, output.find("Could not find file " + images + "sheets/not_shipped.png"));
    EXPECT_NE(std::string::npos, output.find("Could not load sprite download/button.png"));
    ASSERT_TRUE(quad);
    EXPECT_FALSE(quad->getTexture());
    EXPECT_EQ((std::vector<float>(12, 0.0f)), positionsOf(quad));
    EXPECT_EQ(Vector3<tFixed>(tFixed(30), tFixed(40), tFixed(0)), quad->getPosition());

    // The same sheet's sprite again, or another sprite of it: said once.
    testing::internal::CaptureStdout();
    for (int again = 0; again < 3; ++again)
        EXPECT_FALSE(manager.getSprite("download/button.png", PixelFormat::RGBA4444)->getTexture());
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
}

TEST_F(SpriteManagerTest, CutFileKeepsTheWholeRecordsBeforeTheCut)
{
    const std::vector<Block> blocks{
        {"sheets/red.png", {sprite("r1.png", 0, 2, 0, 2), sprite("r2.png", 0, 2, 0, 2)}},
        {"sheets/blue.png", {sprite("b1.png", 0, 2, 0, 2)}}};
    const std::string whole = encode(blocks);
    // Where each record ends: block header 1 + 14 + 4, records 1 + 6 + 28.
    const size_t r1End = 19 + 35, r2End = r1End + 35, b1End = r2End + 20 + 35;
    ASSERT_EQ(b1End, whole.size());
    const std::string images = freshFolder("cut-images");

    for (size_t length = 0; length <= whole.size(); ++length)
    {
        writeFile(title + "metadata/cut.tex", whole.substr(0, length));
        SpriteManager manager;
        // Unknown names then give empty quads instead of stopping.
        manager.addTexturePath(images);
        testing::internal::CaptureStdout();
        manager.addSpriteInfo("cut.tex");
        const std::string readOutput = testing::internal::GetCapturedStdout();
        const bool boundary = length == 0 || length == r2End || length == b1End;
        EXPECT_EQ(boundary ? "" : "Sprite sheet description cut short: " + title + "metadata/cut.tex\n", readOutput)
            << length;

        testing::internal::CaptureStdout();
        EXPECT_EQ(length >= r1End, drawn(manager, "r1.png")) << length;
        EXPECT_EQ(length >= r2End, drawn(manager, "r2.png")) << length;
        EXPECT_EQ(length >= b1End, drawn(manager, "b1.png")) << length;
        testing::internal::GetCapturedStdout();
    }
}

TEST_F(SpriteManagerTest, EverySpriteIsANewQuadOnTheOneConvertedSheet)
{
    writeFile(title + "metadata/shared.tex",
              encode({{"sheets/red.png", {sprite("one.png", 0, 4, 0, 4), sprite("two.png", 4, 8, 0, 4)}}}));
    GeometryPtr first, second;
    {
        SpriteManager manager;
        // Read from a stream, which is closed afterwards.
        std::ifstream file((title + "metadata/shared.tex").c_str(), std::ios::binary);
        manager.readSpriteInfo(file);
        EXPECT_FALSE(file.is_open());
        first = manager.getSprite("one.png", PixelFormat::RGBA4444);
        second = manager.getSprite("one.png", PixelFormat::RGBA4444);
        EXPECT_NE(first, second);
        EXPECT_NE(first->vertexBuffer, second->vertexBuffer);
        EXPECT_EQ(first->getTexture(), second->getTexture());
        EXPECT_EQ(PixelFormat::RGBA4444, first->getTexture()->getFormat());
        // Another format converts the shared sheet for every holder.
        EXPECT_EQ(first->getTexture(), manager.getSprite("two.png", PixelFormat::RGB565)->getTexture());
        EXPECT_EQ(PixelFormat::RGB565, first->getTexture()->getFormat());
    }
    // Built sprites outlive their manager.
    ASSERT_TRUE(second->getTexture());
    EXPECT_EQ(240, second->getTexture()->getPixel(1, 1).r); // red kept through both 16-bit formats
}

// Palette pictures, as palette-optimised downloads bring them, are expanded
// to the asked format; all sprites of a sheet share the expanded copy.
TEST_F(SpriteManagerTest, PalettePicturesAreExpandedToTheSheetsFormat)
{
    TexturePtr picture(new Texture(8, 8, PixelFormat::Palette8, true, 0));
    picture->setPaletteEntry(Rgba(255, 0, 0, 255), 0);
    picture->setPaletteEntry(Rgba(0, 255, 0, 255), 1);
    picture->setPixel(1, 5, 6);
    savePicture(picture, title + "images/sheets/palette.png");
    savePicture(picture, title + "images/loose/palette.png");
    describe("palette.tex", {{"sheets/palette.png", {sprite("p1.png", 0, 4, 0, 4), sprite("p2.png", 4, 8, 4, 8)}}});
    SpriteManager manager;
    manager.addSpriteInfo("palette.tex");

    GeometryPtr first = manager.getSprite("p1.png", PixelFormat::RGBA4444);
    GeometryPtr second = manager.getSprite("p2.png", PixelFormat::RGBA4444);
    ASSERT_TRUE(first->getTexture());
    EXPECT_EQ(first->getTexture(), second->getTexture());
    EXPECT_EQ(std::make_tuple(PixelFormat::RGBA4444, Rgba(240, 0, 0, 240), Rgba(0, 240, 0, 240)),
              std::make_tuple(first->getTexture()->getFormat(), first->getTexture()->getPixel(0, 0),
                              first->getTexture()->getPixel(5, 6)));

    GeometryPtr whole = manager.getSprite("loose/palette.png", PixelFormat::RGBA8888);
    ASSERT_TRUE(whole->getTexture());
    EXPECT_EQ(std::make_pair(PixelFormat::RGBA8888, Rgba(0, 255, 0, 255)),
              std::make_pair(whole->getTexture()->getFormat(), whole->getTexture()->getPixel(5, 6)));
    EXPECT_EQ(whole->getTexture(), manager.getTexture("loose/palette.png"));
}

TEST(SpriteManagerDeathTest, MissingDescriptionStops)
{
    titleFolder();
    SpriteManager manager;
    EXPECT_DEATH(manager.addSpriteInfo("not_installed.tex"), "Could not find the requested metadata");
}

// Committed broken descriptions (cut in a header, in a record, a count far
// past the data) read what they can and say they were cut.
TEST(SpriteManagerFiles, MalformedDescriptionsAreReportedCut)
{
    titleFolder();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TOVRANE_TEST_DATA) + "/tex/malformed"))
    {
        SpriteManager manager;
        std::ifstream in(entry.path(), std::ios::binary);
        EXPECT_FALSE(manager.readSpriteInfo(static_cast<std::istream&>(in))) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 3);
}

// A pipe under a sprite-sheet description's name is said and read as empty,
// never waited on.
TEST_F(SpriteManagerTest, APipeUnderADescriptionsNameIsNotWaitedOn)
{
    ASSERT_EQ(0, ::mkfifo((title + "metadata/pipe.tex").c_str(), 0644));
    SpriteManager manager;
    testing::internal::CaptureStdout();
    manager.addSpriteInfo("pipe.tex");
    EXPECT_EQ("Could not read file " + title + "metadata/pipe.tex: it is a pipe\n", testing::internal::GetCapturedStdout());
    ::unlink((title + "metadata/pipe.tex").c_str());
}
