// Pictures, flipbook frames, the upload and downloaded content.
#include "ProfileTestSupport.h"

#include "support/FileFaults.h"

#include "CMicroDownloads.h"
#include "Tovrane/Texture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <random>

using namespace Tovrane;
using namespace ProfileTest;

namespace
{
typedef ColorRGBA<unsigned char> Colour;

using Pictures = Fixture;
using Downloads = Fixture;

// The six frames and 24 stamps open ("1"), the books and the tasks.
std::string contents(const ScrivletPlayer& profile)
{
    std::string text;
    for (int i = 0; i < 31; ++i)
        text += i == 6 ? ' ' : ((i < 6 ? profile.isFrameUnlocked(i) : profile.isStampUnlocked(i - 7)) ? '1' : '0');
    for (int i = 0; i < profile.getColoringBookCount(); ++i)
        text += " " + profile.getColoringBookPage(i)->path + " " +
                std::to_string(profile.getColoringBookPage(i)->pageCount);
    for (int i = 0; i < profile.getLocationCount(); ++i)
        text += " " + profile.getTaskDownload(i)->path;
    return text;
}
}

// Thumbnail pixels are the means of 5 x 5 blocks; what the picture does not
// reach stays clear. Only the six picture slots count.
TEST_F(Pictures, PicturesThumbnailsAndFrames)
{
    ScrivletPlayerPtr profile = loadProfile();
    ColoringBookDownload book("books/farm/", 12);
    const std::string q = playerFolder(0) + "Photos/qev_", b = "books/farm/";
    EXPECT_EQ(
        (std::vector<std::string>{q + "art_03.png", q + "art_100.png", q + "thumbnail_00.png", q + "anim_01_12.png",
                                  q + "anim_00_100.png", b + "page_00.png", b + "page_100.png",
                                  b + "preview_page_03.png", root() + "/data/upload/Art/meta.inf"}),
        (std::vector<std::string>{profile->toImagePath(3), profile->toImagePath(100), profile->toThumbnailPath(0),
                                  profile->toAnimationPath(1, 12), profile->toAnimationPath(0, 100),
                                  book.getPagePath(0), book.getPagePath(100), book.getPagePreviewPath(3),
                                  profile->getUploadMetaPath()}));
    std::mt19937 random(5);
    const int sizes[][3] = {{640, 480, PixelFormat::RGB888},
                            {10, 5, PixelFormat::RGBA8888},
                            {1000, 700, PixelFormat::RGBA8888},
                            {4, 9, PixelFormat::RGBA8888}};
    for (int slot = 0; slot < 4; ++slot)
    {
        const int w = sizes[slot][0], h = sizes[slot][1];
        TexturePtr picture(new Texture(w, h, static_cast<PixelFormat::Type>(sizes[slot][2])));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                picture->setPixel(Colour(random(), random(), random(), random() % 3 ? 255 : random()), x, y);
        EXPECT_TRUE(slot ? profile->createThumbnail(picture, slot) : profile->saveImage(picture, 0));
        EXPECT_EQ(slot == 0, profile->hasImage(slot)); // a thumbnail alone is no picture
        TexturePtr saved = profile->loadImage(0), thumbnail = profile->loadImageThumbnail(slot);
        ASSERT_TRUE(saved && saved->getFormat() == PixelFormat::RGBA8888 && saved->getSize() == 640 * 480 * 4);
        EXPECT_TRUE(slot || (picture->getFormat() == PixelFormat::RGBA8888 &&
                             std::memcmp(saved->getPixels(), picture->getPixels(), picture->getSize()) == 0));
        ASSERT_TRUE(thumbnail && thumbnail->getWidth() == 128 && thumbnail->getHeight() == 128);
        for (int t = 0; t < 128 * 128; ++t)
        {
            const int tx = t % 128, ty = t / 128;
            int sum[4] = {0, 0, 0, 0};
            for (int i = 0; i < 25 && (tx + 1) * 5 <= w && (ty + 1) * 5 <= h; ++i)
            {
                const Colour c = picture->getPixel(tx * 5 + i % 5, ty * 5 + i / 5);
                sum[0] += c.r, sum[1] += c.g, sum[2] += c.b, sum[3] += c.a;
            }
            ASSERT_EQ(Colour(sum[0] / 25, sum[1] / 25, sum[2] / 25, sum[3] / 25), thumbnail->getPixel(tx, ty)) << t;
        }
    }
    for (int slot : {6, 10, 5})
        writeText(profile->toImagePath(slot), "x");
    EXPECT_EQ(2, profile->getNumberOfImageSlotsInUse());
    EXPECT_FALSE(output([&] { EXPECT_FALSE(profile->loadImage(4) || profile->loadImageThumbnail(5)); }).empty());
    TexturePtr frame(new Texture(64, 48, PixelFormat::RGB565, true, 0)),
        red(new Texture(64, 48, PixelFormat::RGBA8888));
    red->setPixel(Colour(255, 0, 0, 255), 10, 10);
    EXPECT_FALSE(profile->hasAnimation(1));
    EXPECT_TRUE(profile->saveAnimationFrame(frame, 1, 0) && profile->saveAnimationFrame(red, 1, 11));
    EXPECT_TRUE(frame->getFormat() == PixelFormat::RGBA8888 && profile->hasAnimation(1) && !profile->hasAnimation(0));
    EXPECT_EQ(Colour(255, 0, 0, 255), profile->loadAnimationFrame(1, 11)->getPixel(10, 10));
}

