// A chip library that lacks most of its functions, to see the loader refuse it.
#include <cstdint>

extern "C" uint32_t openTestEngine(int32_t, const char*, int32_t, int32_t, int32_t) { return 1; }
