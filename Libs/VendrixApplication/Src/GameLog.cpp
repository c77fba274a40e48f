#include "Tovrane/GameLog.h"

#include "CLogFile.h"
#include "CMetaInfo.h"
#include "CSystemData.h"

using namespace LogData::Corvantis;

namespace Tovrane
{
void GameLog::titleStart()
{
    const XQM::CMetaInfo meta(CSystemData::Instance()->GetCurrentTitlePath());
    const Glib::ustring partNumber = meta.GetPartNumber();
    const Glib::ustring packageVersion = meta.GetPackageVersion();
    CLogFile::Instance()->Append(CTitleStart(meta.GetProductId(), partNumber.c_str(), packageVersion.c_str(), 1));
}

void GameLog::titleEnd(bool normal)
{
    CLogFile::Instance()->Append(CTitleExit(static_cast<unsigned char>(normal ? 1 : 3)));
}

void GameLog::gameStart(const std::string& game) { CLogFile::Instance()->Append(CGameStart(game.c_str())); }

void GameLog::gameEnd() { CLogFile::Instance()->Append(CGameExit()); }

void GameLog::gameAreaStart(const std::string& area) { CLogFile::Instance()->Append(CGameAreaStart(area.c_str())); }

void GameLog::gameAreaEnd() { CLogFile::Instance()->Append(CGameAreaExit()); }

void GameLog::activityStart(const std::string& activity, const std::string& detail, const std::string& level)
{
    CLogFile::Instance()->Append(CActivityStart(activity.c_str(), detail.c_str(), level.c_str()));
}

void GameLog::activityEnd(ActivityExitReason::Type reason)
{
    CLogFile::Instance()->Append(CActivityExit(0L, static_cast<unsigned char>(reason)));
}

void GameLog::activityPaused() { CLogFile::Instance()->Append(CActivityPause()); }

void GameLog::activityResumed() { CLogFile::Instance()->Append(CActivityUnpause()); }

void GameLog::correctAnswer(int number, const std::string& question, const std::string& answer)
{
    CLogFile::Instance()->Append(CCorrectAnswer(static_cast<unsigned long>(number), question.c_str(), answer.c_str()));
}

void GameLog::wrongAnswer(int number, const std::string& question, const std::string& answer)
{
    CLogFile::Instance()->Append(CWrongAnswer(static_cast<unsigned long>(number), question.c_str(), answer.c_str()));
}

void GameLog::hintRequest(int number, const std::string& hint)
{
    CLogFile::Instance()->Append(CHintRequest(static_cast<unsigned long>(number), hint.c_str()));
}

void GameLog::achievementEarned(short achievement)
{
    CLogFile::Instance()->Append(CAchievementEarned(static_cast<unsigned short>(achievement)));
}
}