// After each step: what "meta.inf" holds (nothing, a marker, or the slot it
// names) and the slot remembered.
TEST_F(Pictures, ASlotIsHandedOverOnceUntilTheUploadIsCollected)
{
    ScrivletPlayerPtr profile = loadProfile();
    TexturePtr picture(new Texture(20, 20, PixelFormat::RGBA8888, true, 0));
    const std::string meta = profile->getUploadMetaPath(), folder = root() + "/data/upload/Art";
    const char* const steps[][4] = {{"save 2", "", "-1", ""},
                                    {"upload 2", "2", "2", ""},
                                    {"mark", "marker", "2", ""},
                                    {"upload 2", "marker", "2", ""},
                                    {"save 2", "marker", "2", ""},
                                    {"upload 2", "marker", "2", ""},
                                    {"collect", "", "2", ""},
                                    {"save 2", "", "-1", ""},
                                    {"upload 2", "2", "2", ""},
                                    {"upload 4", "4", "4", ""},
                                    {"upload 9", "4", "4", "Invalid picture slot 9"},
                                    {"block 3", "", "4", "Could not create the meta.inf file\n"}};
    for (const auto& step : steps)
    {
        const std::string kind = step[0], named = step[1];
        if (kind == "mark" || kind == "collect")
            kind == "mark" ? writeText(meta, "marker") : (void)std::filesystem::remove(meta);
        if (kind == "block 3" && std::filesystem::remove_all(folder)) // a file where the folder should be
            writeText(folder, "in the way");
        const std::string printed = output([&] {
            if (kind[0] == 's' || kind[0] == 'u' || kind[0] == 'b')
                kind[0] == 's' ? (void)profile->saveImage(picture, kind.back() - '0')
                               : profile->uploadImage(kind.back() - '0');
        });
        const std::string held = TestSupport::readFile(meta);
        EXPECT_EQ(named.size() != 1
                      ? named
                      : "MetaVersion=1.0\nDevice=\"QuintaroNomad\"\nType=\"ScrivletArtUpload\"\nProductID="
                        "\"0x00470023\"\nName=\"Scrivlet Art Upload\"\nPathToUploadContent=\"" +
                            profile->toImagePath(named[0] - '0') + "\"\n",
                  held)
            << kind;
        EXPECT_TRUE(says(printed, step[3]) && std::stoi(step[2]) == profile->lastUploadedSlot)
            << kind << ": " << printed;
        EXPECT_EQ(!held.empty(), profile->hasUploadImageFile()) << kind;
        EXPECT_TRUE(kind != "upload 4" || std::distance(std::filesystem::directory_iterator(folder), {}) == 1);
    }
}

