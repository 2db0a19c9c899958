// TEST DOUBLE: a library that has one entry and lacks another, for the
// entry-not-found path.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) std::int32_t Present() { return 42; }
