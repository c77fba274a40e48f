// The finger of the stroke benchmarks: it moves back and forth along a
// slanted line across the 320 x 240 screen, one jump of screen pixels an
// event, every point staying on the screen.
#ifndef BENCH_FINGERPATH_H
#define BENCH_FINGERPATH_H

namespace bench
{
struct FingerPath
{
    explicit FingerPath(int jump) : jump(jump) {}
    void step()
    {
        x += direction * jump;
        y += direction * (jump / 5);
        if (x > 310 || x < 10)
        {
            direction = -direction;
            x += 2 * direction * jump;
            y += 2 * direction * (jump / 5);
        }
    }
    int jump;
    int x = 10, y = 60, direction = 1;
};
}

#endif
