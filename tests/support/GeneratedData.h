// File contents made from a seed, the same on every run.
#pragma once

#include <cstddef>
#include <string>

namespace testing_support {

// bytes of log-like text: dated lines of a few words and varying numbers,
// repetitive the way real logs are.
std::string LogText(std::size_t bytes, unsigned seed);

// n bytes that do not compress.
std::string RandomBytes(std::size_t n, unsigned seed);

}  // namespace testing_support
