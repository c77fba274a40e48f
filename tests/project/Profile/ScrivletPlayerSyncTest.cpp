// What a save costs the disk: its syncs and its reads.
#include "ProfileTestSupport.h"

#include "support/FileFaults.h"

#include "AtomicFile.h"
#include "Tovrane/Texture.h"

#include <sys/wait.h>
#include <unistd.h>

using namespace Tovrane;
using namespace ProfileTest;

// A picture save over an earlier one syncs its two files, its record and its
// folder before the renames and the folder after them; a 12-frame flipbook its
// thirteen files and frame count, its two records and their folders, and both
// folders after. Knowing files by their content adds no sync, and reads each
// file once: the new one as its writer closes it, through its own
// descriptor, and the old one it replaces, opened once.
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
        // The old files each once; none at first.
        for (const auto* reads : {&pictureReads, &flipbookReads})
        {
            int total = 0;
            for (const auto& file : *reads)
            {
                EXPECT_EQ(1, file.second) << file.first << ", version " << version;
                total += file.second;
            }
            EXPECT_EQ((reads == &pictureReads ? 2 : 13) * version, total) << "version " << version;
        }
    }
}

// The scans of a load that finish a flipbook save killed after six of its
// frames were put in place read each of the save's files at most once: the
// targets to tell what they hold, the staging files left to put in place,
// the records.
TEST(SaveSyncs, ALoadFinishingAKilledSaveReadsEachFileOnce)
{
    if (root().empty())
        GTEST_SKIP() << "the system data was configured by another test";
    usePlayer(0);
    std::filesystem::remove_all(root() + "/data");
    for (int version : {0, 1})
    {
        ScrivletPlayerPtr profile(new ScrivletPlayer);
        output([&] { profile->load(); });
        const pid_t writer = version == 1 ? ::fork() : 0;
        if (writer == 0)
        {
            // Two records, then six frames: killed before the seventh.
            FileFaults::armRenames(version == 1 ? 8 : -1);
            std::vector<TexturePtr> frames;
            for (int f = 0; f < 12; ++f)
                frames.push_back(TexturePtr(new Texture(64, 48, PixelFormat::RGBA8888, true, static_cast<unsigned char>(f + 16 * version))));
            const bool saved = profile->saveAnimation(frames, 1, 3 + version);
            if (version == 1)
                ::_exit(1);
            ASSERT_TRUE(saved);
        }
        else
            ::waitpid(writer, nullptr, 0);
    }
    ScrivletPlayerPtr profile(new ScrivletPlayer);
    const std::string folders[] = {std::filesystem::path(profile->getAnimationDataPath()).parent_path(),
                                   std::filesystem::path(profile->toAnimationPath(1, 0)).parent_path()};
    FileFaults::countReadOpens(true);
    const std::string said = output([&] {
        for (const std::string& folder : folders)
            removeStaleTemporariesAtomic(folder.c_str());
    });
    const std::map<std::string, int> reads = FileFaults::readOpens();
    FileFaults::countReadOpens(false);
    EXPECT_EQ("", said);
    output([&] { profile->load(); });
    EXPECT_EQ(4, profile->frameCounts[1]) << "the killed save is finished";
    int total = 0;
    for (const auto& file : reads)
    {
        EXPECT_EQ(1, file.second) << file.first;
        total += file.second;
    }
    std::cout << "a load finishing a killed flipbook save opens " << total << " files for reading\n";
}
