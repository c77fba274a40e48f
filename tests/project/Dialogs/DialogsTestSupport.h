#ifndef TESTS_PROJECT_DIALOGSTESTSUPPORT_H
#define TESTS_PROJECT_DIALOGSTESTSUPPORT_H

// The pickers and questions on the generated title, with the real profile in
// a scratch data root of the process.

#include "Resources/Dialogs/SlotDialog.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/Texture.h"
#include "Tovrane/TextureManager.h"

#include "CMicroDownloads.h"
#include "CSystemData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace DialogsTest
{
using namespace Tovrane;
namespace fs = std::filesystem;

// The title of the process mirrors the generated one through links. Until the
// studio's own sheets are in the title, empty ones stand in for them: the
// pop-up pickers read them with the pickers' sheet.
struct Root
{
    Root()
    {
        const std::string generated = std::string(TOVRANE_BINARY_DIR) + "/title/";
        const std::string scratch = std::string(TOVRANE_BINARY_DIR) + "/dialogs-" + std::to_string(::getpid()) + "/";
        title = scratch + "title/";
        data = scratch + "data/";
        if (!fs::exists(generated + "metadata/menu_slot.tex"))
            return;
        fs::remove_all(scratch);
        fs::create_directories(title + "metadata");
        for (const fs::directory_entry& entry : fs::directory_iterator(generated))
            if (entry.path().filename() != "metadata")
                fs::create_symlink(entry.path(), title + entry.path().filename().string());
        for (const fs::directory_entry& entry : fs::directory_iterator(generated + "metadata"))
            fs::create_symlink(entry.path(), title + "metadata/" + entry.path().filename().string());
        for (const char* sheet : {"studio.tex", "color_masks.tex"})
            if (!fs::exists(title + "metadata/" + sheet))
                std::ofstream(title + "metadata/" + sheet);
        CSystemData::Config config;
        config.titlePath = title;
        config.dataRoot = data;
        ready = CSystemData::Configure(config);
        scratchRoot = scratch;
    }
    ~Root()
    {
        if (!scratchRoot.empty())
            fs::remove_all(scratchRoot);
    }
    std::string title, data, scratchRoot;
    bool ready = false;
};

inline Root& root()
{
    static Root r;
    return r;
}

// A new player: no save files, pictures or downloads. False when the title
// is missing or the system data was configured before.
inline bool newPlayer()
{
    if (!root().ready)
        return false;
    const std::string downloads = XQM::CMicroDownloads::GetDownloadsPath(0).raw();
    fs::remove_all(downloads);
    fs::create_directories(downloads);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root().data))
        if (entry.is_regular_file())
            fs::remove(entry.path());
    ScrivletPlayer::getCurrentPlayerData()->load();
    return true;
}

class Fixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!newPlayer())
            GTEST_SKIP() << "no generated title, or the system data was configured before";
    }
    static ScrivletPlayer* profile() { return ScrivletPlayer::getCurrentPlayerData(); }
};

// Records the selections of a picker.
struct Selections
{
    void on(const SlotDialogEventArgs& args) { seen.push_back(std::make_pair(args.slot, args.id)); }
    void listenTo(SlotDialog& dialog)
    {
        dialog.selectEvent += new SlotDialog::SelectEvent::MethodDelegate<Selections>(this, &Selections::on);
    }
    std::vector<std::pair<int, int>> seen;
};

// The ids a click on each slot of the page reports to a listener.
inline std::vector<int> pageIds(SlotDialog& dialog, Selections& heard)
{
    std::vector<int> ids;
    for (size_t slot = 0; slot < dialog.slotFaces.size(); ++slot)
    {
        dialog.onSelect(static_cast<int>(slot));
        ids.push_back(heard.seen.back().second);
    }
    return ids;
}

// Each face shows its item's picture, or a fresh transparent one past the end.
inline void expectFacesShowPage(const SlotDialog& dialog)
{
    for (size_t k = 0; k < dialog.slotFaces.size(); ++k)
    {
        TexturePtr shown = dialog.slotFaces[k]->getTexture();
        const size_t item = static_cast<size_t>(dialog.first) + k;
        if (item < dialog.thumbnails.size())
            EXPECT_EQ(dialog.thumbnails[item], shown) << "face " << k;
        else
            EXPECT_TRUE(shown && shown->getWidth() == 32 && shown->getPixel(5, 5).a == 0) << "blank face " << k;
    }
}

// The list as (id, icon) pairs: each picture must be the cached icon of that
// name ("" for a picture of no icon).
inline void expectList(const SlotDialog& dialog, TextureManager& icons,
                       const std::vector<std::pair<int, std::string>>& items)
{
    ASSERT_EQ(items.size(), dialog.ids.size());
    for (size_t i = 0; i < items.size(); ++i)
    {
        EXPECT_EQ(items[i].first, dialog.ids[i]) << "entry " << i;
        if (!items[i].second.empty())
        {
            EXPECT_EQ(icons.getTexture(items[i].second), dialog.thumbnails[i]) << "entry " << i << " " << items[i].second;
        }
    }
}

// What `f` prints on standard output.
template <class F> std::string output(F f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}
}

#endif
