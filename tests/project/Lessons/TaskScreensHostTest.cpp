// Task screens in the real host, headless on a fixed step: every task of the
// title played to its end within its entry's count of texture memory, and
// downloads refused at entry in one line.
#include "TaskScreenSupport.h"

#include "Resources/Profile/TaskDownload.h"

#ifdef TOVRANE_HOST_PROGRAM

using namespace LessonsTest;

namespace
{
typedef std::vector<std::string> Lines;
}

// Every task of the title, each line after a hint and each traced line after
// a stroke off it and the quit question in its help, each touch of a line
// drawn or coloured after its dashed overlay shows, peaks within the count of its entry and at
// most a MiB below, which also holds what play never holds at once (shared sheet, badge text, pie).
struct TitleScreens : HostFolderTest, ::testing::WithParamInterface<std::string>
{
    TitleScreens() : HostFolderTest("lessons-host") {}
};

TEST_P(TitleScreens, PeakWithinTheEntryCount)
{
    REQUIRE_LESSONS_TITLE();
    const std::string start = GetParam();
    Script script;
    LessonPlayer player(script);
    player.offFirst = true;
    const std::string kind = start.substr(0, start.find(':')), which = start.substr(start.find(':') + 1);
    std::unique_ptr<TaskStudioState> task =
        kind == "location" ? state(TaskType::LocationTask, which, TaskStudioState::findTownLocation(which)->location)
        : kind == "advanced" ? artLesson(std::stoi(which))
                             : std::unique_ptr<TaskStudioState>(new TaskStudioState(
                                   TaskType::WritingLesson, std::stoi(which), LocationName::WritingLesson));
    if (kind == "location")
    {
        // Every art lesson done: the task does not stop for one.
        std::string states;
        for (int entry = 0; entry < 64 + 19; ++entry)
            states += std::string(1, entry < 64 ? '\1' : '\3') + std::string(3, '\0');
        std::filesystem::create_directories(file("data/players/0/Scrivlet"));
        std::ofstream(file("data/players/0/Scrivlet/lesson.bin"), std::ios::binary) << states;
    }
    player.playTask(*task);
    this->script(afterTheBlink(script.text));
    const HostRun r = runHost("--fixed-step 20 --frames 12000 --start " + start + " --script '" + file("script.txt") + "'");
    EXPECT_EQ("PopApp", r.first("Exit").detail) << "played to its end";
    EXPECT_EQ(std::string::npos, r.output.find("Out of texture memory")) << r.output;
    const std::vector<TaskLine>& lines = task->getTask()->lines;
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const TaskLine& l) { return LessonPlayer::phaseOf(l) == "TaskDraw" && l.subLessonPath.empty(); }),
              static_cast<long>(r.all("debug", "NEW_STATE=TaskHelp").size()))
        << "each traced line drawn off once";
    EXPECT_EQ(r.all("debug", "NEW_STATE=TaskHelp").size(), r.all("audio-start", "AreYSrYWntTQt").size()) << "asked in each help";
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const TaskLine& l) { return l.subLessonPath.empty(); }),
              static_cast<long>(with(usageRecords(file("data/usage.log")), "HintRequest").size()))
        << "a hint at each line";
    const std::uint64_t peak = texturePeak(r), counted = task->screenTextureBytes();
    EXPECT_GT(peak, 0u);
    EXPECT_TRUE(peak <= counted && counted <= peak + 1048576) << start << ": " << peak << " counted as " << counted;
    RecordProperty("texture_peak", std::to_string(peak));
}

// The town's tasks, where downloads run, and the art lessons; under a
// sanitizer, which slows each run several times over, only the screen that
// peaks. The writing lessons, measured with the rest when the figure was
// taken, peak at 1836304 bytes, far below: they are left out to keep the run
// short.
std::vector<std::string> titleScreens()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return {"location:rocky_hike_path"};
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return {"location:rocky_hike_path"};
#endif
#endif
    std::vector<std::string> starts;
    for (const TaskStudioState::TownLocation& town : TaskStudioState::townLocations)
        starts.push_back(std::string("location:") + town.stem);
    for (int location = 27; location <= 48; ++location)
        starts.push_back("advanced:" + std::to_string(location));
    return starts;
}

INSTANTIATE_TEST_SUITE_P(Title, TitleScreens, ::testing::ValuesIn(titleScreens()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), ':', '_');
                             return name;
                         });

struct LessonsHostStartTest : HostFolderTest
{
    LessonsHostStartTest() : HostFolderTest("lessons-host") {}
};

