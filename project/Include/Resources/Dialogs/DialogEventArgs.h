#ifndef RESOURCES_DIALOGEVENTARGS_H
#define RESOURCES_DIALOGEVENTARGS_H

namespace Tovrane
{
// The answer of a yes/no dialog box.
struct DialogEventArgs
{
    enum Result : int
    {
        Yes = 1,
        No = 2,
        Cancel = 3
    };

    DialogEventArgs() : result(0) {}
    explicit DialogEventArgs(int result) : result(result) {}

    int result;
};
}

#endif
