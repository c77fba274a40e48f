#ifndef TESTS_PROJECT_DIALOGSTESTSUPPORT_H
#define TESTS_PROJECT_DIALOGSTESTSUPPORT_H

// The pickers and questions on the generated title, with the real profile in
// a scratch data root of the process.
#include "Resources/Dialogs/MainMenuUIElement.h"
#include "Resources/Dialogs/SlotDialog.h"
#include "Resources/Dialogs/StudioUIElement.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/Texture.h"

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
typedef std::vector<std::pair<int, std::string>> Items;

// The process's title links to the generated one's files; empty sheets stand
// in for the studio's own until the title has them.
struct Root
{
    Root() : path(std::string(TOVRANE_BINARY_DIR) + "/dialogs-" + std::to_string(::getpid()) + "/")
    {
        const fs::path generated = std::string(TOVRANE_BINARY_DIR) + "/title";
        fs::remove_all(path);
        if (!fs::exists(generated / "metadata/menu_slot.tex"))
            return;
        fs::create_directories(path + "title/metadata");
        for (const fs::path& folder : {generated, generated / "metadata"})
            for (const fs::directory_entry& entry : fs::directory_iterator(folder))
                if (entry.path().filename() != "metadata")
                    fs::create_symlink(entry.path(), path + "title/" + fs::relative(entry.path(), generated).string());
        for (const char* sheet : {"studio.tex", "color_masks.tex"})
            if (!fs::exists(path + "title/metadata/" + sheet))
                std::ofstream(path + "title/metadata/" + sheet);
        CSystemData::Config config;
        config.titlePath = path + "title/";
        config.dataRoot = path + "data/";
        ready = CSystemData::Configure(config);
    }
    ~Root() { fs::remove_all(path); }
    std::string path;
    bool ready = false;
};

// A new player without files or downloads; false without a title of our own.
inline bool newPlayer()
{
    static Root root;
    if (!root.ready)
        return false;
    fs::remove_all(XQM::CMicroDownloads::GetDownloadsPath(0).raw());
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root.path + "data/"))
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

// Records a picker's selections.
struct Selections
{
    void on(const SlotDialogEventArgs& args) { seen.push_back(std::make_pair(args.slot, args.id)); }
    void listenTo(SlotDialog& dialog)
    {
        dialog.selectEvent += new SlotDialog::SelectEvent::MethodDelegate<Selections>(this, &Selections::on);
    }
    std::vector<std::pair<int, int>> seen;
};

// The ids a click on each slot of the page reports to `heard`, a listener.
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

// The list as (id, icon): each picture is the shared icon of that name from
// the family's sprite manager ("": any picture).
inline void expectList(const SlotDialog& dialog, TextureManager& icons, const Items& items)
{
    ASSERT_EQ(items.size(), dialog.ids.size());
    for (size_t i = 0; i < items.size(); ++i)
    {
        EXPECT_EQ(items[i].first, dialog.ids[i]) << "entry " << i;
        EXPECT_TRUE(items[i].second.empty() || icons.getTexture(items[i].second) == dialog.thumbnails[i])
            << "entry " << i << " " << items[i].second;
    }
}

template <class F> std::string output(F f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}
}

#endif