// Downloads naming files outside their folder or names the file system
// cannot look up, bringing links that lead out of it, or sheets and
// characters naming pictures outside it or missing: each is refused with the
// line its file expects, reads nothing of what it names, writes no usage
// record, and the host goes on to its end.
TEST_F(LessonsHostStartTest, HostileDownloadsAreRefusedWithOneLine)
{
    REQUIRE_LESSONS_TITLE();
    const std::string malformed = std::string(TOVRANE_TEST_DATA) + "/tasks/malformed/";
    int folders = 0;
    for (const auto& entry : std::filesystem::directory_iterator(malformed))
    {
        if (!entry.is_directory())
            continue;
        const std::string folder = entry.path().string() + "/";
        std::ifstream in(folder + "dlc.task");
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t key = text.find("\"expected_refusal\": \"") + 21;
        const std::string expected = "Refused task file " + folder + "dlc.task: " + text.substr(key, text.find('"', key) - key);
        const HostRun run = runHost("--fixed-step 20 --frames 30 --start download:" + folder);
        const std::vector<std::string> output = linesOf(run.output);
        EXPECT_EQ(0, run.status) << folder;
        EXPECT_EQ("PopApp", run.first("Exit").detail) << folder << ": the task left, and the host with it";
        EXPECT_EQ(std::vector<std::string>{expected}, with(output, "Refused")) << run.output;
        for (const char* read : {"not a PNG", "Could not", "Assertion", "Sprite sheet", "Animation"})
            EXPECT_TRUE(with(output, read).empty()) << folder << ": " << read;
        EXPECT_TRUE(usageRecords(file("data/usage.log")).empty()) << folder;
        std::filesystem::remove(file("data/usage.log"));
        ++folders;
    }
    EXPECT_GE(folders, 23);
}

