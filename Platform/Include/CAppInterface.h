#ifndef PLATFORM_CAPPINTERFACE_H
#define PLATFORM_CAPPINTERFACE_H

#include <boost/shared_ptr.hpp>

// The interface through which the host drives a loaded application module:
// Enter once, Update once per frame, Suspend and Resume in pairs around times
// when the module is not in front, Exit at the end. The order of the virtual
// operations is fixed: destructor, Enter, Update, Exit, Suspend, Resume.
class CAppInterface
{
public:
    explicit CAppInterface(void* hostData = nullptr);
    virtual ~CAppInterface();

    virtual void Enter() = 0;
    virtual void Update() = 0;
    virtual void Exit() = 0;
    virtual void Suspend() = 0;
    virtual void Resume() = 0;

    CAppInterface(const CAppInterface&) = delete;
    CAppInterface& operator=(const CAppInterface&) = delete;
};

typedef boost::shared_ptr<CAppInterface> CAppInterfacePtr;

// The factory every module exports under its plain, unmangled name.
typedef CAppInterfacePtr (*tCreateAppFunction)(void* hostData);

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" CAppInterfacePtr CreateApp(void* hostData);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

#endif
