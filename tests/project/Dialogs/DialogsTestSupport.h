#ifndef TESTS_PROJECT_DIALOGSTESTSUPPORT_H
#define TESTS_PROJECT_DIALOGSTESTSUPPORT_H

// The pickers and questions on the generated title, with the real profile in
// a scratch data root of the process.
#include "support/DataRoot.h"

#include "Resources/Dialogs/MainMenuUIElement.h"
#include "Resources/Dialogs/SlotDialog.h"
#include "Resources/Dialogs/StudioUIElement.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/Texture.h"

#include "CMicroDownloads.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace DialogsTest
{
using namespace Tovrane;
namespace fs = std::filesystem;

// A new player without files or downloads, on the generated title and a data
// root of the process; false without the title or when the system data was
// configured before.
inline bool newPlayer()
{
    if (!TestSupport::useGeneratedTitle())
        return false;
    fs::remove_all(XQM::CMicroDownloads::GetDownloadsPath(0).raw());
    fs::create_directories(TestSupport::dataRoot());
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(TestSupport::dataRoot()))
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

// Listens to a picker; page() clicks each slot of the page and gives the ids
// reported, checking on the way that each face shows its item's picture, or
// a fresh transparent one past the end of the list.
struct Selections
{
    explicit Selections(SlotDialog& dialog) : dialog(dialog)
    {
        dialog.selectEvent += new SlotDialog::SelectEvent::MethodDelegate<Selections>(this, &Selections::on);
    }
    void on(const SlotDialogEventArgs& args) { last = {args.slot, args.id}; }
    std::vector<int> page()
    {
        std::vector<int> ids;
        for (size_t k = 0; k < dialog.slotFaces.size(); ++k)
        {
            dialog.onSelect(static_cast<int>(k));
            ids.push_back(last.second);
            const TexturePtr shown = dialog.slotFaces[k]->getTexture();
            const size_t item = static_cast<size_t>(dialog.first) + k;
            EXPECT_TRUE(item < dialog.thumbnails.size() ? shown == dialog.thumbnails[item]
                                                        : shown && shown->getWidth() == 32 && shown->getPixel(5, 5).a == 0)
                << "face " << k;
        }
        return ids;
    }
    SlotDialog& dialog;
    std::pair<int, int> last{-2, -2};
};

// The list as "id:icon ...": item k is named by the icon item k of
// `expected` names (without `folder` and ".png") when it shows that icon, "?"
// when it shows another picture and "-" when none. Icons come from the
// family's sprite manager, shared by every face: the studio's for folders
// "studio/...", the main menu's for the others.
inline std::string describe(const SlotDialog& dialog, const std::string& folder, const std::string& expected)
{
    TextureManager& icons = *(folder.rfind("studio/", 0) == 0 ? StudioUIElement::getSpriteManager()
                                                              : MainMenuUIElement::getSpriteManager());
    std::istringstream in(expected);
    std::string out, item;
    for (size_t i = 0; i < dialog.ids.size(); ++i)
    {
        const std::string icon = in >> item ? item.substr(item.find(':') + 1) : "?";
        const Texture* shown = dialog.thumbnails[i].get();
        const bool named = shown && icon != "?" && icon != "-" && shown == icons.getTexture(folder + icon + ".png").get();
        out += (i ? " " : "") + std::to_string(dialog.ids[i]) + ":" + (named ? icon : shown ? "?" : "-");
    }
    return out;
}

using TestSupport::printed;
}

#endif
