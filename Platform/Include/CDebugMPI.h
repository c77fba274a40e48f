#ifndef PLATFORM_CDEBUGMPI_H
#define PLATFORM_CDEBUGMPI_H

namespace Vantorel
{
namespace Kelm
{
// Developer output. Text at a level no higher than the object's debug level
// goes to standard error exactly as given: it is never read as a format, and
// nothing is added to it.
class CDebugMPI
{
public:
    explicit CDebugMPI(int module);

    void SetDebugLevel(int level);
    int GetDebugLevel() const { return debugLevel; }
    int GetModule() const { return module; }

    void DebugOut(int level, const char* text) const;

private:
    int module;
    int debugLevel;
};
}
}

#endif
