// The free-drawing studio through the real host, headless on a fixed step,
// started with --start studio on the generated title and a scratch data
// root: a picture painted with every kind of tool, saved, thrown away and
// loaded again; a flipbook drawn, saved and played in a second run.
#include "HostRun.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#ifdef TOVRANE_GAME_MODULE_FILE

#include <cstdlib>
#include <sys/stat.h>
#include <sstream>
#include <string>
#include <vector>

namespace
{
using TovraneTools::Picture;

class StudioEndToEndTest : public HostFolderTest
{
protected:
    StudioEndToEndTest() : HostFolderTest("studio-end-to-end") {}

    HostRun run(int step, const std::string& options)
    {
        HostRun result = runHost("--start studio --fixed-step " + std::to_string(step) + " --script '" +
                                 file("script.txt") + "' " + options);
        EXPECT_EQ(0, result.status) << result.output;
        EXPECT_EQ(std::string::npos, result.output.find("Could not find file")) << result.output;
        return result;
    }
    Picture shot(const std::string& name)
    {
        Picture picture;
        EXPECT_TRUE(TovraneTools::readPng(file(name), picture)) << name;
        return picture;
    }
    static bool dark(const Picture& p, int x, int y) { return p.get(x, y).r < 80 && p.get(x, y).g < 80; }
};

// A host script from "FRAME:X,Y" taps and "FRAME:X,Y/X,Y/..." strokes (one
// point a frame), in screen pixels of the generated title's layout.
std::string gestures(const std::string& list)
{
    std::istringstream words(list);
    std::string script;
    for (std::string word; words >> word;)
    {
        int frame = std::stoi(word);
        std::istringstream points(word.substr(word.find(':') + 1));
        std::vector<std::string> at;
        for (std::string point; std::getline(points, point, '/');)
            at.push_back(point.replace(point.find(','), 1, " "));
        for (size_t i = 0; i < at.size(); ++i, ++frame)
            script += std::to_string(frame) + (at.size() == 1 ? " tap " : i == 0 ? " down " : " move ") + at[i] + "\n";
        if (at.size() > 1)
            script += std::to_string(frame - 1) + " up " + at.back() + "\n";
    }
    return script;
}

// After the tutorial: a colour, the large size, the next pattern, closed;
// a brush stroke; a rectangle filled; a stamp; the horizontal flip (first
// effect of the third page); a pencil stroke undone. Saved into slot 0, a
// new picture, slot 0 loaded.
const char* const ArtGestures = "110:48,224 118:35,100 124:298,140 130:292,66 136:300,18 "
                                "142:16,224 146:48,192 150:30,40/120,70/170,40 "
                                "158:80,224 162:112,192 166:200,30/300,110 172:16,224 176:80,192 180:250,70 "
                                "186:112,224 192:98,140 198:60,150 204:144,224 210:269,120 214:269,120 218:98,90 "
                                "224:16,224 228:16,192 232:40,180/150,190 238:208,224 "
                                "250:272,224 254:240,192 260:97,97 580:272,224 584:304,192 590:272,224 "
                                "594:272,192 600:97,97";

TEST_F(StudioEndToEndTest, APaintedPictureIsSavedThrownAwayAndLoadedAgain)
{
    script(gestures(ArtGestures));
    HostRun r = run(20, "--frames 610 --screenshot 245:'" + file("before.png") + "' --screenshot 588:'" +
                            file("new.png") + "' --screenshot 610:'" + file("after.png") + "'");
    ASSERT_EQ("enter", r.first("enter", "DrawingStudioState").event) << r.output;

    // The picture after loading, in the 5 bits a channel it keeps, as before saving.
    const Picture before = shot("before.png"), blank = shot("new.png"), after = shot("after.png");
    int differing = 0, painted = 0;
    for (int y = 0; y < 206; ++y)
        for (int x = 0; x < 320; ++x)
        {
            const TovraneTools::Colour a = before.get(x, y), b = after.get(x, y), c = blank.get(x, y);
            differing += (a.r >> 3 != b.r >> 3 || a.g >> 3 != b.g >> 3 || a.b >> 3 != b.b >> 3) ? 1 : 0;
            painted += (a.r >> 3 != c.r >> 3 || a.g >> 3 != c.g >> 3) ? 1 : 0;
        }
    EXPECT_EQ(0, differing);
    EXPECT_GT(painted, 5000) << "the new picture was blank, the painted one not";

    // The saved file against its reviewed golden.
    expectShotGolden("data/players/0/Photos/qev_art_00.png", "studio/freedraw_saved.png");

    std::ifstream achievements(file("data/players/0/Scrivlet/achievements.bin"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(achievements)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 27u);
    EXPECT_NE(0, bytes[25]) << "the first gallery picture's badge";
    EXPECT_EQ(0, bytes[26]);
}

// The same picture saved under a file-size limit that it does not fit: the
// write fails like a full disk, the game says so once, naming the slot's
// file, and goes on; nothing of the save is left.
TEST_F(StudioEndToEndTest, APictureOverTheFileSizeLimitIsNotSavedAndTheGameGoesOn)
{
    script(gestures(ArtGestures));
    HostRun r = runHost("--start studio --fixed-step 20 --frames 610 --script '" + file("script.txt") + "'",
                        "ulimit -f 4;"); // 2 KB in sh's blocks of 512 bytes
    EXPECT_EQ(0, r.status) << r.output;
    const std::string photos = file("data/players/0/Photos/");
    const std::string line = "Could not save file " + photos + "qev_art_00.png: File too large\n";
    EXPECT_NE(std::string::npos, r.output.find(line)) << r.output;
    EXPECT_EQ(r.output.find("Could not save"), r.output.rfind("Could not save")) << r.output;
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(photos))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(std::vector<std::string>(), left);
}

TEST_F(StudioEndToEndTest, TheStartOptionNamesTheFirstState)
{
    HostRun unknown = runHost("--start lesson:99 --frames 5");
    EXPECT_EQ(2, unknown.status);
    EXPECT_NE(std::string::npos, unknown.output.find("Unknown start state \"lesson:99\"")) << unknown.output;
    EXPECT_EQ(-1, unknown.indexOf("Enter")) << "the module is not started";
    EXPECT_EQ(2, runHost("--start studio: --frames 5").status) << "a picture file must be named";
    // A sub-lesson the lesson does not have is no state either.
    for (const char* bad : {"launcher:lines:0", "launcher:lines:4", "launcher:shapes:5", "launcher:organic_shapes:3"})
    {
        const HostRun refused = runHost(std::string("--frames 5 --start ") + bad);
        EXPECT_EQ(2, refused.status) << bad;
        EXPECT_NE(std::string::npos, refused.output.find("Unknown start state \"" + std::string(bad) + "\"")) << bad;
    }
    // Names are printed with their control characters written out, C1 ones too.
    const HostRun strange = runHost("--frames 5 --start 'lesson:\x1b[2J\xc2\x9b'");
    EXPECT_EQ(2, strange.status);
    EXPECT_NE(std::string::npos, strange.output.find("Unknown start state \"lesson:\\x1b[2J\\xc2\\x9b\""))
        << strange.output;
    const HostRun missing = runHost("--start studio:'" + file("no\x1b[2Jpage.png") + "' --fixed-step 20 --frames 2");
    EXPECT_EQ(0, missing.status) << missing.output;
    EXPECT_NE(std::string::npos, missing.output.find("Could not read the picture " + file("no\\x1b[2Jpage.png") +
                                                     "; the studio starts blank\n"))
        << missing.output;
    EXPECT_EQ(std::string::npos, (strange.output + missing.output).find('\x1b')) << "no raw escape";

    // The studio on a picture file.
    ASSERT_TRUE(TovraneTools::writePng(file("page.png"), Picture(320, 240, TovraneTools::Colour{20, 40, 200, 255})));
    script("");
    HostRun page = runHost("--start studio:'" + file("page.png") + "' --fixed-step 20 --frames 10 --screenshot 10:'" +
                           file("page-shot.png") + "'");
    EXPECT_EQ(0, page.status) << page.output;
    EXPECT_EQ(0u, page.first("enter", "DrawingStudioState").frame);
    const TovraneTools::Colour middle = shot("page-shot.png").get(160, 100);
    EXPECT_TRUE(middle.b > 180 && middle.r < 60) << "the page fills the screen";
}

// Pipes under the names of the studio's page, the player's pictures and save
// file are not waited on: each is said once and the studio starts blank.
TEST_F(StudioEndToEndTest, PipesUnderFileNamesAreNotWaitedOn)
{
    const std::string photos = file("data/players/0/Photos/"), saves = file("data/players/0/Scrivlet/");
    std::filesystem::create_directories(photos);
    std::filesystem::create_directories(saves);
    const std::vector<std::string> pipes = {file("page.png"), photos + "qev_art_00.png", photos + "qev_thumbnail_00.png",
                                            saves + "data.bin"};
    for (const std::string& pipe : pipes)
        ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0644)) << pipe;
    const HostRun r = runHost("--start studio:'" + file("page.png") + "' --fixed-step 20 --frames 20", "timeout 60");
    EXPECT_EQ(0, r.status) << r.output;
    EXPECT_EQ(0u, r.first("enter", "DrawingStudioState").frame) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("Could not read file " + file("page.png") + ": it is a pipe\n")) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("Could not read file " + saves + "data.bin: it is a pipe\n")) << r.output;
    for (const std::string& pipe : pipes)
        EXPECT_EQ(std::filesystem::file_type::fifo, std::filesystem::status(pipe).type()) << pipe;
}

