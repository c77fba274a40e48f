// What a save costs the disk: its syncs and its reads.
#include "ProfileTestSupport.h"

#include "support/FileFaults.h"
#include "Tovrane/Texture.h"

using namespace Tovrane;
using namespace ProfileTest;

// A picture save over an earlier one syncs its two files, its record and its
// folder before the renames and the folder after them; a 12-frame flipbook its
// thirteen files and frame count, its two records and their folders, and both
// folders after. Knowing files by their content adds no sync, and reads each
// file once: the new one as written, the old one it replaces.
TEST(SaveSyncs, AsManyAsTheSaveNeeds)
{
    if (root().empty())
        GTEST_SKIP() << "the system data was configured by another test";
    usePlayer(0);
    std::filesystem::remove_all(root() + "/data");
    ScrivletPlayerPtr profile(new ScrivletPlayer);
    output([&] { profile->load(); });
    for (int version = 0; version < 2; ++version)
    {
        std::vector<TexturePtr> frames;
        for (int f = 0; f < 12; ++f)
            frames.push_back(TexturePtr(new Texture(64, 48, PixelFormat::RGBA8888, true, static_cast<unsigned char>(f + version))));
        FileFaults::arm(-1, 0);
        FileFaults::countReadOpens(true);
        ASSERT_TRUE(profile->saveImage(frames[0]->copy(), 2));
        const int picture = FileFaults::fsyncs();
        const std::map<std::string, int> pictureReads = FileFaults::readOpens();
        FileFaults::arm(-1, 0);
        FileFaults::countReadOpens(true);
        ASSERT_TRUE(profile->saveAnimation(frames, 1, 12));
        const int flipbook = FileFaults::fsyncs();
        const std::map<std::string, int> flipbookReads = FileFaults::readOpens();
        FileFaults::countReadOpens(false);
        FileFaults::disarm();
        EXPECT_EQ(5, picture) << "version " << version;
        EXPECT_EQ(19, flipbook) << "version " << version;
        // Staging files and the old files each once; no old file at first.
        for (const auto* reads : {&pictureReads, &flipbookReads})
        {
            int total = 0;
            for (const auto& file : *reads)
            {
                EXPECT_EQ(1, file.second) << file.first << ", version " << version;
                total += file.second;
            }
            EXPECT_EQ((reads == &pictureReads ? 2 : 13) * (version + 1), total) << "version " << version;
        }
    }
}
