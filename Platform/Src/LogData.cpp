#include "LogData.h"

namespace LogData
{
namespace Corvantis
{
CLogRecord::CLogRecord(const char* recordName) : name(recordName) {}

CLogRecord::~CLogRecord() = default;

void CLogRecord::AddField(const char* text) { fields.push_back(text ? text : ""); }

void CLogRecord::AddField(unsigned long value) { fields.push_back(std::to_string(value)); }

void CLogRecord::AddField(long value) { fields.push_back(std::to_string(value)); }

CTitleStart::CTitleStart(unsigned long productId, const char* partNumber, const char* packageVersion,
                         unsigned char kind)
    : CLogRecord("TitleStart")
{
    AddField(productId);
    AddField(partNumber);
    AddField(packageVersion);
    AddField(static_cast<unsigned long>(kind));
}

CTitleExit::CTitleExit(unsigned char reason) : CLogRecord("TitleExit") { AddField(static_cast<unsigned long>(reason)); }

CGameStart::CGameStart(const char* game) : CLogRecord("GameStart") { AddField(game); }

CGameExit::CGameExit() : CLogRecord("GameExit") {}

CGameAreaStart::CGameAreaStart(const char* area) : CLogRecord("GameAreaStart") { AddField(area); }

CGameAreaExit::CGameAreaExit() : CLogRecord("GameAreaExit") {}

CActivityStart::CActivityStart(const char* activity, const char* detail, const char* level)
    : CLogRecord("ActivityStart")
{
    AddField(activity);
    AddField(detail);
    AddField(level);
}

CActivityExit::CActivityExit(long score, unsigned char reason) : CLogRecord("ActivityExit")
{
    AddField(score);
    AddField(static_cast<unsigned long>(reason));
}

CActivityPause::CActivityPause() : CLogRecord("ActivityPause") {}

CActivityUnpause::CActivityUnpause() : CLogRecord("ActivityUnpause") {}

CCorrectAnswer::CCorrectAnswer(unsigned long number, const char* question, const char* answer)
    : CLogRecord("CorrectAnswer")
{
    AddField(number);
    AddField(question);
    AddField(answer);
}

CWrongAnswer::CWrongAnswer(unsigned long number, const char* question, const char* answer)
    : CLogRecord("WrongAnswer")
{
    AddField(number);
    AddField(question);
    AddField(answer);
}

CHintRequest::CHintRequest(unsigned long number, const char* hint) : CLogRecord("HintRequest")
{
    AddField(number);
    AddField(hint);
}

CAchievementEarned::CAchievementEarned(unsigned short achievement) : CLogRecord("AchievementEarned")
{
    AddField(static_cast<unsigned long>(achievement));
}
}
}