TEST_F(StudioEndToEndTest, AFlipbookSavedInOneRunPlaysInTheNext)
{
    // Three frames, each with a stroke of its own; saved into animation slot 1; quit.
    script(gestures("110:304,224 230:20,40/80,60 235:36,7 240:130,110/190,130 245:60,7 250:230,180/300,200 "
                    "255:272,224 260:240,192 265:161,122") +
           "275 click escape\n");
    HostRun first = run(20, "--frames 400");
    EXPECT_EQ("PopApp", first.first("Exit").detail) << "a saved flipbook quits without a question";

    // Loaded in a new run, 83 ms a frame: played from frame 65 on, the
    // frames show for 166 ms each.
    script(gestures("28:304,224 58:272,224 60:272,192 62:161,122 64:304,7"));
    std::string shots;
    for (int frame : {65, 67, 69})
        shots += " --screenshot " + std::to_string(frame) + ":'" + file("play" + std::to_string(frame) + ".png") + "'";
    run(83, "--frames 70" + shots);
    const int strokes[3][2] = {{50, 50}, {160, 120}, {265, 190}};
    for (int shown = 0; shown < 3; ++shown)
    {
        const Picture picture = shot("play" + std::to_string(65 + 2 * shown) + ".png");
        for (int stroke = 0; stroke < 3; ++stroke)
            EXPECT_EQ(stroke == shown, dark(picture, strokes[stroke][0], strokes[stroke][1]))
                << "screenshot " << shown << ", stroke of frame " << stroke;
    }
}
}

#endif
