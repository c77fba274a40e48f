#ifndef TOVRANE_FRAMECHANGEEVENTARGS_H
#define TOVRANE_FRAMECHANGEEVENTARGS_H

namespace Tovrane
{
// Argument of an animated sprite's frame-change event: the frame now shown.
struct FrameChangeEventArgs
{
    explicit FrameChangeEventArgs(int frame = 0) : frame(frame) {}

    int frame;
};
}

#endif
