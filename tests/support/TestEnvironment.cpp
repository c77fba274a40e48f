// Linked into every test program: before anything starts Mesa, ask it to draw
// on the calling thread and to keep no shader cache, so that only the
// program's own threads run; host programs the tests start inherit both.
#include <cstdlib>

namespace
{
const bool mesaOnTheCallingThread = [] {
    ::setenv("LP_NUM_THREADS", "0", 0);
    ::setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    return true;
}();
}