// Folders of a download that may not be read or searched, the download's own
// folder among them, and a file that may not be read: each refuses the task
// with one line. Root may read and search every folder, so as root the host
// runs without those two rights (through setpriv), still as the owner of
// every file, so that it reaches the build wherever the build lies; where
// that cannot be done the case is skipped.
TEST_F(LessonsHostStartTest, UnsearchableDownloadFoldersAreRefusedWithOneLine)
{
    REQUIRE_LESSONS_TITLE();
    namespace fs = std::filesystem;
    std::string withoutOverride;
    if (::geteuid() == 0)
    {
        withoutOverride = "setpriv --bounding-set=-dac_override,-dac_read_search";
        if (std::system((withoutOverride + " true 2>/dev/null").c_str()) != 0)
            GTEST_SKIP() << "root, and no way to run the host without root's right to search every folder";
    }
    std::ifstream original(title().path + "tasks/firehouse.task");
    const std::string text((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
    const std::string download = file("download/");
    // "" is the download's own folder without any right: no folder to start
    // from, like one that does not exist.
    for (const std::string locked : {"", ".", "images", "metadata", "audio", "metadata/extra.tex"})
    {
        for (const char* part : {"images", "metadata", "audio"})
            fs::create_directories(download + part);
        std::ofstream(download + "dlc.task") << text;
        // A sheet the task does not use; no file may hide from the check.
        std::ofstream(download + "metadata/extra.tex") << "";
        // The folder itself may still be searched, so that its task file is read.
        fs::permissions(download + locked, locked == "." ? fs::perms::owner_exec | fs::perms::group_exec |
                                                                  fs::perms::others_exec
                                                            : fs::perms::none);
        const HostRun run = runHost("--fixed-step 20 --frames 30 --start download:" + download, withoutOverride);
        fs::permissions(download + locked, fs::perms::owner_all);
        if (locked.empty())
        {
            EXPECT_EQ(2, run.status) << run.output;
            EXPECT_NE(std::string::npos, run.output.find("Unknown start state \"download:" + download)) << run.output;
            fs::remove_all(download);
            continue;
        }
        EXPECT_EQ(0, run.status) << locked;
        EXPECT_EQ("PopApp", run.first("Exit").detail) << locked;
        const bool isFile = locked.find('.') != std::string::npos && locked != ".";
        EXPECT_EQ(std::vector<std::string>{"Refused task file " + download + "dlc.task: its " + (isFile ? "file " : "folder ") +
                                           locked + (isFile ? " cannot be read" : " cannot be searched") +
                                           " (Permission denied)"},
                  with(linesOf(run.output), "Refused")) << run.output;
        EXPECT_TRUE(usageRecords(file("data/usage.log")).empty()) << locked;
        fs::remove_all(download);
        fs::remove_all(file("data"));
    }
}

// A pipe in a download, where loading would wait on it for ever: refused
// with one line like an unreadable file.
TEST_F(LessonsHostStartTest, ADownloadHoldingAPipeIsRefusedWithOneLine)
{
    REQUIRE_LESSONS_TITLE();
    std::ifstream original(title().path + "tasks/firehouse.task");
    const std::string download = file("download/");
    for (const char* part : {"images", "metadata", "audio"})
        std::filesystem::create_directories(download + part);
    std::ofstream(download + "dlc.task") << original.rdbuf();
    ASSERT_EQ(0, ::mkfifo((download + "metadata/extra.tex").c_str(), 0644));
    const HostRun run = runHost("--fixed-step 20 --frames 30 --start download:" + download, "timeout 60");
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_EQ(std::vector<std::string>{"Refused task file " + download + "dlc.task: its file metadata/extra.tex is a pipe, not a plain file"},
              with(linesOf(run.output), "Refused"))
        << run.output;
    EXPECT_TRUE(usageRecords(file("data/usage.log")).empty());
}

// A download's own pictures never end the game. A character frame cut at any
// length or with a damaged chunk, and pictures that make the screen need
// more texture memory than a task screen has (as the entry counts it),
// refuse the task with one line, read
// nothing and write no usage record; a large background within that runs,
// and every texture of it fits.
TEST_F(LessonsHostStartTest, ADownloadsOwnPicturesAreCheckedWhole)
{
    REQUIRE_LESSONS_TITLE();
    const std::string download = file("download/"), frame = download + "images/own/k_idle_001.png";
    std::filesystem::copy(std::string(TOVRANE_TEST_DATA) + "/tasks/malformed/download_character_frame_cut", download,
                          std::filesystem::copy_options::recursive);
    std::ifstream in(download + "dlc.task");
    const std::string task((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TovraneTools::Picture picture(64, 64);
    for (int i = 0; i < 64 * 64; ++i)
        picture.set(i % 64, i / 64, TovraneTools::Colour{static_cast<std::uint8_t>(i * 37 % 251), static_cast<std::uint8_t>(i / 3), 9, 255});
    ASSERT_TRUE(TovraneTools::writePng(frame, picture));
    std::ifstream written(frame, std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    ASSERT_GT(whole.size(), 300u);
    std::string damaged = whole;
    damaged.back() ^= 1; // IEND's CRC: the pixels are whole
    const std::string cut = "its character k (picture own/k_idle_001.png) cannot be read (cut short)", over = "over";
    const struct
    {
        std::string frame;
        int width, height, pictures; // own pictures of that size: the background, then an overlay
        std::string refusal;
    } cases[] = {{whole.substr(0, 8), 0, 0, 0, cut}, {whole.substr(0, 20), 0, 0, 0, cut}, {whole.substr(0, 33), 0, 0, 0, cut},
                 {whole.substr(0, 40), 0, 0, 0, cut}, {whole.substr(0, 300), 0, 0, 0, cut},
                 {whole.substr(0, whole.size() - 1), 0, 0, 0, cut},
                 {damaged, 0, 0, 0, "its character k (picture own/k_idle_001.png) cannot be read (a damaged IEND chunk)"},
                 {whole, 1024, 1024, 1, ""}, {whole, 1448, 1448, 1, over}, {whole, 8192, 300, 1, over},
                 {whole, 8192, 384, 1, over}, {whole, 1300, 1300, 2, over}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.frame.size()) + " bytes, " + std::to_string(c.width) + " x " + std::to_string(c.height));
        std::ofstream(frame, std::ios::binary | std::ios::trunc) << c.frame;
        std::string own = task;
        if (c.pictures > 0)
            own.replace(own.find("task/firehouse_background.png"), 29, "own/big.png");
        if (c.pictures > 1)
            own.replace(own.find("own_a"), 5, "own/overlay.png");
        std::ofstream(download + "dlc.task", std::ios::trunc) << own;
        const TovraneTools::Picture big(c.width, c.height, TovraneTools::Colour{10, 200, 30, 255});
        for (const char* name : {"big.png", "overlay.png"})
            ASSERT_TRUE(c.pictures == 0 || TovraneTools::writePng(download + "images/own/" + name, big));
        const std::string refusal = c.refusal != over ? c.refusal : pastBudget(TaskStudioState(download).screenTextureBytes());
        const HostRun run = runHost("--fixed-step 20 --frames 60 --start download:" + download);
        const std::vector<std::string> output = linesOf(run.output);
        EXPECT_EQ(0, run.status) << run.output;
        EXPECT_EQ(refusal.empty() ? "frames" : "PopApp", run.first("Exit").detail);
        EXPECT_EQ(refusal.empty() ? Lines() : Lines{"Refused task file " + download + "dlc.task: " + refusal},
                  with(output, "Refused task file"));
        EXPECT_EQ(Lines(), with(output, "Out of texture memory"));
        if (!refusal.empty())
        {
            EXPECT_TRUE(with(output, "Could not").empty()) << run.output;
            EXPECT_TRUE(usageRecords(file("data/usage.log")).empty());
        }
        std::filesystem::remove_all(file("data"));
    }
}

TEST_F(LessonsHostStartTest, BadNamesAreRefused)
{
    // A folder name too long to look up is no folder either.
    for (const std::string& bad : std::vector<std::string>{"lesson:62", "lesson:1x", "lesson", "letter:-1", "location:town_square", "advanced:49",
                                  "download:/nowhere", "download:/" + std::string(300, 'd'), "launcher:colors:1",
                                  "launcher:lines:x", "launcher:lines:", "launcher:paint", "launcher"})
    {
        const HostRun refused = runHost("--frames 5 --start " + bad);
        EXPECT_EQ(2, refused.status) << bad;
        EXPECT_NE(std::string::npos, refused.output.find("Unknown start state \"" + bad + "\"")) << bad;
    }
}

#endif