// Loaded twice. Bundles are followed in their own order, only into their own
// plain sub-folders, so deep, no folder twice; the cap counts only listed
// packages; links are not followed and a FIFO does not block (the alarm).
TEST_F(Downloads, AFolderOfEveryKindOfPackage)
{
    // The title alone gives frames 0 and 1, stamps 0 to 15 and its own book of 8 pages.
    const std::string title = "110000 111111111111111100000000", book = " " + titlePath() + "coloring_book/ 8";
    EXPECT_EQ(title + book, contents(*loadProfile()));
    const std::string downloads = XQM::CMicroDownloads::GetDownloadsPath(0).raw(), outside = root() + "/outside/";
    const std::string task = R"({"type": "Task"})", bundle = R"({"type": "Frandel", "subdirectories": )";
    std::string many = R"(["task/")", deep = "l_deep/";
    for (int i = 0; i < ScrivletPlayer::maxDownloadPackages; ++i)
        many += R"(, "task/")";
    std::vector<std::pair<std::string, std::string>> packages = {
        {"a_frame/", R"({"type": "Frame", "frame": 4})"},
        {"c_bundle/first/", task},
        {"c_bundle/second/", task},
        {"b_stamp/", R"({"type": "Stamp", "stamp": 20, "comment": "other keys are ignored"})"},
        {"c_bundle/", bundle + R"(["second/", "first/"]})"},
        {"f_escape/ok/", task},
        {"k_many/task/", task},
        {"d_book/", R"({"type": "ColoringBook", "pageCount": 12})"},
        {"o_bundle/a..b/", task},
        {"e_most_pages/", R"({"type": "ColoringBook", "pageCount": 100})"},
        {"k_many/", bundle + many + "]}"},
        {"f_escape/", bundle + R"(["../a_frame/", "./", 5, "ok/"]})"},
        {outside + "task/", task},
        {"j_not_an_array/", bundle + R"("c_bundle/first/"})"},
        {outside + "bundle/task/", task},
        {"o_bundle/", bundle + R"(["last/", "middle/task/", "a..b/"]})"},
        {outside + "frame/", R"({"type": "Frame", "frame": 5})"}};
    for (int level = 0; level < 20; ++level, deep += "next/")
        packages.insert(packages.end(), {{deep, bundle + R"(["next/", "task/"]})"}, {deep + "task/", task}});
    std::vector<std::string> skipped = {"\"../a_frame/\"",
                                        "\"./\"",
                                        "\"/tmp/\"",
                                        "\"a/../a/\"",
                                        "sub-folder \"\" of download",
                                        "h_missing/download.json",
                                        "already loaded",
                                        "nested too deeply",
                                        "m_linked_package/download.json",
                                        "n_json_link/download.json",
                                        "\"middle/task/\"",
                                        "o_bundle/last/download.json",
                                        "p_fifo/download.json"};
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(TOVRANE_TEST_DATA) + "/downloadjson/malformed"))
        if (entry.path().extension() == ".json")
        {
            skipped.push_back("/" + entry.path().stem().string() + "/");
            packages.push_back({entry.path().stem().string() + "/", TestSupport::readFile(entry.path().string())});
        }
    ASSERT_GE(skipped.size(), 25u);
    for (const auto& package : packages)
        writeText((package.first[0] == '/' ? "" : downloads) + package.first + "download.json", package.second);
    std::filesystem::create_directories(downloads + "h_missing");
    std::filesystem::create_directories(downloads + "n_json_link");
    std::filesystem::create_directories(downloads + "p_fifo");
    std::filesystem::create_directory_symlink(outside + "task", downloads + "m_linked_package");
    std::filesystem::create_symlink(outside + "frame/download.json", downloads + "n_json_link/download.json");
    std::filesystem::create_directory_symlink(outside + "task", downloads + "o_bundle/last");
    std::filesystem::create_directory_symlink(outside + "bundle", downloads + "o_bundle/middle");
    ASSERT_EQ(0, ::mkfifo((downloads + "p_fifo/download.json").c_str(), 0600));

    // Every look at a folder gives it a new inode number, as on exFAT: a
    // folder listed twice is still known as one.
    std::string printed;
    ::alarm(20);
    FileFaults::renumber(true);
    ScrivletPlayerPtr profile = loadProfile(&printed);
    FileFaults::renumber(false);
    ::alarm(0);
    std::string added =
        "110010 111111111111111100001000" + book + " " + downloads + "d_book/ 12 " + downloads + "e_most_pages/ 100";
    for (const char* task : {"c_bundle/second/", "c_bundle/first/", "f_escape/ok/", "k_many/task/"})
        added += " " + downloads + task;
    for (int level = ScrivletPlayer::maxDownloadDepth - 1; level >= 0; --level)
        added += " " + downloads + deep.substr(0, 7 + 5 * level) + "task/";
    added += " " + downloads + "o_bundle/a..b/";
    EXPECT_EQ(added, contents(*profile));
    EXPECT_FALSE(profile->isFrameUnlocked(6) || profile->isStampUnlocked(-1) || profile->isStampUnlocked(24));
    for (const std::string& message : skipped)
        EXPECT_TRUE(says(printed, message)) << message << " in\n" << printed;
    EXPECT_FALSE(says(printed, "Too many downloads"));
    output([&] { profile->loadMicroDownloads(); });
    EXPECT_EQ(added, contents(*profile));

    const std::string other = XQM::CMicroDownloads::GetDownloadsPath(1).raw();
    writeText(other + "task/download.json", task);
    writeText(titlePath() + "coloring_book/download.json", "{");
    usePlayer(1);
    EXPECT_EQ(title + " " + other + "task/", contents(*loadProfile(&printed)));
    EXPECT_TRUE(says(printed, "coloring_book/download.json")) << printed;
    std::filesystem::remove(titlePath() + "coloring_book/download.json");
    usePlayer(4); // no player: no downloads either
    EXPECT_EQ(title, contents(*loadProfile(&printed)));
    EXPECT_TRUE(says(printed, "coloring_book/download.json")) << printed;
}
