#ifndef TOVRANE_EVENT_H
#define TOVRANE_EVENT_H

#include <boost/shared_ptr.hpp>

#include <iostream>
#include <type_traits>
#include <vector>

namespace Tovrane
{
// Empty argument record of events that carry no data.
struct VOID
{
};

// A list of delegates fired in order of subscription. A delegate added while
// the event fires is called in the same firing unless it was added by the
// delegate that was then the last one.
template <typename R, typename A> class Event
{
public:
    class BaseDelegate
    {
    public:
        virtual ~BaseDelegate() = default;
        virtual R operator()(A argument) = 0;
    };

    template <typename T> class MethodDelegate : public BaseDelegate
    {
    public:
        typedef R (T::*Method)(A);
        MethodDelegate(T* target, Method method) : target(target), method(method) {}

        R operator()(A argument) override
        {
            if (!method)
            {
                std::cout << "ERROR: no function pointer set!" << std::endl;
                return R();
            }
            if (!target)
            {
                std::cout << "ERROR: _mFunc set with no class!" << std::endl;
                return R();
            }
            return (target->*method)(argument);
        }

    private:
        T* target;
        Method method;
    };

    class FunctionDelegate : public BaseDelegate
    {
    public:
        typedef R (*Function)(A);
        explicit FunctionDelegate(Function function) : function(function) {}

        R operator()(A argument) override
        {
            if (!function)
            {
                std::cout << "ERROR: no function pointer set!" << std::endl;
                return R();
            }
            return function(argument);
        }

    private:
        Function function;
    };

    Event& operator+=(BaseDelegate* delegate)
    {
        delegates.push_back(boost::shared_ptr<BaseDelegate>(delegate));
        return *this;
    }

    R operator()(A argument)
    {
        for (size_t i = 0; i < delegates.size(); ++i)
        {
            // A local reference keeps the delegate alive while it runs.
            boost::shared_ptr<BaseDelegate> delegate = delegates[i];
            if (i + 1 == delegates.size())
                return (*delegate)(argument);
            (*delegate)(argument);
        }
        return R();
    }

    size_t getDelegateQuantity() const { return delegates.size(); }

private:
    std::vector<boost::shared_ptr<BaseDelegate>> delegates;
};
}

#endif
