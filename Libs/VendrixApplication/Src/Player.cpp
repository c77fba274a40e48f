#include "Tovrane/Player.h"

#include "Tovrane/GameLog.h"

#include "CMicroDownloads.h"
#include "CPlayerProfile.h"
#include "CSystem.h"
#include "CSystemData.h"

namespace Tovrane
{
namespace
{
// Exact comparison: another letter case or separator is another locale.
int localeCode(const std::string& text)
{
    static const char* const codes[] = {"en-ca", "en-gb", "en-au", "en-nz"};
    for (int i = 0; i < 4; ++i)
        if (text == codes[i])
            return i + 1;
    return 0;
}
}

Player::Player() : playerId(noPlayer), locale(0), cheatsEnabled(false)
{
    XQM::CSystem system;
    locale = localeCode(system.GetLocale().raw());
    tPlayerID platformId = system.GetCurrentPlayerID();
    playerId = platformId <= 2 ? platformId : noPlayer;
    cheatsEnabled = system.AreCheatsEnabled();
    CSystemData* data = CSystemData::Instance();
    localDataPath = data->GetLocalDataPath(platformId, data->GetCurrentGamePackageID()).raw();
}

Player::~Player() = default;

void Player::reset() { onReset(); }

void Player::create()
{
    onNew();
    onReset();
}

void Player::load()
{
    if (playerId == noPlayer)
    {
        onNew();
        onReset();
    }
    else
    {
        onLoad();
    }
    loadMicroDownloads();
}

void Player::save()
{
    if (playerId == noPlayer)
        return;
    onSavePlayer();
    onSavePersistent();
    onSaveAchievements();
}

void Player::loadMicroDownloads()
{
    onLoadMicroDownloads();
    XQM::CSystem system;
    XQM::CMicroDownloads downloads;
    for (const Glib::ustring& folder : downloads.get(system.GetCurrentPlayerID()))
        loadMicroDownload(folder.raw() + "/");
}

void Player::addAchievement(short id) { GameLog::achievementEarned(id); }

void Player::addBadge(unsigned int number)
{
    XQM::CSystem system;
    XQM::CPlayerProfile profile(system.GetCurrentPlayerID());
    profile.AddBadge(number);
}

std::string Player::getUploadPath(const std::string& dataType) const
{
    return CSystemData::Instance()->GetUploadDataPath(dataType).raw();
}
}
