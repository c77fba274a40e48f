#ifndef PLATFORM_LOGDATA_H
#define PLATFORM_LOGDATA_H

#include <string>
#include <vector>

namespace LogData
{
namespace Corvantis
{
// One usage-log entry: its record name and its fields as text, in order.
// Text handed in as null counts as empty.
class CLogRecord
{
public:
    virtual ~CLogRecord();
    const std::string& GetName() const { return name; }
    const std::vector<std::string>& GetFields() const { return fields; }

protected:
    explicit CLogRecord(const char* recordName);
    void AddField(const char* text);
    void AddField(unsigned long value);
    void AddField(long value);

private:
    std::string name;
    std::vector<std::string> fields;
};

class CTitleStart : public CLogRecord
{
public:
    CTitleStart(unsigned long productId, const char* partNumber, const char* packageVersion, unsigned char kind);
};

class CTitleExit : public CLogRecord
{
public:
    explicit CTitleExit(unsigned char reason);
};

class CGameStart : public CLogRecord
{
public:
    explicit CGameStart(const char* game);
};

class CGameExit : public CLogRecord
{
public:
    CGameExit();
};

class CGameAreaStart : public CLogRecord
{
public:
    explicit CGameAreaStart(const char* area);
};

class CGameAreaExit : public CLogRecord
{
public:
    CGameAreaExit();
};

class CActivityStart : public CLogRecord
{
public:
    CActivityStart(const char* activity, const char* detail, const char* level);
};

class CActivityExit : public CLogRecord
{
public:
    CActivityExit(long score, unsigned char reason);
};

class CActivityPause : public CLogRecord
{
public:
    CActivityPause();
};

class CActivityUnpause : public CLogRecord
{
public:
    CActivityUnpause();
};

class CCorrectAnswer : public CLogRecord
{
public:
    CCorrectAnswer(unsigned long number, const char* question, const char* answer);
};

class CWrongAnswer : public CLogRecord
{
public:
    CWrongAnswer(unsigned long number, const char* question, const char* answer);
};

class CHintRequest : public CLogRecord
{
public:
    CHintRequest(unsigned long number, const char* hint);
};

class CAchievementEarned : public CLogRecord
{
public:
    explicit CAchievementEarned(unsigned short achievement);
};
}
}

#endif
